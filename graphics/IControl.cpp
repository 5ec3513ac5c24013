#include "graphics/IControl.h"

#include <cstdio>

#include "framework/IParam.h"
#include "framework/IPluginBase.h"
#include "graphics/IGraphics.h"

IControl::IControl(IPluginBase* plug, IRECT rect, int paramIdx, IChannelBlend::EBlendMethod blendMethod)
: mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blendMethod, 1.0f)
{
}

IControl::~IControl()
{
  mAuxParams.Empty(true);
}

void IControl::OnMouseDown(int, int, IMouseMod* pMod)
{
  if (pMod && pMod->R) PromptUserInput();
}

void IControl::OnMouseUp(int, int, IMouseMod*) {}
void IControl::OnMouseDrag(int, int, int, int, IMouseMod*) {}

void IControl::OnMouseDblClick(int, int, IMouseMod*)
{
  const double def = GetDefaultValue();
  if (def >= 0.0)
  {
    SetValue(def);
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int, int, IMouseMod*, int) {}
bool IControl::OnKeyDown(int, int, int) { return false; }
void IControl::OnMouseOver(int, int, IMouseMod*) {}
void IControl::OnMouseOut() {}

void IControl::SetValueFromPlug(double value)
{
  // The first value is the one shown when the editor was attached: it becomes the
  // double-click default, and the control is dirty from construction anyway.
  if (GetDefaultValue() < 0.0)
  {
    SetDefaultValue(value);
    SetValue(value);
    return;
  }
  if (value == GetValue()) return;
  SetValue(value);
  SetDirty(false);
  SetRedraw(true);
}

void IControl::SetValueFromUserInput(double value)
{
  if (value == GetValue()) return;
  SetValue(value);
  SetDirty(true);
  SetRedraw(true);
}

void IControl::TextFromTextEntry(const char*) {}

void IControl::Hide(bool hide)
{
  mHide.store(hide, std::memory_order_relaxed);
  SetRedraw(true);
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed.store(gray, std::memory_order_relaxed);
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y)
{
  return mTargetRECT.Contains(x, y);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  double v = GetValue();
  const double lo = GetClampLo(), hi = GetClampHi();
  if (lo > v) v = lo;
  else if (!(v <= hi)) v = hi;  // also catches NaN, which must not reach the host
  SetValue(v);
  SetDirtyFlag(true);

  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;
  mPlug->SetParameterFromGUI(mParamIdx, v);
  IParam* param = mPlug->GetParam(mParamIdx);
  if (!param) return;

  if (mValueDisplay)
  {
    char display[kParamDisplayMax];
    param->GetDisplayForHost(param->GetValue(), false, display, true);
    // "value label", each part cut at 32 characters.
    char text[2 * 32 + 2];
    std::snprintf(text, sizeof(text), "%.32s %.32s", display, param->GetLabelForHost());
    mValueDisplay->SetTextFromPlug(text);
  }
  if (mNameDisplay)
  {
    char name[kParamTextMax];
    std::snprintf(name, sizeof(name), "%s", param->GetNameForHost());
    mNameDisplay->SetTextFromPlug(name);
  }
}

void IControl::SetClean()
{
  // exchange, so a redraw requested from the plug-in side while we clean is never lost:
  // either it is taken into the dirty flag now or it stays for the next cycle.
  SetDirtyFlag(mRedraw.exchange(false, std::memory_order_relaxed));
}

bool IControl::IsDirty()
{
  return GetDirtyFlag();
}

void IControl::OnGUIIdle() {}

void IControl::SetAuxParamValueFromPlug(int auxIdx, double value)
{
  AuxParam* aux = GetAuxParam(auxIdx);
  if (!aux || aux->GetValue() == value) return;
  aux->SetValue(value);
  SetDirty(false);
  SetRedraw(true);
}

IGraphics* IControl::GetGUI() const
{
  return mPlug ? dynamic_cast<IGraphics*>(mPlug->GetGraphics()) : nullptr;
}

IParam* IControl::GetParam() const
{
  return (mPlug && mParamIdx >= 0) ? mPlug->GetParam(mParamIdx) : nullptr;
}

void IControl::PromptUserInput()
{
  if (mParamIdx < 0 || mDisablePrompt) return;
  IParam* param = GetParam();
  IGraphics* gui = GetGUI();
  if (param && gui)
  {
    if (param->GetNDisplayTexts() > 0)
      gui->PromptUserInput(this, param, &mRECT);
    else
    {
      // A 40 x 16 entry box centred on the control.
      const int cx = (int)((float)(mRECT.L + mRECT.R) * 0.5f);
      const int cy = (int)((float)(mRECT.T + mRECT.B) * 0.5f);
      IRECT box(cx - 20, cy - 8, cx + 20, cy + 8);
      gui->PromptUserInput(this, param, &box);
    }
  }
  SetRedraw(true);
}

void IControl::PromptUserInput(IRECT* pTextRect)
{
  if (mParamIdx < 0 || mDisablePrompt) return;
  IParam* param = GetParam();
  IGraphics* gui = GetGUI();
  if (param && gui) gui->PromptUserInput(this, param, pTextRect);
  SetRedraw(true);
}

bool IControl::AddAuxParam(int paramIdx)
{
  AuxParam* aux = new AuxParam(paramIdx);
  if (mAuxParams.Add(aux)) return true;
  delete aux;
  return false;
}

int IControl::AuxParamIdx(int paramIdx) const
{
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
    if (mAuxParams.Get(i)->mParamIdx == paramIdx) return i;
  return -1;
}

void IControl::SetAllAuxParamsFromGUI()
{
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
  {
    const AuxParam* aux = mAuxParams.Get(i);
    mPlug->SetParameterFromGUI(aux->mParamIdx, aux->GetValue());
  }
}

// Mouse, wheel and key events: hit testing, the mouse capture between press and release,
// and the host's parameter-edit bracket.
#include "graphics/IGraphics.h"

#include "framework/IPluginBase.h"
#include "graphics/IControl.h"

namespace {
// Handlers may read the modifiers; a platform that passes none gets "no buttons, no keys".
IMouseMod* OrNone(IMouseMod* pMod, IMouseMod& none) { return pMod ? pMod : &none; }
}

int IGraphics::HitTest(int x, int y, bool mouseOver)
{
  // From the top: the control attached last wins, the background is tried last.
  for (int i = mControls.GetSize() - 1; i >= 0; --i)
  {
    IControl* c = mControls.Get(i);
    if (c->IsHidden()) continue;
    if (c->IsGrayed() && !(mouseOver && c->mMouseOverWhenGreyed)) continue;
    if (c->IsHit(x, y)) return i;
  }
  return -1;
}

int IGraphics::TargetIdx(int x, int y)
{
  if (mMouseCapture >= 0 && mControls.Get(mMouseCapture)) return mMouseCapture;
  return HitTest(x, y, false);
}

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver)
{
  if (mMouseCapture >= 0) return mMouseCapture;
  return HitTest(x, y, mouseOver);
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  IMouseMod none;
  pMod = OrNone(pMod, none);
  ReleaseMouseCapture();
  const int idx = HitTest(x, y, false);
  if (idx < 0) return;
  IControl* c = mControls.Get(idx);
  mMouseCapture = idx;
  mMouseX = x;
  mMouseY = y;

  const int paramIdx = c->ParamIdx();
  if (mPlug && paramIdx >= 0)
  {
    // A VST3 host shows its own parameter menu; the control never sees that click.
    if (pMod->R && mPlug->GetAPI() == kAPIVST3)
    {
      ReleaseMouseCapture();
      mPlug->PopupHostContextMenuForParam(paramIdx, x, y);
      return;
    }
    mPlug->BeginInformHostOfParamChange(paramIdx);
  }
  c->OnMouseDown(x, y, pMod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* pMod)
{
  IMouseMod none;
  pMod = OrNone(pMod, none);
  const int idx = TargetIdx(x, y);
  ReleaseMouseCapture();
  if (idx < 0) return;
  IControl* c = mControls.Get(idx);
  c->OnMouseUp(x, y, pMod);
  const int paramIdx = c->ParamIdx();
  if (mPlug && paramIdx >= 0) mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* pMod)
{
  IMouseMod none;
  pMod = OrNone(pMod, none);
  IControl* c = mControls.Get(mMouseCapture);
  if (!c || (x == mMouseX && y == mMouseY)) return;
  const int dX = x - mMouseX, dY = y - mMouseY;
  mMouseX = x;
  mMouseY = y;
  c->OnMouseDrag(x, y, dX, dY, pMod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* pMod)
{
  IMouseMod none;
  pMod = OrNone(pMod, none);
  ReleaseMouseCapture();
  const int idx = HitTest(x, y, false);
  if (idx < 0) return false;
  IControl* c = mControls.Get(idx);
  if (c->mDoubleClickAsClick)
  {
    mMouseCapture = idx;
    mMouseX = x;
    mMouseY = y;
    c->OnMouseDown(x, y, pMod);
    return true;
  }
  c->OnMouseDblClick(x, y, pMod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* pMod, int d)
{
  IMouseMod none;
  pMod = OrNone(pMod, none);
  if (IControl* c = mControls.Get(TargetIdx(x, y))) c->OnMouseWheel(x, y, pMod, d);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* pMod)
{
  if (!mHandleMouseOver) return false;
  IMouseMod none;
  pMod = OrNone(pMod, none);
  const int idx = (mMouseCapture >= 0 && mControls.Get(mMouseCapture)) ? mMouseCapture : HitTest(x, y, true);
  if (idx < 0) return true;
  mMouseX = x;
  mMouseY = y;
  mControls.Get(idx)->OnMouseOver(x, y, pMod);
  if (mMouseOver >= 0 && mMouseOver != idx)
    if (IControl* previous = mControls.Get(mMouseOver)) previous->OnMouseOut();
  mMouseOver = idx;
  return true;
}

void IGraphics::OnMouseOut()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key)
{
  const int idx = TargetIdx(x, y);
  // The background takes no keys: those go to the key catcher.
  if (idx > 0) return mControls.Get(idx)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}

void IGraphics::OnGUIIdle()
{
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnGUIIdle();
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y)
{
  const int idx = TargetIdx(x, y);
  mLastAutomationParam = idx > 0 ? mControls.Get(idx)->ParamIdx() : -1;
  return mLastAutomationParam;
}

int IGraphics::GetLastClickedParamForPTAutomation()
{
  const int p = mLastAutomationParam;
  mLastAutomationParam = -1;
  return p;
}

#include "graphics/IControlText.h"

#include <cstring>

#include "framework/IParam.h"

namespace
{
// Copies src into a dst of dstLen bytes, cut to fit and always terminated.
void CopyCut(char* dst, const char* src, int dstLen)
{
  dst[0] = '\0';
  if (!src) return;
  std::strncpy(dst, src, (size_t)dstLen - 1);
  dst[dstLen - 1] = '\0';
}
}  // namespace

// ---- ITextControl ----

ITextControl::ITextControl(IPluginBase* plug, IRECT rect, const IText* pText, const char* str)
: IControl(plug, rect), mStr(str)
{
  SetText(pText);
}

bool ITextControl::Draw(IGraphics* pGraphics)
{
  if (!mStr.GetLength()) return true;
  return pGraphics->DrawIText(&mText, mStr.Get(), &mRECT, false);
}

void ITextControl::SetTextFromPlug(char* str)
{
  const char* text = str ? str : "";
  if (std::strcmp(mStr.Get(), text) == 0) return;
  SetDirty(false);
  mStr.Set(text);
}

// ---- ICaptionControl ----

ICaptionControl::ICaptionControl(IPluginBase* plug, IRECT rect, int paramIdx, const IText* pText, bool showParamLabel)
: ITextControl(plug, rect, pText, ""), mShowParamLabel(showParamLabel)
{
  mParamIdx = paramIdx;
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* pMod)
{
  if (pMod && (pMod->L || pMod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*) { PromptUserInput(); }

bool ICaptionControl::Draw(IGraphics* pGraphics)
{
  IParam* param = GetParam();
  if (!param) return true;
  char display[kParamDisplayMax];
  param->GetDisplayForHost(param->GetValue(), false, display, true);
  mStr.Set(display);
  if (mShowParamLabel)
  {
    mStr.Append(" ");
    mStr.Append(param->GetLabelForHost());
  }
  return ITextControl::Draw(pGraphics);
}

// ---- IURLControl ----

IURLControl::IURLControl(IPluginBase* plug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
: IControl(plug, rect)
{
  CopyCut(mURL, url, kURLLen);
  CopyCut(mBackupURL, backupURL, kURLLen);
  CopyCut(mErrMsg, errMsgOnFailure, kErrMsgLen);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* gui = GetGUI();
  if (!gui) return;
  // The failure text rides in the second position, as the platform layer expects it.
  if (mURL[0] && gui->OpenURL(mURL, mErrMsg, nullptr, nullptr)) return;
  if (mBackupURL[0]) gui->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}

bool IURLControl::Draw(IGraphics*) { return true; }

// ---- IFileSelectorControl ----

IFileSelectorControl::IFileSelectorControl(IPluginBase* plug, IRECT rect, int paramIdx, IBitmap* pBitmap,
                                           EFileAction action, const char* dir, const char* extensions)
: IControl(plug, rect, paramIdx),
  mBitmap(pBitmap ? *pBitmap : IBitmap()),
  mDir(dir),
  mExtensions(extensions),
  mFileAction(action)
{
}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* gui = mPlug ? GetGUI() : nullptr;
  if (!gui) return;
  mState = kFSSelecting;
  SetDirty(false);
  gui->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.Get());
  double v = GetValue() + 1.0;
  if (v > 1.0) v = 0.0;
  SetValue(v);
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* pGraphics)
{
  if (mState == kFSSelecting) pGraphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty()
{
  if (GetDirtyFlag()) return true;
  if (mState == kFSDone)
  {
    mState = kFSNone;
    return true;
  }
  return false;
}

void IFileSelectorControl::GetLastSelectedFileForPlug(Util_String* pStr) const
{
  if (pStr) pStr->Set(mFile.Get());
}

void IFileSelectorControl::SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }

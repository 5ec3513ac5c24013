#include "graphics/IControlFaders.h"

#include "graphics/IControlKnobs.h"
#include "graphics/IGraphics.h"

namespace
{
IBitmap BitmapOrEmpty(const IBitmap* pBitmap) { return pBitmap ? *pBitmap : IBitmap(); }

IRECT FaderRect(int x, int y, int len, const IBitmap& handle, EDirection direction)
{
  return direction == kHorizontal ? IRECT(x, y, x + len, y + handle.H) : IRECT(x, y, x + handle.W, y + len);
}
}  // namespace

IFaderControl::IFaderControl(IPluginBase* plug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                             EDirection direction, bool onlyHandle)
: IControl(plug, FaderRect(x, y, len, BitmapOrEmpty(pBitmap), direction), paramIdx),
  mLen(len),
  mHandleLength(0),
  mBitmap(BitmapOrEmpty(pBitmap)),
  mDirection(direction),
  mOnlyHandle(onlyHandle)
{
  mHandleLength = direction == kHorizontal ? mBitmap.W : mBitmap.H;
}

IRECT IFaderControl::GetHandleRECT(double value) const
{
  if (value < 0.0) value = GetValue();
  const IRECT& r = mRECT;
  if (mDirection == kHorizontal)
  {
    const int offset = (int)(value * (double)Travel());
    return IRECT(r.L + offset, r.T, r.L + mBitmap.W + offset, r.T + mBitmap.H);
  }
  const int offset = (int)((1.0 - value) * (double)Travel());
  return IRECT(r.L, r.T + offset, r.L + mBitmap.W, r.T + mBitmap.H + offset);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R)
    PromptUserInput();
  else
    SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*) { SnapToMouse(x, y); }

void IFaderControl::OnMouseWheel(int, int, IMouseMod* pMod, int d) { IControl_ApplyWheel(this, pMod, d); }

bool IFaderControl::Draw(IGraphics* pGraphics)
{
  IRECT handle = GetHandleRECT();
  return pGraphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y)
{
  if (mOnlyHandle) return GetHandleRECT().Contains(x, y);
  return mTargetRECT.Contains(x, y);
}

void IFaderControl::SnapToMouse(int x, int y)
{
  const int travel = Travel();
  if (travel != 0)
  {
    if (mDirection == kHorizontal)
      SetValue((double)(x - mRECT.L - mHandleLength / 2) / (double)travel);
    else
      SetValue(1.0 - (double)(y - mRECT.T - mHandleLength / 2) / (double)travel);
  }
  SetDirty(true);
}

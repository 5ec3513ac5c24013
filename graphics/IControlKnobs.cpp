#include "graphics/IControlKnobs.h"

#include <cmath>

#include "graphics/IGraphics.h"

namespace
{
IBitmap BitmapOrEmpty(const IBitmap* pBitmap) { return pBitmap ? *pBitmap : IBitmap(); }

bool FineModifier(const IMouseMod* pMod) { return pMod && (pMod->C || pMod->S); }
}  // namespace

void IControl_ApplyWheel(IControl* pControl, const IMouseMod* pMod, int d)
{
  pControl->SetValue(pControl->GetValue() + (double)d * (FineModifier(pMod) ? 0.001 : 0.01));
  pControl->SetDirty(true);
}

// ---- IKnobControl ----

IKnobControl::IKnobControl(IPluginBase* plug, IRECT rect, int paramIdx, EDirection direction, double gearing,
                           IChannelBlend::EBlendMethod blendMethod)
: IControl(plug, rect, paramIdx, blendMethod), mDirection(direction), mGearing(gearing)
{
}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* pMod)
{
  double gearing = mGearing;
  if (FineModifier(pMod)) gearing *= 10.0;

  // Vertical knobs divide by the negative height, so dragging up raises the value.
  const int extent = mDirection == kHorizontal ? mRECT.R - mRECT.L : mRECT.T - mRECT.B;
  if (extent == 0) return;
  const double delta = (double)(mDirection == kHorizontal ? dX : dY) / (double)extent;
  SetValue(GetValue() + delta / gearing);
  SetDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* pMod, int d) { IControl_ApplyWheel(this, pMod, d); }

// ---- IKnobLineControl ----

IKnobLineControl::IKnobLineControl(IPluginBase* plug, IRECT rect, int paramIdx, const IColor* pColor,
                                   double innerRadius, double outerRadius, double minAngle, double maxAngle,
                                   EDirection direction, double gearing)
: IKnobControl(plug, rect, paramIdx, direction, gearing, IChannelBlend::kBlendCopy),
  mColor(pColor ? *pColor : COLOR_BLACK),
  mMinAngle((float)minAngle),
  mMaxAngle((float)maxAngle),
  mInnerRadius((float)innerRadius),
  mOuterRadius((float)outerRadius)
{
  if (mOuterRadius == 0.0f) mOuterRadius = (float)(rect.R - rect.L) * 0.5f;
}

bool IKnobLineControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + GetValue() * (mMaxAngle - mMinAngle);
  const float sinV = (float)std::sin(angle);
  const float cosV = (float)std::cos(angle);
  const float cx = (float)(mRECT.L + mRECT.R) * 0.5f;
  const float cy = (float)(mRECT.T + mRECT.B) * 0.5f;
  return pGraphics->DrawLine(&mColor, cx + sinV * mInnerRadius, cy - cosV * mInnerRadius, cx + sinV * mOuterRadius,
                             cy - cosV * mOuterRadius, &mBlend, true);
}

// ---- IKnobRotaterControl ----

IKnobRotaterControl::IKnobRotaterControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                         double minAngle, double maxAngle, int yOffset, EDirection direction,
                                         double gearing)
: IKnobControl(plug,
               IRECT(x, y, x + BitmapOrEmpty(pBitmap).W, y + BitmapOrEmpty(pBitmap).H),
               paramIdx, direction, gearing),
  mBitmap(BitmapOrEmpty(pBitmap)),
  mMinAngle(minAngle),
  mMaxAngle(maxAngle),
  mYOffset(yOffset)
{
}

bool IKnobRotaterControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + GetValue() * (mMaxAngle - mMinAngle);
  return pGraphics->DrawRotatedBitmap(&mBitmap, (mRECT.L + mRECT.R) / 2, (mRECT.T + mRECT.B) / 2, angle, mYOffset,
                                      &mBlend);
}

// ---- IKnobMultiControl ----

IKnobMultiControl::IKnobMultiControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                     EDirection direction, double gearing)
: IKnobControl(plug,
               IRECT(x, y, x + BitmapOrEmpty(pBitmap).FrameWidth(), y + BitmapOrEmpty(pBitmap).FrameHeight()),
               paramIdx, direction, gearing),
  mBitmap(BitmapOrEmpty(pBitmap))
{
}

bool IKnobMultiControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, IBitmap_StateForValue(mBitmap.NFrames(), GetValue()), &mBlend);
}

// ---- IKnobRotatingMaskControl ----

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBase,
                                                   IBitmap* pMask, IBitmap* pTop, double minAngle, double maxAngle,
                                                   EDirection direction, double gearing)
: IKnobControl(plug,
               IRECT(x, y, x + BitmapOrEmpty(pBase).W, y + BitmapOrEmpty(pBase).H),
               paramIdx, direction, gearing),
  mBase(BitmapOrEmpty(pBase)),
  mMask(BitmapOrEmpty(pMask)),
  mTop(BitmapOrEmpty(pTop)),
  mMinAngle(minAngle),
  mMaxAngle(maxAngle)
{
}

bool IKnobRotatingMaskControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + GetValue() * (mMaxAngle - mMinAngle);
  return pGraphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angle, &mBlend);
}

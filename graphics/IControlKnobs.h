// Knobs: the drag-and-wheel behaviour they share, and four ways to draw one (a line, a
// rotated image, a film-strip frame, a rotating mask).
// Threads: everything here runs on the UI thread; the plug-in side reaches these controls
// only through IControl::SetValueFromPlug. Images are views on the bitmap cache and are not
// owned by the controls.
#pragma once

#include "graphics/IControlBitmaps.h"

// The wheel step of knobs and faders: d * 0.01, or d * 0.001 with Shift or Control; then
// SetDirty(true), which clamps and pushes to the host. UI thread.
void IControl_ApplyWheel(IControl* pControl, const IMouseMod* pMod, int d);

// Turns by dragging along one direction; abstract, the subclasses draw it.
class IKnobControl : public IControl
{
public:
  // UI thread.
  IKnobControl(IPluginBase* plug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = 4.0, IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  // UI thread: adds the drag over the control's extent divided by the gearing (ten times
  // finer with Shift or Control); moving up or right raises the value. A control of zero
  // extent along its direction ignores drags.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  // UI thread: IControl_ApplyWheel.
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;

  EDirection GetDirection() const { return mDirection; }
  double GetGearing() const { return mGearing; }
  void SetGearing(double gearing) { mGearing = gearing; }

protected:
  EDirection mDirection;
  double mGearing;
};

// A line from the inner to the outer radius at the value's angle.
class IKnobLineControl : public IKnobControl
{
public:
  // UI thread. Angles in radians, 0 straight up, clockwise. An outer radius of exactly 0
  // becomes half the width. A null colour draws black. Plain copy blend.
  IKnobLineControl(IPluginBase* plug, IRECT rect, int paramIdx, const IColor* pColor, double innerRadius = 0.0,
                   double outerRadius = 0.0, double minAngle = -0.75 * 3.14159265358979323846,
                   double maxAngle = 0.75 * 3.14159265358979323846, EDirection direction = kVertical,
                   double gearing = 4.0);
  // UI thread, inside IGraphics::Draw.
  bool Draw(IGraphics* pGraphics) override;

  float GetInnerRadius() const { return mInnerRadius; }
  float GetOuterRadius() const { return mOuterRadius; }

protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// The whole image rotated about the control's centre.
class IKnobRotaterControl : public IKnobControl
{
public:
  // UI thread. Sized to the whole image at (x, y). Angles in radians; yOffset moves the
  // rotation centre down the image.
  IKnobRotaterControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      double minAngle = -0.75 * 3.14159265358979323846,
                      double maxAngle = 0.75 * 3.14159265358979323846, int yOffset = 0,
                      EDirection direction = kVertical, double gearing = 4.0);
  // UI thread, inside IGraphics::Draw.
  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// One frame of a film strip per value: frame int((N - 1) * value + 0.5) + 1.
class IKnobMultiControl : public IKnobControl
{
public:
  // UI thread. Sized to one frame at (x, y).
  IKnobMultiControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                    EDirection direction = kVertical, double gearing = 4.0);
  // UI thread, inside IGraphics::Draw.
  bool Draw(IGraphics* pGraphics) override;

  const IBitmap& GetBitmap() const { return mBitmap; }

protected:
  IBitmap mBitmap;
};

// A mask rotated between a base and a top image.
class IKnobRotatingMaskControl : public IKnobControl
{
public:
  // UI thread. Sized to the base image at (x, y). Angles in degrees.
  IKnobRotatingMaskControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBase, IBitmap* pMask,
                           IBitmap* pTop, double minAngle = -135.0, double maxAngle = 135.0,
                           EDirection direction = kVertical, double gearing = 4.0);
  // UI thread, inside IGraphics::Draw.
  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};

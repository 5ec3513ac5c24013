// A fader: a handle image that slides along a straight travel and follows the mouse.
// Threads: everything here runs on the UI thread; the plug-in side reaches it only through
// IControl::SetValueFromPlug. The handle image is a view on the bitmap cache, not owned.
#pragma once

#include "graphics/IControlBitmaps.h"

class IFaderControl : public IControl
{
public:
  // UI thread. The control is len long along the direction and as thick as the handle
  // image; onlyHandle makes only the handle itself clickable.
  IFaderControl(IPluginBase* plug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                EDirection direction = kVertical, bool onlyHandle = false);

  // UI thread: with R, the value prompt; otherwise the handle jumps to the mouse.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // UI thread: the handle follows the mouse.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  // UI thread: as for knobs (IControl_ApplyWheel).
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;
  // UI thread, inside IGraphics::Draw: the handle's first frame at GetHandleRECT().
  bool Draw(IGraphics* pGraphics) override;
  // UI thread: the handle for the current value (onlyHandle) or the whole target.
  bool IsHit(int x, int y) override;
  // UI thread: centres the handle on the mouse, then SetDirty(true) clamps the value to
  // 0 ... 1 and pushes it. A fader without travel keeps its value.
  virtual void SnapToMouse(int x, int y);

  // UI thread. Where the handle sits for value; a negative value means the current one.
  // Horizontal faders grow to the right, vertical ones upwards.
  IRECT GetHandleRECT(double value = -1.0) const;

  int GetLength() const { return mLen; }
  int GetHandleLength() const { return mHandleLength; }
  EDirection GetDirection() const { return mDirection; }

protected:
  int Travel() const { return mLen - mHandleLength; }

  int mLen, mHandleLength;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};

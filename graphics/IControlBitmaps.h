// Image and switch controls: a colour panel, a frame-per-value image, switches that step
// through their frames, an invisible toggle zone and a row of radio buttons.
// Threads: everything here runs on the UI thread; the plug-in side reaches these controls
// only through IControl::SetValueFromPlug. Images are views on the bitmap cache and are not
// owned by the controls.
#pragma once

#include "graphics/IControl.h"

// Layout direction of knob drags, faders and radio buttons.
enum EDirection : int
{
  kVertical = 0,
  kHorizontal = 1
};

// The 1-based frame an n-frame strip shows for a normalised value: int((n - 1) * value + 0.5)
// + 1, kept inside 1 ... n (a NaN value shows the first frame). Any thread, no state.
int IBitmap_StateForValue(int nFrames, double value);

// A rectangle filled with one colour.
class IPanelControl : public IControl
{
public:
  // UI thread. A null colour fills with COLOR_TRANSPARENT.
  IPanelControl(IPluginBase* plug, IRECT rect, const IColor* pColor,
                IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  // UI thread, inside IGraphics::Draw.
  bool Draw(IGraphics* pGraphics) override;

  const IColor& GetColor() const { return mColor; }

protected:
  IColor mColor;
};

// An image, one frame per value (the background when N is 1).
class IBitmapControl : public IControl
{
public:
  // UI thread. Sized to one frame at (x, y); a null image gives an empty view that draws
  // nothing.
  IBitmapControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  // UI thread, inside IGraphics::Draw: the frame for the value (the first when N < 2).
  bool Draw(IGraphics* pGraphics) override;

  const IBitmap& GetBitmap() const { return mBitmap; }

protected:
  IBitmap mBitmap;
};

// Steps to the next frame on each click and wraps to the first.
class ISwitchControl : public IBitmapControl
{
public:
  // UI thread.
  ISwitchControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  // UI thread: the next frame (value + 1 / (N - 1), or + 1 for one frame), 0 past 1.001;
  // pushes to the host. Any button.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // UI thread: steps again; a switch never restores a default.
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
};

// A switch whose click opens the value prompt (a menu of display texts once the owner
// enables prompts).
class ISwitchPopUpControl : public ISwitchControl
{
public:
  // UI thread. Prompts stay disabled until the owner clears mDisablePrompt.
  ISwitchPopUpControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  // UI thread: PromptUserInput(), then pushes the value.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
};

// A switch whose frame is picked by where it is clicked: one cell per frame.
class ISwitchFramesControl : public ISwitchControl
{
public:
  // UI thread. Prompts enabled. imagesAreHorizontal lays the cells side by side across the
  // control instead of top to bottom.
  ISwitchFramesControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                       bool imagesAreHorizontal = false,
                       IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  // UI thread: the first cell holding the point sets value i / (N - 1) (0 for one frame);
  // the value is pushed to the host whether or not a cell was hit.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;

  int NCells() const { return mRECTs.GetSize(); }
  // Null outside the list.
  const IRECT* GetCell(int i) const { return i >= 0 && i < NCells() ? &mRECTs.Get()[i] : nullptr; }

protected:
  Util_TypedBuf<IRECT> mRECTs{128};
};

// A push button: steps like a switch on press, returns to 0 on release.
class IContactControl : public ISwitchControl
{
public:
  // UI thread.
  IContactControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                  IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  // UI thread: value 0, pushed to the host.
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
};

// A switch that is only drawn while on; while off it is hit in a separate target area.
class IBitmapOverlayControl : public ISwitchControl
{
public:
  // UI thread.
  IBitmapOverlayControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap, IRECT targetArea,
                        IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  // UI thread, inside IGraphics::Draw: below 0.5 nothing is drawn and the target area takes
  // the clicks; otherwise the image is drawn and hit where it is drawn.
  bool Draw(IGraphics* pGraphics) override;

  const IRECT& GetTargetArea() const { return mTargetArea; }

protected:
  IRECT mTargetArea;
};

// A click zone that toggles between 0 and 1 and draws nothing.
class IInvisibleSwitchControl : public IControl
{
public:
  // UI thread. Plain copy blend, prompts disabled.
  IInvisibleSwitchControl(IPluginBase* plug, IRECT rect, int paramIdx);
  // UI thread: 1 when the value was below 0.5, else 0; pushed to the host.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // UI thread: draws nothing.
  bool Draw(IGraphics* pGraphics) override;
};

// nButtons cells spread over the rectangle, each drawn with the image's second frame when
// it is the active one and its first frame otherwise.
class IRadioButtonsControl : public IControl
{
public:
  // UI thread. A count below 1 counts as 1; a single button always shows active and a click
  // on it sets 0.
  IRadioButtonsControl(IPluginBase* plug, IRECT rect, int paramIdx, int nButtons, IBitmap* pBitmap,
                       EDirection direction = kVertical, bool reverse = false);
  // UI thread: with R, the value prompt; otherwise the first cell holding the point sets
  // i / (nButtons - 1). Pushes the value to the host in any case except after a prompt.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // UI thread, inside IGraphics::Draw.
  bool Draw(IGraphics* pGraphics) override;

  int NButtons() const { return mRECTs.GetSize(); }
  // Null outside the list.
  const IRECT* GetCell(int i) const { return i >= 0 && i < NButtons() ? &mRECTs.Get()[i] : nullptr; }

protected:
  Util_TypedBuf<IRECT> mRECTs{128};
  IBitmap mBitmap;
};

#include "graphics/IControlBitmaps.h"

#include "graphics/IGraphics.h"

namespace
{
IBitmap BitmapOrEmpty(const IBitmap* pBitmap) { return pBitmap ? *pBitmap : IBitmap(); }

// One frame of the image at (x, y).
IRECT FrameRect(int x, int y, const IBitmap& bm)
{
  return IRECT(x, y, x + bm.FrameWidth(), y + bm.FrameHeight());
}
}  // namespace

int IBitmap_StateForValue(int nFrames, double value)
{
  if (nFrames < 1) nFrames = 1;
  const double f = (double)(nFrames - 1) * value + 0.5;
  // Compared in double first: truncating a NaN or a huge value to int is undefined.
  if (!(f >= 1.0)) return 1;
  if (f >= (double)nFrames) return nFrames;
  return (int)f + 1;
}

// ---- IPanelControl ----

IPanelControl::IPanelControl(IPluginBase* plug, IRECT rect, const IColor* pColor,
                             IChannelBlend::EBlendMethod blendMethod)
: IControl(plug, rect, -1, blendMethod), mColor(pColor ? *pColor : COLOR_TRANSPARENT)
{
}

bool IPanelControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->FillIRect(&mColor, &mRECT, &mBlend);
}

// ---- IBitmapControl ----

IBitmapControl::IBitmapControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendMethod blendMethod)
: IControl(plug, FrameRect(x, y, BitmapOrEmpty(pBitmap)), paramIdx, blendMethod), mBitmap(BitmapOrEmpty(pBitmap))
{
}

bool IBitmapControl::Draw(IGraphics* pGraphics)
{
  const int n = mBitmap.NFrames();
  const int state = n < 2 ? 1 : IBitmap_StateForValue(n, GetValue());
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, state, &mBlend);
}

// ---- ISwitchControl ----

ISwitchControl::ISwitchControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendMethod blendMethod)
: IBitmapControl(plug, x, y, paramIdx, pBitmap, blendMethod)
{
}

void ISwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  const int n = mBitmap.NFrames();
  double v = GetValue() + (n >= 2 ? 1.0 / (double)(n - 1) : 1.0);
  // A little above 1 so the last step, summed in floating point, still lands on 1.
  if (v > 1.001) v = 0.0;
  SetValue(v);
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* pMod) { OnMouseDown(x, y, pMod); }

// ---- ISwitchPopUpControl ----

ISwitchPopUpControl::ISwitchPopUpControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                         IChannelBlend::EBlendMethod blendMethod)
: ISwitchControl(plug, x, y, paramIdx, pBitmap, blendMethod)
{
}

void ISwitchPopUpControl::OnMouseDown(int, int, IMouseMod*)
{
  PromptUserInput();
  SetDirty(true);
}

// ---- ISwitchFramesControl ----

ISwitchFramesControl::ISwitchFramesControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                           bool imagesAreHorizontal, IChannelBlend::EBlendMethod blendMethod)
: ISwitchControl(plug, x, y, paramIdx, pBitmap, blendMethod)
{
  mDisablePrompt = false;
  const int n = mBitmap.NFrames();
  IRECT* cells = mRECTs.Resize(n);
  if (!cells) return;  // no room: no cell is ever hit
  const IRECT& r = mRECT;
  const float step = (float)(imagesAreHorizontal ? r.R - r.L : r.B - r.T) / (float)n;
  for (int i = 0; i < n; ++i)
  {
    if (imagesAreHorizontal)
    {
      const int l = r.L + (int)((float)i * step);
      cells[i] = IRECT(l, r.T, (int)((float)l + step), r.B);
    }
    else
    {
      const int t = r.T + (int)((float)i * step);
      cells[i] = IRECT(r.L, t, r.R, (int)((float)t + step));
    }
  }
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod*)
{
  const int n = NCells();
  for (int i = 0; i < n; ++i)
  {
    if (mRECTs.Get()[i].Contains(x, y))
    {
      SetValue(n >= 2 ? (double)i / (double)(n - 1) : 0.0);
      break;
    }
  }
  SetDirty(true);
}

// ---- IContactControl ----

IContactControl::IContactControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                 IChannelBlend::EBlendMethod blendMethod)
: ISwitchControl(plug, x, y, paramIdx, pBitmap, blendMethod)
{
}

void IContactControl::OnMouseUp(int, int, IMouseMod*)
{
  SetValue(0.0);
  SetDirty(true);
}

// ---- IBitmapOverlayControl ----

IBitmapOverlayControl::IBitmapOverlayControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                             IRECT targetArea, IChannelBlend::EBlendMethod blendMethod)
: ISwitchControl(plug, x, y, paramIdx, pBitmap, blendMethod), mTargetArea(targetArea)
{
}

bool IBitmapOverlayControl::Draw(IGraphics* pGraphics)
{
  if (GetValue() < 0.5)
  {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(pGraphics);
}

// ---- IInvisibleSwitchControl ----

IInvisibleSwitchControl::IInvisibleSwitchControl(IPluginBase* plug, IRECT rect, int paramIdx)
: IControl(plug, rect, paramIdx, IChannelBlend::kBlendCopy)
{
  mDisablePrompt = true;
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  SetValue(GetValue() < 0.5 ? 1.0 : 0.0);
  SetDirty(true);
}

bool IInvisibleSwitchControl::Draw(IGraphics*) { return true; }

// ---- IRadioButtonsControl ----

IRadioButtonsControl::IRadioButtonsControl(IPluginBase* plug, IRECT rect, int paramIdx, int nButtons,
                                           IBitmap* pBitmap, EDirection direction, bool reverse)
: IControl(plug, rect, paramIdx), mBitmap(BitmapOrEmpty(pBitmap))
{
  if (nButtons < 1) nButtons = 1;
  IRECT* cells = mRECTs.Resize(nButtons);
  if (!cells) return;  // no room: no button is hit or drawn

  const int cellW = mBitmap.W;
  const int cellH = (int)((double)mBitmap.H / (double)mBitmap.NFrames());
  const bool horizontal = direction == kHorizontal;
  const int cellSize = horizontal ? cellW : cellH;
  const int extent = horizontal ? rect.W() : rect.H();
  // One button has no gaps to spread.
  const int spacing = nButtons > 1 ? (int)((double)(extent - nButtons * cellSize) / (double)(nButtons - 1)) : 0;
  const int advance = cellSize + spacing;

  int pos;  // left (horizontal) or top (vertical) edge of the current cell
  if (reverse)
    pos = (horizontal ? rect.R : rect.B) - spacing - cellSize;
  else
    pos = horizontal ? rect.L : rect.T;

  for (int i = 0; i < nButtons; ++i)
  {
    cells[i] = horizontal ? IRECT(pos, rect.T, pos + cellW, rect.T + cellH)
                          : IRECT(rect.L, pos, rect.L + cellW, pos + cellH);
    pos += reverse ? -advance : advance;
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R)
  {
    PromptUserInput();
    return;
  }
  const int n = NButtons();
  for (int i = 0; i < n; ++i)
  {
    if (mRECTs.Get()[i].Contains(x, y))
    {
      SetValue(n > 1 ? (double)i / (double)(n - 1) : 0.0);
      break;
    }
  }
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* pGraphics)
{
  const int n = NButtons();
  // Same rounding as a strip's frame, counted from 0.
  const int active = IBitmap_StateForValue(n, GetValue()) - 1;
  for (int i = 0; i < n; ++i)
    pGraphics->DrawBitmap(&mBitmap, &mRECTs.Get()[i], i == active ? 2 : 1, &mBlend);
  return true;
}

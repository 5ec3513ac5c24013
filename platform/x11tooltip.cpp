#include "platform/x11tooltip.h"

#include <algorithm>

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "platform/x11surface.h"

namespace
{
const IColor kTipBack(255, 255, 255, 225);
const IColor kTipFrame(255, 90, 90, 70);
const IColor kTipText(255, 20, 20, 20);
const int kPadX = 6, kPadY = 3;
// Beside the pointer, below its hot spot, as desktops place them.
const int kOffsetX = 12, kOffsetY = 20;
} // namespace

X11Tooltip::X11Tooltip(Display* display, Window editor, IGraphics* graphics)
  : mDisplay(display), mEditor(editor), mGraphics(graphics)
{
}

X11Tooltip::~X11Tooltip() = default;

void X11Tooltip::SetAreas(std::vector<IRECT> areas)
{
  mTip.reset();
  mAreas = std::move(areas);
  mArea = -1;
  mWaiting = false;
}

int X11Tooltip::AreaAt(int x, int y) const
{
  // Later controls lie on top (the background, first, under everything).
  for (int i = (int)mAreas.size() - 1; i >= 0; --i)
  {
    const IRECT& r = mAreas[(size_t)i];
    if (x >= r.L && x < r.R && y >= r.T && y < r.B) return i;
  }
  return -1;
}

void X11Tooltip::OnMotion(int x, int y)
{
  mX = x;
  mY = y;
  const int area = AreaAt(x, y);

  if (area == mArea)
  {
    // A tip that shows stays while the pointer is in its area; one to come
    // waits for the pointer to rest.
    if (mWaiting) mRestSince = std::chrono::steady_clock::now();
    return;
  }
  mTip.reset();
  mArea = area;
  mWaiting = area >= 0;
  mRestSince = std::chrono::steady_clock::now();
}

void X11Tooltip::Hide()
{
  mTip.reset();
  mWaiting = false;
}

void X11Tooltip::OnLeave()
{
  Hide();
  mArea = -1;
}

void X11Tooltip::OnTick()
{
  if (!mWaiting || mTip) return;
  const auto rested = std::chrono::steady_clock::now() - mRestSince;
  if (rested < std::chrono::milliseconds(kDelayMs)) return;
  mWaiting = false;
  Show();
}

void X11Tooltip::Show()
{
  const int over = mGraphics->GetMouseOver();

  IControl* control = over >= 0 ? mGraphics->GetControl(over) : nullptr;
  const char* text = control ? control->GetTooltip() : nullptr;
  if (!text || !*text) return;
  IText style(12, &kTipText, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
  int tw = 0, th = 0;
  if (!X11Surface::Measure(mGraphics, &style, text, &tw, &th)) return;
  const int w = tw + 2 * kPadX, h = th + 2 * kPadY;
  int rx = 0, ry = 0;
  X11_ToRoot(mDisplay, mEditor, mX + kOffsetX, mY + kOffsetY, &rx, &ry);
  // Kept on the screen.
  const int sw = DisplayWidth(mDisplay, DefaultScreen(mDisplay));
  const int sh = DisplayHeight(mDisplay, DefaultScreen(mDisplay));
  rx = std::max(0, std::min(rx, sw - w));
  if (ry + h > sh) ry = std::max(0, ry - h - kOffsetY - 4);
  auto tip = std::make_unique<X11Surface>(mDisplay, DefaultRootWindow(mDisplay), rx, ry, w, h, true, ExposureMask);
  if (!tip->Valid()) return;
  tip->Fill(IRECT(0, 0, w, h), kTipBack);
  tip->Frame(IRECT(0, 0, w, h), kTipFrame);
  tip->Text(mGraphics, &style, text, IRECT(kPadX, kPadY, w - kPadX, h - kPadY));
  tip->Map();
  tip->Put();
  mTip = std::move(tip);
}

bool X11Tooltip::Owns(Window window) const
{
  return mTip && mTip->Id() == window;
}

void X11Tooltip::OnExpose()
{
  if (mTip) mTip->Put();
}

Window X11Tooltip::Shown() const
{
  return mTip ? mTip->Id() : 0;
}

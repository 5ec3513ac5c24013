#include "platform/x11surface.h"

#include <algorithm>
#include <cstring>

#include "graphics/IGraphics.h"
#include "platform/x11errors.h"
#include "raster/raster.h"

X11Surface::X11Surface(Display* display, Window parent, int x, int y, int w, int h, bool overrideRedirect,
                       long eventMask)
  : mDisplay(display), mW(std::max(w, 1)), mH(std::max(h, 1)), mBitmap(mW, mH)
{
  const int screen = DefaultScreen(display);
  mVisual = DefaultVisual(display, screen);
  mDepth = DefaultDepth(display, screen);
  XSetWindowAttributes attrs{};
  attrs.background_pixmap = None;
  attrs.border_pixel = 0;
  attrs.colormap = DefaultColormap(display, screen);
  attrs.event_mask = eventMask;
  attrs.override_redirect = overrideRedirect ? True : False;
  attrs.save_under = overrideRedirect ? True : False;
  X11ErrorTrap trap(display);
  Window win = XCreateWindow(display, parent, x, y, (unsigned)mW, (unsigned)mH, 0, mDepth, InputOutput, mVisual,
                           CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect |
                               CWSaveUnder,
                           &attrs);
  GC gc = win ? XCreateGC(display, win, 0, nullptr) : nullptr;
  if (trap.Failed())
  {
    // A parent that is gone took whatever was made with it.
    return;
  }
  mWindow = win;
  mGC = gc;
}

X11Surface::~X11Surface()
{
  if (!mWindow) return;
  X11ErrorTrap trap(mDisplay);
  if (mGC) XFreeGC(mDisplay, mGC);
  XDestroyWindow(mDisplay, mWindow);
  trap.Failed();
}

void X11Surface::Map()
{
  if (!mWindow) return;
  X11ErrorTrap trap(mDisplay);
  XMapRaised(mDisplay, mWindow);
  trap.Failed();
}

bool X11Surface::MoveResize(int x, int y, int w, int h)
{
  if (!mWindow) return false;
  mW = std::max(w, 1);
  mH = std::max(h, 1);
  mBitmap.resize(mW, mH);
  X11ErrorTrap trap(mDisplay);
  XMoveResizeWindow(mDisplay, mWindow, x, y, (unsigned)mW, (unsigned)mH);
  return !trap.Failed() && mBitmap.getBits();
}

void X11Surface::Fill(const IRECT& r, const IColor& color)
{
  const int l = std::max(r.L, 0), t = std::max(r.T, 0);
  const int rr = std::min(r.R, mW), b = std::min(r.B, mH);
  if (rr <= l || b <= t || !mBitmap.getBits()) return;
  Raster_FillRect(&mBitmap, l, t, rr - l, b - t, color.ToPixel(), 1.0f, RASTER_MODE_COPY);
}

void X11Surface::Frame(const IRECT& r, const IColor& color)
{
  Fill(IRECT(r.L, r.T, r.R, r.T + 1), color);
  Fill(IRECT(r.L, r.B - 1, r.R, r.B), color);
  Fill(IRECT(r.L, r.T, r.L + 1, r.B), color);
  Fill(IRECT(r.R - 1, r.T, r.R, r.B), color);
}

bool X11Surface::Text(IGraphics* graphics, IText* pTxt, const char* str, const IRECT& r)
{
  if (!str || !*str) return true;
  Raster_IFont* font = graphics ? graphics->CacheFont(pTxt) : nullptr;
  if (!font || !mBitmap.getBits()) return false;
  font->SetTextColor(pTxt->mColor.ToPixel());
  int format = DT_SINGLELINE | DT_VCENTER;
  if (pTxt->mAlign == IText::kAlignCenter) format |= DT_CENTER;
  else if (pTxt->mAlign == IText::kAlignFar) format |= DT_RIGHT;
  RECT rc = {r.L, r.T, r.R, r.B};
  font->DrawText(&mBitmap, str, -1, &rc, format);
  return true;
}

bool X11Surface::Measure(IGraphics* graphics, IText* pTxt, const char* str, int* w, int* h)
{
  Raster_IFont* font = graphics ? graphics->CacheFont(pTxt) : nullptr;
  if (!font) return false;
  RECT rc = {0, 0, 0, 0};
  if (str && *str) font->DrawText(nullptr, str, -1, &rc, DT_SINGLELINE | DT_CALCRECT);
  *w = rc.right - rc.left;
  *h = std::max((int)(rc.bottom - rc.top), font->GetLineHeight());
  return true;
}

bool X11Surface::Put()
{
  if (!mWindow || !mGC || !mBitmap.getBits()) return false;
  XImage* image = XCreateImage(mDisplay, mVisual, (unsigned)mDepth, ZPixmap, 0, (char*)mBitmap.getBits(),
                               (unsigned)mW, (unsigned)mH, 32, mBitmap.getRowSpan() * 4);
  if (!image) return false;
  image->byte_order = LSBFirst;
  X11ErrorTrap trap(mDisplay);
  if (image->bits_per_pixel == 32) XPutImage(mDisplay, mWindow, mGC, image, 0, 0, 0, 0, (unsigned)mW, (unsigned)mH);
  const bool ok = image->bits_per_pixel == 32;
  image->data = nullptr;
  XDestroyImage(image);
  return !trap.Failed() && ok;
}

void X11_ToRoot(Display* display, Window w, int x, int y, int* rootX, int* rootY)
{
  *rootX = *rootY = 0;
  Window child = 0;
  X11ErrorTrap trap(display);
  XTranslateCoordinates(display, w, DefaultRootWindow(display), x, y, rootX, rootY, &child);
  if (trap.Failed()) *rootX = *rootY = 0;
}

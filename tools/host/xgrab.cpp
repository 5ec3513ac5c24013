#include "tools/host/xgrab.h"

#include <X11/Xutil.h>

namespace vst3host {

namespace {

// Xlib's error handler is process-wide: ours is set only around one request
// and the previous one put back.
int gGrabErrors = 0;
int OnGrabError(Display*, XErrorEvent*) {
  ++gGrabErrors;
  return 0;
}

// 8-bit channel value of pixel under mask.
uint32_t Channel(unsigned long pixel, unsigned long mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const unsigned long max = mask >> shift;
  const unsigned long v = (pixel & mask) >> shift;
  return static_cast<uint32_t>(max == 255 ? v : (v * 255 + max / 2) / max);
}

}  // namespace

bool GrabWindow(Display* display, Window window, int x, int y, int w, int h, std::vector<uint32_t>* pixels) {
  pixels->clear();
  if (!display || !window || w <= 0 || h <= 0) return false;
  XSync(display, False);
  gGrabErrors = 0;
  int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(OnGrabError);
  XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                            ZPixmap);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!image) return false;
  // A window's image carries its visual's masks; the usual ones otherwise.
  if (!image->red_mask && !image->green_mask && !image->blue_mask) {
    image->red_mask = 0xFF0000;
    image->green_mask = 0xFF00;
    image->blue_mask = 0xFF;
  }
  if (gGrabErrors == 0) {
    pixels->reserve(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int row = 0; row < h; ++row)
      for (int col = 0; col < w; ++col) {
        const unsigned long p = XGetPixel(image, col, row);
        pixels->push_back(0xFF000000u | Channel(p, image->red_mask) << 16 | Channel(p, image->green_mask) << 8 |
                          Channel(p, image->blue_mask));
      }
  }
  XDestroyImage(image);
  return !pixels->empty();
}

bool AllOneColour(const std::vector<uint32_t>& pixels) {
  for (uint32_t p : pixels)
    if (p != pixels.front()) return false;
  return true;
}

}  // namespace vst3host

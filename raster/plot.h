// Internal: per-pixel plotting for the vector primitives.
#pragma once

#include "raster/blitutil.h"

namespace raster_detail {

// Whole-pixel fixed-weight copies, shaped like combine operations.
struct MixQuarterOp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int)
  { Raster_Pixel* p = (Raster_Pixel*)d; *p = Raster_QuarterMix(Raster_RGBA(r, g, b, a), *p); }
};
struct MixHalfOp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int)
  { Raster_Pixel* p = (Raster_Pixel*)d; *p = Raster_HalfMix(Raster_RGBA(r, g, b, a), *p); }
};
struct MixThreeQuarterOp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int)
  { Raster_Pixel* p = (Raster_Pixel*)d; *p = Raster_ThreeQuarterMix(Raster_RGBA(r, g, b, a), *p); }
};

// Operation for a constant weight: copy mode uses the whole-pixel mixes at 64, 128, 192, 256.
template <class Fn>
bool WithPlotOp(int mode, int alpha, Fn&& fn)
{
  if ((mode & (RASTER_MODE_MASK | RASTER_MODE_SOURCEALPHA)) == RASTER_MODE_COPY)
  {
    if (alpha == 64) { fn(MixQuarterOp{}); return true; }
    if (alpha == 128) { fn(MixHalfOp{}); return true; }
    if (alpha == 192) { fn(MixThreeQuarterOp{}); return true; }
  }
  return Raster_WithCombineOp(mode, alpha, false, fn);
}

// Operation for weights that vary per pixel (antialiasing): always the blending forms.
template <class Fn>
bool WithCoverageOp(int mode, Fn&& fn)
{
  return Raster_WithCombineOp(mode, 0, false, fn);
}

// Destination plus colour; plot() clips to the bitmap and an optional extra rectangle set.
struct Canvas
{
  Raster_IBitmap* bm;
  int w, h;
  int r, g, b, a;
  int nclip = 0;
  RECT clip[6];

  Canvas(Raster_IBitmap* bitmap, Raster_Pixel color)
    : bm(bitmap), w(bitmap->getWidth()), h(bitmap->getHeight()), r((int)((color >> 16) & 255)),
      g((int)((color >> 8) & 255)), b((int)(color & 255)), a((int)(color >> 24))
  {
  }
  bool inside(int x, int y) const
  {
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    if (!nclip) return true;
    for (int i = 0; i < nclip; ++i)
      if (x >= clip[i].left && x < clip[i].right && y >= clip[i].top && y < clip[i].bottom) return true;
    return false;
  }
  template <class Op>
  void plot(int x, int y, int weight) const
  {
    if (weight <= 0 || !inside(x, y)) return;
    Op::doPix((unsigned char*)(Raster_RowPtr(bm, y) + x), r, g, b, a, weight);
  }
  // Row y from x0 to x1 inclusive; the caller guarantees 0 <= y < h and no extra clip.
  template <class Op>
  void span(int y, int x0, int x1, int weight) const
  {
    if (x0 < 0) x0 = 0;
    if (x1 >= w) x1 = w - 1;
    if (x0 > x1) return;
    Raster_Pixel* p = Raster_RowPtr(bm, y);
    for (int x = x0; x <= x1; ++x) Op::doPix((unsigned char*)(p + x), r, g, b, a, weight);
  }
};

} // namespace raster_detail

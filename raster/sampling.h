// Internal: source samplers for scaled and rotated blits (16.16 fixed-point positions).
#pragma once

#include "raster/bitmap.h"

#include <cstdint>

namespace raster_detail {

// Readable source area: [l, r) x [t, b), rows fetched through Raster_RowPtr.
struct SrcArea
{
  Raster_IBitmap* bm;
  int l, t, r, b;
};

inline Raster_Pixel Lerp2(Raster_Pixel p, Raster_Pixel q, int f)  // f in 0 ... 256
{
  const uint32_t rb = ((((p & 0x00FF00FF) * (uint32_t)(256 - f)) + ((q & 0x00FF00FF) * (uint32_t)f)) >> 8) & 0x00FF00FF;
  const uint32_t ag = ((((p >> 8) & 0x00FF00FF) * (uint32_t)(256 - f)) + (((q >> 8) & 0x00FF00FF) * (uint32_t)f)) & 0xFF00FF00;
  return rb | ag;
}

// 2 x 2 mix at integer pixel (x, y) with 8-bit fractions; the neighbour is dropped at the
// right and bottom edges of the readable area.
inline Raster_Pixel Bilinear(const SrcArea& a, int x, int y, int fx, int fy)
{
  const Raster_Pixel* r0 = Raster_RowPtr(a.bm, y);
  const bool hasX = x + 1 < a.r, hasY = y + 1 < a.b;
  const Raster_Pixel p00 = r0[x];
  const Raster_Pixel p01 = hasX ? r0[x + 1] : p00;
  Raster_Pixel top = hasX ? Lerp2(p00, p01, fx) : p00;
  if (!hasY) return top;
  const Raster_Pixel* r1 = Raster_RowPtr(a.bm, y + 1);
  const Raster_Pixel p10 = r1[x];
  const Raster_Pixel bottom = hasX ? Lerp2(p10, r1[x + 1], fx) : p10;
  return Lerp2(top, bottom, fy);
}

// Plain average of the (2n+1)^2 pixels centred on (x, y) that lie inside the area.
inline Raster_Pixel BoxAverage(const SrcArea& a, int x, int y, int n)
{
  int x0 = x - n, x1 = x + n + 1, y0 = y - n, y1 = y + n + 1;
  if (x0 < a.l) x0 = a.l;
  if (y0 < a.t) y0 = a.t;
  if (x1 > a.r) x1 = a.r;
  if (y1 > a.b) y1 = a.b;
  uint32_t sb = 0, sg = 0, sr = 0, sa = 0, cnt = 0;
  for (int j = y0; j < y1; ++j)
  {
    const Raster_Pixel* row = Raster_RowPtr(a.bm, j);
    for (int i = x0; i < x1; ++i)
    {
      const Raster_Pixel p = row[i];
      sb += p & 255; sg += (p >> 8) & 255; sr += (p >> 16) & 255; sa += p >> 24;
      ++cnt;
    }
  }
  if (!cnt) return 0;
  return ((sa / cnt) << 24) | ((sr / cnt) << 16) | ((sg / cnt) << 8) | (sb / cnt);
}

} // namespace raster_detail

#include "raster/combine.h"

#include <cstring>

namespace raster_detail {

// Hue runs 0 ... 383 (six sectors of 64) so the adjustment stays in integers.
void HSVAdjust(unsigned char* d, int r, int g, int b, int a, int alpha)
{
  const int dr = d[2], dg = d[1], db = d[0];
  int v = dr > dg ? dr : dg;
  if (db > v) v = db;
  int mn = dr < dg ? dr : dg;
  if (db < mn) mn = db;
  const int delta = v - mn;
  int s = v ? delta * 255 / v : 0;
  int h = 0;
  if (delta)
  {
    if (v == dr) h = 64 * (dg - db) / delta;
    else if (v == dg) h = 128 + 64 * (db - dr) / delta;
    else h = 256 + 64 * (dr - dg) / delta;
  }

  h += alpha * (r + r / 2 - 192) / 256;
  h %= 384;
  if (h < 0) h += 384;
  v = Clamp255(v + alpha * (b - 128) / 128);
  s = Clamp255(s + alpha * (g - 128) / 128);

  int nr, ng, nb;
  if (s == 0)
  {
    nr = ng = nb = v;
  }
  else
  {
    const int sector = h / 64, f = h % 64;
    const int p = v * (255 - s) / 255;
    const int q = v * (255 * 64 - s * f) / (255 * 64);
    const int t = v * (255 * 64 - s * (64 - f)) / (255 * 64);
    switch (sector)
    {
      case 0: nr = v; ng = t; nb = p; break;
      case 1: nr = q; ng = v; nb = p; break;
      case 2: nr = p; ng = v; nb = t; break;
      case 3: nr = p; ng = q; nb = v; break;
      case 4: nr = t; ng = p; nb = v; break;
      default: nr = v; ng = p; nb = q; break;
    }
  }
  d[0] = (unsigned char)nb;
  d[1] = (unsigned char)ng;
  d[2] = (unsigned char)nr;
  d[3] = Byte(a);
}

} // namespace raster_detail

namespace {

void Combine2(Raster_Pixel* dest, int r, int g, int b, int a, int alpha, int mode, bool clamp)
{
  if (!dest || alpha <= 0) return;
  if (alpha > 256) alpha = 256;
  unsigned char* d = (unsigned char*)dest;
  Raster_WithCombineOp(mode, alpha, clamp, [&](auto op) { decltype(op)::doPix(d, r, g, b, a, alpha); });
}

} // namespace

Raster_Pixel Raster_CombinePixels(Raster_Pixel dest, Raster_Pixel src, float alpha, int mode)
{
  const int w = Raster_AlphaWeight(alpha);
  if (w == 0) return dest;
  Combine2(&dest, Raster_GetR(src), Raster_GetG(src), Raster_GetB(src), Raster_GetA(src), w, mode, false);
  return dest;
}

void Raster_CombinePixels2(Raster_Pixel* dest, int r, int g, int b, int a, int alpha, int mode)
{
  Combine2(dest, r, g, b, a, alpha, mode, false);
}

void Raster_CombinePixels2Clamp(Raster_Pixel* dest, int r, int g, int b, int a, int alpha, int mode)
{
  Combine2(dest, r, g, b, a, alpha, mode, true);
}

#include "raster/blit.h"

#include "raster/blitutil.h"

#include <cstring>
#include <memory>

using raster_detail::Drawable;

namespace {

// Clips a source rectangle and destination start to both bitmaps; false if nothing remains.
// 64-bit arithmetic so extreme coordinates cannot overflow.
bool ClipBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int& dstx, int& dsty, int& sx, int& sy, int& w,
              int& h)
{
  long long dx = dstx, dy = dsty, x = sx, y = sy, ww = w, hh = h;
  if (x < 0) { dx -= x; ww += x; x = 0; }
  if (y < 0) { dy -= y; hh += y; y = 0; }
  if (x + ww > src->getWidth()) ww = src->getWidth() - x;
  if (y + hh > src->getHeight()) hh = src->getHeight() - y;
  if (dx < 0) { x -= dx; ww += dx; dx = 0; }
  if (dy < 0) { y -= dy; hh += dy; dy = 0; }
  if (dx + ww > dest->getWidth()) ww = dest->getWidth() - dx;
  if (dy + hh > dest->getHeight()) hh = dest->getHeight() - dy;
  if (ww <= 0 || hh <= 0) return false;
  dstx = (int)dx; dsty = (int)dy; sx = (int)x; sy = (int)y; w = (int)ww; h = (int)hh;
  return true;
}

template <class Op>
void BlendRows(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int sx, int sy, int w, int h,
               int alpha)
{
  for (int j = 0; j < h; ++j)
  {
    Raster_Pixel* d = Raster_RowPtr(dest, dsty + j) + dstx;
    const Raster_Pixel* s = Raster_RowPtr(src, sy + j) + sx;
    for (int i = 0; i < w; ++i)
    {
      const Raster_Pixel p = s[i];
      Op::doPix((unsigned char*)(d + i), (int)((p >> 16) & 255), (int)((p >> 8) & 255), (int)(p & 255),
                (int)(p >> 24), alpha);
    }
  }
}

} // namespace

void Raster_Blit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
                 int srcw, int srch, float alpha, int mode)
{
  if (!dest || !src) return;
  alpha = Raster_LimitAlpha(alpha);
  if (alpha == 0.0f) return;
  if (!Drawable(dest) || !Drawable(src)) return;
  int w = srcw, h = srch;
  if (!ClipBlit(dest, src, dstx, dsty, srcx, srcy, w, h)) return;

  // Blitting a bitmap onto itself: work from a copy so overlapping rows read unmodified pixels.
  std::unique_ptr<Raster_MemBitmap> tmp;
  if (dest->getBits() == src->getBits())
  {
    tmp.reset(new Raster_MemBitmap(w, h));
    if (tmp->getWidth() != w) return;
    for (int j = 0; j < h; ++j)
      memcpy(Raster_RowPtr(tmp.get(), j), Raster_RowPtr(src, srcy + j) + srcx, (size_t)w * 4);
    src = tmp.get();
    srcx = srcy = 0;
  }

  if (Raster_IsChanCopy(mode))
  {
    const int sc = mode & 3, dc = (mode >> 2) & 3;
    for (int j = 0; j < h; ++j)
    {
      unsigned char* d = (unsigned char*)(Raster_RowPtr(dest, dsty + j) + dstx);
      const unsigned char* s = (const unsigned char*)(Raster_RowPtr(src, srcy + j) + srcx);
      for (int i = 0; i < w; ++i) d[i * 4 + dc] = s[i * 4 + sc];
    }
    return;
  }

  const int low = mode & (RASTER_MODE_MASK | RASTER_MODE_SOURCEALPHA);
  if (low == RASTER_MODE_COPY && alpha == 1.0f)
  {
    for (int j = 0; j < h; ++j)
      memcpy(Raster_RowPtr(dest, dsty + j) + dstx, Raster_RowPtr(src, srcy + j) + srcx, (size_t)w * 4);
    return;
  }
  if (low == RASTER_MODE_COPY && alpha == 0.5f)
  {
    for (int j = 0; j < h; ++j)
    {
      Raster_Pixel* d = Raster_RowPtr(dest, dsty + j) + dstx;
      const Raster_Pixel* s = Raster_RowPtr(src, srcy + j) + srcx;
      for (int i = 0; i < w; ++i) d[i] = Raster_HalfMix(s[i], d[i]);
    }
    return;
  }
  const int a = Raster_AlphaWeight(alpha);
  if (a == 0) return;
  Raster_WithCombineOp(mode, a, false, [&](auto op) {
    BlendRows<decltype(op)>(dest, src, dstx, dsty, srcx, srcy, w, h, a);
  });
}

void Raster_Blit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, const RECT* srcRect,
                 float alpha, int mode)
{
  if (!dest || !src) return;
  if (srcRect)
  {
    const long long w = (long long)srcRect->right - srcRect->left;
    const long long h = (long long)srcRect->bottom - srcRect->top;
    if (w <= 0 || h <= 0) return;
    Raster_Blit(dest, src, dstx, dsty, (int)srcRect->left, (int)srcRect->top,
                (int)(w > 0x7FFFFFFF ? 0x7FFFFFFF : w), (int)(h > 0x7FFFFFFF ? 0x7FFFFFFF : h), alpha, mode);
  }
  else
  {
    Raster_Blit(dest, src, dstx, dsty, 0, 0, src->getWidth(), src->getHeight(), alpha, mode);
  }
}

void Raster_Copy(Raster_IBitmap* dest, Raster_IBitmap* src)
{
  if (!dest || !src) return;
  dest->resize(src->getWidth(), src->getHeight());
  Raster_Blit(dest, src, 0, 0, nullptr, 1.0f, RASTER_MODE_COPY);
}

namespace raster_detail {

void FillRun(Raster_Pixel* p, int n, Raster_Pixel color, int alpha, int mode)
{
  if ((mode & RASTER_MODE_MASK) == RASTER_MODE_COPY)
  {
    switch (alpha)
    {
      case 256: for (int i = 0; i < n; ++i) p[i] = color; return;
      case 128: for (int i = 0; i < n; ++i) p[i] = Raster_HalfMix(color, p[i]); return;
      case 64: for (int i = 0; i < n; ++i) p[i] = Raster_QuarterMix(color, p[i]); return;
      case 192: for (int i = 0; i < n; ++i) p[i] = Raster_ThreeQuarterMix(color, p[i]); return;
      default: break;
    }
  }
  // The weight has already absorbed any source alpha, so the plain operations are used.
  const int r = (int)((color >> 16) & 255), g = (int)((color >> 8) & 255), b = (int)(color & 255);
  Raster_WithCombineOp(mode & RASTER_MODE_MASK, alpha, false, [&](auto op) {
    for (int i = 0; i < n; ++i) decltype(op)::doPix((unsigned char*)(p + i), r, g, b, alpha, alpha);
  });
}

} // namespace raster_detail

void Raster_FillRect(Raster_IBitmap* dest, int x, int y, int w, int h, Raster_Pixel color, float alpha,
                     int mode)
{
  if (!Drawable(dest)) return;
  alpha = Raster_LimitAlpha(alpha);
  if (mode & RASTER_MODE_SOURCEALPHA) alpha *= (float)(color >> 24) / 255.0f;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  long long x0 = x, y0 = y, x1 = (long long)x + w, y1 = (long long)y + h;
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > dest->getWidth()) x1 = dest->getWidth();
  if (y1 > dest->getHeight()) y1 = dest->getHeight();
  if (x0 >= x1 || y0 >= y1) return;
  for (long long j = y0; j < y1; ++j)
    raster_detail::FillRun(Raster_RowPtr(dest, (int)j) + x0, (int)(x1 - x0), color, a, mode);
}

void Raster_Clear(Raster_IBitmap* dest, Raster_Pixel color)
{
  if (!Drawable(dest)) return;
  const int w = dest->getWidth();
  for (int j = 0; j < dest->getHeight(); ++j)
  {
    Raster_Pixel* p = Raster_RowPtr(dest, j);
    for (int i = 0; i < w; ++i) p[i] = color;
  }
}

void Raster_ClearRect(Raster_IBitmap* dest, int x, int y, int w, int h, Raster_Pixel mask, Raster_Pixel orbits)
{
  if (!Drawable(dest)) return;
  long long x0 = x, y0 = y, x1 = (long long)x + w, y1 = (long long)y + h;
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > dest->getWidth()) x1 = dest->getWidth();
  if (y1 > dest->getHeight()) y1 = dest->getHeight();
  for (long long j = y0; j < y1; ++j)
  {
    Raster_Pixel* p = Raster_RowPtr(dest, (int)j);
    for (long long i = x0; i < x1; ++i) p[i] = (p[i] & mask) | orbits;
  }
}

Raster_Pixel Raster_GetPixel(Raster_IBitmap* dest, int x, int y)
{
  if (!Drawable(dest) || x < 0 || y < 0 || x >= dest->getWidth() || y >= dest->getHeight()) return 0;
  return Raster_RowPtr(dest, y)[x];
}

void Raster_PutPixel(Raster_IBitmap* dest, int x, int y, Raster_Pixel color, float alpha, int mode)
{
  if (!Drawable(dest) || x < 0 || y < 0 || x >= dest->getWidth() || y >= dest->getHeight()) return;
  alpha = Raster_LimitAlpha(alpha);
  if (mode & RASTER_MODE_SOURCEALPHA) alpha *= (float)(color >> 24) / 255.0f;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  raster_detail::FillRun(Raster_RowPtr(dest, y) + x, 1, color, a, mode);
}

void Raster_BlendCoverage(Raster_IBitmap* dest, const unsigned char* coverage, int covSpan, int w, int h, int x,
                          int y, const RECT* clip, Raster_Pixel color, float alpha, int mode)
{
  if (!Drawable(dest) || !coverage || w <= 0 || h <= 0) return;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  long long cl = 0, ct = 0, cr = dest->getWidth(), cb = dest->getHeight();
  if (clip)
  {
    if (clip->left > cl) cl = clip->left;
    if (clip->top > ct) ct = clip->top;
    if (clip->right < cr) cr = clip->right;
    if (clip->bottom < cb) cb = clip->bottom;
  }
  long long x0 = x > cl ? x : cl, y0 = y > ct ? y : ct;
  long long x1 = (long long)x + w < cr ? (long long)x + w : cr;
  long long y1 = (long long)y + h < cb ? (long long)y + h : cb;
  if (x0 >= x1 || y0 >= y1) return;
  const int r = (int)((color >> 16) & 255), g = (int)((color >> 8) & 255), b = (int)(color & 255);
  const int ca = (int)(color >> 24);
  // Weight 0 here only selects the blending (never the overwriting) form of copy: coverage varies.
  Raster_WithCombineOp(mode, 0, false, [&](auto op) {
    for (long long j = y0; j < y1; ++j)
    {
      Raster_Pixel* d = Raster_RowPtr(dest, (int)j);
      const unsigned char* c = coverage + (j - y) * (long long)covSpan;
      for (long long i = x0; i < x1; ++i)
      {
        const int cv = c[i - x];
        if (!cv) continue;
        const int wgt = a * (cv + (cv >> 7)) / 256;
        if (wgt) decltype(op)::doPix((unsigned char*)(d + i), r, g, b, ca, wgt);
      }
    }
  });
}

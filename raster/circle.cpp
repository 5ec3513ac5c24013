#include "raster/vector.h"

#include "raster/plot.h"

#include <cmath>
#include <vector>

using namespace raster_detail;

namespace {

// Radii beyond this draw nothing: no editor draws them, and the loops stay bounded.
const float kMaxRadius = 1 << 20;

// Small-circle masks: a ring of width 1 at radius r, 2r + 1 pixels square, supersampled
// 8 x 8 per pixel; the plain masks keep the pixels that are at least half covered.
struct SmallMasks
{
  unsigned char aa[6][81];
  unsigned char plain[6][81];
  SmallMasks()
  {
    for (int m = 0; m < 6; ++m)
    {
      const double r = 1.5 + 0.5 * m;
      const int n = 4 + m;
      const double c = n / 2.0;
      for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
        {
          int hits = 0;
          for (int sj = 0; sj < 8; ++sj)
            for (int si = 0; si < 8; ++si)
            {
              const double x = i + (si + 0.5) / 8.0 - c, y = j + (sj + 0.5) / 8.0 - c;
              const double d = std::sqrt(x * x + y * y);
              if (d >= r - 0.5 && d <= r + 0.5) ++hits;
            }
          const int cov = hits * 255 / 64;
          aa[m][j * n + i] = (unsigned char)cov;
          plain[m][j * n + i] = cov >= 128 ? 255 : 0;
        }
    }
  }
};

const SmallMasks& Masks()
{
  static const SmallMasks masks;
  return masks;
}

// Outline of an integer circle: midpoint points without antialiasing, otherwise every pixel
// within one of the radius weighted by 1 - |distance - r|.
template <class Op>
void Ring(const Canvas& cv, int cx, int cy, int r, int alpha, bool aa)
{
  if (!aa)
  {
    int x = 0, y = r, d = 1 - r;
    while (x <= y)
    {
      const int px[8] = {cx + x, cx - x, cx + x, cx - x, cx + y, cx - y, cx + y, cx - y};
      const int py[8] = {cy + y, cy + y, cy - y, cy - y, cy + x, cy + x, cy - x, cy - x};
      for (int i = 0; i < 8; ++i)
      {
        bool dup = false;
        for (int k = 0; k < i && !dup; ++k) dup = px[k] == px[i] && py[k] == py[i];
        if (!dup) cv.plot<Op>(px[i], py[i], alpha);
      }
      ++x;
      if (d < 0) d += 2 * x + 1;
      else { --y; d += 2 * (x - y) + 1; }
    }
    return;
  }
  const int y0 = cy - r - 1 < 0 ? 0 : cy - r - 1, y1 = cy + r + 1 >= cv.h ? cv.h - 1 : cy + r + 1;
  const double rin = r - 1.0, rout = r + 1.0;
  for (int y = y0; y <= y1; ++y)
  {
    const double dy = y - cy;
    const double o2 = rout * rout - dy * dy;
    if (o2 <= 0) continue;
    const int outer = (int)std::sqrt(o2);
    const double i2 = rin * rin - dy * dy;
    const int inner = (rin > 0 && i2 > 0) ? (int)std::ceil(std::sqrt(i2)) : 0;
    for (int side = 0; side < 2; ++side)
    {
      for (int k = inner; k <= outer; ++k)
      {
        if (side == 1 && k == 0) continue;
        const int x = side ? cx - k : cx + k;
        if (x < 0 || x >= cv.w) continue;
        const double cov = 1.0 - std::fabs(std::sqrt((double)k * k + dy * dy) - r);
        if (cov > 0) cv.plot<Op>(x, y, (int)(cov * alpha));
      }
    }
  }
}

// Filled disc: one span per row (midpoint half-widths), or coverage r + 0.5 - distance.
template <class Op>
void Disc(const Canvas& cv, int cx, int cy, int r, int alpha, bool aa)
{
  if (!aa)
  {
    std::vector<int> half((size_t)r + 1, -1);
    int x = 0, y = r, d = 1 - r;
    while (x <= y)
    {
      if (half[y] < x) half[y] = x;
      if (half[x] < y) half[x] = y;
      ++x;
      if (d < 0) d += 2 * x + 1;
      else { --y; d += 2 * (x - y) + 1; }
    }
    for (int dy = 0; dy <= r; ++dy)
    {
      // Rows between midpoint steps take the width of the row below them.
      if (half[dy] < 0) half[dy] = dy > 0 ? half[dy - 1] : 0;
      for (int s = 0; s < (dy ? 2 : 1); ++s)
      {
        const long long y = s ? (long long)cy - dy : (long long)cy + dy;
        if (y >= 0 && y < cv.h) cv.span<Op>((int)y, cx - half[dy], cx + half[dy], alpha);
      }
    }
    return;
  }
  const int y0 = cy - r - 1 < 0 ? 0 : cy - r - 1, y1 = cy + r + 1 >= cv.h ? cv.h - 1 : cy + r + 1;
  const double rr = r + 0.5;
  for (int y = y0; y <= y1; ++y)
  {
    const double dy = y - cy;
    const double o2 = (rr + 1) * (rr + 1) - dy * dy;
    if (o2 <= 0) continue;
    const int outer = (int)std::sqrt(o2);
    const double i2 = (rr - 1) * (rr - 1) - dy * dy;
    const int inner = (rr > 1 && i2 > 0) ? (int)std::sqrt(i2) : -1;  // |dx| <= inner is fully covered
    if (inner >= 0) cv.span<Op>(y, cx - inner, cx + inner, alpha);
    for (int k = inner + 1; k <= outer; ++k)
    {
      const double cov = rr - std::sqrt((double)k * k + dy * dy);
      if (cov <= 0) break;
      const int w = cov >= 1 ? alpha : (int)(cov * alpha);
      if (cx + k < cv.w) cv.plot<Op>(cx + k, y, w);
      if (k && cx - k >= 0) cv.plot<Op>(cx - k, y, w);
    }
  }
}

} // namespace

namespace raster_detail {

bool CircleRejected(Raster_IBitmap* dest, float cx, float cy, float r)
{
  if (!Drawable(dest) || !(r >= 0) || r > kMaxRadius || !std::isfinite(cx) || !std::isfinite(cy)) return true;
  return cx + r < -2 || cy + r < -2 || cx - r > dest->getWidth() + 2 || cy - r > dest->getHeight() + 2;
}

// Circle outline through an optional set of clip rectangles (arcs draw through these).
void DrawCircleClipped(Raster_IBitmap* dest, float fcx, float fcy, float fr, Raster_Pixel color, int alpha,
                       int mode, bool aa, const RECT* clips, int nclips)
{
  Canvas cv(dest, color);
  for (int i = 0; i < nclips && i < 6; ++i) cv.clip[cv.nclip++] = clips[i];
  const int cx = (int)(fcx + 0.5f), cy = (int)(fcy + 0.5f), r = (int)(fr + 0.5f);
  if (aa) WithCoverageOp(mode, [&](auto op) { Ring<decltype(op)>(cv, cx, cy, r, alpha, true); });
  else WithPlotOp(mode, alpha, [&](auto op) { Ring<decltype(op)>(cv, cx, cy, r, alpha, false); });
}

} // namespace raster_detail

void Raster_Circle(Raster_IBitmap* dest, float cx, float cy, float r, Raster_Pixel color, float alpha, int mode,
                   bool antialias)
{
  if (CircleRejected(dest, cx, cy, r)) return;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  const float twice = r * 2.0f;
  if (twice >= 3.0f && twice <= 8.0f && twice == std::floor(twice))
  {
    const int m = (int)twice - 3, n = m + 4;
    const unsigned char* mask = antialias ? Masks().aa[m] : Masks().plain[m];
    Raster_BlendCoverage(dest, mask, n, n, n, (int)std::floor(cx - r + 0.5f), (int)std::floor(cy - r + 0.5f),
                         nullptr, color, alpha, mode);
    return;
  }
  raster_detail::DrawCircleClipped(dest, cx, cy, r, color, a, mode, antialias, nullptr, 0);
}

void Raster_FillCircle(Raster_IBitmap* dest, float fcx, float fcy, float fr, Raster_Pixel color, float alpha,
                       int mode, bool antialias)
{
  if (CircleRejected(dest, fcx, fcy, fr)) return;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  const Canvas cv(dest, color);
  const int cx = (int)(fcx + 0.5f), cy = (int)(fcy + 0.5f), r = (int)(fr + 0.5f);
  if (antialias) WithCoverageOp(mode, [&](auto op) { Disc<decltype(op)>(cv, cx, cy, r, a, true); });
  else WithPlotOp(mode, a, [&](auto op) { Disc<decltype(op)>(cv, cx, cy, r, a, false); });
}

#include "raster/vector.h"

#include "raster/plot.h"

#include <cmath>
#include <cstdlib>
#include <utility>

using namespace raster_detail;

namespace raster_detail {
// Nothing to draw: no pixels, a bad radius, or the circle wholly beyond the bitmap's 2-pixel margin.
bool CircleRejected(Raster_IBitmap* dest, float cx, float cy, float r);
void DrawCircleClipped(Raster_IBitmap* dest, float cx, float cy, float r, Raster_Pixel color, int alpha, int mode,
                       bool aa, const RECT* clips, int nclips);
}

namespace {
const double kTwoPi = 6.2831855;
const double kHalfPi = kTwoPi / 4.0;
}

void Raster_Arc(Raster_IBitmap* dest, float cx, float cy, float r, float startAngle, float endAngle,
                Raster_Pixel color, float alpha, int mode, bool antialias)
{
  if (CircleRejected(dest, cx, cy, r) || !std::isfinite(startAngle) || !std::isfinite(endAngle)) return;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  if (endAngle - startAngle >= kTwoPi)
  {
    DrawCircleClipped(dest, cx, cy, r, color, a, mode, antialias, nullptr, 0);
    return;
  }
  double a1 = std::fmod((double)startAngle, kTwoPi) + kTwoPi;
  double a2 = std::fmod((double)endAngle, kTwoPi) + kTwoPi;
  if (a2 < a1) a2 += kTwoPi;

  // Pieces end on quarter turns, so each piece's end points bound it. All piece rectangles
  // go to the circle drawer at once: pixels shared by two pieces are drawn once.
  RECT clips[6];
  int n = 0;
  const double icx = (int)(cx + 0.5f), icy = (int)(cy + 0.5f), ir = (int)(r + 0.5f);
  double p = a1;
  while (p < a2 && n < 6)
  {
    double q = (std::floor(p / kHalfPi + 1e-9) + 1) * kHalfPi;
    if (q > a2) q = a2;
    const double px = std::floor(icx + std::sin(p) * ir + 0.5), py = std::floor(icy - std::cos(p) * ir + 0.5);
    const double qx = std::floor(icx + std::sin(q) * ir + 0.5), qy = std::floor(icy - std::cos(q) * ir + 0.5);
    RECT& c = clips[n++];
    c.left = (int)std::fmin(px, qx);
    c.right = (int)std::fmax(px, qx) + 1;
    c.top = (int)std::fmin(py, qy);
    c.bottom = (int)std::fmax(py, qy) + 1;
    p = q;
  }
  DrawCircleClipped(dest, cx, cy, r, color, a, mode, antialias, clips, n);
}

void Raster_DrawRect(Raster_IBitmap* dest, int x, int y, int w, int h, Raster_Pixel color, float alpha, int mode)
{
  if (!Drawable(dest)) return;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  long long x0 = x, y0 = y, x1 = (long long)x + w, y1 = (long long)y + h;
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  const long long W = dest->getWidth(), H = dest->getHeight();
  if (x1 < 0 || y1 < 0 || x0 >= W || y0 >= H) return;
  // Each pixel of the outline once, even where edges coincide; edges off the bitmap are skipped.
  const bool top = y0 >= 0, bottom = y1 != y0 && y1 < H, left = x0 >= 0, right = x1 != x0 && x1 < W;
  const int cx0 = (int)(x0 < 0 ? 0 : x0), cx1 = (int)(x1 >= W ? W - 1 : x1);
  const int cy0 = (int)(y0 + 1 < 0 ? 0 : y0 + 1), cy1 = (int)(y1 - 1 >= H ? H - 1 : y1 - 1);
  const Canvas cv(dest, color);
  WithPlotOp(mode, a, [&](auto op) {
    using Op = decltype(op);
    if (top) cv.span<Op>((int)y0, cx0, cx1, a);
    if (bottom) cv.span<Op>((int)y1, cx0, cx1, a);
    for (int yy = cy0; yy <= cy1; ++yy)
    {
      if (left) cv.plot<Op>((int)x0, yy, a);
      if (right) cv.plot<Op>((int)x1, yy, a);
    }
  });
}

void Raster_RoundRect(Raster_IBitmap* dest, float x, float y, float w, float h, int cornerRadius, Raster_Pixel color,
                      float alpha, int mode, bool antialias)
{
  if (!Drawable(dest) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return;
  if (std::fabs(x) > 1e9f || std::fabs(y) > 1e9f || std::fabs(w) > 1e9f || std::fabs(h) > 1e9f) return;
  double rad = cornerRadius;
  if (rad > w / 2.0) rad = w / 2.0;
  if (rad > h / 2.0) rad = h / 2.0;
  const int r = (int)std::floor(rad);
  if (r < 2)
  {
    Raster_DrawRect(dest, (int)x, (int)y, (int)w, (int)h, color, alpha, mode);
    return;
  }
  const int ix = (int)x, iy = (int)y, iw = (int)w, ih = (int)h;
  Raster_Line(dest, ix + r, iy, ix + iw - r, iy, color, alpha, mode, antialias);
  Raster_Line(dest, ix + r - 1, iy + ih, ix + iw - r, iy + ih, color, alpha, mode, antialias);
  Raster_Line(dest, ix + iw, iy + r, ix + iw, iy + ih - r, color, alpha, mode, antialias);
  Raster_Line(dest, ix, iy + r - 1, ix, iy + ih - r, color, alpha, mode, antialias);
  const float pi = (float)(kTwoPi / 2.0);
  Raster_Arc(dest, x + r, y + r, (float)r, -pi / 2, 0, color, alpha, mode, antialias);
  Raster_Arc(dest, x + w - r, y + r, (float)r, 0, pi / 2, color, alpha, mode, antialias);
  Raster_Arc(dest, x + w - r, y + h - r, (float)r, pi / 2, pi, color, alpha, mode, antialias);
  Raster_Arc(dest, x + r, y + h - r, (float)r, pi, 3 * pi / 2, color, alpha, mode, antialias);
}

namespace {

template <class Op>
void FillPolygonRows(const Canvas& cv, const int* xs, const int* ys, int n, int ymin, int ymax, int alpha)
{
  for (int y = ymin; y <= ymax; ++y)
  {
    double xl = 1e300, xr = -1e300;
    for (int i = 0; i < n; ++i)
    {
      const int j = i + 1 == n ? 0 : i + 1;
      const int ya = ys[i], yb = ys[j];
      if (y < (ya < yb ? ya : yb) || y > (ya < yb ? yb : ya)) continue;
      if (ya == yb)
      {
        xl = std::fmin(xl, std::fmin(xs[i], xs[j]));
        xr = std::fmax(xr, std::fmax(xs[i], xs[j]));
        continue;
      }
      const float slope = (float)(xs[j] - (double)xs[i]) / (float)(yb - (double)ya);
      const double xe = std::trunc(xs[i] + ((double)y - ya) * slope);
      xl = std::fmin(xl, xe);
      xr = std::fmax(xr, xe);
    }
    if (xl > xr) continue;
    if (xl < -1) xl = -1;
    if (xr > cv.w) xr = cv.w;
    cv.span<Op>(y, (int)xl, (int)xr, alpha);
  }
}

} // namespace

void Raster_FillConvexPolygon(Raster_IBitmap* dest, const int* x, const int* y, int npoints, Raster_Pixel color,
                              float alpha, int mode)
{
  if (!Drawable(dest) || !x || !y || npoints < 3) return;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  long long ymin = y[0], ymax = y[0];
  for (int i = 1; i < npoints; ++i)
  {
    if (y[i] < ymin) ymin = y[i];
    if (y[i] > ymax) ymax = y[i];
  }
  if (ymin < 0) ymin = 0;
  if (ymax >= dest->getHeight()) ymax = dest->getHeight() - 1;
  if (ymin > ymax) return;
  const Canvas cv(dest, color);
  // Rows are filled once each from the polygon's edge crossings; picture rows map to stored
  // rows through Raster_RowPtr, which takes care of flipped bitmaps.
  WithPlotOp(mode, a, [&](auto op) {
    FillPolygonRows<decltype(op)>(cv, x, y, npoints, (int)ymin, (int)ymax, a);
  });
}

void Raster_FillTriangle(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, Raster_Pixel color,
                         float alpha, int mode)
{
  const int xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
  Raster_FillConvexPolygon(dest, xs, ys, 3, color, alpha, mode);
}

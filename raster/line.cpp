#include "raster/vector.h"

#include "raster/plot.h"

#include <cmath>
#include <cstdlib>

using namespace raster_detail;

namespace {

int Outcode(int x, int y, int w, int h)
{
  return (x < 0 ? 1 : 0) | (x >= w ? 2 : 0) | (y < 0 ? 4 : 0) | (y >= h ? 8 : 0);
}

int ToInt(double v)
{
  if (v < -2147483648.0) return (int)0x80000000;
  if (v > 2147483647.0) return 0x7FFFFFFF;
  return (int)v;
}

} // namespace

bool Raster_ClipLine(int* px1, int* py1, int* px2, int* py2, int w, int h)
{
  int x1 = *px1, y1 = *py1, x2 = *px2, y2 = *py2;
  int c1 = Outcode(x1, y1, w, h), c2 = Outcode(x2, y2, w, h);
  for (int pass = 0; pass < 33; ++pass)
  {
    if (!(c1 | c2))
    {
      *px1 = x1; *py1 = y1; *px2 = x2; *py2 = y2;
      return true;
    }
    if (c1 & c2) return false;
    const int c = c1 ? c1 : c2;
    const double dx = (double)x2 - x1, dy = (double)y2 - y1;
    // The quotient is truncated on its own, then added to the end point.
    int nx, ny;
    if (c & 8) { nx = ToInt(x1 + std::trunc((h - (double)y1) * dx / dy)); ny = h - 1; }
    else if (c & 4) { nx = ToInt(x1 - std::trunc((double)y1 * dx / dy)); ny = 0; }
    else if (c & 2) { nx = w - 1; ny = ToInt(y1 + std::trunc((w - (double)x1) * dy / dx)); }
    else { nx = 0; ny = ToInt(y1 - std::trunc((double)x1 * dy / dx)); }
    if (c == c1) { x1 = nx; y1 = ny; c1 = Outcode(x1, y1, w, h); }
    else { x2 = nx; y2 = ny; c2 = Outcode(x2, y2, w, h); }
  }
  return false;
}

namespace {

template <class Op>
void StraightLine(const Canvas& cv, int x1, int y1, int x2, int y2, int alpha)
{
  if (y1 == y2)
  {
    cv.span<Op>(y1, x1 < x2 ? x1 : x2, x1 < x2 ? x2 : x1, alpha);
    return;
  }
  const int y0 = y1 < y2 ? y1 : y2, yend = y1 < y2 ? y2 : y1;
  for (int y = y0; y <= yend; ++y) Op::doPix((unsigned char*)(Raster_RowPtr(cv.bm, y) + x1), cv.r, cv.g, cv.b, cv.a, alpha);
}

template <class Op>
void Diagonal(const Canvas& cv, int x1, int y1, int x2, int y2, int alpha, bool aa)
{
  const int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1, n = abs(x2 - x1);
  const int main = aa ? alpha * 3 / 4 : alpha, side = alpha / 4;
  for (int i = 0; i <= n; ++i)
  {
    const int x = x1 + i * sx, y = y1 + i * sy;
    cv.plot<Op>(x, y, main);
    if (aa && i < n)
    {
      cv.plot<Op>(x + sx, y, side);
      cv.plot<Op>(x, y + sy, side);
    }
  }
}

// Steps along the major axis from both ends toward the middle so both end points are exact.
template <class Op>
void General(const Canvas& cv, int x1, int y1, int x2, int y2, int alpha, bool aa)
{
  const bool xmajor = abs(x2 - x1) > abs(y2 - y1);
  int a1 = xmajor ? x1 : y1, b1 = xmajor ? y1 : x1;  // major, minor of the first end
  int a2 = xmajor ? x2 : y2, b2 = xmajor ? y2 : x2;
  const int n = abs(a2 - a1), sa = a2 > a1 ? 1 : -1;
  const long long slope = (long long)(b2 - b1) * 65536 / n;  // minor per major step, 16.16
  auto put = [&](int major, int minor, int w) {
    if (xmajor) cv.plot<Op>(major, minor, w);
    else cv.plot<Op>(minor, major, w);
  };
  auto step = [&](int major, long long fix) {
    if (aa)
    {
      const int m = (int)(fix >> 16), f = (int)((fix >> 8) & 255);
      put(major, m, (256 - f) * alpha / 256);
      if (f) put(major, m + 1, f * alpha / 256);
    }
    else
    {
      put(major, (int)((fix + 0x8000) >> 16), alpha);
    }
  };
  const int half = n / 2;
  for (int k = 0; k <= half; ++k) step(a1 + k * sa, ((long long)b1 << 16) + k * slope);
  for (int k = 0; k < n - half; ++k) step(a2 - k * sa, ((long long)b2 << 16) - k * slope);
}

} // namespace

void Raster_Line(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, Raster_Pixel color, float alpha, int mode,
                 bool antialias)
{
  if (!Drawable(dest)) return;
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  if (!Raster_ClipLine(&x1, &y1, &x2, &y2, dest->getWidth(), dest->getHeight())) return;
  const Canvas cv(dest, color);
  if (x1 == x2 || y1 == y2)
  {
    WithPlotOp(mode, a, [&](auto op) { StraightLine<decltype(op)>(cv, x1, y1, x2, y2, a); });
    return;
  }
  const bool diag = abs(x2 - x1) == abs(y2 - y1);
  const bool aa = antialias && (!diag || (mode & RASTER_MODE_MASK) == RASTER_MODE_COPY);
  if (!aa)
  {
    WithPlotOp(mode, a, [&](auto op) {
      if (diag) Diagonal<decltype(op)>(cv, x1, y1, x2, y2, a, false);
      else General<decltype(op)>(cv, x1, y1, x2, y2, a, false);
    });
    return;
  }
  WithCoverageOp(mode, [&](auto op) {
    if (diag) Diagonal<decltype(op)>(cv, x1, y1, x2, y2, a, true);
    else General<decltype(op)>(cv, x1, y1, x2, y2, a, true);
  });
}

#include "raster/blit.h"

#include "raster/blitutil.h"
#include "raster/sampling.h"

#include <cmath>

using namespace raster_detail;

namespace {

bool Sane(double v) { return std::isfinite(v) && std::fabs(v) < 1e9; }

struct RotSetup
{
  long long dx0, dy0, w, h;             // destination pixels to visit
  int64_t x0, y0;                       // 16.16 source position of (dx0, dy0)
  int64_t dxx, dxy, dyx, dyy;           // per destination column / row
};

template <class Op, class Sample>
void RotLoop(Raster_IBitmap* dest, const RotSetup& r, const SrcArea& area, int alpha, Sample sample)
{
  const int64_t l = (int64_t)area.l << 16, t = (int64_t)area.t << 16;
  const int64_t rr = (int64_t)area.r << 16, bb = (int64_t)area.b << 16;
  int64_t rowx = r.x0, rowy = r.y0;
  for (long long j = 0; j < r.h; ++j, rowx += r.dyx, rowy += r.dyy)
  {
    Raster_Pixel* d = Raster_RowPtr(dest, (int)(r.dy0 + j)) + r.dx0;
    int64_t px = rowx, py = rowy;
    for (long long i = 0; i < r.w; ++i, px += r.dxx, py += r.dxy)
    {
      if (px < l || py < t || px >= rr || py >= bb) continue;
      const Raster_Pixel p = sample(px, py);
      Op::doPix((unsigned char*)(d + i), (int)((p >> 16) & 255), (int)((p >> 8) & 255), (int)(p & 255),
                (int)(p >> 24), alpha);
    }
  }
}

} // namespace

void Raster_RotatedBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                        double srcx, double srcy, double srcw, double srch, double angle, bool clipToSource,
                        float alpha, int mode, double rotxcent, double rotycent)
{
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  alpha = Raster_LimitAlpha(alpha);
  if (alpha == 0.0f) return;
  if (!Drawable(dest) || !Drawable(src) || Raster_IsChanCopy(mode)) return;
  if (!Sane(srcx) || !Sane(srcy) || !Sane(srcw) || !Sane(srch) || !Sane(angle) || !Sane(rotxcent) ||
      !Sane(rotycent))
    return;

  SrcArea area{src, 0, 0, src->getWidth(), src->getHeight()};
  if (clipToSource)
  {
    const double l = std::floor(srcx), t = std::floor(srcy);
    const double r = std::ceil(srcx + srcw), b = std::ceil(srcy + srch);
    if (l > area.l) area.l = (int)std::fmin(l, area.r);
    if (t > area.t) area.t = (int)std::fmin(t, area.b);
    if (r < area.r) area.r = (int)std::fmax(r, area.l);
    if (b < area.b) area.b = (int)std::fmax(b, area.t);
    if (area.l >= area.r || area.t >= area.b) return;
  }

  long long dx = dstx, dy = dsty, w = dstw, h = dsth;
  double kx = srcw / (double)(w < 0 ? -w : w), ky = srch / (double)(h < 0 ? -h : h);
  if (w < 0) { dx += w; w = -w; kx = -kx; }
  if (h < 0) { dy += h; h = -h; ky = -ky; }

  const double c = std::cos(angle), s = std::sin(angle);
  // Moving right one destination pixel moves (kx*c, -ky*s) in the source; moving down one row,
  // (kx*s, ky*c). The destination rectangle's centre reads the source rectangle's centre
  // (shifted by the offsets), so the image turns about its middle; mirrored axes fall out of
  // the negative k. Each pixel samples at its centre, which keeps mirroring exact; bilinear
  // sampling works on pixel centres too (hence the half-pixel shift), so angle 0 at scale 1
  // reproduces the source without blur.
  const double sxx = kx * c, sxy = -ky * s, syx = kx * s, syy = ky * c;
  const bool filter = (mode & RASTER_MODE_FILTER) != 0;
  const double centreShift = filter ? 0.5 : 0.0;
  double x0 = srcx + srcw / 2.0 + rotxcent - ((double)w * sxx + (double)h * syx) / 2.0 +
              (sxx + syx) / 2.0 - centreShift;
  double y0 = srcy + srch / 2.0 + rotycent - ((double)w * sxy + (double)h * syy) / 2.0 +
              (sxy + syy) / 2.0 - centreShift;

  if (dx < 0) { x0 += -dx * sxx; y0 += -dx * sxy; w += dx; dx = 0; }
  if (dy < 0) { x0 += -dy * syx; y0 += -dy * syy; h += dy; dy = 0; }
  if (dx + w > dest->getWidth()) w = dest->getWidth() - dx;
  if (dy + h > dest->getHeight()) h = dest->getHeight() - dy;
  if (w <= 0 || h <= 0) return;
  // Every position the loops reach must fit 16.16 in 64 bits; one this far off reads nothing.
  const double kFar = 70368744177664.0;  // 2^46 source pixels
  if (std::fabs(x0) + w * std::fabs(sxx) + h * std::fabs(syx) >= kFar ||
      std::fabs(y0) + w * std::fabs(sxy) + h * std::fabs(syy) >= kFar)
    return;

  RotSetup r;
  r.dx0 = dx; r.dy0 = dy; r.w = w; r.h = h;
  // Rounded, not truncated: sin and cos of right angles come out a hair below 1, and a step
  // of 65535 would blend neighbouring pixels in what should be an exact quarter turn.
  r.x0 = std::llround(x0 * 65536.0); r.y0 = std::llround(y0 * 65536.0);
  r.dxx = std::llround(sxx * 65536.0); r.dxy = std::llround(sxy * 65536.0);
  r.dyx = std::llround(syx * 65536.0); r.dyy = std::llround(syy * 65536.0);

  const int a = Raster_AlphaWeight(alpha);
  if (a == 0) return;
  Raster_WithCombineOp(mode, a, false, [&](auto op) {
    using Op = decltype(op);
    if (filter)
      RotLoop<Op>(dest, r, area, a, [&](int64_t px, int64_t py) {
        return Bilinear(area, (int)(px >> 16), (int)(py >> 16), (int)((px >> 8) & 255), (int)((py >> 8) & 255));
      });
    else
      RotLoop<Op>(dest, r, area, a, [&](int64_t px, int64_t py) {
        return Raster_RowPtr(src, (int)(py >> 16))[px >> 16];
      });
  });
}

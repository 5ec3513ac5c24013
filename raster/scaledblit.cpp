#include "raster/blit.h"

#include "raster/blitutil.h"
#include "raster/sampling.h"

#include <cmath>

using namespace raster_detail;

namespace {

// One axis of the mapping from destination pixels to 16.16 source positions.
struct Axis
{
  long long dst;    // first destination pixel
  long long count;  // destination pixels to draw
  int64_t pos;      // source position of the first one
  int64_t step;
};

// Sets up one axis (mirroring on a negative size), clips it to the destination bitmap and drops
// the pixels at either end whose source position falls outside [0, srcSize). False if empty.
bool SetupAxis(Axis& ax, int dst, int dsize, double s0, double ssize, int destSize, int srcSize)
{
  long long d = dst, n = dsize;
  const bool mirror = n < 0;
  if (mirror) { d += n; n = -n; }
  const double step = ssize / (double)n;
  int64_t pos;
  if (mirror) pos = (int64_t)std::floor((s0 + ssize) * 65536.0) - 1;
  else pos = (int64_t)std::floor(s0 * 65536.0);
  int64_t st = (int64_t)std::floor(step * 65536.0);
  if (mirror) st = -st;
  if (d + n <= 0) return false;  // wholly left of the bitmap; also keeps -d * st in range
  if (d < 0) { pos += -d * st; n += d; d = 0; }
  if (d + n > destSize) n = destSize - d;
  const int64_t lim = (int64_t)srcSize << 16;
  while (n > 0 && (pos < 0 || pos >= lim)) { pos += st; ++d; --n; }
  while (n > 0 && (pos + (n - 1) * st < 0 || pos + (n - 1) * st >= lim)) --n;
  if (n <= 0) return false;
  ax.dst = d; ax.count = n; ax.pos = pos; ax.step = st;
  return true;
}

template <class Op, class Sample>
void ScaleLoop(Raster_IBitmap* dest, const Axis& ax, const Axis& ay, int alpha, Sample sample)
{
  int64_t py = ay.pos;
  for (long long j = 0; j < ay.count; ++j, py += ay.step)
  {
    Raster_Pixel* d = Raster_RowPtr(dest, (int)(ay.dst + j)) + ax.dst;
    int64_t px = ax.pos;
    for (long long i = 0; i < ax.count; ++i, px += ax.step)
    {
      const Raster_Pixel p = sample(px, py);
      Op::doPix((unsigned char*)(d + i), (int)((p >> 16) & 255), (int)((p >> 8) & 255), (int)(p & 255),
                (int)(p >> 24), alpha);
    }
  }
}

bool Sane(double v) { return std::isfinite(v) && std::fabs(v) < 1e9; }

} // namespace

void Raster_ScaledBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       double srcx, double srcy, double srcw, double srch, float alpha, int mode)
{
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  alpha = Raster_LimitAlpha(alpha);
  if (alpha == 0.0f) return;
  if (!Sane(srcx) || !Sane(srcy) || !Sane(srcw) || !Sane(srch)) return;

  if (dstw > 0 && dsth > 0 && std::fabs(srcw - dstw) < 0.001 && std::fabs(srch - dsth) < 0.001)
  {
    const double rx = std::floor(srcx + 0.5), ry = std::floor(srcy + 0.5);
    if (!(mode & RASTER_MODE_FILTER) || (std::fabs(srcx - rx) < 0.03 && std::fabs(srcy - ry) < 0.03))
    {
      Raster_Blit(dest, src, dstx, dsty, (int)rx, (int)ry, dstw, dsth, alpha, mode);
      return;
    }
  }
  if (!Drawable(dest) || !Drawable(src) || Raster_IsChanCopy(mode)) return;

  Axis ax, ay;
  if (!SetupAxis(ax, dstx, dstw, srcx, srcw, dest->getWidth(), src->getWidth())) return;
  if (!SetupAxis(ay, dsty, dsth, srcy, srch, dest->getHeight(), src->getHeight())) return;

  const SrcArea area{src, 0, 0, src->getWidth(), src->getHeight()};
  const int low = mode & (RASTER_MODE_MASK | RASTER_MODE_SOURCEALPHA);
  const bool filter = (mode & RASTER_MODE_FILTER) != 0;
  const int a = Raster_AlphaWeight(alpha);
  if (a == 0) return;

  if (!filter && low == RASTER_MODE_COPY && (a == 256 || a == 128))
  {
    int64_t py = ay.pos;
    for (long long j = 0; j < ay.count; ++j, py += ay.step)
    {
      Raster_Pixel* d = Raster_RowPtr(dest, (int)(ay.dst + j)) + ax.dst;
      const Raster_Pixel* s = Raster_RowPtr(src, (int)(py >> 16));
      int64_t px = ax.pos;
      if (a == 256)
        for (long long i = 0; i < ax.count; ++i, px += ax.step) d[i] = s[px >> 16];
      else
        for (long long i = 0; i < ax.count; ++i, px += ax.step) d[i] = Raster_HalfMix(s[px >> 16], d[i]);
    }
    return;
  }

  const int64_t sx = ax.step < 0 ? -ax.step : ax.step, sy = ay.step < 0 ? -ay.step : ay.step;
  const int64_t reduce = (int64_t)(1.7 * 65536.0);
  Raster_WithCombineOp(mode, a, false, [&](auto op) {
    using Op = decltype(op);
    if (filter && sx >= reduce && sy >= reduce)
    {
      const int n = (sx > 0x30000 || sy > 0x30000) ? 2 : 1;
      ScaleLoop<Op>(dest, ax, ay, a, [&](int64_t px, int64_t py) {
        return BoxAverage(area, (int)(px >> 16), (int)(py >> 16), n);
      });
    }
    else if (filter)
    {
      ScaleLoop<Op>(dest, ax, ay, a, [&](int64_t px, int64_t py) {
        return Bilinear(area, (int)(px >> 16), (int)(py >> 16), (int)((px >> 8) & 255), (int)((py >> 8) & 255));
      });
    }
    else
    {
      ScaleLoop<Op>(dest, ax, ay, a, [&](int64_t px, int64_t py) {
        return Raster_RowPtr(src, (int)(py >> 16))[px >> 16];
      });
    }
  });
}

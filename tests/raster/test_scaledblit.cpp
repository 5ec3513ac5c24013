#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const Raster_Pixel kBack = 0x11223344;

// Builds a bitmap from a row-major list of pixels.
void Set(Raster_IBitmap* bm, std::initializer_list<Raster_Pixel> px)
{
  int i = 0;
  for (Raster_Pixel p : px)
  {
    Raster_RowPtr(bm, i / bm->getWidth())[i % bm->getWidth()] = p;
    ++i;
  }
}

} // namespace

TEST(RasterScaledBlit, SameSizeEqualsPlainBlit)
{
  Raster_MemBitmap src(9, 7), a(8, 8), b(8, 8);
  FillPattern(&src, 1);
  for (int mode : {(int)RASTER_MODE_COPY, (int)RASTER_MODE_ADD, RASTER_MODE_COPY | RASTER_MODE_FILTER})
    for (float alpha : {1.0f, 0.5f, 0.3f})
    {
      FillPattern(&a, 2);
      FillPattern(&b, 2);
      Raster_ScaledBlit(&a, &src, -1, 2, 6, 5, 2.0, 1.0, 6.0, 5.0, alpha, mode);
      Raster_Blit(&b, &src, -1, 2, 2, 1, 6, 5, alpha, mode);
      EXPECT_EQ(Pixels(&a), Pixels(&b)) << mode << " " << alpha;
    }
  // A near-integral position rounds to the nearest pixel without filtering ...
  FillPattern(&a, 2);
  FillPattern(&b, 2);
  Raster_ScaledBlit(&a, &src, 0, 0, 4, 4, 2.4, 0.6, 4.0, 4.0, 1.0f, RASTER_MODE_COPY);
  Raster_Blit(&b, &src, 0, 0, 2, 1, 4, 4, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Pixels(&a), Pixels(&b));
  // ... but with filtering only within 0.03 of it: 2.4 mixes neighbouring columns.
  FillPattern(&a, 2);
  Raster_ScaledBlit(&a, &src, 0, 0, 4, 4, 2.4, 1.0, 4.0, 4.0, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  EXPECT_NE(Pixels(&a), Pixels(&b));
}

TEST(RasterScaledBlit, NearestUpscaleAndMirror)
{
  Raster_MemBitmap src(2, 2), dst(4, 4);
  Set(&src, {1, 2, 3, 4});
  Raster_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Pixels(&dst), (std::vector<uint32_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));

  // Negative width: the rectangle ends at dstx and the image is mirrored left to right.
  FillAll(&dst, 0);
  Raster_ScaledBlit(&dst, &src, 4, 0, -4, 2, 0, 0, 2, 2, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Pixels(&dst), (std::vector<uint32_t>{2, 2, 1, 1, 4, 4, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0}));
  // Negative height mirrors top to bottom.
  FillAll(&dst, 0);
  Raster_ScaledBlit(&dst, &src, 0, 2, 2, -2, 0, 0, 2, 2, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 0), 3u);
  EXPECT_EQ(Raster_GetPixel(&dst, 1, 1), 2u);

  // Half opacity uses the half mix of the nearest pixel.
  FillAll(&dst, 0xFFFFFFFF);
  Raster_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 2, 2, 0.5f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&dst, 3, 3), Raster_HalfMix(4, 0xFFFFFFFF));
}

TEST(RasterScaledBlit, ClipsToBothBitmaps)
{
  Raster_MemBitmap src(4, 4), dst(6, 6);
  FillPattern(&src, 3);
  FillAll(&dst, kBack);
  // Destination start at -2 skips the first source pixel of a 2x upscale.
  Raster_ScaledBlit(&dst, &src, -2, 0, 8, 8, 0, 0, 4, 4, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 0), Raster_GetPixel(&src, 1, 0));
  EXPECT_EQ(Raster_GetPixel(&dst, 5, 5), Raster_GetPixel(&src, 3, 2));
  // A source rectangle reaching past the source drops those destination pixels.
  FillAll(&dst, kBack);
  Raster_ScaledBlit(&dst, &src, 0, 0, 6, 6, 2, 2, 6, 6, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&dst, 1, 1), Raster_GetPixel(&src, 3, 3));
  EXPECT_EQ(Raster_GetPixel(&dst, 2, 0), kBack);
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 2), kBack);
  // Absurd and degenerate geometry draws nothing and stays in bounds.
  FillAll(&dst, kBack);
  Raster_ScaledBlit(&dst, &src, 0, 0, 0, 6, 0, 0, 4, 4, 1.0f, RASTER_MODE_COPY);
  Raster_ScaledBlit(&dst, &src, 0, 0, 6, 6, NAN, 0, 4, 4, 1.0f, RASTER_MODE_COPY);
  Raster_ScaledBlit(&dst, &src, 0, 0, 6, 6, -1e12, 0, 4, 4, 1.0f, RASTER_MODE_COPY);
  Raster_ScaledBlit(&dst, &src, 0x7FFFFFF0, 0, 0x7FFFFFF, 6, 0, 0, 4, 4, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(CountDiffering(&dst, kBack), 0);
  Raster_ScaledBlit(&dst, &src, -0x7FFFFFF0, -5, 0x7FFFFFFF, 60, 0, 0, 4, 4, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  EXPECT_GT(CountDiffering(&dst, kBack), 0);
}

TEST(RasterScaledBlit, BilinearMixesNeighbours)
{
  Raster_MemBitmap src(2, 1), dst(4, 1);
  Set(&src, {0xFF000000, 0xFFFFFFFF});
  Raster_ScaledBlit(&dst, &src, 0, 0, 4, 1, 0, 0, 2, 1, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  // Positions 0, 0.5, 1, 1.5: black, half grey, white, white (no pixel beyond the edge).
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 0), 0xFF000000u);
  EXPECT_EQ(Raster_GetR(Raster_GetPixel(&dst, 1, 0)), 127);
  EXPECT_EQ(Raster_GetA(Raster_GetPixel(&dst, 1, 0)), 255);
  EXPECT_EQ(Raster_GetPixel(&dst, 2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Raster_GetPixel(&dst, 3, 0), 0xFFFFFFFFu);
}

TEST(RasterScaledBlit, FilteredReductionAverages3x3And5x5)
{
  Raster_MemBitmap src(20, 20), dst(6, 6);
  FillAll(&src, 0);
  Raster_RowPtr(&src, 3)[3] = Raster_RGBA(225, 225, 225, 225);
  // Step 3.0: 3 x 3 boxes centred on 0, 3, 6, ...: destination (1, 1) sees the bright pixel.
  FillAll(&dst, kBack);
  Raster_ScaledBlit(&dst, &src, 0, 0, 6, 6, 0, 0, 18, 18, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  EXPECT_EQ(Raster_GetPixel(&dst, 1, 1), Raster_RGBA(25, 25, 25, 25));
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 0), 0u);
  EXPECT_EQ(Raster_GetPixel(&dst, 2, 1), 0u);
  // Step 4.0 (above 3): 5 x 5 boxes centred on 0, 4, 8: (1, 1) covers 2 ... 6.
  FillAll(&dst, kBack);
  Raster_ScaledBlit(&dst, &src, 0, 0, 5, 5, 0, 0, 20, 20, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  EXPECT_EQ(Raster_GetPixel(&dst, 1, 1), Raster_RGBA(9, 9, 9, 9));
  // At the corner only the pixels inside count: 3 x 3 of the 5 x 5 box, all from a uniform image.
  FillAll(&src, Raster_RGBA(90, 60, 30, 255));
  Raster_ScaledBlit(&dst, &src, 0, 0, 5, 5, 0, 0, 20, 20, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 0), Raster_RGBA(90, 60, 30, 255));
  // Below 1.7 the bilinear path runs instead: no averaging of far pixels.
  FillAll(&src, 0);
  Raster_RowPtr(&src, 3)[3] = Raster_RGBA(225, 225, 225, 225);
  FillAll(&dst, kBack);
  Raster_ScaledBlit(&dst, &src, 0, 0, 6, 6, 0, 0, 9, 9, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  EXPECT_EQ(Raster_GetPixel(&dst, 2, 2), Raster_RGBA(225, 225, 225, 225));  // position exactly 3.0
}

TEST(RasterRotatedBlit, QuarterAndHalfTurns)
{
  Raster_MemBitmap src(3, 3), dst(3, 3);
  FillPattern(&src, 11);
  const double pi = 3.14159265358979;
  for (int mode : {(int)RASTER_MODE_COPY, RASTER_MODE_COPY | RASTER_MODE_FILTER})
  {
    // Angle 0 at scale 1 reproduces the source exactly, filtered or not.
    FillAll(&dst, kBack);
    Raster_RotatedBlit(&dst, &src, 0, 0, 3, 3, 0, 0, 3, 3, 0.0, false, 1.0f, mode);
    EXPECT_EQ(Pixels(&dst), Pixels(&src)) << mode;
    // A quarter turn clockwise: the source's bottom-left corner lands top-left.
    FillAll(&dst, kBack);
    Raster_RotatedBlit(&dst, &src, 0, 0, 3, 3, 0, 0, 3, 3, pi / 2, false, 1.0f, mode);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(Raster_GetPixel(&dst, x, y), Raster_GetPixel(&src, y, 2 - x)) << mode << " " << x << "," << y;
    FillAll(&dst, kBack);
    Raster_RotatedBlit(&dst, &src, 0, 0, 3, 3, 0, 0, 3, 3, pi, false, 1.0f, mode);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(Raster_GetPixel(&dst, x, y), Raster_GetPixel(&src, 2 - x, 2 - y));
  }
  // Mirroring through a negative width.
  FillAll(&dst, kBack);
  Raster_RotatedBlit(&dst, &src, 3, 0, -3, 3, 0, 0, 3, 3, 0.0, false, 1.0f, RASTER_MODE_COPY);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(Raster_GetPixel(&dst, x, 1), Raster_GetPixel(&src, 2 - x, 1));
}

TEST(RasterRotatedBlit, OutsideSourceLeavesDestination)
{
  Raster_MemBitmap src(8, 8), dst(8, 8);
  FillAll(&src, 0xFFFFFFFF);
  FillAll(&dst, kBack);
  Raster_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 3.14159265358979 / 4, false, 1.0f, RASTER_MODE_COPY);
  // The corners of the turned square fall outside the source.
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 0), kBack);
  EXPECT_EQ(Raster_GetPixel(&dst, 7, 7), kBack);
  EXPECT_EQ(Raster_GetPixel(&dst, 4, 4), 0xFFFFFFFFu);
  EXPECT_EQ(Raster_GetPixel(&dst, 4, 0), 0xFFFFFFFFu);

  // Clip-to-source limits reads to the source rectangle even where the bitmap goes on.
  Raster_MemBitmap strip(4, 1);
  Set(&strip, {1, 2, 3, 4});
  Raster_MemBitmap out(4, 1);
  FillAll(&out, kBack);
  Raster_RotatedBlit(&out, &strip, 0, 0, 2, 1, 1, 0, 2, 1, 0.0, true, 1.0f, RASTER_MODE_COPY, -1.0, 0.0);
  // Shifted one pixel left in the source: column 0 would read pixel 0, outside the rectangle.
  EXPECT_EQ(Pixels(&out), (std::vector<uint32_t>{kBack, 2, kBack, kBack}));
  FillAll(&out, kBack);
  Raster_RotatedBlit(&out, &strip, 0, 0, 2, 1, 1, 0, 2, 1, 0.0, false, 1.0f, RASTER_MODE_COPY, -1.0, 0.0);
  EXPECT_EQ(Pixels(&out), (std::vector<uint32_t>{1, 2, kBack, kBack}));
  // Degenerate input draws nothing.
  FillAll(&dst, kBack);
  Raster_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, NAN, false, 1.0f, RASTER_MODE_COPY);
  Raster_RotatedBlit(&dst, &src, 0, 0, 8, 0, 0, 0, 8, 8, 1.0, false, 1.0f, RASTER_MODE_COPY);
  Raster_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 1.0, false, 0.0f, RASTER_MODE_COPY);
  EXPECT_EQ(CountDiffering(&dst, kBack), 0);
}

// A destination start far left of the bitmap with a large step must not overflow the source
// position (checked by the sanitizer build); nothing of it is visible.
TEST(RasterScaledBlit, FarAwayDestinationStartIsSafe)
{
  Raster_MemBitmap src(8, 8), dst(8, 8);
  FillAll(&src, 0xFFFFFFFF);
  FillAll(&dst, kBack);
  Raster_ScaledBlit(&dst, &src, INT32_MIN, 0, 1, 8, 0, 0, 5e8, 8, 1.0f, RASTER_MODE_COPY);
  Raster_ScaledBlit(&dst, &src, 0, INT32_MIN + 1, 8, 1, 0, 0, 8, 5e8, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  EXPECT_EQ(CountDiffering(&dst, kBack), 0);
}

// A tall, thin destination with a huge horizontal scale puts the start position beyond 16.16
// range; that must draw nothing rather than wrap (checked by the sanitizer build).
TEST(RasterRotatedBlit, StartBeyondFixedPointRangeIsSafe)
{
  Raster_MemBitmap src(8, 8), dst(8, 8);
  FillAll(&src, 0xFFFFFFFF);
  FillAll(&dst, kBack);
  for (double angle : {-1.0, 1.0, 2.5})
    Raster_RotatedBlit(&dst, &src, 0, 0, 1, 1000000, 0, 0, 5e8, 8, angle, false, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(CountDiffering(&dst, kBack), 0);
}

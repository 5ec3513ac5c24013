#include "raster_test_util.h"

#include <gtest/gtest.h>

namespace {

Raster_Pixel Combine2(Raster_Pixel d, Raster_Pixel s, int alpha, int mode, bool clamp = false)
{
  if (clamp)
    Raster_CombinePixels2Clamp(&d, Raster_GetR(s), Raster_GetG(s), Raster_GetB(s), Raster_GetA(s), alpha, mode);
  else
    Raster_CombinePixels2(&d, Raster_GetR(s), Raster_GetG(s), Raster_GetB(s), Raster_GetA(s), alpha, mode);
  return d;
}

int Grey(int v) { return (int)Raster_RGBA(v, v, v, v); }

} // namespace

TEST(RasterCombine, CopyAtFullAndZeroWeight)
{
  const Raster_Pixel d = 0x80402010, s = 0x11223344;
  EXPECT_EQ(Raster_CombinePixels(d, s, 1.0f, RASTER_MODE_COPY), s);
  EXPECT_EQ(Raster_CombinePixels(d, s, 0.0f, RASTER_MODE_COPY), d);
  EXPECT_EQ(Combine2(d, s, 256, RASTER_MODE_COPY), s);
  EXPECT_EQ(Combine2(d, s, 0, RASTER_MODE_COPY), d);
  // Every mode leaves the pixel alone at weight 0.
  for (int mode = 0; mode <= 5; ++mode)
  {
    EXPECT_EQ(Raster_CombinePixels(d, s, 0.0f, mode), d) << mode;
    EXPECT_EQ(Raster_CombinePixels(d, s, 0.0f, mode | RASTER_MODE_SOURCEALPHA), d) << mode;
  }
}

TEST(RasterCombine, CopyBlendTruncatesTowardZero)
{
  // d = s + (d - s) * (256 - a) / 256 per channel, the division truncating toward zero.
  const Raster_Pixel r = Combine2(Raster_RGBA(200, 100, 101, 0), Raster_RGBA(100, 200, 200, 255), 128, 0);
  EXPECT_EQ(Raster_GetR(r), 150);
  EXPECT_EQ(Raster_GetG(r), 150);
  EXPECT_EQ(Raster_GetB(r), 151);  // 200 + (-99 * 128) / 256 = 200 - 49
  EXPECT_EQ(Raster_GetA(r), 128);  // 255 + (0 - 255) * 128 / 256 = 255 - 127
}

TEST(RasterCombine, AddSaturatesPerChannel)
{
  const Raster_Pixel r = Raster_CombinePixels(Raster_RGBA(200, 10, 0, 250), Raster_RGBA(100, 20, 255, 10), 1.0f,
                                              RASTER_MODE_ADD);
  EXPECT_EQ(r, Raster_RGBA(255, 30, 255, 255));
  // Half weight adds half the source.
  EXPECT_EQ(Combine2(Raster_RGBA(10, 10, 10, 10), Raster_RGBA(100, 101, 0, 0), 128, RASTER_MODE_ADD),
            Raster_RGBA(60, 60, 10, 10));
}

TEST(RasterCombine, MultiplyByWhiteGivesOneLess)
{
  for (int d = 0; d <= 255; ++d)
  {
    const Raster_Pixel r = Raster_CombinePixels((Raster_Pixel)Grey(d), 0xFFFFFFFF, 1.0f, RASTER_MODE_MUL);
    const int want = d == 0 ? 0 : d - 1;
    ASSERT_EQ(r, Raster_RGBA(want, want, want, want)) << d;
  }
  // Multiplying by black darkens fully; weight 128 goes halfway.
  EXPECT_EQ(Combine2(Raster_RGBA(200, 200, 200, 200), 0, 256, RASTER_MODE_MUL), 0u);
  EXPECT_EQ(Raster_GetR(Combine2(Raster_RGBA(200, 0, 0, 0), 0, 128, RASTER_MODE_MUL)), 100);
}

TEST(RasterCombine, ClampVariantsLimitOutOfRangeChannels)
{
  Raster_Pixel d = Raster_RGBA(0, 255, 0, 0);
  Raster_CombinePixels2Clamp(&d, 300, -20, 7, 255, 256, RASTER_MODE_COPY);
  EXPECT_EQ(d, Raster_RGBA(255, 0, 7, 255));
  d = Raster_RGBA(255, 0, 0, 0);
  Raster_CombinePixels2Clamp(&d, 300, 0, 0, 0, 256, RASTER_MODE_MUL);
  EXPECT_EQ(Raster_GetR(d), 255);  // (300 * 256 * 255) >> 16 = 298, limited
  d = Raster_RGBA(255, 0, 0, 0);
  Raster_CombinePixels2(&d, 300, 0, 0, 0, 256, RASTER_MODE_MUL);
  EXPECT_EQ(Raster_GetR(d), 298 & 255);  // the plain form keeps the low byte
}

TEST(RasterCombine, ColorDodgeAndOverlay)
{
  // Dodge with black leaves the pixel; with white at full weight every non-zero channel saturates.
  const Raster_Pixel d = Raster_RGBA(0, 1, 100, 255);
  EXPECT_EQ(Raster_CombinePixels(d, 0, 1.0f, RASTER_MODE_DODGE), d);
  EXPECT_EQ(Raster_CombinePixels(d, 0xFFFFFFFF, 1.0f, RASTER_MODE_DODGE), Raster_RGBA(0, 255, 255, 255));
  // 100 * 256 / (256 - 128) = 200
  EXPECT_EQ(Raster_GetR(Raster_CombinePixels(Raster_RGBA(100, 0, 0, 0), Raster_RGBA(128, 0, 0, 0), 1.0f,
                                             RASTER_MODE_DODGE)),
            200);
  // Overlay with mid grey is the identity; with black it squares: d * d / 256.
  for (int v : {0, 1, 64, 127, 128, 200, 255})
  {
    EXPECT_EQ(Raster_CombinePixels((Raster_Pixel)Grey(v), (Raster_Pixel)Grey(128), 1.0f, RASTER_MODE_OVERLAY),
              (Raster_Pixel)Grey(v));
    EXPECT_EQ(Raster_GetR(Raster_CombinePixels((Raster_Pixel)Grey(v), 0, 1.0f, RASTER_MODE_OVERLAY)), v * v / 256);
  }
}

TEST(RasterCombine, HSVAdjust)
{
  // Neutral source (hue offset 0, saturation and value +-0) keeps the colour, alpha becomes a.
  const Raster_Pixel red = Raster_RGBA(255, 0, 0, 255);
  EXPECT_EQ(Raster_CombinePixels(red, Raster_RGBA(128, 128, 128, 77), 1.0f, RASTER_MODE_HSVADJ),
            Raster_RGBA(255, 0, 0, 77));
  // Hue + 127 of 384 turns red nearly into green.
  const Raster_Pixel g = Raster_CombinePixels(red, Raster_RGBA(213, 128, 128, 255), 1.0f, RASTER_MODE_HSVADJ);
  EXPECT_LT(Raster_GetR(g), 10);
  EXPECT_EQ(Raster_GetG(g), 255);
  EXPECT_EQ(Raster_GetB(g), 0);
  // Value down to zero gives black; saturation down to zero gives grey at the same value.
  EXPECT_EQ(Raster_CombinePixels(red, Raster_RGBA(128, 128, 0, 255), 1.0f, RASTER_MODE_HSVADJ) & 0xFFFFFF, 0u);
  EXPECT_EQ(Raster_CombinePixels(red, Raster_RGBA(128, 0, 128, 255), 1.0f, RASTER_MODE_HSVADJ),
            Raster_RGBA(255, 255, 255, 255));
  // Hue wraps: -192 from red is the opposite hue, cyan.
  EXPECT_EQ(Raster_CombinePixels(red, Raster_RGBA(0, 128, 128, 255), 1.0f, RASTER_MODE_HSVADJ),
            Raster_RGBA(0, 255, 255, 255));
}

TEST(RasterCombine, SourceAlphaCopy)
{
  const Raster_Pixel d = 0x44332211;
  // A fully transparent source leaves the destination untouched, at any weight.
  EXPECT_EQ(Raster_CombinePixels(d, 0x00FFFFFF, 1.0f, RASTER_MODE_SOURCEALPHA), d);
  EXPECT_EQ(Raster_CombinePixels(d, 0x00FFFFFF, 0.5f, RASTER_MODE_SOURCEALPHA), d);
  EXPECT_EQ(Raster_CombinePixels(d, 0x00FFFFFF, 1.0f, RASTER_MODE_ADD | RASTER_MODE_SOURCEALPHA), d);
  EXPECT_EQ(Raster_CombinePixels(d, 0x00000000, 1.0f, RASTER_MODE_MUL | RASTER_MODE_SOURCEALPHA), d);
  // Opaque source at full weight replaces the colour and makes the pixel opaque.
  EXPECT_EQ(Raster_CombinePixels(d, 0xFF102030, 1.0f, RASTER_MODE_SOURCEALPHA), 0xFF102030u);
  // Partial source alpha at full weight: colour moves by (255 - a) / 256, alpha adds up.
  const Raster_Pixel r = Raster_CombinePixels(Raster_RGBA(0, 0, 0, 100), Raster_RGBA(200, 0, 0, 128), 1.0f,
                                              RASTER_MODE_SOURCEALPHA);
  EXPECT_EQ(Raster_GetR(r), 200 - 200 * 127 / 256);
  EXPECT_EQ(Raster_GetA(r), 228);
  // With a weight below 1 the effective weight is alpha * (a + 1) / 256: 128 * 256 / 256.
  const Raster_Pixel h = Raster_CombinePixels(Raster_RGBA(0, 0, 0, 200), Raster_RGBA(200, 0, 0, 255), 0.5f,
                                              RASTER_MODE_SOURCEALPHA);
  EXPECT_EQ(Raster_GetR(h), 100);
  EXPECT_EQ(Raster_GetA(h), 255);  // 200 + 128, limited
}

TEST(RasterCombine, UnlistedModesDrawNothing)
{
  const Raster_Pixel d = 0x12345678;
  for (int mode : {6, 7, 0x10, 0x7F, 0xE0})
    EXPECT_EQ(Raster_CombinePixels(d, 0xFFFFFFFF, 1.0f, mode), d) << mode;
}

TEST(RasterCombine, FixedWeightMixes)
{
  const Raster_Pixel s = 0xFFFFFFFF, d = 0;
  EXPECT_EQ(Raster_HalfMix(s, d), 0x7F7F7F7Fu);
  EXPECT_EQ(Raster_QuarterMix(s, d), 0x3F3F3F3Fu);
  EXPECT_EQ(Raster_ThreeQuarterMix(s, d), 0x7F7F7F7Fu + 0x3F3F3F3Fu);
  EXPECT_EQ(Raster_QuarterMix(0, 0xFFFFFFFF), 0x7F7F7F7Fu + 0x3F3F3F3Fu);
}

TEST(RasterCombine, OpacityOutsideRangeIsLimited)
{
  // Opacities above 1 act as 1 and below 0 (or NaN) as 0, so no weight overflows the arithmetic.
  const Raster_Pixel d = Raster_RGBA(10, 20, 30, 40), s = Raster_RGBA(200, 100, 50, 255);
  EXPECT_EQ(Raster_CombinePixels(d, s, 1000.0f, RASTER_MODE_COPY), s);
  EXPECT_EQ(Raster_CombinePixels(d, s, -3.0f, RASTER_MODE_COPY), d);
  EXPECT_EQ(Raster_CombinePixels(d, s, 1e30f, RASTER_MODE_MUL), Raster_CombinePixels(d, s, 1.0f, RASTER_MODE_MUL));
}

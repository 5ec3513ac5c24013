#include "raster_test_util.h"

#include <gtest/gtest.h>

namespace {

const Raster_Pixel kBack = 0x11223344;

} // namespace

TEST(RasterBlit, NegativeDestinationStartSkipsSourcePixels)
{
  Raster_MemBitmap src(6, 5), dst(4, 4);
  FillPattern(&src, 0);
  FillAll(&dst, kBack);
  Raster_Blit(&dst, &src, -3, -2, nullptr, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 0), Raster_GetPixel(&src, 3, 2));
  EXPECT_EQ(Raster_GetPixel(&dst, 2, 2), Raster_GetPixel(&src, 5, 4));
  // The source ends after 3 columns and 3 rows: the rest of the destination is untouched.
  EXPECT_EQ(Raster_GetPixel(&dst, 3, 0), kBack);
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 3), kBack);
}

TEST(RasterBlit, SourceRectangleClipping)
{
  Raster_MemBitmap src(5, 5), dst(8, 8);
  FillPattern(&src, 7);
  FillAll(&dst, kBack);
  // A source rectangle starting at (-2, -1) moves the destination by the same amount.
  Raster_Blit(&dst, &src, 1, 1, -2, -1, 4, 4, 1.0f, RASTER_MODE_COPY);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
    {
      const bool inside = x >= 3 && x < 5 && y >= 2 && y < 5;
      EXPECT_EQ(Raster_GetPixel(&dst, x, y), inside ? Raster_GetPixel(&src, x - 3, y - 2) : kBack) << x << "," << y;
    }
  // A rectangle hanging over the source's right and bottom edges is cut to it.
  FillAll(&dst, kBack);
  const RECT r = {3, 3, 100, 100};
  Raster_Blit(&dst, &src, 0, 0, &r, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&dst, 1, 1), Raster_GetPixel(&src, 4, 4));
  EXPECT_EQ(Raster_GetPixel(&dst, 2, 0), kBack);
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 2), kBack);
  // Empty or inverted rectangles and zero opacity draw nothing.
  FillAll(&dst, kBack);
  const RECT inverted = {4, 4, 1, 1};
  Raster_Blit(&dst, &src, 0, 0, &inverted, 1.0f, RASTER_MODE_COPY);
  Raster_Blit(&dst, &src, 0, 0, nullptr, 0.0f, RASTER_MODE_COPY);
  Raster_Blit(&dst, &src, 8, 0, nullptr, 1.0f, RASTER_MODE_COPY);
  Raster_Blit(&dst, nullptr, 0, 0, nullptr, 1.0f, RASTER_MODE_COPY);
  Raster_Blit(nullptr, &src, 0, 0, nullptr, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(CountDiffering(&dst, kBack), 0);
}

TEST(RasterBlit, OpacityAndModes)
{
  Raster_MemBitmap src(3, 2), dst(3, 2);
  FillPattern(&src, 0x80808080);
  FillPattern(&dst, 0x01010101);
  const std::vector<uint32_t> before = Pixels(&dst), s = Pixels(&src);

  Raster_Blit(&dst, &src, 0, 0, nullptr, 0.5f, RASTER_MODE_COPY);
  std::vector<uint32_t> after = Pixels(&dst);
  for (size_t i = 0; i < s.size(); ++i) EXPECT_EQ(after[i], Raster_HalfMix(s[i], before[i]));

  // Any other opacity goes through the combine operation pixel by pixel.
  FillPattern(&dst, 0x01010101);
  Raster_Blit(&dst, &src, 0, 0, nullptr, 0.3f, RASTER_MODE_ADD);
  after = Pixels(&dst);
  for (size_t i = 0; i < s.size(); ++i) EXPECT_EQ(after[i], Raster_CombinePixels(before[i], s[i], 0.3f, RASTER_MODE_ADD));

  FillPattern(&dst, 0x01010101);
  Raster_Blit(&dst, &src, 0, 0, nullptr, 0.7f, RASTER_MODE_OVERLAY | RASTER_MODE_SOURCEALPHA);
  after = Pixels(&dst);
  for (size_t i = 0; i < s.size(); ++i)
    EXPECT_EQ(after[i], Raster_CombinePixels(before[i], s[i], 0.7f, RASTER_MODE_OVERLAY | RASTER_MODE_SOURCEALPHA));

  // Source-alpha copy keeps the destination where the source is transparent.
  Raster_MemBitmap sprite(2, 1);
  Raster_RowPtr(&sprite, 0)[0] = 0x00FFFFFF;
  Raster_RowPtr(&sprite, 0)[1] = 0xFF0000FF;
  FillAll(&dst, kBack);
  Raster_Blit(&dst, &sprite, 0, 0, nullptr, 1.0f, RASTER_MODE_SOURCEALPHA);
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 0), kBack);
  EXPECT_EQ(Raster_GetPixel(&dst, 1, 0), 0xFF0000FFu);

  // Unlisted modes draw nothing.
  FillAll(&dst, kBack);
  Raster_Blit(&dst, &src, 0, 0, nullptr, 1.0f, 9);
  EXPECT_EQ(CountDiffering(&dst, kBack), 0);
}

TEST(RasterBlit, ChannelCopy)
{
  Raster_MemBitmap src(2, 2), dst(2, 2);
  FillAll(&src, Raster_RGBA(0x12, 0x34, 0x56, 0x78));
  FillAll(&dst, 0);
  // Source red (byte 2) into destination alpha (byte 3); nothing else changes.
  Raster_Blit(&dst, &src, 0, 0, nullptr, 1.0f, Raster_ChanCopyMode(2, 3));
  EXPECT_EQ(Raster_GetPixel(&dst, 1, 1), 0x12000000u);
  Raster_Blit(&dst, &src, 0, 0, nullptr, 1.0f, Raster_ChanCopyMode(0, 0));
  EXPECT_EQ(Raster_GetPixel(&dst, 0, 1), 0x12000056u);
}

TEST(RasterBlit, FlippedBitmapsUsePictureRows)
{
  Raster_MemBitmap src(4, 3);
  FlippedBitmap flipped(4, 3);
  FillPattern(&src, 5);
  Raster_Blit(&flipped, &src, 0, 0, nullptr, 1.0f, RASTER_MODE_COPY);
  // Picture row 0 is stored last.
  EXPECT_EQ(flipped.getBits()[2 * flipped.getRowSpan() + 1], Raster_GetPixel(&src, 1, 0));
  EXPECT_EQ(Pixels(&flipped), Pixels(&src));
  // And back, through the blending path.
  Raster_MemBitmap back(4, 3);
  FillAll(&back, 0);
  Raster_Blit(&back, &flipped, 0, 0, nullptr, 1.0f, RASTER_MODE_ADD);
  EXPECT_EQ(Pixels(&back), Pixels(&src));
}

TEST(RasterBlit, OverlappingSelfBlit)
{
  Raster_MemBitmap bm(5, 5), ref(5, 5);
  FillPattern(&bm, 3);
  Raster_Copy(&ref, &bm);
  Raster_Blit(&bm, &bm, 1, 1, 0, 0, 4, 4, 1.0f, RASTER_MODE_COPY);
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x) EXPECT_EQ(Raster_GetPixel(&bm, x, y), Raster_GetPixel(&ref, x - 1, y - 1));
  FillPattern(&bm, 3);
  Raster_Blit(&bm, &bm, 0, 0, 1, 1, 4, 4, 0.5f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&bm, 0, 0), Raster_HalfMix(Raster_GetPixel(&ref, 1, 1), Raster_GetPixel(&ref, 0, 0)));
  EXPECT_EQ(Raster_GetPixel(&bm, 3, 3), Raster_HalfMix(Raster_GetPixel(&ref, 4, 4), Raster_GetPixel(&ref, 3, 3)));
}

TEST(RasterBlit, CopyResizesDestination)
{
  Raster_MemBitmap src(7, 3), dst(2, 2);
  FillPattern(&src, 9);
  Raster_Copy(&dst, &src);
  EXPECT_EQ(dst.getWidth(), 7);
  EXPECT_EQ(dst.getHeight(), 3);
  EXPECT_EQ(Pixels(&dst), Pixels(&src));
}

TEST(RasterFill, FixedWeightsAndBlend)
{
  Raster_MemBitmap bm(4, 3);
  const Raster_Pixel c = 0xFF8040C0;
  struct Case { float alpha; Raster_Pixel (*mix)(Raster_Pixel, Raster_Pixel); };
  for (const Case& k : {Case{0.5f, Raster_HalfMix}, Case{0.25f, Raster_QuarterMix},
                        Case{0.75f, Raster_ThreeQuarterMix}})
  {
    FillPattern(&bm, 0x5A5A5A5A);
    const std::vector<uint32_t> before = Pixels(&bm);
    Raster_FillRect(&bm, 0, 0, 4, 3, c, k.alpha, RASTER_MODE_COPY);
    const std::vector<uint32_t> after = Pixels(&bm);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], k.mix(c, before[i])) << k.alpha;
  }
  FillAll(&bm, 0);
  Raster_FillRect(&bm, 1, 1, 2, 1, c, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&bm, 1, 1), c);
  EXPECT_EQ(Raster_GetPixel(&bm, 2, 1), c);
  EXPECT_EQ(CountDiffering(&bm, 0), 2);

  // Other weights blend with the weight as the source alpha: alpha moves toward the weight.
  FillAll(&bm, Raster_RGBA(0, 0, 0, 0));
  Raster_FillRect(&bm, 0, 0, 1, 1, Raster_RGBA(200, 100, 0, 255), 0.375f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&bm, 0, 0), Raster_RGBA(75, 38, 0, 36));
  // With the source-alpha flag the colour's alpha scales the opacity: alpha 0 draws nothing.
  FillAll(&bm, kBack);
  Raster_FillRect(&bm, 0, 0, 4, 3, 0x00FFFFFF, 1.0f, RASTER_MODE_SOURCEALPHA);
  EXPECT_EQ(CountDiffering(&bm, kBack), 0);
  Raster_FillRect(&bm, 0, 0, 4, 3, 0x80FFFFFF, 1.0f, RASTER_MODE_SOURCEALPHA);  // 128/255 -> weight 128
  EXPECT_EQ(Raster_GetPixel(&bm, 3, 2), Raster_HalfMix(0x80FFFFFF, kBack));
  // Add mode merges the colour's channels at the weight.
  FillAll(&bm, Raster_RGBA(10, 10, 10, 10));
  Raster_FillRect(&bm, 0, 0, 4, 3, Raster_RGBA(100, 200, 255, 0), 0.5f, RASTER_MODE_ADD);
  EXPECT_EQ(Raster_GetPixel(&bm, 2, 2), Raster_RGBA(60, 110, 137, 74));
}

TEST(RasterFill, ClippingAndDegenerateRectangles)
{
  Raster_MemBitmap bm(5, 4);
  FillAll(&bm, kBack);
  Raster_FillRect(&bm, -3, -3, 5, 5, 0xFFFFFFFF, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(CountDiffering(&bm, kBack), 4);
  Raster_FillRect(&bm, 3, 2, 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(CountDiffering(&bm, kBack), 8);
  Raster_FillRect(&bm, 0, 0, -5, 3, 0, 1.0f, RASTER_MODE_COPY);
  Raster_FillRect(&bm, 0, 0, 5, 4, 0, 0.0f, RASTER_MODE_COPY);
  Raster_FillRect(&bm, 0, 0, 5, 4, 0, 1.0f, 77);
  EXPECT_EQ(CountDiffering(&bm, kBack), 8);
}

TEST(RasterFill, ClearRectMasksBits)
{
  Raster_MemBitmap bm(4, 4);
  FillPattern(&bm, 0x00ABCDEF);
  const std::vector<uint32_t> before = Pixels(&bm);
  Raster_ClearRect(&bm, 1, 1, 10, 2, 0x00FFFFFF, 0xFF000000);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
    {
      const uint32_t b = before[y * 4 + x];
      const bool inside = x >= 1 && y >= 1 && y < 3;
      EXPECT_EQ(Raster_GetPixel(&bm, x, y), inside ? (b | 0xFF000000) : b);
    }
  Raster_Clear(&bm, 0x12345678);
  EXPECT_EQ(CountDiffering(&bm, 0x12345678), 0);
}

TEST(RasterPixel, GetAndPut)
{
  Raster_MemBitmap bm(3, 2);
  FillAll(&bm, kBack);
  EXPECT_EQ(Raster_GetPixel(&bm, 3, 0), 0u);
  EXPECT_EQ(Raster_GetPixel(&bm, 0, 2), 0u);
  EXPECT_EQ(Raster_GetPixel(&bm, -1, 0), 0u);
  EXPECT_EQ(Raster_GetPixel(nullptr, 0, 0), 0u);
  EXPECT_EQ(Raster_GetPixel(&bm, 2, 1), kBack);
  Raster_PutPixel(&bm, 3, 0, 0, 1.0f, RASTER_MODE_COPY);
  Raster_PutPixel(&bm, -1, 1, 0, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(CountDiffering(&bm, kBack), 0);
  Raster_PutPixel(&bm, 1, 1, 0xFFFFFFFF, 0.5f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&bm, 1, 1), Raster_HalfMix(0xFFFFFFFF, kBack));
  EXPECT_EQ(CountDiffering(&bm, kBack), 1);
}

TEST(RasterCoverage, WeightsAndClip)
{
  Raster_MemBitmap bm(4, 4);
  FillAll(&bm, 0xFF000000);
  const unsigned char cov[6] = {255, 0, 128, 255, 255, 255};  // 3 x 2
  const RECT clip = {0, 0, 3, 2};
  Raster_BlendCoverage(&bm, cov, 3, 3, 2, 1, 1, &clip, 0xFFFFFFFF, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&bm, 1, 1), 0xFFFFFFFFu);  // full coverage
  EXPECT_EQ(Raster_GetPixel(&bm, 2, 1), 0xFF000000u);  // no coverage
  EXPECT_EQ(Raster_GetPixel(&bm, 3, 1), 0xFF000000u);  // clipped away
  EXPECT_EQ(Raster_GetPixel(&bm, 1, 2), 0xFF000000u);  // below the clip
}

#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace {

const Raster_Pixel kBack = 0xFF000000;
const Raster_Pixel kInk = 0xFFFFFFFF;
const float kPi = 3.14159265f;

using PixelSet = std::set<std::pair<int, int>>;

PixelSet Touched(Raster_IBitmap* bm, Raster_Pixel background = kBack)
{
  PixelSet s;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (Raster_GetPixel(bm, x, y) != background) s.insert({x, y});
  return s;
}

// At opacity 0.5 a pixel drawn once is exactly the half mix; drawn twice it is darker or lighter.
void ExpectEachTouchedOnce(Raster_IBitmap* bm)
{
  const Raster_Pixel once = Raster_HalfMix(kInk, kBack);
  for (auto p : Touched(bm)) EXPECT_EQ(Raster_GetPixel(bm, p.first, p.second), once) << p.first << "," << p.second;
}

} // namespace

TEST(RasterLine, ClipLineCohenSutherland)
{
  int x1 = -10, y1 = 5, x2 = 10, y2 = 5;
  ASSERT_TRUE(Raster_ClipLine(&x1, &y1, &x2, &y2, 5, 10));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(x2, 4);
  EXPECT_EQ(y1, 5);
  EXPECT_EQ(y2, 5);
  // Both ends beyond the same edge: rejected.
  x1 = -5; y1 = 0; x2 = -1; y2 = 9;
  EXPECT_FALSE(Raster_ClipLine(&x1, &y1, &x2, &y2, 5, 10));
  // Crossing a corner region without entering the bitmap: rejected after moving the ends.
  x1 = -3; y1 = 2; x2 = 2; y2 = -3;
  EXPECT_FALSE(Raster_ClipLine(&x1, &y1, &x2, &y2, 5, 5));
  // A diagonal through the bitmap is cut to the edges.
  x1 = -2; y1 = -2; x2 = 12; y2 = 12;
  ASSERT_TRUE(Raster_ClipLine(&x1, &y1, &x2, &y2, 10, 10));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(x2, 9);
  EXPECT_EQ(y2, 9);
  // Extreme coordinates neither overflow nor loop.
  x1 = INT32_MIN + 1; y1 = 3; x2 = INT32_MAX; y2 = 4;
  EXPECT_TRUE(Raster_ClipLine(&x1, &y1, &x2, &y2, 10, 10));
  EXPECT_TRUE(x1 >= 0 && x2 < 10 && y1 >= 0 && y2 < 10);
}

TEST(RasterLine, ClippedHorizontalAndSinglePoint)
{
  Raster_MemBitmap bm(5, 10);
  FillAll(&bm, kBack);
  Raster_Line(&bm, -10, 5, 10, 5, kInk, 1.0f, RASTER_MODE_COPY, false);
  PixelSet want;
  for (int x = 0; x < 5; ++x) want.insert({x, 5});
  EXPECT_EQ(Touched(&bm), want);

  FillAll(&bm, kBack);
  Raster_Line(&bm, 3, 7, 3, 7, kInk, 1.0f, RASTER_MODE_COPY, true);
  EXPECT_EQ(Touched(&bm), PixelSet({{3, 7}}));
  EXPECT_EQ(Raster_GetPixel(&bm, 3, 7), kInk);

  // Lines wholly outside draw nothing.
  FillAll(&bm, kBack);
  Raster_Line(&bm, -10, -1, 10, -1, kInk, 1.0f, RASTER_MODE_COPY, false);
  Raster_Line(&bm, 7, 0, 7, 9, kInk, 1.0f, RASTER_MODE_COPY, true);
  Raster_Line(nullptr, 0, 0, 3, 3, kInk, 1.0f, RASTER_MODE_COPY, true);
  EXPECT_TRUE(Touched(&bm).empty());
}

TEST(RasterLine, EveryPixelOnce)
{
  Raster_MemBitmap bm(20, 20);
  const int lines[][4] = {{2, 3, 17, 3}, {4, 1, 4, 18}, {1, 1, 15, 15}, {18, 2, 3, 17}, {0, 0, 19, 7}, {2, 19, 9, 0}};
  for (auto& l : lines)
  {
    FillAll(&bm, kBack);
    Raster_Line(&bm, l[0], l[1], l[2], l[3], kInk, 0.5f, RASTER_MODE_COPY, false);
    ExpectEachTouchedOnce(&bm);
    // One pixel per step of the major axis, both end points included.
    const int n = std::max(std::abs(l[2] - l[0]), std::abs(l[3] - l[1])) + 1;
    EXPECT_EQ((int)Touched(&bm).size(), n);
    EXPECT_NE(Raster_GetPixel(&bm, l[0], l[1]), kBack);
    EXPECT_NE(Raster_GetPixel(&bm, l[2], l[3]), kBack);
  }
}

TEST(RasterLine, DirectionDoesNotMatter)
{
  Raster_MemBitmap a(30, 30), b(30, 30);
  for (bool aa : {false, true})
  {
    FillAll(&a, kBack);
    FillAll(&b, kBack);
    Raster_Line(&a, 3, 4, 27, 13, kInk, 1.0f, RASTER_MODE_COPY, aa);
    Raster_Line(&b, 27, 13, 3, 4, kInk, 1.0f, RASTER_MODE_COPY, aa);
    EXPECT_EQ(Pixels(&a), Pixels(&b)) << aa;
  }
}

TEST(RasterLine, AntialiasedWeights)
{
  // Diagonal: 3/4 on the line, 1/4 on the two pixels between consecutive diagonal pixels.
  Raster_MemBitmap bm(6, 6);
  FillAll(&bm, 0);
  Raster_Line(&bm, 1, 1, 3, 3, Raster_RGBA(255, 255, 255, 255), 1.0f, RASTER_MODE_COPY, true);
  EXPECT_EQ(Raster_GetR(Raster_GetPixel(&bm, 2, 2)), 192);  // 255 - 255 * 64 / 256, truncated
  EXPECT_EQ(Raster_GetR(Raster_GetPixel(&bm, 2, 1)), 64);   // 255 - 255 * 192 / 256
  EXPECT_EQ(Raster_GetR(Raster_GetPixel(&bm, 1, 2)), 64);
  EXPECT_EQ(Raster_GetR(Raster_GetPixel(&bm, 3, 2)), 64);
  EXPECT_EQ(Raster_GetPixel(&bm, 3, 1), 0u);

  // General line: per column the two weights add up to the full weight (within rounding).
  Raster_MemBitmap g(40, 20);
  FillAll(&g, 0);
  Raster_Line(&g, 2, 3, 37, 14, Raster_RGBA(0, 0, 255, 0), 1.0f, RASTER_MODE_ADD, true);
  for (int x = 2; x <= 37; ++x)
  {
    int sum = 0, touched = 0;
    for (int y = 0; y < 20; ++y)
    {
      const int v = Raster_GetB(Raster_GetPixel(&g, x, y));
      sum += v;
      touched += v != 0;
    }
    EXPECT_NEAR(sum, 255, 2) << x;
    EXPECT_LE(touched, 2) << x;
  }
  EXPECT_EQ(Raster_GetB(Raster_GetPixel(&g, 2, 3)), 255);
  EXPECT_EQ(Raster_GetB(Raster_GetPixel(&g, 37, 14)), 255);
}

TEST(RasterLine, FlippedBitmap)
{
  Raster_MemBitmap a(12, 9);
  FlippedBitmap b(12, 9);
  FillAll(&a, kBack);
  FillAll(&b, kBack);
  Raster_Line(&a, 1, 1, 10, 6, kInk, 1.0f, RASTER_MODE_COPY, true);
  Raster_Line(&b, 1, 1, 10, 6, kInk, 1.0f, RASTER_MODE_COPY, true);
  EXPECT_EQ(Pixels(&a), Pixels(&b));
}

TEST(RasterCircle, OutlineSymmetricAndOnce)
{
  Raster_MemBitmap bm(41, 41);
  FillAll(&bm, kBack);
  Raster_Circle(&bm, 20, 20, 12, kInk, 0.5f, RASTER_MODE_COPY, false);
  const PixelSet s = Touched(&bm);
  ASSERT_FALSE(s.empty());
  ExpectEachTouchedOnce(&bm);
  for (auto p : s)
  {
    const int dx = p.first - 20, dy = p.second - 20;
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 12.0, 0.6);
    EXPECT_TRUE(s.count({20 - dx, 20 + dy}) && s.count({20 + dy, 20 + dx})) << dx << "," << dy;
  }
  EXPECT_TRUE(s.count({32, 20}) && s.count({20, 8}));

  // Antialiased: weights fall off within one pixel of the radius.
  FillAll(&bm, 0);
  Raster_Circle(&bm, 20, 20, 12, Raster_RGBA(0, 0, 255, 0), 1.0f, RASTER_MODE_ADD, true);
  for (auto p : Touched(&bm, 0))
  {
    const int dx = p.first - 20, dy = p.second - 20;
    EXPECT_LT(std::fabs(std::sqrt(dx * dx + dy * dy) - 12.0), 1.0);
  }
  EXPECT_EQ(Raster_GetB(Raster_GetPixel(&bm, 32, 20)), 255);
  EXPECT_EQ(Raster_GetPixel(&bm, 20, 20), 0u);
}

TEST(RasterCircle, SmallRadiusMasks)
{
  Raster_MemBitmap bm(20, 20);
  const float radii[] = {1.5f, 2, 2.5f, 3, 3.5f, 4};
  for (int i = 0; i < 6; ++i)
    for (bool aa : {false, true})
    {
      FillAll(&bm, kBack);
      Raster_Circle(&bm, 10, 10, radii[i], kInk, 1.0f, RASTER_MODE_COPY, aa);
      const int n = 4 + i, left = (int)std::floor(10 - radii[i] + 0.5f);
      const PixelSet s = Touched(&bm);
      ASSERT_FALSE(s.empty()) << radii[i];
      int minx = 99, maxx = -1, miny = 99, maxy = -1;
      for (auto p : s)
      {
        minx = std::min(minx, p.first); maxx = std::max(maxx, p.first);
        miny = std::min(miny, p.second); maxy = std::max(maxy, p.second);
      }
      // The ring fills its n x n box edge to edge and leaves the middle empty.
      EXPECT_EQ(minx, left) << radii[i];
      EXPECT_EQ(maxx, left + n - 1) << radii[i];
      EXPECT_EQ(miny, left) << radii[i];
      EXPECT_EQ(maxy, left + n - 1) << radii[i];
      // Plain masks are hollow; antialiased ones are at most faint in the middle.
      const Raster_Pixel mid = Raster_GetPixel(&bm, left + n / 2, left + n / 2);
      const Raster_Pixel rim = Raster_GetPixel(&bm, left + n / 2, left);
      if (!aa) EXPECT_EQ(mid, kBack) << radii[i];
      else EXPECT_LT(Raster_GetR(mid), Raster_GetR(rim) / 2) << radii[i];
    }
}

TEST(RasterCircle, RejectedCircles)
{
  Raster_MemBitmap bm(10, 10);
  FillAll(&bm, kBack);
  Raster_Circle(&bm, 5, 5, -1, kInk, 1.0f, RASTER_MODE_COPY, false);
  Raster_Circle(&bm, -10, 5, 7.5f, kInk, 1.0f, RASTER_MODE_COPY, true);
  Raster_FillCircle(&bm, 5, 25, 10, kInk, 1.0f, RASTER_MODE_COPY, true);
  Raster_FillCircle(&bm, 5, 5, 3, kInk, 0.0f, RASTER_MODE_COPY, true);
  Raster_FillCircle(&bm, NAN, 5, 3, kInk, 1.0f, RASTER_MODE_COPY, false);
  EXPECT_TRUE(Touched(&bm).empty());
  // A circle hanging over the edge is clipped, not skipped.
  Raster_Circle(&bm, -3, 5, 6, kInk, 1.0f, RASTER_MODE_COPY, false);
  Raster_FillCircle(&bm, 12, 12, 5, kInk, 1.0f, RASTER_MODE_COPY, true);
  EXPECT_FALSE(Touched(&bm).empty());
}

TEST(RasterCircle, FilledDisc)
{
  Raster_MemBitmap bm(50, 50);
  FillAll(&bm, kBack);
  Raster_FillCircle(&bm, 25, 25, 15, kInk, 0.5f, RASTER_MODE_COPY, false);
  ExpectEachTouchedOnce(&bm);
  const PixelSet s = Touched(&bm);
  EXPECT_NEAR((double)s.size(), 3.14159 * 15.5 * 15.5, 40.0);
  for (auto p : s)
  {
    const int dx = p.first - 25, dy = p.second - 25;
    EXPECT_LE(dx * dx + dy * dy, 16 * 16);
    EXPECT_TRUE(s.count({25 - dx, 25 - dy}));
  }
  // The filled disc covers the outline drawn with the same parameters.
  Raster_MemBitmap ring(50, 50);
  FillAll(&ring, kBack);
  Raster_Circle(&ring, 25, 25, 15, kInk, 1.0f, RASTER_MODE_COPY, false);
  for (auto p : Touched(&ring)) EXPECT_TRUE(s.count(p)) << p.first << "," << p.second;

  // Antialiased: full inside, partial at the rim, nothing beyond r + 1.
  FillAll(&bm, 0);
  Raster_FillCircle(&bm, 25, 25, 15, Raster_RGBA(0, 0, 255, 0), 1.0f, RASTER_MODE_ADD, true);
  EXPECT_EQ(Raster_GetB(Raster_GetPixel(&bm, 25, 25)), 255);
  EXPECT_EQ(Raster_GetB(Raster_GetPixel(&bm, 25 + 14, 25)), 255);
  for (auto p : Touched(&bm, 0))
  {
    const int dx = p.first - 25, dy = p.second - 25;
    EXPECT_LT(std::sqrt(dx * dx + dy * dy), 16.5);
  }
}

TEST(RasterArc, QuarterAndFullTurn)
{
  Raster_MemBitmap arc(41, 41), full(41, 41);
  for (bool aa : {false, true})
  {
    FillAll(&arc, kBack);
    FillAll(&full, kBack);
    Raster_Arc(&arc, 20, 20, 10, 0, kPi / 2, kInk, 1.0f, RASTER_MODE_COPY, aa);
    Raster_Circle(&full, 20, 20, 10, kInk, 1.0f, RASTER_MODE_COPY, aa);
    // Exactly the full circle's pixels in the upper-right quarter.
    for (int y = 0; y < 41; ++y)
      for (int x = 0; x < 41; ++x)
      {
        const bool quarter = x >= 20 && y <= 20;
        EXPECT_EQ(Raster_GetPixel(&arc, x, y), quarter ? Raster_GetPixel(&full, x, y) : kBack)
            << aa << " " << x << "," << y;
      }
    EXPECT_NE(Raster_GetPixel(&arc, 30, 20), kBack);
    EXPECT_NE(Raster_GetPixel(&arc, 20, 10), kBack);

    // A full turn (or more) is the circle; pieces meeting at 12 o'clock draw that pixel once.
    FillAll(&arc, kBack);
    Raster_Arc(&arc, 20, 20, 10, 1.0f, 1.0f + 2 * kPi + 0.1f, kInk, 1.0f, RASTER_MODE_COPY, aa);
    EXPECT_EQ(Pixels(&arc), Pixels(&full));
  }
  FillAll(&arc, kBack);
  Raster_Arc(&arc, 20, 20, 10, -kPi / 2, kPi / 2, kInk, 0.5f, RASTER_MODE_COPY, false);
  ExpectEachTouchedOnce(&arc);
  for (auto p : Touched(&arc)) EXPECT_LE(p.second, 20);
}

TEST(RasterShapes, RoundRect)
{
  Raster_MemBitmap a(30, 20), b(30, 20);
  FillAll(&a, kBack);
  FillAll(&b, kBack);
  Raster_RoundRect(&a, 3, 4, 20, 10, 1, kInk, 1.0f, RASTER_MODE_COPY, true);
  Raster_DrawRect(&b, 3, 4, 20, 10, kInk, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Pixels(&a), Pixels(&b));
  // The outline spans x .. x + w and y .. y + h inclusive.
  EXPECT_NE(Raster_GetPixel(&b, 23, 14), kBack);
  EXPECT_EQ(Raster_GetPixel(&b, 24, 14), kBack);
  EXPECT_EQ(Raster_GetPixel(&b, 10, 8), kBack);

  FillAll(&a, kBack);
  Raster_RoundRect(&a, 3, 4, 20, 10, 4, kInk, 1.0f, RASTER_MODE_COPY, false);
  EXPECT_EQ(Raster_GetPixel(&a, 3, 4), kBack);    // corners are cut
  EXPECT_EQ(Raster_GetPixel(&a, 23, 14), kBack);
  EXPECT_NE(Raster_GetPixel(&a, 13, 4), kBack);   // straight edges
  EXPECT_NE(Raster_GetPixel(&a, 13, 14), kBack);
  EXPECT_NE(Raster_GetPixel(&a, 3, 9), kBack);
  EXPECT_NE(Raster_GetPixel(&a, 23, 9), kBack);
  EXPECT_EQ(Raster_GetPixel(&a, 13, 9), kBack);   // hollow
  // A radius larger than half the height is limited to it.
  FillAll(&b, kBack);
  Raster_RoundRect(&b, 3, 4, 20, 10, 50, kInk, 1.0f, RASTER_MODE_COPY, false);
  EXPECT_NE(Raster_GetPixel(&b, 13, 4), kBack);
  EXPECT_EQ(Raster_GetPixel(&b, 13, 9), kBack);
}

TEST(RasterShapes, DrawRectOnceAndClipped)
{
  Raster_MemBitmap bm(10, 10);
  FillAll(&bm, kBack);
  Raster_DrawRect(&bm, 1, 2, 5, 4, kInk, 0.5f, RASTER_MODE_COPY);
  ExpectEachTouchedOnce(&bm);
  EXPECT_EQ((int)Touched(&bm).size(), 2 * 6 + 2 * 3);
  FillAll(&bm, kBack);
  Raster_DrawRect(&bm, -5, -5, 8, 100, kInk, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Touched(&bm).size(), 10u);  // only the right edge, x = 3, lies inside
  FillAll(&bm, kBack);
  Raster_DrawRect(&bm, 4, 4, 0, 0, kInk, 0.5f, RASTER_MODE_COPY);
  EXPECT_EQ(Touched(&bm), PixelSet({{4, 4}}));
  ExpectEachTouchedOnce(&bm);
}

TEST(RasterPolygon, TrianglesAndDegenerateCases)
{
  Raster_MemBitmap bm(12, 12);
  FillAll(&bm, kBack);
  const int x2[2] = {1, 9}, y2[2] = {1, 9};
  Raster_FillConvexPolygon(&bm, x2, y2, 2, kInk, 1.0f, RASTER_MODE_COPY);
  Raster_FillConvexPolygon(&bm, nullptr, nullptr, 5, kInk, 1.0f, RASTER_MODE_COPY);
  EXPECT_TRUE(Touched(&bm).empty());

  // Right triangle: row y covers x = 0 ... 9 - y.
  Raster_FillTriangle(&bm, 0, 0, 9, 0, 0, 9, kInk, 0.5f, RASTER_MODE_COPY);
  ExpectEachTouchedOnce(&bm);
  PixelSet want;
  for (int y = 0; y <= 9; ++y)
    for (int x = 0; x <= 9 - y; ++x) want.insert({x, y});
  EXPECT_EQ(Touched(&bm), want);

  // All points on one row: one span from the smallest to the largest x.
  FillAll(&bm, kBack);
  const int xs[4] = {5, 2, 8, 3}, ys[4] = {6, 6, 6, 6};
  Raster_FillConvexPolygon(&bm, xs, ys, 4, kInk, 1.0f, RASTER_MODE_COPY);
  PixelSet row;
  for (int x = 2; x <= 8; ++x) row.insert({x, 6});
  EXPECT_EQ(Touched(&bm), row);

  // Vertex order does not matter; far-away vertices are clipped.
  Raster_MemBitmap a(12, 12), b(12, 12);
  FillAll(&a, kBack);
  FillAll(&b, kBack);
  const int qx[4] = {-100, 50, 60, -20}, qy[4] = {-30, -40, 80, 70};
  const int rx[4] = {-20, 60, 50, -100}, ry[4] = {70, 80, -40, -30};
  Raster_FillConvexPolygon(&a, qx, qy, 4, kInk, 1.0f, RASTER_MODE_COPY);
  Raster_FillConvexPolygon(&b, rx, ry, 4, kInk, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Pixels(&a), Pixels(&b));
  EXPECT_EQ(Touched(&a).size(), 144u);
}

TEST(RasterPolygon, FlippedAndModes)
{
  Raster_MemBitmap a(16, 16);
  FlippedBitmap b(16, 16);
  FillAll(&a, kBack);
  FillAll(&b, kBack);
  const int xs[5] = {8, 14, 12, 4, 2}, ys[5] = {1, 6, 14, 14, 6};
  Raster_FillConvexPolygon(&a, xs, ys, 5, 0x80FF8000, 0.3f, RASTER_MODE_ADD | RASTER_MODE_SOURCEALPHA);
  Raster_FillConvexPolygon(&b, xs, ys, 5, 0x80FF8000, 0.3f, RASTER_MODE_ADD | RASTER_MODE_SOURCEALPHA);
  EXPECT_EQ(Pixels(&a), Pixels(&b));
  EXPECT_EQ(Raster_GetPixel(&a, 8, 8), Raster_CombinePixels(kBack, 0x80FF8000, 0.3f, RASTER_MODE_ADD | RASTER_MODE_SOURCEALPHA));
  EXPECT_EQ(Raster_GetPixel(&a, 0, 0), kBack);
}

// The edge crossing adds the truncated quotient to the end point, so a crossing left of the
// end point moves right of the plain truncation of the exact crossing.
TEST(RasterLine, ClipLineTruncatesTheQuotient)
{
  int x1 = 7, y1 = -3, x2 = 2, y2 = 4;  // crossing y = 0 at x = 7 - 15/7
  ASSERT_TRUE(Raster_ClipLine(&x1, &y1, &x2, &y2, 10, 10));
  EXPECT_EQ(x1, 5);
  EXPECT_EQ(y1, 0);
  x1 = 12; y1 = 7; x2 = 3; y2 = 2;  // crossing x = 9 at y = 7 - 15/9
  ASSERT_TRUE(Raster_ClipLine(&x1, &y1, &x2, &y2, 10, 10));
  EXPECT_EQ(x1, 9);
  EXPECT_EQ(y1, 6);
}

// A vertex near the 32-bit limit must not overflow the row offset along its edges.
TEST(RasterPolygon, ExtremeVertexRowsDoNotOverflow)
{
  Raster_MemBitmap bm(10, 10);
  FillAll(&bm, kBack);
  Raster_FillTriangle(&bm, -1000, INT32_MIN, 1000, INT32_MIN, 0, 20, kInk, 1.0f, RASTER_MODE_COPY);
  PixelSet want;
  for (int y = 0; y < 10; ++y) want.insert({0, y});
  EXPECT_EQ(Touched(&bm), want);
}

// Arcs far outside the bitmap draw nothing and never convert out-of-range centres.
TEST(RasterArc, FarAwayCentresDrawNothing)
{
  Raster_MemBitmap bm(10, 10);
  FillAll(&bm, kBack);
  for (bool aa : {false, true})
  {
    Raster_Arc(&bm, 1e30f, 5, 10, 0, 1, kInk, 1.0f, RASTER_MODE_COPY, aa);
    Raster_Arc(&bm, 5, -1e30f, 10, 0, 1, kInk, 1.0f, RASTER_MODE_COPY, aa);
    Raster_Arc(&bm, 3e9f, 3e9f, 1000, 0, 7, kInk, 1.0f, RASTER_MODE_COPY, aa);
  }
  EXPECT_TRUE(Touched(&bm).empty());
  // Still drawn when it reaches into the bitmap.
  Raster_Arc(&bm, -3, 5, 6, 0, kPi, kInk, 1.0f, RASTER_MODE_COPY, false);
  EXPECT_FALSE(Touched(&bm).empty());
}

// The centre and radius are rounded by adding 0.5 and truncating, also left of the bitmap.
TEST(RasterCircle, NegativeCentreTruncates)
{
  Raster_MemBitmap a(20, 20), b(20, 20);
  FillAll(&a, kBack);
  FillAll(&b, kBack);
  // -2.7 + 0.5 truncates to -2 (not -3): the same circle as centre -2.5.
  Raster_Circle(&a, -2.7f, 10, 6, kInk, 1.0f, RASTER_MODE_COPY, false);
  Raster_Circle(&b, -2.5f, 10, 6, kInk, 1.0f, RASTER_MODE_COPY, false);
  EXPECT_EQ(Pixels(&a), Pixels(&b));
  FillAll(&a, kBack);
  FillAll(&b, kBack);
  Raster_FillCircle(&a, 10, -1.9f, 5, kInk, 1.0f, RASTER_MODE_COPY, false);
  Raster_FillCircle(&b, 10, -1.5f, 5, kInk, 1.0f, RASTER_MODE_COPY, false);
  EXPECT_EQ(Pixels(&a), Pixels(&b));
  FillAll(&a, kBack);
  FillAll(&b, kBack);
  Raster_Arc(&a, -2.7f, 10, 6, 0, kPi, kInk, 1.0f, RASTER_MODE_COPY, false);
  Raster_Arc(&b, -2.5f, 10, 6, 0, kPi, kInk, 1.0f, RASTER_MODE_COPY, false);
  EXPECT_EQ(Pixels(&a), Pixels(&b));
  EXPECT_FALSE(Touched(&a).empty());
}

// Dirty collection, strict and non-strict painting, frame selection and the drawing
// primitives, checked on the drawing bitmap's pixels.
#include "graphics_fixture.h"

#include <cmath>

using PaintTest = GfxFixture;

TEST_F(PaintTest, IsDirtyUnionsEveryDirtyControlIncludingHiddenOnes)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(10, 10, 20, 20)));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(50, 40, 60, 45)));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 70, 5, 75)));
  Attach();
  IRECT r;
  EXPECT_TRUE(gfx->IsDirty(&r));  // every control starts dirty
  EXPECT_EQ(r, IRECT(0, 10, 60, 75));
  for (int i = 0; i < 3; ++i) gfx->GetControl(i)->SetClean();

  r = IRECT();
  EXPECT_FALSE(gfx->IsDirty(&r));
  EXPECT_EQ(r, IRECT());

  gfx->GetControl(2)->Hide(true);
  gfx->GetControl(0)->SetDirty(false);
  r = IRECT();
  EXPECT_TRUE(gfx->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 10, 20, 75));
  EXPECT_TRUE(gfx->GetControl(0)->IsDirty());  // asking changes nothing
  EXPECT_FALSE(gfx->IsDirty(nullptr));
}

TEST_F(PaintTest, StrictDrawingCleansControlsOutsideTheRegionWithoutDrawingThem)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 10, 10), -1, COLOR_RED));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(50, 50, 60, 60), -1, COLOR_GREEN));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(5, 5, 15, 15), -1, COLOR_BLUE));
  Attach();
  gfx->GetControl(2)->Hide(true);
  IRECT region(0, 0, 10, 10);
  EXPECT_TRUE(gfx->Draw(&region));
  EXPECT_EQ(Probe(0)->mDraws, 1);
  EXPECT_EQ(Probe(1)->mDraws, 0);
  EXPECT_EQ(Probe(2)->mDraws, 0);  // hidden
  EXPECT_EQ(Probe(0)->mDrawRects.back(), region);
  EXPECT_FALSE(Probe(0)->IsDirty());
  EXPECT_FALSE(Probe(1)->IsDirty());
  EXPECT_TRUE(Probe(2)->IsDirty());  // Hide asked for one more cycle
  ASSERT_EQ(gfx->mScreens.size(), 1u);
  EXPECT_EQ(gfx->mScreens[0], region);
  EXPECT_EQ(Pixel(3, 3), COLOR_RED.ToPixel());
  EXPECT_EQ(Pixel(55, 55), 0u);

  IRECT none;
  gfx->Draw(&none);  // an empty region draws nothing but still cleans and presents
  EXPECT_EQ(Probe(0)->mDraws, 1);
  EXPECT_FALSE(Probe(2)->IsDirty());
  EXPECT_EQ(gfx->mScreens.size(), 2u);
}

TEST_F(PaintTest, NonStrictWithADirtyBackgroundRepaintsEverythingOverIt)
{
  gfx->AttachPanelBackground(&COLOR_GRAY);
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 10, 10)));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(20, 20, 30, 30)));
  Attach();
  gfx->SetStrictDrawing(false);
  EXPECT_FALSE(gfx->IsStrictDrawing());
  gfx->GetControl(2)->Hide(true);
  for (int i = 0; i < 3; ++i) gfx->GetControl(i)->SetClean();
  gfx->GetControl(2)->SetDirty(false);
  gfx->GetControl(0)->SetDirty(false);

  IRECT r;
  ASSERT_TRUE(gfx->IsDirty(&r));
  gfx->Draw(&r);
  EXPECT_EQ(Probe(1)->mDraws, 1);
  EXPECT_EQ(Probe(1)->mDrawRects.back(), IRECT(0, 0, 100, 80));
  EXPECT_EQ(Probe(2)->mDraws, 0);
  EXPECT_TRUE(Probe(2)->IsDirty());  // hidden: skipped entirely, not cleaned
  EXPECT_FALSE(gfx->GetControl(0)->IsDirty());
  EXPECT_EQ(Pixel(50, 50), COLOR_GRAY.ToPixel());
  EXPECT_EQ(Pixel(5, 5), COLOR_RED.ToPixel());
}

TEST_F(PaintTest, NonStrictRepaintsEachDirtyControlWithItsNeighboursClippedToIt)
{
  gfx->AttachPanelBackground(&COLOR_GRAY);
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 20, 20)));    // 1: dirty
  gfx->AttachControl(new ProbeControl(&plug, IRECT(15, 15, 40, 40)));  // 2: overlaps 1
  gfx->AttachControl(new ProbeControl(&plug, IRECT(60, 60, 70, 70)));  // 3: far away
  gfx->AttachControl(new ProbeControl(&plug, IRECT(5, 5, 10, 10)));    // 4: hidden, inside 1
  Attach();
  gfx->SetStrictDrawing(false);
  PaintAll();
  for (int i = 1; i <= 4; ++i)
  {
    Probe(i)->mDraws = 0;
    Probe(i)->mDrawRects.clear();
  }
  gfx->GetControl(4)->Hide(true);
  PaintAll();  // the hidden one repaints its own area (twice: Hide requests a redraw)
  for (int i = 1; i <= 4; ++i) Probe(i)->mDraws = 0;

  gfx->GetControl(1)->SetDirty(false);
  IRECT r;
  ASSERT_TRUE(gfx->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 20, 20));
  gfx->Draw(&r);
  EXPECT_EQ(Probe(1)->mDraws, 1);
  EXPECT_EQ(Probe(2)->mDraws, 1);
  EXPECT_EQ(Probe(2)->mDrawRects.back(), IRECT(0, 0, 20, 20));
  EXPECT_EQ(Probe(3)->mDraws, 0);
  EXPECT_EQ(Probe(4)->mDraws, 0);
  EXPECT_FALSE(Probe(1)->IsDirty());
  ASSERT_FALSE(gfx->mScreens.empty());
  EXPECT_EQ(gfx->mScreens.back(), IRECT(0, 0, 20, 20));
}

TEST_F(PaintTest, PrimitivesNeedTheirArgumentsAndTheDrawingBitmap)
{
  IRECT r(0, 0, 4, 4);
  EXPECT_FALSE(gfx->FillIRect(&COLOR_RED, &r));  // before PrepDraw: no bitmap
  EXPECT_EQ(gfx->GetBits(), nullptr);
  Attach();
  EXPECT_NE(gfx->GetBits(), nullptr);
  EXPECT_FALSE(gfx->FillIRect(nullptr, &r));
  EXPECT_FALSE(gfx->FillIRect(&COLOR_RED, nullptr));
  EXPECT_FALSE(gfx->DrawLine(&COLOR_RED, NAN, 0, 5, 5));
  IBitmap empty;  // an image that could not be loaded
  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  EXPECT_TRUE(gfx->DrawBitmap(&empty, &r, 1));
  EXPECT_TRUE(gfx->DrawRotatedBitmap(&empty, 10, 10, 1.0));
  EXPECT_TRUE(gfx->DrawRotatedMask(&empty, &empty, &empty, 0, 0, 45.0));
  EXPECT_EQ(Pixel(1, 1), 0u);
}

TEST_F(PaintTest, FillIRectExcludesRightAndBottomAndBlends)
{
  Attach();
  IRECT r(2, 3, 5, 7);
  IChannelBlend copy(IChannelBlend::kBlendCopy);
  ASSERT_TRUE(gfx->FillIRect(&COLOR_RED, &r, &copy));
  EXPECT_EQ(Pixel(2, 3), 0xFFFF0000u);
  EXPECT_EQ(Pixel(4, 6), 0xFFFF0000u);
  EXPECT_EQ(Pixel(5, 6), 0u);
  EXPECT_EQ(Pixel(4, 7), 0u);
  EXPECT_EQ(Pixel(1, 3), 0u);

  IChannelBlend half(IChannelBlend::kBlendCopy, 0.5f);
  IRECT all(0, 0, 10, 10);
  gfx->FillIRect(&COLOR_WHITE, &all, &half);
  EXPECT_NEAR(Raster_GetR(Pixel(3, 4)), 255, 1);
  EXPECT_NEAR(Raster_GetG(Pixel(3, 4)), 128, 2);
  EXPECT_NEAR(Raster_GetG(Pixel(8, 8)), 128, 2);
}

TEST_F(PaintTest, PointsLinesAndDirectRasterAccess)
{
  Attach();
  gfx->DrawPoint(&COLOR_BLUE, 3.6f, 4.4f);
  EXPECT_EQ(Pixel(4, 4), COLOR_BLUE.ToPixel());
  IColor c(0x80, 1, 2, 3);
  EXPECT_TRUE(gfx->ForcePixel(&c, 7, 8));
  EXPECT_EQ(Pixel(7, 8), 0x80010203u);  // raw: no blending with what was there
  EXPECT_EQ(gfx->GetPoint(7, 8), c);
  EXPECT_FALSE(gfx->ForcePixel(&c, 100, 0));  // outside the bitmap: refused
  EXPECT_FALSE(gfx->ForcePixel(&c, -1, 0));
  EXPECT_EQ(gfx->GetPoint(-5, 500), COLOR_TRANSPARENT);

  IRECT box(20, 20, 30, 28);
  gfx->DrawRect(&COLOR_WHITE, &box);
  for (auto [x, y] : {std::pair{20, 20}, {30, 20}, {20, 28}, {30, 28}, {25, 20}, {25, 28}, {20, 24}, {30, 24}})
    EXPECT_EQ(Pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
  EXPECT_EQ(Pixel(25, 24), 0u);

  IRECT lines(40, 40, 60, 60);
  gfx->DrawVerticalLine(&COLOR_GREEN, &lines, 0.5f);    // column 50
  gfx->DrawHorizontalLine(&COLOR_RED, &lines, 0.25f);   // row 60 - 5 = 55
  EXPECT_EQ(Pixel(50, 45), COLOR_GREEN.ToPixel());
  EXPECT_EQ(Pixel(45, 55), COLOR_RED.ToPixel());
  gfx->DrawVerticalLine(&COLOR_BLUE, &lines, 7.f);      // clamped to 1: column 60
  EXPECT_EQ(Pixel(60, 45), COLOR_BLUE.ToPixel());
}

TEST_F(PaintTest, RadialLinesPointUpAtZeroAndTurnClockwise)
{
  Attach();
  struct Case { float angle; int onX, onY, offX, offY; };
  const Case cases[] = {
    {0.f, 50, 25, 50, 35},                    // up: y = 40 - 10 ... 40 - 20
    {(float)M_PI / 2, 65, 40, 55, 40},        // right
    {(float)M_PI, 50, 55, 50, 45},            // down
    {(float)(3 * M_PI / 2), 35, 40, 45, 40},  // left
  };
  for (const Case& k : cases)
  {
    IRECT all(0, 0, 100, 80);
    gfx->FillIRect(&COLOR_BLACK, &all);
    gfx->DrawRadialLine(&COLOR_WHITE, 50.f, 40.f, k.angle, 10.f, 20.f);
    EXPECT_EQ(Pixel(k.onX, k.onY), 0xFFFFFFFFu) << k.angle;
    EXPECT_EQ(Pixel(k.offX, k.offY), 0xFF000000u) << k.angle;  // inside rMin
  }
}

TEST_F(PaintTest, ShapesDrawInsideTheirBounds)
{
  Attach();
  IRECT rr(10, 10, 40, 30);
  gfx->FillRoundRect(&COLOR_RED, &rr, nullptr, 4, false);
  EXPECT_EQ(Pixel(25, 20), COLOR_RED.ToPixel());
  EXPECT_EQ(Pixel(10, 10), 0u);  // the corner is rounded off
  EXPECT_EQ(Pixel(41, 20), 0u);
  gfx->FillCircle(&COLOR_BLUE, 70, 40, 5.f);
  EXPECT_EQ(Pixel(70, 40), COLOR_BLUE.ToPixel());
  EXPECT_EQ(Pixel(70, 50), 0u);
  gfx->FillTriangle(&COLOR_GREEN, 0, 60, 20, 60, 0, 79);
  EXPECT_EQ(Pixel(3, 63), COLOR_GREEN.ToPixel());
  int xs[] = {80, 95, 95, 80}, ys[] = {60, 60, 75, 75};
  gfx->FillIConvexPolygon(&COLOR_WHITE, xs, ys, 4);
  EXPECT_EQ(Pixel(88, 68), 0xFFFFFFFFu);
  EXPECT_FALSE(gfx->FillIConvexPolygon(&COLOR_WHITE, nullptr, ys, 4));
}

// Images for the blit tests: pixel (x, y) encodes its own coordinates.
static uint32_t Coord(int x, int y) { return 0xFF000000u | ((uint32_t)x << 8) | (uint32_t)y; }

struct BlitTest : GfxFixture
{
  Raster_MemBitmap* image = nullptr;
  void SetUp() override { Attach(); }
  void TearDown() override { delete image; }
  IBitmap Make(int w, int h, int n, bool horizontal)
  {
    delete image;
    image = new Raster_MemBitmap(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Raster_RowPtr(image, y)[x] = Coord(x, y);
    return IBitmap(image, w, h, n, horizontal);
  }
};

TEST_F(BlitTest, DrawBitmapClipsToTheDrawRect)
{
  IBitmap bm = Make(10, 10, 1, false);
  gfx->SetDrawRECT(IRECT(15, 12, 30, 30));
  IRECT dest(10, 10, 20, 20);
  IChannelBlend copy(IChannelBlend::kBlendCopy);
  ASSERT_TRUE(gfx->DrawBitmap(&bm, &dest, 0, 0, &copy));
  EXPECT_EQ(Pixel(15, 12), Coord(5, 2));
  EXPECT_EQ(Pixel(19, 19), Coord(9, 9));
  EXPECT_EQ(Pixel(14, 15), 0u);  // left of the draw rect
  EXPECT_EQ(Pixel(17, 11), 0u);  // above it
  EXPECT_EQ(Pixel(20, 15), 0u);  // right of the destination

  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  IRECT dest2(40, 40, 44, 44);
  gfx->DrawBitmap(&bm, &dest2, 3, 5, &copy);  // source offset
  EXPECT_EQ(Pixel(40, 40), Coord(3, 5));
  EXPECT_EQ(Pixel(43, 43), Coord(6, 8));

  gfx->SetDrawRECT(IRECT());
  IRECT dest3(60, 60, 70, 70);
  gfx->DrawBitmap(&bm, &dest3, 0, 0, &copy);  // empty draw rect: nothing
  EXPECT_EQ(Pixel(60, 60), 0u);
}

TEST_F(BlitTest, FrameSelection)
{
  struct Case { int w, h, n; bool horizontal; int state; int srcX, srcY; };
  const Case cases[] = {
    {4, 10, 3, false, 1, 0, 0}, {4, 10, 3, false, 2, 0, 3}, {4, 10, 3, false, 3, 0, 7},  // int(20/3 + .5)
    {4, 10, 1, false, 2, 0, 0},   // one frame: always the first
    {4, 10, 3, false, 0, 0, 0},   // states below 1 show the first frame
    {12, 4, 4, true, 2, 3, 0},  {12, 4, 4, true, 4, 9, 0},
    {30, 128, 128, false, 65, 0, 64},
  };
  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  IChannelBlend copy(IChannelBlend::kBlendCopy);
  for (const Case& k : cases)
  {
    IBitmap bm = Make(k.w, k.h, k.n, k.horizontal);
    IRECT dest(50, 50, 51, 51);
    gfx->DrawBitmap(&bm, &dest, k.state, &copy);
    EXPECT_EQ(Pixel(50, 50), Coord(k.srcX, k.srcY)) << k.w << "x" << k.h << " N" << k.n << " state " << k.state;
  }
}

TEST_F(BlitTest, RotatedBitmapTurnsAboutItsCentre)
{
  IBitmap bm = Make(9, 9, 1, false);
  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  IChannelBlend copy(IChannelBlend::kBlendCopy);
  gfx->DrawRotatedBitmap(&bm, 50, 40, 0.0, 0, &copy);
  EXPECT_EQ(Pixel(46, 36), Coord(0, 0));  // (50 - 9/2, 40 - 9/2)
  EXPECT_EQ(Pixel(50, 40), Coord(4, 4));

  IRECT all(0, 0, 100, 80);
  gfx->FillIRect(&COLOR_TRANSPARENT, &all, &copy);
  gfx->DrawRotatedBitmap(&bm, 50, 40, M_PI, 0, &copy);  // half a turn: corners swap
  const uint32_t p = Pixel(46, 36);
  EXPECT_NEAR((int)((p >> 8) & 255), 8, 1);
  EXPECT_NEAR((int)(p & 255), 8, 1);
}

TEST_F(BlitTest, RotatedMaskShowsTheBaseWhereTheMaskIsOpaque)
{
  const int W = 20, H = 20;
  Raster_MemBitmap base(W, H), mask(W, H), top(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
    {
      Raster_RowPtr(&base, y)[x] = 0xFFFF0000u;                         // opaque red
      Raster_RowPtr(&mask, y)[x] = x < W / 2 ? 0xFF000000u : 0x00000000u;  // left half opaque
      Raster_RowPtr(&top, y)[x] = 0;                                    // nothing on top
    }
  IBitmap b(&base, W, H), m(&mask, W, H), t(&top, W, H);
  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  const uint32_t blue = COLOR_BLUE.ToPixel();
  struct Case { double degrees; int redX, blueX; };
  const Case cases[] = {{0.0, 13, 27}, {180.0, 27, 13}};
  for (const Case& k : cases)
  {
    IRECT all(0, 0, 100, 80);
    gfx->FillIRect(&COLOR_BLUE, &all);
    ASSERT_TRUE(gfx->DrawRotatedMask(&b, &m, &t, 10, 10, k.degrees));
    EXPECT_EQ(Pixel(k.redX, 20) & 0x00FFFFFFu, 0xFF0000u) << k.degrees;
    EXPECT_EQ(Pixel(k.blueX, 20), blue) << k.degrees;
    EXPECT_EQ(Pixel(5, 5), blue) << k.degrees;  // outside the base
  }
  // Clipped to the draw rect like any blit.
  IRECT all(0, 0, 100, 80);
  gfx->FillIRect(&COLOR_BLUE, &all);
  gfx->SetDrawRECT(IRECT(0, 0, 12, 80));
  gfx->DrawRotatedMask(&b, &m, &t, 10, 10, 0.0);
  EXPECT_EQ(Pixel(11, 20) & 0x00FFFFFFu, 0xFF0000u);
  EXPECT_EQ(Pixel(13, 20), blue);
}

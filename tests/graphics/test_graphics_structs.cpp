// The shared records: rectangles, colours, blends, text styles and bitmap views.
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/IGraphicsStructs.h"
#include "raster/combine.h"

TEST(IRECTTest, EmptyIsOnlyAllZero)
{
  EXPECT_TRUE(IRECT().Empty());
  EXPECT_FALSE(IRECT(5, 5, 5, 5).Empty());   // degenerate but not empty
  EXPECT_FALSE(IRECT(0, 0, 0, 1).Empty());
  EXPECT_EQ(IRECT(2, 3, 12, 10).W(), 10);
  EXPECT_EQ(IRECT(2, 3, 12, 10).H(), 7);
}

TEST(IRECTTest, ContainsExcludesRightAndBottom)
{
  struct Case { IRECT r; int x, y; bool in; };
  const Case cases[] = {
    {IRECT(0, 0, 10, 10), 0, 0, true},  {IRECT(0, 0, 10, 10), 9, 9, true},
    {IRECT(0, 0, 10, 10), 10, 5, false}, {IRECT(0, 0, 10, 10), 5, 10, false},
    {IRECT(0, 0, 10, 10), -1, 5, false}, {IRECT(), 0, 0, false},
    {IRECT(5, 5, 5, 5), 5, 5, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.r.Contains(c.x, c.y), c.in) << c.r.L << "," << c.r.T << "," << c.r.R << "," << c.r.B << " @"
                                             << c.x << "," << c.y;
}

TEST(IRECTTest, IntersectsCountsTouchingEdgesAndNeverTheEmptyRect)
{
  const IRECT a(0, 0, 10, 10);
  EXPECT_TRUE(a.Intersects(IRECT(5, 5, 15, 15)));
  EXPECT_TRUE(a.Intersects(IRECT(10, 0, 20, 10)));   // shares the right edge
  EXPECT_TRUE(a.Intersects(IRECT(0, 10, 10, 20)));   // shares the bottom edge
  EXPECT_FALSE(a.Intersects(IRECT(11, 0, 20, 10)));
  EXPECT_FALSE(a.Intersects(IRECT(-10, 0, 0, 10)));  // left test is strict
  EXPECT_FALSE(a.Intersects(IRECT()));
  EXPECT_FALSE(IRECT().Intersects(a));
  EXPECT_FALSE(IRECT().Intersects(IRECT()));
}

TEST(IRECTTest, IntersectAndUnion)
{
  EXPECT_EQ(IRECT(0, 0, 10, 10).Intersect(IRECT(5, 2, 20, 8)), IRECT(5, 2, 10, 8));
  EXPECT_EQ(IRECT(0, 0, 10, 10).Intersect(IRECT(30, 30, 40, 40)), IRECT());
  EXPECT_EQ(IRECT(0, 0, 10, 10).Union(IRECT(5, -2, 20, 8)), IRECT(0, -2, 20, 10));
  EXPECT_EQ(IRECT().Union(IRECT(3, 4, 5, 6)), IRECT(3, 4, 5, 6));
  EXPECT_EQ(IRECT(3, 4, 5, 6).Union(IRECT()), IRECT(3, 4, 5, 6));
}

TEST(IColorTest, PixelLayoutAndNamedColours)
{
  EXPECT_EQ(IColor(0x12, 0x34, 0x56, 0x78).ToPixel(), 0x12345678u);
  EXPECT_EQ(IColor(255, 0x1FF, 0, 0).ToPixel(), 0xFFFF0000u);  // low byte of R only
  EXPECT_EQ(IColor::FromPixel(0x80112233u), IColor(0x80, 0x11, 0x22, 0x33));
  struct Named { IColor c; uint32_t px; };
  const Named named[] = {
    {COLOR_TRANSPARENT, 0x00000000u}, {COLOR_BLACK, 0xFF000000u}, {COLOR_GRAY, 0xFF7F7F7Fu},
    {COLOR_WHITE, 0xFFFFFFFFu},       {COLOR_RED, 0xFFFF0000u},   {COLOR_GREEN, 0xFF00FF00u},
    {COLOR_BLUE, 0xFF0000FFu},        {COLOR_YELLOW, 0xFFFFFF00u}, {COLOR_ORANGE, 0xFFFF7F00u},
    {DEFAULT_TEXT_COLOR, 0xFF000000u}, {DEFAULT_TEXT_ENTRY_BGCOLOR, 0xFFFFFFFFu},
    {DEFAULT_TEXT_ENTRY_FGCOLOR, 0xFF000000u},
  };
  for (const Named& n : named) EXPECT_EQ(n.c.ToPixel(), n.px);
}

TEST(IChannelBlendTest, RasterModes)
{
  struct Case { IChannelBlend::EBlendMethod m; int mode; };
  const Case cases[] = {
    {IChannelBlend::kBlendDefault, 0x10000}, {IChannelBlend::kBlendCopy, 0},
    {IChannelBlend::kBlendAdd, 0x10001},     {IChannelBlend::kBlendDodge, 0x10002},
    {(IChannelBlend::EBlendMethod)17, 0x10000},
  };
  for (const Case& c : cases)
  {
    IChannelBlend b(c.m, 0.5f);
    EXPECT_EQ(IChannelBlend_RasterMode(&b), c.mode) << c.m;
    EXPECT_FLOAT_EQ(IChannelBlend_Weight(&b), 0.5f);
  }
  EXPECT_EQ(IChannelBlend_RasterMode(nullptr), 0x10000);
  EXPECT_FLOAT_EQ(IChannelBlend_Weight(nullptr), 1.0f);
}

TEST(ITextTest, DefaultsAndFaceLimit)
{
  IText t;
  EXPECT_STREQ(t.mFont, "Monaco");
  EXPECT_EQ(t.mSize, 10);
  EXPECT_EQ(t.mColor, DEFAULT_TEXT_COLOR);
  EXPECT_EQ(t.mTextEntryBGColor, DEFAULT_TEXT_ENTRY_BGCOLOR);
  EXPECT_EQ(t.mTextEntryFGColor, DEFAULT_TEXT_ENTRY_FGCOLOR);
  EXPECT_EQ(t.mStyle, IText::kStyleNormal);
  EXPECT_EQ(t.mAlign, IText::kAlignCenter);
  EXPECT_EQ(t.mOrientation, 0);
  EXPECT_EQ(t.mQuality, IText::kQualityDefault);
  EXPECT_EQ(t.mCached, nullptr);

  const std::string longFace(60, 'x');
  IText l(12, &COLOR_RED, longFace.c_str());
  EXPECT_EQ(std::strlen(l.mFont), 31u);
  EXPECT_EQ(l.mColor, COLOR_RED);
}

TEST(IBitmapTest, FrameSizesFollowTheStripDirection)
{
  IBitmap v(nullptr, 30, 120, 4, false);
  EXPECT_EQ(v.FrameWidth(), 30);
  EXPECT_EQ(v.FrameHeight(), 30);
  IBitmap h(nullptr, 120, 30, 4, true);
  EXPECT_EQ(h.FrameWidth(), 30);
  EXPECT_EQ(h.FrameHeight(), 30);
  IBitmap bad(nullptr, 10, 10, 0, false);  // no frames counts as one
  EXPECT_EQ(bad.N, 1);
  EXPECT_EQ(bad.FrameHeight(), 10);
}

// Gdi_DrawText: prefixes and line rules, measuring, placement, background, clipping.

#include "gdishim_test_util.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const int W = 120, H = 60;

class DrawText : public ::testing::Test
{
protected:
  void SetUp() override
  {
    dc = Gdi_CreateMemContext(nullptr, W, H);
    font = MakeFont(16);
    ASSERT_TRUE(dc && font);
    SelectObject(dc, font);
    SetTextColor(dc, 0xFFFFFF);
  }
  void TearDown() override
  {
    Gdi_DeleteGfxContext(dc);
    DeleteObject(font);
  }
  RECT DrawInk(const char* text, RECT r, int flags)
  {
    ClearCtx(dc, W, H);
    Gdi_DrawText(dc, text, -1, &r, flags);
    return InkBox(dc, W, H);
  }
  HDC dc = nullptr;
  HFONT font = nullptr;
};

bool SameSize(const RECT& a, const RECT& b) { return a.right == b.right && a.bottom == b.bottom; }

} // namespace

TEST_F(DrawText, PrefixAmpersandsAreDroppedUnlessNoPrefix)
{
  const RECT ab = Measure(dc, "AB");
  EXPECT_GT(ab.right, 0);
  EXPECT_TRUE(SameSize(Measure(dc, "A&B"), ab));
  const RECT withAmp = Measure(dc, "A&B", DT_NOPREFIX);
  EXPECT_GT(withAmp.right, ab.right);
  EXPECT_EQ(withAmp.bottom, ab.bottom);
  EXPECT_TRUE(SameSize(Measure(dc, "A&&B"), withAmp));  // doubled: one ampersand kept
  EXPECT_TRUE(SameSize(Measure(dc, "AB&"), ab));        // trailing prefix: nothing follows
}

TEST_F(DrawText, CalcRectMovesOnlyRightAndBottomAndDrawsNothing)
{
  RECT r{10, 20, 11, 21};
  const int h = Gdi_DrawText(dc, "Quenbar", -1, &r, DT_CALCRECT);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.bottom - r.top, h);
  EXPECT_GT(r.right - r.left, 30);
  EXPECT_EQ(InkBox(dc, W, H).right, 0);
}

TEST_F(DrawText, LineRules)
{
  const RECT one = Measure(dc, "a b");
  EXPECT_TRUE(SameSize(Measure(dc, "a\nb", DT_SINGLELINE), one));
  EXPECT_TRUE(SameSize(Measure(dc, "a\r\nb", DT_SINGLELINE), one));  // CR dropped
  EXPECT_TRUE(SameSize(Measure(dc, "a\rb"), Measure(dc, "ab")));

  // Without DT_SINGLELINE: two lines, widest line wins, one extra pixel in total.
  const RECT two = Measure(dc, "a\nbbbb");
  const RECT lineA = Measure(dc, "a"), lineB = Measure(dc, "bbbb");
  EXPECT_EQ(two.right, lineB.right);
  EXPECT_EQ(two.bottom, 2 * (lineA.bottom - 1) + 1);

  // The second line is drawn below the first.
  const RECT inkOne = DrawInk("b", RECT{0, 0, W, H}, 0);
  const RECT inkTwo = DrawInk("\nb", RECT{0, 0, W, H}, 0);
  EXPECT_GT(inkTwo.top, inkOne.top + (lineA.bottom - 1) / 2);
  EXPECT_EQ(inkTwo.left, inkOne.left);
}

TEST_F(DrawText, LengthLimitsAndBadInput)
{
  EXPECT_TRUE(SameSize(Measure(dc, "AB", 0, 1), Measure(dc, "A")));
  RECT r{0, 0, W, H};
  EXPECT_EQ(Gdi_DrawText(dc, "", -1, &r, 0), 0);
  EXPECT_EQ(Gdi_DrawText(dc, "&", -1, &r, 0), 0);
  EXPECT_EQ(Gdi_DrawText(dc, "\r\r", -1, &r, 0), 0);
  EXPECT_EQ(Gdi_DrawText(dc, "AB", 0, &r, 0), 0);
  // Bytes that are not UTF-8 show as U+FFFD; a character cut off at the end is dropped.
  EXPECT_GT(Gdi_DrawText(dc, "A\xff" "B", -1, &r, 0), 0);
  EXPECT_TRUE(SameSize(Measure(dc, "A\xff" "B"), Measure(dc, "A\xef\xbf\xbd" "B")));
  EXPECT_TRUE(SameSize(Measure(dc, "A\xc3"), Measure(dc, "A")));
  EXPECT_TRUE(SameSize(Measure(dc, "A\xc3\xa9", 0, 2), Measure(dc, "A")));
  EXPECT_EQ(Gdi_DrawText(dc, nullptr, -1, &r, 0), 0);
  EXPECT_EQ(Gdi_DrawText(dc, "A", -1, nullptr, 0), 0);
  EXPECT_TRUE(SameSize(Measure(dc, "\xc3\xa9"), Measure(dc, "\xc3\xa9")));
  EXPECT_GT(Measure(dc, "\xc3\xa9").right, 0);

  // Text is cut at 4095 bytes; a character that would cross the limit goes entirely.
  const std::string longText(6000, 'i');
  const std::string cut(4095, 'i');
  EXPECT_TRUE(SameSize(Measure(dc, longText.c_str()), Measure(dc, cut.c_str())));
  std::string wide, wideCut;
  for (int i = 0; i < 3000; ++i) wide += "\xc3\xa9";
  for (int i = 0; i < 2047; ++i) wideCut += "\xc3\xa9";
  EXPECT_TRUE(SameSize(Measure(dc, wide.c_str()), Measure(dc, wideCut.c_str())));
}

TEST_F(DrawText, GlyphsBlendTheTextColourInsideTheRect)
{
  SetTextColor(dc, 0xFF0000);
  ClearCtx(dc, W, H);
  RECT r{10, 10, 40, 30};
  EXPECT_GT(Gdi_DrawText(dc, "HHHHHHHHHH", -1, &r, 0), 0);
  int full = 0, inked = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
    {
      const uint32_t p = PixelAt(dc, W, x, y);
      if (!p) continue;
      ++inked;
      EXPECT_EQ(p & 0x00FFFF, 0u) << x << "," << y;  // only red, scaled by coverage
      EXPECT_TRUE(x >= 10 && x < 40 && y >= 10 && y < 30) << x << "," << y;
      if (p == 0xFF0000) ++full;
    }
  EXPECT_GT(full, 10);
  EXPECT_GT(inked, full);

  // DT_NOCLIP lets the same text run past the rectangle.
  ClearCtx(dc, W, H);
  Gdi_DrawText(dc, "HHHHHHHHHH", -1, &r, DT_NOCLIP);
  EXPECT_GT(InkBox(dc, W, H).right, 40);
}

TEST_F(DrawText, AlignmentMovesTheInk)
{
  const RECT size = Measure(dc, "Xy");
  const RECT box{10, 5, 110, 55};
  const RECT base = DrawInk("Xy", box, 0);
  ASSERT_GT(base.right, base.left);
  const int dw = box.right - box.left, dh = box.bottom - box.top;

  RECT ink = DrawInk("Xy", box, DT_RIGHT | DT_BOTTOM);
  EXPECT_EQ(ink.left - base.left, dw - size.right);
  EXPECT_EQ(ink.top - base.top, dh - size.bottom);

  ink = DrawInk("Xy", box, DT_CENTER | DT_VCENTER);
  EXPECT_EQ(ink.left - base.left, dw / 2 - size.right / 2);
  EXPECT_EQ(ink.top - base.top, dh / 2 - size.bottom / 2);
}

TEST_F(DrawText, OpaqueModeFillsTheTextBox)
{
  SetBkMode(dc, GDI_BKMODE_OPAQUE);
  SetBkColor(dc, 0x0000FF);
  SetTextColor(dc, 0xFF0000);
  const RECT size = Measure(dc, "Wq");
  const RECT box{20, 10, 100, 50};
  const RECT ink = DrawInk("Wq", box, DT_RIGHT);
  const RECT fill{box.right - size.right, box.top, box.right, box.top + size.bottom};
  EXPECT_EQ(ink.left, fill.left);
  EXPECT_EQ(ink.top, fill.top);
  EXPECT_EQ(ink.right, fill.right);
  EXPECT_EQ(ink.bottom, fill.bottom);
  int text = 0;
  for (int y = fill.top; y < fill.bottom; ++y)
    for (int x = fill.left; x < fill.right; ++x)
    {
      const uint32_t p = PixelAt(dc, W, x, y);
      EXPECT_NE(p, 0u) << x << "," << y;
      if (p & 0xFF0000) ++text;
    }
  EXPECT_GT(text, 10);
  EXPECT_EQ(PixelAt(dc, W, fill.left, fill.top), 0x0000FFu);

  // Any other mode leaves the background alone.
  SetBkMode(dc, 2);
  DrawInk("Wq", box, DT_RIGHT);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) ASSERT_EQ(PixelAt(dc, W, x, y) & 0xFF, 0u);
}

TEST_F(DrawText, ClipStackLimitsDrawing)
{
  const RECT all{0, 0, W, H};
  const RECT full = DrawInk("MMMMMMMM", all, 0);
  ASSERT_GT(full.right, 40);

  Gdi_PushClipRegion(dc);
  RECT left{0, 0, 30, H};
  Gdi_SetClipRegion(dc, &left);
  RECT ink = DrawInk("MMMMMMMM", all, DT_NOCLIP);  // the clip region binds even without clipping
  EXPECT_EQ(ink.left, full.left);
  EXPECT_EQ(ink.right, 30);

  Gdi_PushClipRegion(dc);
  RECT lower{0, 20, W, H};
  Gdi_SetClipRegion(dc, &lower);  // intersects: only the lower-left part remains
  ink = DrawInk("MMMMMMMM", all, 0);
  EXPECT_TRUE(ink.right <= ink.left || (ink.right <= 30 && ink.top >= 20));
  Gdi_PopClipRegion(dc);

  ink = DrawInk("MMMMMMMM", all, 0);
  EXPECT_EQ(ink.right, 30);
  EXPECT_EQ(ink.top, full.top);
  Gdi_PopClipRegion(dc);
  Gdi_PopClipRegion(dc);  // one too many: ignored

  ink = DrawInk("MMMMMMMM", all, 0);
  EXPECT_EQ(ink.right, full.right);
}

TEST_F(DrawText, ExtremeRectanglesAreSafe)
{
  RECT huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  for (int flags : {0, DT_CENTER | DT_VCENTER, DT_RIGHT | DT_BOTTOM, (int)DT_NOCLIP})
  {
    RECT r = huge;
    ClearCtx(dc, W, H);
    EXPECT_GT(Gdi_DrawText(dc, "Far\naway", -1, &r, flags), 0) << flags;
    // Centred on this rectangle means around (0, 0); everything else lands far outside.
    if (!(flags & DT_CENTER)) { EXPECT_EQ(InkBox(dc, W, H).right, 0) << flags; }
  }
  RECT edge{INT32_MAX - 2, INT32_MAX - 2, INT32_MAX, INT32_MAX};
  Gdi_DrawText(dc, "Wide", -1, &edge, DT_CALCRECT);
  EXPECT_EQ(edge.right, INT32_MAX);
  EXPECT_EQ(edge.bottom, INT32_MAX);
}

// Cached-font text: measuring, glyph cache, font flags, colours and modes, native rendering.

#include "raster/cachedfont.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

HFONT Face(int px, int weight = FW_NORMAL, bool italic = false)
{
  return CreateFont(px, 0, 0, 0, weight, italic, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
}

// A font owning its handle, with the given flags.
std::unique_ptr<Raster_CachedFont> MakeFont(int px, int flags = 0)
{
  std::unique_ptr<Raster_CachedFont> f(new Raster_CachedFont);
  f->SetFromHFont(Face(px), flags | RASTER_FONT_OWNS_HFONT);
  return f;
}

RECT MeasureText(Raster_IFont& f, const char* text, int format = 0)
{
  RECT r{5, 7, 500, 500};
  f.DrawText(nullptr, text, -1, &r, format | DT_CALCRECT);
  return r;
}

// Bounding box of pixels that differ from `bg`; right <= left when there are none.
RECT Ink(Raster_IBitmap* bm, Raster_Pixel bg)
{
  RECT r{bm->getWidth(), bm->getHeight(), 0, 0};
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (Raster_RowPtr(bm, y)[x] != bg)
      {
        if (x < r.left) r.left = x;
        if (y < r.top) r.top = y;
        if (x + 1 > r.right) r.right = x + 1;
        if (y + 1 > r.bottom) r.bottom = y + 1;
      }
  return r;
}

const Raster_Pixel kBlack = 0xFF000000;

} // namespace

TEST(CachedFontMeasure, EmptyStringIsZeroSizeAtTopLeftAndDrawsNothing)
{
  auto f = MakeFont(14);
  const RECT m = MeasureText(*f, "");
  EXPECT_EQ(m.right, 5);
  EXPECT_EQ(m.bottom, 7);
  EXPECT_EQ(MeasureText(*f, "\r").right, 5);

  Raster_MemBitmap bm(40, 20);
  FillAll(&bm, kBlack);
  f->SetTextColor(0xFFFFFFFF);
  RECT r{0, 0, 40, 20};
  EXPECT_EQ(f->DrawText(&bm, "", -1, &r, 0), 0);
  EXPECT_EQ(CountDiffering(&bm, kBlack), 0);
}

TEST(CachedFontMeasure, LinesAndSingleLine)
{
  auto f = MakeFont(14);
  const int lh = f->GetLineHeight();
  ASSERT_GT(lh, 10);
  const RECT aSpaceB = MeasureText(*f, "a b");
  const RECT single = MeasureText(*f, "a\nb", DT_SINGLELINE);
  EXPECT_EQ(single.right, aSpaceB.right);
  EXPECT_EQ(single.bottom - 7, lh);
  EXPECT_GT(aSpaceB.right - 5, MeasureText(*f, "ab").right - 5);

  const RECT two = MeasureText(*f, "a\r\nbbb");
  EXPECT_EQ(two.right, MeasureText(*f, "bbb").right);
  EXPECT_EQ(two.bottom - 7, 2 * lh);
  f->SetLineSpacing(3);
  EXPECT_EQ(MeasureText(*f, "a\nb\nc").bottom - 7, 3 * lh + 2 * 3);

  // The line height is the shim's text-metrics height of the same font.
  HDC dc = Gdi_CreateMemContext(nullptr, 4, 4);
  HFONT h = Face(14);
  SelectObject(dc, h);
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  EXPECT_EQ(lh, tm.tmHeight);
  Gdi_DeleteGfxContext(dc);
  DeleteObject(h);
}

TEST(CachedFontGlyphs, EachCharacterRendersOnce)
{
  auto f = MakeFont(14);
  EXPECT_EQ(f->FindGlyph('q'), nullptr);
  Raster_MemBitmap bm(80, 30);
  FillAll(&bm, kBlack);
  RECT r{0, 0, 80, 30};
  const int before = f->GetRenderCount();
  f->DrawText(&bm, "qq", -1, &r, 0);
  EXPECT_EQ(f->GetRenderCount(), before + 1);
  f->DrawText(&bm, "q", -1, &r, 0);
  MeasureText(*f, "qqq");
  EXPECT_EQ(f->GetRenderCount(), before + 1);
  const Raster_GlyphEntry* e = f->FindGlyph('q');
  ASSERT_NE(e, nullptr);
  EXPECT_GT(e->coverageOffset, 0);
  EXPECT_GT(e->advance, 0);
  {
    // The image is as tall as the shim's single-line box for that character.
    HDC dc = Gdi_CreateMemContext(nullptr, 4, 4);
    HFONT h = Face(14);
    SelectObject(dc, h);
    RECT box{0, 0, 0, 0};
    Gdi_DrawText(dc, "q", -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(e->height, box.bottom);
    EXPECT_GE(e->width, e->advance / 2);
    Gdi_DeleteGfxContext(dc);
    DeleteObject(h);
  }

  // A space renders once too, as an entry without ink.
  f->DrawText(&bm, " ", -1, &r, 0);
  ASSERT_NE(f->FindGlyph(' '), nullptr);
  EXPECT_EQ(f->FindGlyph(' ')->coverageOffset, -1);
  EXPECT_GT(f->FindGlyph(' ')->advance, 0);

  // Code points above 127 go to the sorted extra list, found again whatever the order of arrival.
  const int cps[] = {0x3A9, 0xE9, 0x416, 0x100, 0xFC};
  for (int cp : cps)
  {
    char u[4] = {};
    if (cp < 0x800)
    {
      u[0] = (char)(0xC0 | (cp >> 6));
      u[1] = (char)(0x80 | (cp & 0x3F));
    }
    MeasureText(*f, u);
  }
  for (int cp : cps) EXPECT_NE(f->FindGlyph(cp), nullptr) << cp;
  EXPECT_EQ(f->FindGlyph(0xE8), nullptr);
  const int n = f->GetRenderCount();
  MeasureText(*f, "\xc3\xa9\xd0\x96");
  EXPECT_EQ(f->GetRenderCount(), n);

  // Replacing the font empties the cache.
  f->SetFromHFont(Face(16), RASTER_FONT_OWNS_HFONT);
  EXPECT_EQ(f->FindGlyph('q'), nullptr);
  EXPECT_EQ(f->FindGlyph(0xE9), nullptr);
}

TEST(CachedFontGlyphs, PrerenderAsciiNeverCachesOthers)
{
  auto f = MakeFont(14, RASTER_FONT_PRERENDER_ASCII);
  EXPECT_EQ(f->GetRenderCount(), 128);
  EXPECT_NE(f->FindGlyph('A'), nullptr);
  Raster_MemBitmap bm(60, 30);
  FillAll(&bm, kBlack);
  f->SetTextColor(0xFFFFFFFF);
  RECT r{0, 0, 60, 30};
  f->DrawText(&bm, "\xc3\xa9\xc3\xa9", -1, &r, 0);
  EXPECT_EQ(CountDiffering(&bm, kBlack), 0);
  EXPECT_EQ(f->FindGlyph(0xE9), nullptr);
  EXPECT_EQ(f->GetRenderCount(), 128);
  EXPECT_EQ(MeasureText(*f, "\xc3\xa9").right, 5);
  f->DrawText(&bm, "A", -1, &r, 0);
  EXPECT_GT(CountDiffering(&bm, kBlack), 0);
}

TEST(CachedFontDraw, TextColourFillsCoveredPixelsInsideTheRect)
{
  auto f = MakeFont(16);
  f->SetTextColor(0xFF00FF00);
  Raster_MemBitmap bm(100, 40);
  FillAll(&bm, kBlack);
  RECT r{10, 5, 40, 30};
  EXPECT_GT(f->DrawText(&bm, "MMMMMM", -1, &r, 0), 0);
  int full = 0;
  for (uint32_t p : Pixels(&bm))
  {
    EXPECT_EQ(p & 0xFF00FF, 0u);
    full += p == 0xFF00FF00;
  }
  EXPECT_GT(full, 10);
  const RECT ink = Ink(&bm, kBlack);
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.right, 40);
  EXPECT_LE(ink.bottom, 30);

  // No clipping to the rectangle with DT_NOCLIP; the bitmap still limits.
  FillAll(&bm, kBlack);
  f->DrawText(&bm, "MMMMMM", -1, &r, DT_NOCLIP);
  EXPECT_GT(Ink(&bm, kBlack).right, 40);
  FillAll(&bm, kBlack);
  RECT outside{200, 0, 300, 40};
  EXPECT_EQ(f->DrawText(&bm, "M", -1, &outside, 0), 0);
  EXPECT_EQ(CountDiffering(&bm, kBlack), 0);
}

TEST(CachedFontDraw, AlignmentAndBackground)
{
  auto f = MakeFont(16);
  f->SetTextColor(0xFFFFFFFF);
  Raster_MemBitmap bm(120, 50);
  const RECT box{10, 5, 110, 45};
  const RECT size = MeasureText(*f, "Xy");
  const int tw = size.right - 5, th = size.bottom - 7;

  FillAll(&bm, kBlack);
  RECT r = box;
  f->DrawText(&bm, "Xy", -1, &r, 0);
  const RECT base = Ink(&bm, kBlack);

  FillAll(&bm, kBlack);
  r = box;
  f->DrawText(&bm, "Xy", -1, &r, DT_RIGHT | DT_BOTTOM);
  RECT ink = Ink(&bm, kBlack);
  EXPECT_EQ(ink.left - base.left, 100 - tw);
  EXPECT_EQ(ink.top - base.top, 40 - th);

  FillAll(&bm, kBlack);
  r = box;
  f->DrawText(&bm, "Xy", -1, &r, DT_CENTER | DT_VCENTER);
  ink = Ink(&bm, kBlack);
  EXPECT_EQ(ink.left - base.left, (100 - tw) / 2);
  EXPECT_EQ(ink.top - base.top, (40 - th) / 2);

  // Opaque background: each glyph box is filled first.
  FillAll(&bm, kBlack);
  f->SetBkMode(1);
  f->SetBkColor(0xFF0000FF);
  r = box;
  f->DrawText(&bm, "Xy", -1, &r, 0);
  EXPECT_EQ(Raster_GetPixel(&bm, base.left, box.top), 0xFF0000FFu);
  EXPECT_EQ(Raster_GetPixel(&bm, box.left + 1, box.top + th - 1), 0xFF0000FFu);
  EXPECT_EQ(Raster_GetPixel(&bm, box.left + tw + 4, box.top), kBlack);
}

TEST(CachedFontDraw, OpacityAndCombineModes)
{
  auto f = MakeFont(16);
  Raster_MemBitmap bm(80, 30);
  RECT r{0, 0, 80, 30};

  // Half opacity on black: a fully covered pixel gets half the colour.
  FillAll(&bm, kBlack);
  f->SetTextColor(0xFFFFFFFF);
  f->SetCombineMode(RASTER_MODE_COPY, 0.5f);
  f->DrawText(&bm, "HH", -1, &r, 0);
  int maxR = 0;
  for (uint32_t p : Pixels(&bm)) maxR = std::max(maxR, Raster_GetR(p));
  EXPECT_EQ(maxR, 128);

  // Colour alpha scales opacity only with the format bit; alpha 0 then draws nothing.
  FillAll(&bm, kBlack);
  f->SetCombineMode(RASTER_MODE_COPY, 1.0f);
  f->SetTextColor(0x00FFFFFF);
  f->DrawText(&bm, "HH", -1, &r, RASTER_TEXT_USE_COLOR_ALPHA);
  EXPECT_EQ(CountDiffering(&bm, kBlack), 0);
  f->DrawText(&bm, "HH", -1, &r, 0);
  EXPECT_GT(CountDiffering(&bm, kBlack), 0);

  // Add never darkens, saturating where the glyph is solid.
  const Raster_Pixel grey = 0xFF404040;
  FillAll(&bm, grey);
  f->SetTextColor(0xFFFFFFFF);
  f->SetCombineMode(RASTER_MODE_ADD, 1.0f);
  f->DrawText(&bm, "HH", -1, &r, 0);
  int saturated = 0;
  for (uint32_t p : Pixels(&bm))
  {
    EXPECT_GE(Raster_GetR(p), 0x40);
    saturated += (p & 0xFFFFFF) == 0xFFFFFF;
  }
  EXPECT_GT(saturated, 10);

  // Multiply by a dark colour never brightens.
  FillAll(&bm, grey);
  f->SetTextColor(0xFF202020);
  f->SetCombineMode(RASTER_MODE_MUL, 1.0f);
  f->DrawText(&bm, "HH", -1, &r, 0);
  int darker = 0;
  for (uint32_t p : Pixels(&bm))
  {
    EXPECT_LE(Raster_GetG(p), 0x40);
    darker += Raster_GetG(p) < 0x40;
  }
  EXPECT_GT(darker, 10);
}

TEST(CachedFontFlags, OutlineAndShadowAddHalfCoverage)
{
  for (int flag : {RASTER_FONT_OUTLINE, RASTER_FONT_SHADOW})
  {
    auto f = MakeFont(18, flag);
    Raster_MemBitmap bm(60, 40);
    FillAll(&bm, kBlack);
    f->SetTextColor(0xFF0000FF);
    f->SetEffectColor(0xFFFF0000);
    RECT r{0, 0, 60, 40};
    f->DrawText(&bm, "L", -1, &r, 0);
    const Raster_GlyphEntry* e = f->FindGlyph('L');
    ASSERT_NE(e, nullptr);
    const unsigned char* c = f->GetCoverage(e);
    ASSERT_NE(c, nullptr);
    int half = 0, full = 0;
    for (int y = 0; y < e->height; ++y)
      for (int x = 0; x < e->width; ++x)
      {
        const int v = c[y * e->width + x];
        ASSERT_TRUE(v == 0 || v == 128 || v == 255) << v;
        if (v != 128) continue;
        ++half;
        auto at = [&](int xx, int yy) {
          return xx >= 0 && yy >= 0 && xx < e->width && yy < e->height ? c[yy * e->width + xx] : 0;
        };
        if (flag == RASTER_FONT_OUTLINE)
          EXPECT_TRUE(at(x - 1, y) == 255 || at(x + 1, y) == 255 || at(x, y - 1) == 255 || at(x, y + 1) == 255);
        else
          EXPECT_TRUE(at(x - 1, y) == 255 || at(x, y - 1) == 255 || at(x - 1, y - 1) == 255);
      }
    for (int i = 0; i < e->width * e->height; ++i) full += c[i] == 255;
    EXPECT_GT(half, 5) << flag;
    EXPECT_GT(full, 5) << flag;
    // Drawn in the two colours.
    int blue = 0, red = 0;
    for (uint32_t p : Pixels(&bm))
    {
      blue += p == 0xFF0000FF;
      red += p == 0xFFFF0000;
    }
    EXPECT_EQ(blue, full) << flag;
    EXPECT_EQ(red, half) << flag;
  }
}

TEST(CachedFontFlags, MonoInvertBlurShapeTheCoverage)
{
  auto plain = MakeFont(18), mono = MakeFont(18, RASTER_FONT_MONO), inv = MakeFont(18, RASTER_FONT_INVERT),
       blur = MakeFont(18, RASTER_FONT_BLUR);
  for (auto* f : {plain.get(), mono.get(), inv.get(), blur.get()}) MeasureText(*f, "S");
  auto levels = [](Raster_CachedFont& f, int& zero, int& partial, int& full) {
    const Raster_GlyphEntry* e = f.FindGlyph('S');
    const unsigned char* c = f.GetCoverage(e);
    zero = partial = full = 0;
    for (int i = 0; i < e->width * e->height; ++i)
      (c[i] == 0 ? zero : c[i] == 255 ? full : partial)++;
  };
  int z0, p0, f0, z1, p1, f1;
  levels(*plain, z0, p0, f0);
  EXPECT_GT(p0, 0);
  levels(*mono, z1, p1, f1);
  EXPECT_EQ(p1, 0);
  EXPECT_GT(f1, 0);
  levels(*inv, z1, p1, f1);
  EXPECT_GT(f1, z1);  // the empty background became full coverage
  levels(*blur, z1, p1, f1);
  EXPECT_GT(p1, p0);  // softer edges
}

TEST(CachedFontFlags, VerticalTextRunsDown)
{
  auto f = MakeFont(16, RASTER_FONT_VERTICAL);
  const RECT m = MeasureText(*f, "Hello");
  auto h = MakeFont(16);
  const RECT mh = MeasureText(*h, "Hello");
  EXPECT_EQ(m.right - 5, f->GetLineHeight());
  EXPECT_EQ(m.bottom - 7, mh.right - 5);

  Raster_MemBitmap bm(40, 100);
  FillAll(&bm, kBlack);
  f->SetTextColor(0xFFFFFFFF);
  RECT r{0, 0, 40, 100};
  f->DrawText(&bm, "Hello", -1, &r, 0);
  const RECT ink = Ink(&bm, kBlack);
  EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
}

TEST(CachedFontHandles, OwnedHandleIsDeletedWhenReplaced)
{
  HDC dc = Gdi_CreateMemContext(nullptr, 4, 4);
  HFONT a = Face(12), b = Face(13), c = Face(14);
  {
    Raster_CachedFont f;
    f.SetFromHFont(a, 0);
    f.SetFromHFont(b, RASTER_FONT_OWNS_HFONT);
    f.SetFromHFont(b, RASTER_FONT_OWNS_HFONT);  // same handle: kept
    EXPECT_NE(SelectObject(dc, b), nullptr);
    SelectObject(dc, (HGDIOBJ)3);
    f.SetFromHFont(c, RASTER_FONT_OWNS_HFONT);
    EXPECT_EQ(SelectObject(dc, b), nullptr);  // deleted
    EXPECT_EQ(f.GetHFont(), c);
  }
  EXPECT_EQ(SelectObject(dc, c), nullptr);  // destroyed with the font object
  EXPECT_NE(SelectObject(dc, a), nullptr);  // never owned
  SelectObject(dc, (HGDIOBJ)3);
  DeleteObject(a);
  Gdi_DeleteGfxContext(dc);

  // No usable font: nothing is drawn or measured, nothing crashes.
  Raster_CachedFont none;
  none.SetFromHFont(nullptr, 0);
  Raster_MemBitmap bm(20, 20);
  FillAll(&bm, kBlack);
  RECT r{0, 0, 20, 20};
  EXPECT_EQ(none.DrawText(&bm, "abc", -1, &r, 0), 0);
  EXPECT_EQ(CountDiffering(&bm, kBlack), 0);
  EXPECT_EQ(MeasureText(none, "abc").right, 5);
  none.SetFromHFont(a, 0);  // a dead handle
  EXPECT_EQ(none.DrawText(&bm, "abc", -1, &r, 0), 0);
}

TEST(CachedFontNative, ContextAndScratchPathsAgree)
{
  // The font cache's setting: native rendering with an owned handle.
  auto f = MakeFont(15, RASTER_FONT_NATIVE);
  f->SetTextColor(0xFFFFC000);
  Raster_SysBitmap sys(90, 30);
  Raster_MemBitmap mem(90, 30);
  FillAll(&sys, kBlack);
  FillAll(&mem, kBlack);
  RECT r1{3, 2, 80, 28}, r2 = r1;
  EXPECT_GT(f->DrawText(&sys, "Native", -1, &r1, DT_CENTER), 0);
  EXPECT_GT(f->DrawText(&mem, "Native", -1, &r2, DT_CENTER), 0);
  EXPECT_EQ(f->GetRenderCount(), 0);  // no glyphs cached
  const RECT a = Ink(&sys, kBlack), b = Ink(&mem, kBlack);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.right, b.right);
  EXPECT_EQ(a.bottom, b.bottom);
  int worst = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 90; ++x)
    {
      const Raster_Pixel p = Raster_GetPixel(&sys, x, y), q = Raster_GetPixel(&mem, x, y);
      worst = std::max({worst, std::abs(Raster_GetR(p) - Raster_GetR(q)), std::abs(Raster_GetG(p) - Raster_GetG(q)),
                        std::abs(Raster_GetB(p) - Raster_GetB(q))});
    }
  EXPECT_LE(worst, 2);
  EXPECT_GT(CountDiffering(&mem, kBlack), 20);

  // Alignment bits in the format, top bits off: still native. Colour alpha: glyph path.
  RECT r3{0, 0, 90, 30};
  f->SetTextColor(0x80FFFFFF);
  f->DrawText(&mem, "x", -1, &r3, RASTER_TEXT_USE_COLOR_ALPHA);
  EXPECT_EQ(f->GetRenderCount(), 1);
}

TEST(CachedFontNative, HugeFontsDrawNatively)
{
  auto f = MakeFont(300);
  ASSERT_GT(f->GetLineHeight(), 255);
  Raster_MemBitmap bm(200, 200);
  FillAll(&bm, kBlack);
  f->SetTextColor(0xFFFFFFFF);
  RECT r{0, -100, 200, 200};
  f->DrawText(&bm, "W", -1, &r, 0);
  EXPECT_GT(CountDiffering(&bm, kBlack), 1000);
  EXPECT_EQ(f->GetRenderCount(), 0);
}

TEST(CachedFontThreads, FontsOnTwoThreadsShareTheScratchSafely)
{
  // Each thread renders its own font (different sizes, so different glyphs) through the shared
  // scratch bitmaps; every result must equal the one drawn alone.
  auto drawOnce = [](int px) {
    Raster_CachedFont f;
    f.SetFromHFont(Face(px), RASTER_FONT_OWNS_HFONT);
    f.SetTextColor(0xFFFFFFFF);
    Raster_MemBitmap bm(160, 40);
    FillAll(&bm, kBlack);
    RECT r{0, 0, 160, 40};
    f.DrawText(&bm, "Thread-safe glyphs", -1, &r, 0);
    return Pixels(&bm);
  };
  const std::vector<uint32_t> ref11 = drawOnce(11), ref17 = drawOnce(17);
  ASSERT_NE(ref11, ref17);
  std::atomic<int> mismatches{0};
  auto work = [&](int px, const std::vector<uint32_t>& ref) {
    for (int i = 0; i < 40; ++i)
      if (drawOnce(px) != ref) ++mismatches;
  };
  std::thread a(work, 11, std::cref(ref11)), b(work, 17, std::cref(ref17));
  a.join();
  b.join();
  EXPECT_EQ(mismatches.load(), 0);
}

TEST(CachedFontDraw, ExtremeRectanglesAreSafe)
{
  for (int flags : {0, (int)RASTER_FONT_NATIVE, RASTER_FONT_VERTICAL | RASTER_FONT_VERTICAL_UP})
  {
    auto f = MakeFont(14, flags);
    f->SetTextColor(0xFFFFFFFF);
    f->SetBkMode(1);
    Raster_MemBitmap bm(30, 30);
    FillAll(&bm, kBlack);
    // Centred on this rectangle means around (0, 0), so only the other placements are checked.
    RECT c{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    f->DrawText(&bm, "Far\naway", -1, &c, DT_CENTER | DT_VCENTER);
    FillAll(&bm, kBlack);
    for (int format : {0, DT_RIGHT | DT_BOTTOM | DT_NOCLIP})
    {
      RECT r{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
      f->DrawText(&bm, "Far\naway", -1, &r, format);
      RECT m{INT32_MAX - 1, INT32_MAX - 1, 0, 0};
      f->DrawText(nullptr, "Far", -1, &m, DT_CALCRECT);
      EXPECT_GE(m.right, INT32_MAX - 1);
    }
    EXPECT_EQ(CountDiffering(&bm, kBlack), 0) << flags;
    f->DrawGlyph(&bm, 'F', INT32_MAX, INT32_MIN, nullptr);
    f->DrawGlyph(&bm, 'F', INT32_MIN, INT32_MAX, nullptr);
    EXPECT_EQ(CountDiffering(&bm, kBlack), 0) << flags;
  }
}

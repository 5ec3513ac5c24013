// Font requests: size rules, style suffixes and the name cache, fallback faces, metrics,
// antialiasing modes.

#include "gdishim/fonts.h"
#include "gdishim_test_util.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Ctx
{
  HDC dc = Gdi_CreateMemContext(nullptr, 200, 60);
  ~Ctx() { Gdi_DeleteGfxContext(dc); }
};

// Metrics and the width of a sample text in the given font: equal for equal sizes and faces.
std::string Signature(HFONT f)
{
  Ctx c;
  SelectObject(c.dc, f);
  TEXTMETRIC tm;
  GetTextMetrics(c.dc, &tm);
  const RECT r = Measure(c.dc, "Hamburgefonstiv");
  SelectObject(c.dc, (HGDIOBJ)3);
  return std::to_string(tm.tmHeight) + "/" + std::to_string(tm.tmAscent) + "/" + std::to_string(r.right);
}

std::string Name(HFONT f)
{
  char buf[128] = "";
  EXPECT_TRUE(Gdi_GetFontName(f, buf, sizeof(buf)));
  return buf;
}

} // namespace

TEST(GdiCreateFont, SizeFromHeightOrWidthWithLimits)
{
  HFONT neg12 = MakeFont(-12), pos12 = MakeFont(12), f13 = MakeFont(13), f10 = MakeFont(10);
  HFONT zero = CreateFont(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
  HFONT byWidth = CreateFont(0, -12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
  HFONT tiny = MakeFont(1), huge = MakeFont(8193), max = MakeFont(-8192);
  ASSERT_TRUE(neg12 && pos12 && f13 && f10 && zero && byWidth && tiny && huge && max);

  EXPECT_EQ(Signature(neg12), Signature(pos12));
  EXPECT_NE(Signature(neg12), Signature(f13));
  EXPECT_EQ(Signature(byWidth), Signature(pos12));
  EXPECT_EQ(Signature(zero), Signature(f10));
  EXPECT_EQ(Signature(tiny), Signature(f10));
  EXPECT_EQ(Signature(huge), Signature(f10));
  EXPECT_NE(Signature(max), Signature(f10));
  for (HFONT f : {neg12, pos12, f13, f10, zero, byWidth, tiny, huge, max}) DeleteObject(f);
}

TEST(GdiCreateFont, StyleSuffixesFormTheCacheKey)
{
  const int before = Gdi_NameCacheSize();
  HFONT a = MakeFont(12, "QbUnlistedFace", FW_BOLD);
  HFONT b = MakeFont(12, "QbUnlistedFace Bold", FW_NORMAL);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(Gdi_NameCacheSize(), before + 1);  // "QbUnlistedFace Bold" both times

  HFONT c = MakeFont(12, "QbUnlistedFace", FW_BOLD, true);
  HFONT d = MakeFont(12, "QbUnlistedFace Bold Italic", 0);
  HFONT e = MakeFont(12, "QbUnlistedFace", 699);
  ASSERT_TRUE(c && d && e);
  EXPECT_EQ(Gdi_NameCacheSize(), before + 3);  // + "... Bold Italic" and the plain face

  EXPECT_NE(Name(a).find("Bold"), std::string::npos) << Name(a);
  EXPECT_EQ(Name(e).find("Bold"), std::string::npos) << Name(e);
  const std::string ci = Name(c);
  EXPECT_TRUE(ci.find("Oblique") != std::string::npos || ci.find("Italic") != std::string::npos) << ci;
  for (HFONT f : {a, b, c, d, e}) DeleteObject(f);
}

TEST(GdiCreateFont, MonacoFallsBackToAFixedWidthFace)
{
  HFONT f = MakeFont(14, "Monaco");
  ASSERT_NE(f, nullptr);
  EXPECT_NE(Name(f).find("Mono"), std::string::npos) << Name(f);
  Ctx c;
  SelectObject(c.dc, f);
  const RECT narrow = Measure(c.dc, "iiiiiiii"), wide = Measure(c.dc, "WWWWWWWW");
  EXPECT_GT(narrow.right, 0);
  EXPECT_EQ(narrow.right, wide.right);
  SelectObject(c.dc, (HGDIOBJ)3);
  DeleteObject(f);
}

TEST(GdiCreateFont, UnknownEmptyAndOverlongFacesStillDraw)
{
  std::string longName(3000, 'x');
  for (const char* face : {"NoSuchFace 123", "", (const char*)nullptr, longName.c_str()})
  {
    HFONT f = MakeFont(16, face);
    ASSERT_NE(f, nullptr);
    Ctx c;
    SelectObject(c.dc, f);
    SetTextColor(c.dc, 0xFFFFFF);
    RECT r{0, 0, 200, 60};
    EXPECT_GT(Gdi_DrawText(c.dc, "Xy", -1, &r, 0), 0);
    EXPECT_GT(InkBox(c.dc, 200, 60).right, 0);
    SelectObject(c.dc, (HGDIOBJ)3);
    DeleteObject(f);
  }
}

TEST(GdiCreateFont, IndirectMatchesDirectAndToleratesUnterminatedName)
{
  LOGFONT lf{};
  lf.lfHeight = -15;
  lf.lfWeight = FW_BOLD;
  std::memcpy(lf.lfFaceName, "DejaVu Sans Mono", 17);
  HFONT ind = CreateFontIndirect(&lf), dir = MakeFont(15, "DejaVu Sans Mono", FW_BOLD);
  ASSERT_TRUE(ind && dir);
  EXPECT_EQ(Name(ind), Name(dir));
  EXPECT_EQ(Signature(ind), Signature(dir));

  std::memset(lf.lfFaceName, 'Q', sizeof(lf.lfFaceName));
  HFONT junk = CreateFontIndirect(&lf);
  EXPECT_NE(junk, nullptr);
  EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
  for (HFONT f : {ind, dir, junk}) DeleteObject(f);
}

TEST(GdiTextMetrics, DefaultsOnFailureAndFormulas)
{
  TEXTMETRIC tm{1, 2, 3, 4, 5};
  EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent, 12);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmInternalLeading, 3);
  EXPECT_EQ(tm.tmAveCharWidth, 10);

  Ctx c;
  // No font selected: the 10-pixel default face.
  ASSERT_TRUE(GetTextMetrics(c.dc, &tm));
  HFONT f10 = MakeFont(10, "");
  EXPECT_EQ(Signature(f10), std::to_string(tm.tmHeight) + "/" + std::to_string(tm.tmAscent) + "/" +
                                std::to_string(Measure(c.dc, "Hamburgefonstiv").right));

  int lastHeight = 0;
  for (int size : {8, 12, 20, 40})
  {
    HFONT f = MakeFont(size);
    SelectObject(c.dc, f);
    ASSERT_TRUE(GetTextMetrics(c.dc, &tm));
    const int body = tm.tmAscent + tm.tmDescent + tm.tmInternalLeading;
    EXPECT_EQ(tm.tmHeight, body + 1) << size;
    EXPECT_EQ(tm.tmAveCharWidth, body * 2 / 3) << size;
    // The body is within a pixel or two of the requested pixel size.
    EXPECT_GE(body, size - 2) << size;
    EXPECT_LE(body, size * 5 / 4 + 2) << size;
    EXPECT_GT(tm.tmHeight, lastHeight);
    lastHeight = tm.tmHeight;
    SelectObject(c.dc, (HGDIOBJ)3);
    DeleteObject(f);
  }
  DeleteObject(f10);
}

TEST(GdiAntialias, QualityThreeRendersHardEdges)
{
  auto levels = [](int quality) {
    HFONT f = MakeFont(18, "DejaVu Sans", 0, false, quality);
    Ctx c;
    SelectObject(c.dc, f);
    SetTextColor(c.dc, 0xFFFFFF);
    RECT r{0, 0, 200, 60};
    Gdi_DrawText(c.dc, "Sawgrass", -1, &r, 0);
    int partial = 0, full = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 200; ++x)
      {
        const uint32_t p = PixelAt(c.dc, 200, x, y);
        if (p == 0xFFFFFF) ++full;
        else if (p) ++partial;
      }
    SelectObject(c.dc, (HGDIOBJ)3);
    DeleteObject(f);
    return std::make_pair(partial, full);
  };
  const auto off = levels(GDI_QUALITY_AA_OFF);
  const auto on = levels(GDI_QUALITY_AA_ON);
  const auto def = levels(0);
  EXPECT_EQ(off.first, 0);
  EXPECT_GT(off.second, 20);
  EXPECT_GT(on.first, 20);
  EXPECT_EQ(def, on);
}

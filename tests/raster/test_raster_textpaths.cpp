// The cached-font path and the shim's own text path read the same bytes as the same characters:
// malformed UTF-8 lays out and draws exactly like its repaired form on both.

#include "raster/cachedfont.h"
#include "raster_test_util.h"
#include "util/utf8.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const int kPx = 15;
const int W = 160, H = 30;
const Raster_Pixel kBlack = 0xFF000000;

HFONT Face() { return CreateFont(kPx, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans"); }

struct MalformedCase
{
  const char* what;
  const char* bytes;
  const char* repaired;  // the same text as valid UTF-8, U+FFFD written out
};

#define FFFD "\xEF\xBF\xBD"
const MalformedCase kCases[] = {
    {"impossible byte", "A\xFF" "B", "A" FFFD "B"},
    {"stray continuations", "\x80\x80" "z", FFFD FFFD "z"},
    {"overlong slash", "A\xE0\x80\xAF" "B", "A" FFFD FFFD FFFD "B"},
    {"surrogate", "A\xED\xA0\x80" "B", "A" FFFD FFFD FFFD "B"},
    {"above U+10FFFF", "A\xF4\x90\x80\x80" "B", "A" FFFD FFFD FFFD FFFD "B"},
    {"truncated inside", "A\xE2\x82" "B", "A" FFFD "B"},
    {"a line rule inside a character does not join it", "\xC3\r\xA9", FFFD "\r" FFFD},
    {"cut at the end", "xy\xC3", "xy"},
    {"a valid character above U+FFFF is left out by both", "A\xF0\x9F\x98\x80" "B", "AB"},
};
#undef FFFD

class TextPaths : public ::testing::Test
{
protected:
  void SetUp() override
  {
    dc = Gdi_CreateMemContext(nullptr, W, H);
    face = Face();
    ASSERT_TRUE(dc && face);
    SelectObject(dc, face);
    cached.reset(new Raster_CachedFont);
    cached->SetFromHFont(Face(), RASTER_FONT_OWNS_HFONT);
    native.reset(new Raster_CachedFont);
    native->SetFromHFont(Face(), RASTER_FONT_NATIVE | RASTER_FONT_OWNS_HFONT);
    cached->SetTextColor(0xFFFFFFFF);
    native->SetTextColor(0xFFFFFFFF);
  }
  void TearDown() override
  {
    Gdi_DeleteGfxContext(dc);
    DeleteObject(face);
  }
  // Width and height the shim reports.
  RECT ShimMeasure(const char* text)
  {
    RECT r{0, 0, 0, 0};
    Gdi_DrawText(dc, text, -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    return r;
  }
  RECT FontMeasure(Raster_CachedFont& f, const char* text)
  {
    RECT r{0, 0, 0, 0};
    f.DrawText(nullptr, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return r;
  }
  std::vector<uint32_t> FontDraw(Raster_CachedFont& f, const char* text)
  {
    Raster_MemBitmap bm(W, H);
    FillAll(&bm, kBlack);
    RECT r{2, 2, W, H};
    f.DrawText(&bm, text, -1, &r, DT_SINGLELINE);
    return Pixels(&bm);
  }
  HDC dc = nullptr;
  HFONT face = nullptr;
  std::unique_ptr<Raster_CachedFont> cached, native;
};

bool SameBox(const RECT& a, const RECT& b) { return a.right == b.right && a.bottom == b.bottom; }

} // namespace

TEST_F(TextPaths, MalformedBytesLayOutAndDrawAsTheirRepairedForm)
{
  for (const MalformedCase& c : kCases)
  {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(SameBox(ShimMeasure(c.bytes), ShimMeasure(c.repaired)));
    EXPECT_TRUE(SameBox(FontMeasure(*cached, c.bytes), FontMeasure(*cached, c.repaired)));
    const std::vector<uint32_t> glyphs = FontDraw(*cached, c.bytes), shim = FontDraw(*native, c.bytes);
    EXPECT_EQ(glyphs, FontDraw(*cached, c.repaired)) << "glyph path";
    EXPECT_EQ(shim, FontDraw(*native, c.repaired)) << "native path";
    EXPECT_NE(glyphs, FontDraw(*cached, "")) << "something is drawn";
  }
}

TEST_F(TextPaths, GlyphPathAdvancesByEachCharacterTheShimSees)
{
  // The glyph path moves by each character's own shim width, so its line is the sum of the
  // shim's widths of the characters the shim decodes from the same bytes.
  for (const MalformedCase& c : kCases)
  {
    SCOPED_TRACE(c.what);
    const std::string repaired = c.repaired;
    int sum = 0, chars = 0;
    for (int pos = 0, prev = 0; Util_Utf8Next(repaired.data(), (int)repaired.size(), &pos) >= 0; prev = pos)
    {
      sum += ShimMeasure(repaired.substr((size_t)prev, (size_t)(pos - prev)).c_str()).right;
      ++chars;
    }
    EXPECT_GT(chars, 0);
    EXPECT_EQ(FontMeasure(*cached, c.bytes).right, sum);
  }
}

// Bitmap-font text: where each glyph lands for every alignment, wrapping and gap, compared
// pixel for pixel with a model of the expected layout.
#include <string>
#include <vector>

#include "control_fixture.h"
#include "graphics/IBitmapMonoText.h"

namespace
{
const IColor kBackground(255, 9, 9, 9);
constexpr int kGlyphs = 95;  // space ... tilde

struct Glyph
{
  int x, y;
  char c;
};

// The glyphs of str laid in one row from (x, y), step apart.
std::vector<Glyph> Row(int x, int y, const std::string& str, int step)
{
  std::vector<Glyph> out;
  for (char c : str)
  {
    out.push_back({x, y, c});
    x += step;
  }
  return out;
}

std::vector<Glyph> operator+(std::vector<Glyph> a, const std::vector<Glyph>& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

int FrameOf(char c)
{
  const int code = (int)(signed char)c;
  return code < 32 ? 0 : code - 32;
}

// Calls DrawBitmapedText with fixed arguments from its Draw.
class LayoutProbe : public IControl
{
public:
  LayoutProbe(IPluginBase* plug, IRECT r, IBitmap* glyphs, IText* text, std::string str, bool vCentre,
              bool multiLine, int cw, int ch, int offset)
  : IControl(plug, r), mGlyphs(glyphs), mTextStyle(text), mS(std::move(str)), mVCentre(vCentre),
    mMultiLine(multiLine), mCW(cw), mCH(ch), mOffset(offset)
  {
  }
  bool Draw(IGraphics* pGraphics) override
  {
    DrawBitmapedText(pGraphics, mGlyphs, &mRECT, mTextStyle, &mBlend, mS.c_str(), mVCentre, mMultiLine, mCW, mCH,
                     mOffset);
    return true;
  }

private:
  IBitmap* mGlyphs;
  IText* mTextStyle;
  std::string mS;
  bool mVCentre, mMultiLine;
  int mCW, mCH, mOffset;
};

// g's drawing bitmap equals the background with the glyphs painted in order.
::testing::AssertionResult Matches(IGraphics* g, const std::vector<Glyph>& glyphs, int cw, int ch)
{
  const int w = g->Width(), h = g->Height();
  std::vector<uint32_t> model((size_t)w * h, kBackground.ToPixel());
  for (const Glyph& glyph : glyphs)
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x)
      {
        const int px = glyph.x + x, py = glyph.y + y;
        if (px >= 0 && px < w && py >= 0 && py < h)
          model[(size_t)py * w + px] = StripImage::PixelFor(FrameOf(glyph.c), x, y);
      }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const uint32_t got = Raster_GetPixel(g->GetDrawBitmap(), x, y), want = model[(size_t)y * w + x];
      if (got != want)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << got
                                             << ", expected " << want;
    }
  return ::testing::AssertionSuccess();
}

struct BitmapTextTest : ControlFixture
{
  ::testing::AssertionResult Matches(const std::vector<Glyph>& glyphs, int cw, int ch)
  {
    return ::Matches(gfx, glyphs, cw, ch);
  }
};
}  // namespace

TEST_F(BitmapTextTest, LaysTextOutByAlignmentWrappingAndGap)
{
  struct Case
  {
    const char* what;
    std::string str;
    IRECT r;
    int align;  // -1: no text style (centred)
    bool vCentre, multiLine;
    int cw, ch, offset;
    std::vector<Glyph> want;
  };
  const std::string twenty = "ABCDEFGHIJKLMNOPQRST";
  const Case cases[] = {
    {"far: 12 in 0 ... 100", "12", IRECT(0, 0, 100, 10), IText::kAlignFar, false, false, 8, 10, 0, Row(84, 0, "12", 8)},
    {"cut without wrapping", twenty, IRECT(0, 0, 50, 8), IText::kAlignNear, false, false, 10, 8, 0,
     Row(0, 0, "ABCDE", 10)},
    {"four lines of five", twenty, IRECT(0, 0, 50, 40), IText::kAlignNear, false, true, 10, 8, 0,
     Row(0, 0, "ABCDE", 10) + Row(0, 8, "FGHIJ", 10) + Row(0, 16, "KLMNO", 10) + Row(0, 24, "PQRST", 10)},
    {"odd leftover goes right", "A", IRECT(0, 0, 21, 10), IText::kAlignCenter, false, false, 10, 10, 0,
     Row(5, 0, "A", 10)},
    {"too wide, centred: truncates towards zero", "ABC", IRECT(0, 0, 25, 10), IText::kAlignCenter, false, false, 10, 10,
     0, Row(-2, 0, "AB", 10)},
    {"fits on one line when wrapping", "AB", IRECT(0, 0, 50, 10), IText::kAlignCenter, false, true, 8, 10, 0,
     Row(17, 0, "AB", 8)},
    {"narrower than a glyph", "A", IRECT(0, 0, 7, 10), IText::kAlignNear, false, true, 8, 10, 0, {}},
    {"centred vertically", "Z", IRECT(10, 10, 40, 31), IText::kAlignNear, true, false, 10, 10, 0, Row(10, 15, "Z", 10)},
    {"negative gap overlaps", "AB", IRECT(0, 0, 50, 10), IText::kAlignNear, false, false, 8, 10, -2, Row(0, 0, "AB", 6)},
    {"gap is not part of the width", "AB", IRECT(0, 0, 40, 10), IText::kAlignFar, false, false, 8, 10, 5,
     Row(24, 0, "AB", 13)},
    {"wrapped with a gap", "ABCD", IRECT(0, 0, 20, 20), IText::kAlignNear, false, true, 8, 10, 3,
     Row(0, 0, "AB", 11) + Row(0, 10, "CD", 11)},
    {"control and high bytes show the first frame", "\x01~\xC3", IRECT(0, 0, 50, 10), IText::kAlignNear, false, false,
     4, 10, 0, Row(0, 0, "\x01~\xC3", 4)},
    {"no style: centred", "AB", IRECT(0, 0, 30, 10), -1, false, false, 5, 10, 0, Row(10, 0, "AB", 5)},
    {"empty text", "", IRECT(0, 0, 50, 10), IText::kAlignNear, false, false, 8, 10, 0, {}},
    {"glyph width 0", "AB", IRECT(0, 0, 50, 10), IText::kAlignNear, false, true, 0, 10, 0, {}},
    {"zero-width rectangle, wrapping", "AB", IRECT(5, 0, 5, 10), IText::kAlignNear, false, true, 8, 10, 0, {}},
  };
  for (const Case& c : cases)
  {
    GfxPlug p;
    ControlGraphics* g = new ControlGraphics(&p);
    StripImage glyphs(c.cw > 0 ? c.cw : 1, c.ch, kGlyphs);
    IText style;
    if (c.align >= 0) style.mAlign = (IText::EAlign)c.align;
    g->AttachControl(new LayoutProbe(&p, c.r, &glyphs.bitmap, c.align >= 0 ? &style : nullptr, c.str, c.vCentre,
                                     c.multiLine, c.cw, c.ch, c.offset));
    g->AttachPanelBackground(&kBackground);
    p.AttachGraphics(g);
    IRECT all(0, 0, g->Width(), g->Height());
    g->Draw(&all);
    EXPECT_TRUE(::Matches(g, c.want, c.cw, c.ch)) << c.what;
  }
}

TEST_F(BitmapTextTest, NullArgumentsDrawNothing)
{
  StripImage glyphs(8, 10, kGlyphs);
  IRECT r(0, 0, 50, 10);
  IText style;
  gfx->AttachPanelBackground(&kBackground);
  Attach();
  PaintAll();
  gfx->SetDrawRECT(r);
  DrawBitmapedText(nullptr, &glyphs.bitmap, &r, &style, nullptr, "AB", false, false, 8, 10, 0);
  DrawBitmapedText(gfx, nullptr, &r, &style, nullptr, "AB", false, false, 8, 10, 0);
  DrawBitmapedText(gfx, &glyphs.bitmap, nullptr, &style, nullptr, "AB", false, false, 8, 10, 0);
  DrawBitmapedText(gfx, &glyphs.bitmap, &r, &style, nullptr, nullptr, false, false, 8, 10, 0);
  EXPECT_TRUE(Matches({}, 8, 10));
}

TEST_F(BitmapTextTest, ControlShowsItsTextAndChangesOnlyForADifferentOne)
{
  StripImage glyphs(6, 12, kGlyphs);
  IText nearStyle;
  nearStyle.mAlign = IText::kAlignNear;
  IBitmapTextControl* label =
    new IBitmapTextControl(&plug, IRECT(10, 10, 70, 30), &glyphs.bitmap, "Hi", &nearStyle, 6, 12, 1, false, true);
  gfx->AttachControl(label);
  gfx->AttachPanelBackground(&kBackground);
  Attach();
  PaintAll();
  EXPECT_TRUE(Matches(Row(10, 14, "Hi", 7), 6, 12)) << "top 10 + (20 - 12) / 2";

  char same[] = "Hi";
  label->SetTextFromPlug(same);
  EXPECT_FALSE(label->GetDirtyFlag());
  char other[] = "Yo!";
  label->SetTextFromPlug(other);
  EXPECT_TRUE(label->GetDirtyFlag());
  EXPECT_STREQ(label->GetTextForPlug(), "Yo!");
  PaintAll();
  EXPECT_TRUE(Matches(Row(10, 14, "Yo!", 7), 6, 12));

  label->SetTextFromPlug(nullptr);
  EXPECT_STREQ(label->GetTextForPlug(), "");
  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  EXPECT_TRUE(label->Draw(gfx)) << "an empty text draws nothing and succeeds";
  PaintAll();
  EXPECT_TRUE(Matches({}, 6, 12));
}

// Image and font resources: the process-wide caches, derived images, missing images, the
// font size correction, font sharing and text measuring.
#include "graphics_fixture.h"

#include <algorithm>

#include "graphics/BitmapStorage.h"
#include "graphics/FontStorage.h"

// Each test uses image IDs and font sizes of its own: the caches live for the process.

struct BitmapTest : GfxFixture
{
  TempImageDir dir;
  void SetUp() override { gfx->mImageDir = dir.Path(); }
};

TEST_F(BitmapTest, CacheIsKeyedByIdentifierAlone)
{
  dir.Write("a.png", 6, 4, [](int x, int) { return 0xFF000000u | (uint32_t)x; });
  dir.Write("b.png", 3, 3, [](int, int) { return 0xFFFFFFFFu; });
  const int before = s_bitmapCache.NEntries();
  IBitmap a = gfx->LoadIBitmap(7001, "a.png", 2, true);
  ASSERT_NE(a.mData, nullptr);
  EXPECT_EQ(a.W, 6);
  EXPECT_EQ(a.H, 4);
  EXPECT_EQ(a.N, 2);
  EXPECT_TRUE(a.mFramesAreHorizontal);
  IBitmap again = gfx->LoadIBitmap(7001, "b.png", 1, false);  // same ID, other name
  EXPECT_EQ(again.mData, a.mData);
  EXPECT_EQ(again.W, 6);
  EXPECT_EQ(again.N, 1);
  EXPECT_EQ(gfx->mLoads, 1);
  EXPECT_EQ(s_bitmapCache.NEntries(), before + 1);
  EXPECT_EQ(s_bitmapCache.Find(7001), a.mData);

  // Another core, as another plug-in instance would have: the same image.
  RecordingCore second(&plug);
  second.mImageDir = dir.Path();
  EXPECT_EQ(second.LoadIBitmap(7001, "a.png").mData, a.mData);
  EXPECT_EQ(second.mLoads, 0);
}

TEST_F(BitmapTest, MissingOrCorruptImagesAreReportedOnceAndDrawNothing)
{
  dir.WriteRaw("broken.png", std::string("\x89PNG\r\n\x1a\n garbage", 17));
  testing::internal::CaptureStderr();
  IBitmap missing = gfx->LoadIBitmap(7101, "resources/img/NOPE.png");
  IBitmap missingAgain = gfx->LoadIBitmap(7101, "resources/img/NOPE.png");
  IBitmap broken = gfx->LoadIBitmap(7102, "broken.png", 3);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_EQ(missing.H, 0);
  EXPECT_EQ(missingAgain.mData, nullptr);
  EXPECT_EQ(broken.mData, nullptr);
  EXPECT_EQ(broken.N, 3);
  EXPECT_EQ(gfx->mLoads, 3);  // a failure is not cached: the next call tries again

  const std::string line = "quenbar: image 7101 \"resources/img/NOPE.png\" could not be loaded; drawing without it\n";
  size_t count = 0;
  for (size_t at = err.find(line); at != std::string::npos; at = err.find(line, at + 1)) ++count;
  EXPECT_EQ(count, 1u) << err;
  EXPECT_NE(err.find("quenbar: image 7102 \"broken.png\""), std::string::npos) << err;

  // An editor built on missing images still attaches, paints and takes clicks.
  gfx->AttachBackground(7101, "resources/img/NOPE.png");
  gfx->AttachControl(new ProbeControl(&plug, IRECT(5, 5, 10, 10)));
  Attach();
  IRECT r;
  ASSERT_TRUE(gfx->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 100, 80));
  EXPECT_TRUE(gfx->Draw(&r));
  gfx->SetStrictDrawing(false);
  r = IRECT();
  gfx->IsDirty(&r);
  EXPECT_TRUE(gfx->Draw(&r));
  EXPECT_EQ(Pixel(7, 7), COLOR_RED.ToPixel());
  IMouseMod left(true);
  gfx->OnMouseDown(50, 50, &left);
  EXPECT_EQ(gfx->GetMouseCapture(), 0);
  EXPECT_TRUE(gfx->DrawBitmap(&missing, &r, 2));
  EXPECT_EQ(gfx->ScaleBitmap(&missing, 10, 10).mData, nullptr);
  IRECT crop(0, 0, 2, 2);
  EXPECT_EQ(gfx->CropBitmap(&missing, &crop).mData, nullptr);
}

TEST_F(BitmapTest, ABackgroundImageSizesItselfToOneFrame)
{
  dir.Write("bg.png", 40, 30, [](int, int y) { return 0xFF000000u | (uint32_t)y; });
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 5, 5)));
  gfx->AttachBackground(7201, "bg.png");
  ASSERT_EQ(gfx->NControls(), 2);
  EXPECT_EQ(*gfx->GetControl(0)->GetRECT(), IRECT(0, 0, 40, 30));
  Attach();
  IRECT r;
  gfx->IsDirty(&r);
  gfx->Draw(&r);
  EXPECT_EQ(Pixel(20, 17), 0xFF000011u);  // the image, copied
  EXPECT_EQ(Pixel(2, 2), COLOR_RED.ToPixel());  // the probe on top of it
}

TEST_F(BitmapTest, ScaleAndCropMakeCachedVerticalStrips)
{
  dir.Write("strip.png", 40, 10, [](int x, int y) { return 0xFF000000u | ((uint32_t)x << 8) | (uint32_t)y; });
  IBitmap strip = gfx->LoadIBitmap(7301, "strip.png", 4, true);
  ASSERT_NE(strip.mData, nullptr);
  const int before = s_bitmapCache.NEntries();

  IBitmap scaled = gfx->ScaleBitmap(&strip, 20, 5);
  ASSERT_NE(scaled.mData, nullptr);
  EXPECT_EQ(scaled.W, 20);
  EXPECT_EQ(scaled.H, 5);
  EXPECT_EQ(scaled.N, 4);
  EXPECT_FALSE(scaled.mFramesAreHorizontal);
  EXPECT_TRUE(s_bitmapCache.Holds(scaled.mData));

  IRECT r(10, 2, 15, 6);
  IBitmap cropped = gfx->CropBitmap(&strip, &r);
  ASSERT_NE(cropped.mData, nullptr);
  EXPECT_EQ(cropped.W, 5);
  EXPECT_EQ(cropped.H, 4);
  EXPECT_EQ(cropped.N, 4);
  EXPECT_FALSE(cropped.mFramesAreHorizontal);
  EXPECT_EQ(Raster_GetPixel(cropped.mData, 0, 0), 0xFF000000u | (10u << 8) | 2u);
  EXPECT_EQ(Raster_GetPixel(cropped.mData, 4, 3), 0xFF000000u | (14u << 8) | 5u);
  EXPECT_EQ(s_bitmapCache.NEntries(), before + 2);

  gfx->ReleaseBitmap(&cropped);
  EXPECT_EQ(cropped.mData, nullptr);
  EXPECT_EQ(s_bitmapCache.NEntries(), before + 1);
  gfx->ReleaseBitmap(&cropped);  // not held any more: nothing happens
  EXPECT_EQ(s_bitmapCache.NEntries(), before + 1);
}

TEST_F(BitmapTest, RetainHandsAnImageToTheCacheOnce)
{
  Raster_MemBitmap* own = new Raster_MemBitmap(2, 2);
  IBitmap bm(own, 2, 2);
  const int before = s_bitmapCache.NEntries();
  gfx->RetainBitmap(&bm);
  gfx->RetainBitmap(&bm);  // a second retain must not make a second owner
  EXPECT_EQ(s_bitmapCache.NEntries(), before + 1);
  EXPECT_TRUE(s_bitmapCache.Holds(own));
  gfx->ReleaseBitmap(&bm);  // deletes it
  EXPECT_FALSE(s_bitmapCache.Holds(own));
  EXPECT_EQ(s_bitmapCache.NEntries(), before);
}

// ---- Fonts ----

namespace {

// Counts the platform font requests and the heights they ask for.
struct FontRequests
{
  static inline std::vector<int> heights;
  static inline bool refuse = false;
  static HFONT Create(const LOGFONT* lf)
  {
    heights.push_back(lf->lfHeight);
    return refuse ? nullptr : CreateFontIndirect(lf);
  }
  FontRequests()
  {
    heights.clear();
    refuse = false;
    IGraphicsFontAlloc::Create = &FontRequests::Create;
  }
  ~FontRequests() { IGraphicsFontAlloc::Create = [](const LOGFONT* lf) { return CreateFontIndirect(lf); }; }
};

// The line height the platform gives a plain request of this size and face.
int LineHeightOf(int size, const char* face)
{
  Raster_CachedFont f;
  f.SetFromHFont(CreateFont(size, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, face), RASTER_FONT_OWNS_HFONT);
  return f.GetLineHeight();
}

// A font with fixed extents that records how it is asked to draw.
class FakeFont : public Raster_IFont
{
public:
  FakeFont(int w, int h) : mW(w), mH(h) {}
  void SetFromHFont(HFONT, int) override {}
  void SetTextColor(Raster_Pixel color) override { mColor = color; }
  void SetBkColor(Raster_Pixel) override {}
  void SetEffectColor(Raster_Pixel) override {}
  void SetBkMode(int) override {}
  void SetCombineMode(int, float) override {}
  int DrawText(Raster_IBitmap*, const char* text, int, RECT* r, int format) override
  {
    mFormats.push_back(format);
    mTexts.push_back(text);
    if (format & DT_CALCRECT)
    {
      r->right = r->left + mW;
      r->bottom = r->top + mH;
    }
    else
      mLastRect = *r;
    return mH;
  }
  Raster_Pixel GetTextColor() override { return mColor; }
  HFONT GetHFont() override { return nullptr; }
  int GetLineHeight() override { return mH; }
  void DrawGlyph(Raster_IBitmap*, int, int, int, const RECT*) override {}

  int mW, mH;
  Raster_Pixel mColor = 0;
  std::vector<int> mFormats;
  std::vector<std::string> mTexts;
  RECT mLastRect{};
};

}  // namespace

TEST(FontCacheTest, SizeIsCorrectedWithExactlyOneRetry)
{
  // Sizes this test alone uses, in a face name only it uses.
  const char* face = "DejaVu Sans Mono";
  bool sawEqual = false, sawDiffering = false;
  RecordingCore gfx(nullptr);
  for (int size = 6; size <= 40; ++size)
  {
    const int first = LineHeightOf(size, face);
    FontRequests requests;
    IText t(size, nullptr, face);
    Raster_IFont* font = gfx.CacheFont(&t);
    ASSERT_NE(font, nullptr) << size;
    EXPECT_EQ(t.mCached, font);
    ASSERT_FALSE(requests.heights.empty());
    EXPECT_EQ(requests.heights[0], size);
    if (first == size)
    {
      sawEqual = true;
      EXPECT_EQ(requests.heights.size(), 1u) << size;
    }
    else
    {
      sawDiffering = true;
      ASSERT_EQ(requests.heights.size(), 2u) << size;
      EXPECT_EQ(requests.heights[1], (int)((double)size * size / first + 0.5)) << size << " first " << first;
    }
    // Found again without asking the platform.
    IText same(size, &COLOR_BLUE, face);
    EXPECT_EQ(gfx.CacheFont(&same), font);
    EXPECT_LE(requests.heights.size(), 2u);
  }
  EXPECT_TRUE(sawDiffering);
  // Whether some size comes out exact depends on the installed face; say so when none did.
  if (!sawEqual) GTEST_LOG_(INFO) << "no size of " << face << " had an exact line height";
}

TEST(FontCacheTest, TheCorrectionUsesTheLineHeight)
{
  // 10 requested, the face's line height L: asked again at int(100 / L + 0.5).
  FontRequests requests;
  RecordingCore gfx(nullptr);
  IText t(10, nullptr, "Quenbar Test Face One");  // unknown faces fall back, keyed apart
  const int first = LineHeightOf(10, "Quenbar Test Face One");
  ASSERT_NE(gfx.CacheFont(&t), nullptr);
  if (first != 10)
  {
    ASSERT_EQ(requests.heights.size(), 2u);
    EXPECT_EQ(requests.heights[1], (int)(100.0 / first + 0.5));
  }
  else
    EXPECT_EQ(requests.heights.size(), 1u);
}

TEST(FontCacheTest, StylesDifferingOnlyInColourAlignmentOrQualityShareAFont)
{
  FontRequests requests;
  RecordingCore gfx(nullptr);
  IText a(13, &COLOR_RED, "Quenbar Shared Face", IText::kStyleBold, IText::kAlignNear, 0, IText::kQualityAntiAliased);
  IText b(13, &COLOR_GREEN, "Quenbar Shared Face", IText::kStyleBold, IText::kAlignFar, 0,
          IText::kQualityNonAntiAliased);
  IText italic(13, &COLOR_RED, "Quenbar Shared Face", IText::kStyleItalic);
  IText turned(13, &COLOR_RED, "Quenbar Shared Face", IText::kStyleBold, IText::kAlignNear, 90);
  IText bigger(14, &COLOR_RED, "Quenbar Shared Face", IText::kStyleBold);
  Raster_IFont* fa = gfx.CacheFont(&a);
  const size_t afterFirst = requests.heights.size();
  EXPECT_EQ(gfx.CacheFont(&b), fa);
  EXPECT_EQ(requests.heights.size(), afterFirst);
  EXPECT_NE(gfx.CacheFont(&italic), fa);
  EXPECT_NE(gfx.CacheFont(&turned), fa);
  EXPECT_NE(gfx.CacheFont(&bigger), fa);
}

TEST(FontCacheTest, RequestsCarryTheStyle)
{
  static std::vector<LOGFONT> seen;
  seen.clear();
  IGraphicsFontAlloc::Create = [](const LOGFONT* lf) -> HFONT {
    seen.push_back(*lf);
    return CreateFontIndirect(lf);
  };
  RecordingCore gfx(nullptr);
  IText tiny(1, nullptr, "Quenbar Style Face", IText::kStyleItalic, IText::kAlignNear, 45, IText::kQualityClearType);
  gfx.CacheFont(&tiny);
  const std::vector<LOGFONT> tinyRequests = seen;
  seen.clear();
  IText bold(11, nullptr, "Quenbar Style Face", IText::kStyleBold, IText::kAlignNear, 0, (IText::EQuality)9);
  gfx.CacheFont(&bold);
  IGraphicsFontAlloc::Create = [](const LOGFONT* lf) { return CreateFontIndirect(lf); };

  ASSERT_FALSE(tinyRequests.empty());
  for (const LOGFONT& lf : tinyRequests)
  {
    EXPECT_EQ(lf.lfHeight, 2);  // never below 2, the retry included
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfEscapement, 450);  // tenths of a degree
    EXPECT_EQ(lf.lfOrientation, 450);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfQuality, GDI_QUALITY_AA_ON);
    EXPECT_STREQ(lf.lfFaceName, "Quenbar Style Face");
  }
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0].lfHeight, 11);
  EXPECT_EQ(seen[0].lfWeight, FW_BOLD);
  EXPECT_EQ(seen[0].lfItalic, 0);
  EXPECT_EQ(seen[0].lfQuality, GDI_QUALITY_AA_OFF);  // unknown qualities: non-antialiased
}

TEST(FontCacheTest, NoPlatformFontMeansNoTextAndATryNextTime)
{
  FontRequests requests;
  RecordingCore gfx(nullptr);
  IText t(17, nullptr, "Quenbar Refused Face");
  IRECT r(0, 0, 50, 20);
  FontRequests::refuse = true;
  EXPECT_EQ(gfx.CacheFont(&t), nullptr);
  EXPECT_EQ(t.mCached, nullptr);
  EXPECT_FALSE(gfx.DrawIText(&t, "x", &r));
  EXPECT_EQ(requests.heights.size(), 2u);  // one request per try
  FontRequests::refuse = false;
  EXPECT_NE(gfx.CacheFont(&t), nullptr);
}

TEST(TextTest, MeasuringEmptyTextChangesNothing)
{
  RecordingCore gfx(nullptr);
  IText t;
  IRECT r(3, 4, 5, 6);
  EXPECT_TRUE(gfx.MeasureIText(&t, (char*)"", &r));
  EXPECT_EQ(r, IRECT(3, 4, 5, 6));
  EXPECT_TRUE(gfx.DrawIText(&t, nullptr, &r, true));
  EXPECT_EQ(r, IRECT(3, 4, 5, 6));
  EXPECT_EQ(t.mCached, nullptr);  // no font was needed
}

TEST(TextTest, MeasuringAlignsTheExtent)
{
  RecordingCore gfx(nullptr);
  FakeFont font(41, 12);
  struct Case { IText::EAlign align; IRECT in, out; };
  const Case cases[] = {
    {IText::kAlignCenter, IRECT(10, 0, 110, 20), IRECT(40, 0, 81, 12)},  // 60 - 20 = 40
    {IText::kAlignNear, IRECT(10, 5, 110, 20), IRECT(10, 5, 51, 17)},
    {IText::kAlignFar, IRECT(10, 5, 110, 20), IRECT(69, 5, 110, 17)},
  };
  for (const Case& k : cases)
  {
    IText t(10, nullptr, nullptr, IText::kStyleNormal, k.align);
    t.mCached = &font;
    IRECT r = k.in;
    char text[] = "measure me";
    EXPECT_TRUE(gfx.MeasureIText(&t, text, &r));
    EXPECT_EQ(r, k.out) << k.align;
    EXPECT_TRUE(font.mFormats.back() & DT_CALCRECT);
  }
}

TEST(TextTest, DrawingHandsColourAndFormatToTheFont)
{
  GfxPlug plug;
  RecordingCore* gfx = new RecordingCore(&plug);
  plug.AttachGraphics(gfx);
  FakeFont font(30, 10);
  struct Case { IText::EAlign align; IColor color; int format; };
  const Case cases[] = {
    {IText::kAlignNear, COLOR_RED, DT_NOCLIP},
    {IText::kAlignCenter, COLOR_BLUE, DT_NOCLIP | DT_CENTER},
    {IText::kAlignFar, IColor(128, 1, 2, 3), DT_NOCLIP | DT_RIGHT | RASTER_TEXT_USE_COLOR_ALPHA},
  };
  for (const Case& k : cases)
  {
    IText t(10, &k.color, nullptr, IText::kStyleNormal, k.align);
    t.mCached = &font;
    IRECT r(5, 6, 70, 30);
    EXPECT_TRUE(gfx->DrawIText(&t, "hello", &r));
    EXPECT_EQ(r, IRECT(5, 6, 70, 30));  // drawing leaves the rectangle alone
    EXPECT_EQ(font.mFormats.back(), k.format);
    EXPECT_EQ(font.mColor, k.color.ToPixel());
    EXPECT_EQ(font.mLastRect.left, 5);
    EXPECT_EQ(font.mLastRect.bottom, 30);
  }
}

TEST(TextTest, RealTextReachesThePixels)
{
  GfxPlug plug;
  RecordingCore* gfx = new RecordingCore(&plug, 120, 40);
  plug.AttachGraphics(gfx);
  IText t(16, &COLOR_WHITE, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
  IRECT r(2, 2, 118, 38);
  IRECT m = r;
  ASSERT_TRUE(gfx->MeasureIText(&t, (char*)"Quenbar", &m));
  EXPECT_GT(m.W(), 20);
  EXPECT_GT(m.H(), 8);
  EXPECT_EQ(m.L, 2);
  ASSERT_TRUE(gfx->DrawIText(&t, "Quenbar", &r));
  int lit = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) lit += Raster_GetG(Raster_GetPixel(gfx->GetDrawBitmap(), x, y)) > 128;
  EXPECT_GT(lit, 20);
  int litOutside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = m.R + 2; x < 120; ++x) litOutside += Raster_GetG(Raster_GetPixel(gfx->GetDrawBitmap(), x, y)) > 0;
  EXPECT_EQ(litOutside, 0);  // nothing beyond the measured width
}

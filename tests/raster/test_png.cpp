#include "png_maker.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

Raster_IBitmap* Load(const std::vector<uint8_t>& data, Raster_IBitmap* into = nullptr)
{
  return Raster_LoadPNGFromMemory(data.data(), data.size(), into);
}

std::string TempPath(const char* name)
{
  const char* dir = getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/quenbar_raster_" + std::to_string(getpid()) + "_" + name;
}

PngDesc Rgb8(int w, int h)
{
  PngDesc s;
  s.width = w;
  s.height = h;
  s.colorType = PNG_COLOR_TYPE_RGB;
  for (int y = 0; y < h; ++y)
  {
    std::vector<uint8_t> row;
    for (int x = 0; x < w; ++x)
    {
      row.push_back((uint8_t)(x * 40 + 1));
      row.push_back((uint8_t)(y * 50 + 2));
      row.push_back((uint8_t)(x + y + 3));
    }
    s.rows.push_back(row);
  }
  return s;
}

// A bitmap whose storage can never be allocated, counting resize calls.
class NoMemoryBitmap : public Raster_IBitmap
{
public:
  int resizes = 0;
  Raster_Pixel* getBits() override { return nullptr; }
  int getWidth() override { return 0; }
  int getHeight() override { return 0; }
  int getRowSpan() override { return 0; }
  bool resize(int, int) override { ++resizes; return true; }
};

// Rewrites the IHDR size fields and fixes the chunk's CRC.
void SetDeclaredSize(std::vector<uint8_t>& png, uint32_t w, uint32_t h)
{
  for (int i = 0; i < 4; ++i)
  {
    png[16 + i] = (uint8_t)(w >> (24 - 8 * i));
    png[20 + i] = (uint8_t)(h >> (24 - 8 * i));
  }
  const uint32_t crc = (uint32_t)crc32(0, png.data() + 12, 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = (uint8_t)(crc >> (24 - 8 * i));
}

} // namespace

TEST(RasterPng, PaletteWithTransparency)
{
  PngDesc s;
  s.width = 4;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_PALETTE;
  s.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
  s.trnsAlpha = {0, 128, 255};  // the fourth entry has no alpha: opaque
  s.rows = {{0, 1, 2, 3}};
  std::unique_ptr<Raster_IBitmap> bm(Load(MakePng(s)));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(Pixels(bm.get()), (std::vector<uint32_t>{0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFF090909}));
}

TEST(RasterPng, SixteenBitRgbKeepsHighBytes)
{
  PngDesc s;
  s.width = 2;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_RGB;
  s.bitDepth = 16;
  s.rows = {{0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF, 0xFF, 0x00, 0x7F, 0xFF, 0x80, 0x00}};
  std::unique_ptr<Raster_IBitmap> bm(Load(MakePng(s)));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(Pixels(bm.get()), (std::vector<uint32_t>{0xFF12AB00, 0xFFFF7F80}));
}

TEST(RasterPng, LowBitDepthGreyExpands)
{
  PngDesc s;
  s.width = 10;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_GRAY;
  s.bitDepth = 1;
  s.rows = {{0xA5, 0x40}};  // 1010 0101 01
  std::unique_ptr<Raster_IBitmap> bm(Load(MakePng(s)));
  ASSERT_NE(bm, nullptr);
  const uint32_t W = 0xFFFFFFFF, B = 0xFF000000;
  EXPECT_EQ(Pixels(bm.get()), (std::vector<uint32_t>{W, B, W, B, B, W, B, W, B, W}));

  // 2-bit grey with a transparent grey level.
  s.bitDepth = 2;
  s.width = 4;
  s.rows = {{0x1B}};  // 0, 1, 2, 3
  s.trnsColor = true;
  s.trnsGrey = 2;
  bm.reset(Load(MakePng(s)));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(Pixels(bm.get()), (std::vector<uint32_t>{0xFF000000, 0xFF555555, 0x00AAAAAA, 0xFFFFFFFF}));
}

TEST(RasterPng, GreyAlphaAndRgba)
{
  PngDesc s;
  s.width = 2;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  s.rows = {{0x40, 0x80, 0xC0, 0x00}};
  std::unique_ptr<Raster_IBitmap> bm(Load(MakePng(s)));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(Pixels(bm.get()), (std::vector<uint32_t>{0x80404040, 0x00C0C0C0}));

  s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.rows = {{1, 2, 3, 4, 250, 251, 252, 253}};
  bm.reset(Load(MakePng(s)));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(Pixels(bm.get()), (std::vector<uint32_t>{0x04010203, 0xFDFAFBFC}));
}

TEST(RasterPng, NewBitmapShapeAndGivenBitmapResized)
{
  const std::vector<uint8_t> png = MakePng(Rgb8(3, 2));
  std::unique_ptr<Raster_IBitmap> bm(Load(png));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->getWidth(), 3);
  EXPECT_EQ(bm->getHeight(), 2);
  EXPECT_EQ(bm->getRowSpan(), 4);
  EXPECT_EQ(Raster_GetPixel(bm.get(), 2, 1), Raster_RGBA(81, 52, 6, 255));

  Raster_MemBitmap given(17, 9);
  EXPECT_EQ(Load(png, &given), &given);
  EXPECT_EQ(given.getWidth(), 3);
  EXPECT_EQ(given.getHeight(), 2);
  EXPECT_EQ(Pixels(&given), Pixels(bm.get()));

  // A flipped bitmap receives the first image row in its last stored row.
  FlippedBitmap flipped(1, 1);
  ASSERT_EQ(Load(png, &flipped), &flipped);
  EXPECT_EQ(Pixels(&flipped), Pixels(bm.get()));
  EXPECT_EQ(flipped.getBits()[flipped.getRowSpan()], Raster_GetPixel(bm.get(), 0, 0));
}

TEST(RasterPng, InterlacedMatchesPlain)
{
  PngDesc s = Rgb8(11, 9);
  std::unique_ptr<Raster_IBitmap> plain(Load(MakePng(s)));
  s.interlace = true;
  std::unique_ptr<Raster_IBitmap> interlaced(Load(MakePng(s)));
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(interlaced, nullptr);
  EXPECT_EQ(Pixels(plain.get()), Pixels(interlaced.get()));
}

TEST(RasterPng, FilesAndWriteRoundTrip)
{
  Raster_MemBitmap bm(13, 7, 8);
  FillPattern(&bm, 0x5EED);
  const std::string path = TempPath("roundtrip.png");
  ASSERT_TRUE(Raster_WritePNG(path.c_str(), &bm));
  std::unique_ptr<Raster_IBitmap> back(Raster_LoadPNG(path.c_str()));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Pixels(back.get()), Pixels(&bm));
  remove(path.c_str());

  EXPECT_EQ(Raster_LoadPNG(path.c_str()), nullptr);  // gone now
  EXPECT_EQ(Raster_LoadPNG(nullptr), nullptr);
  EXPECT_FALSE(Raster_WritePNG("/nonexistent-dir/x.png", &bm));
  Raster_MemBitmap empty;
  EXPECT_FALSE(Raster_WritePNG(path.c_str(), &empty));
  EXPECT_NE(access(path.c_str(), F_OK), 0);
}

TEST(RasterPngBadInput, NotPngAndTooShort)
{
  const uint8_t text[] = "hello, this is not an image at all";
  EXPECT_EQ(Raster_LoadPNGFromMemory(text, sizeof text, nullptr), nullptr);
  EXPECT_EQ(Raster_LoadPNGFromMemory(nullptr, 100, nullptr), nullptr);
  const std::vector<uint8_t> png = MakePng(Rgb8(3, 2));
  EXPECT_EQ(Raster_LoadPNGFromMemory(png.data(), 7, nullptr), nullptr);
  EXPECT_EQ(Raster_LoadPNGFromMemory(png.data(), 8, nullptr), nullptr);  // signature only

  const std::string path = TempPath("text.png");
  ASSERT_TRUE(WriteFile(path, std::vector<uint8_t>(text, text + sizeof text)));
  EXPECT_EQ(Raster_LoadPNG(path.c_str()), nullptr);
  remove(path.c_str());
}

TEST(RasterPngBadInput, TruncatedAtEveryLength)
{
  const std::vector<uint8_t> png = MakePng(Rgb8(20, 10));
  // Every prefix either fails cleanly or (only when the cut falls in the trailing chunks) loads.
  int loaded = 0;
  for (size_t n = 0; n < png.size(); ++n)
  {
    std::unique_ptr<Raster_IBitmap> bm(Raster_LoadPNGFromMemory(png.data(), n, nullptr));
    if (bm)
    {
      ++loaded;
      EXPECT_GE(n, png.size() - 12) << n;  // at most IEND was lost
    }
  }
  EXPECT_LE(loaded, 12);
  // From a file too, with a given bitmap that is left alone on failure.
  const std::string path = TempPath("cut.png");
  ASSERT_TRUE(WriteFile(path, std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2)));
  Raster_MemBitmap given(2, 2);
  EXPECT_EQ(Raster_LoadPNG(path.c_str(), &given), nullptr);
  remove(path.c_str());
}

TEST(RasterPngBadInput, CorruptData)
{
  std::vector<uint8_t> png = MakePng(Rgb8(16, 16));
  // Flip a byte inside IHDR: CRC mismatch on a critical chunk.
  std::vector<uint8_t> bad = png;
  bad[18] ^= 0x40;
  EXPECT_EQ(Load(bad), nullptr);
  // Corrupt the compressed image data, with the CRC fixed so zlib sees the damage.
  bad = png;
  size_t idat = 0;
  for (size_t i = 8; i + 8 < bad.size(); ++i)
    if (!memcmp(&bad[i], "IDAT", 4)) { idat = i; break; }
  ASSERT_GT(idat, 0u);
  const uint32_t len = (uint32_t)bad[idat - 4] << 24 | bad[idat - 3] << 16 | bad[idat - 2] << 8 | bad[idat - 1];
  for (uint32_t i = 0; i < len; ++i) bad[idat + 4 + i] = (uint8_t)(i * 37);
  const uint32_t crc = (uint32_t)crc32(0, &bad[idat], len + 4);
  for (int i = 0; i < 4; ++i) bad[idat + 4 + len + i] = (uint8_t)(crc >> (24 - 8 * i));
  EXPECT_EQ(Load(bad), nullptr);
  // Invalid header values: bit depth 3, colour type 5.
  bad = png;
  bad[24] = 3;
  const uint32_t hcrc = (uint32_t)crc32(0, bad.data() + 12, 17);
  for (int i = 0; i < 4; ++i) bad[29 + i] = (uint8_t)(hcrc >> (24 - 8 * i));
  EXPECT_EQ(Load(bad), nullptr);
}

// Inputs the fuzzer found troublesome, kept under fuzz_regressions/: each must fail cleanly,
// from memory and from a file. huge_ancillary_chunk.png declares a 1.8 GB chunk right after the
// header; it used to be skipped over zero padding past the end of the block, byte by byte.
TEST(RasterPngBadInput, FuzzRegressions)
{
  const char* names[] = {"huge_ancillary_chunk.png"};
  for (const char* name : names)
  {
    const std::string path = std::string(RASTER_FUZZ_REGRESSION_DIR) + "/" + name;
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << path;
    std::vector<uint8_t> data(4096);
    data.resize(fread(data.data(), 1, data.size(), f));
    fclose(f);
    ASSERT_GT(data.size(), 8u);
    EXPECT_EQ(Load(data), nullptr) << name;
    EXPECT_EQ(Raster_LoadPNG(path.c_str()), nullptr) << name;
  }
}

TEST(RasterPngBadInput, HugeDimensionsRefusedBeforeAllocating)
{
  std::vector<uint8_t> png = MakePng(Rgb8(4, 4));
  const uint32_t sizes[][2] = {{100000, 100000}, {20000, 20000}, {65535, 65535}, {1, 0x7FFFFFFF}, {0x7FFFFFFF, 1}, {0, 5}};
  for (auto& sz : sizes)
  {
    std::vector<uint8_t> huge = png;
    SetDeclaredSize(huge, sz[0], sz[1]);
    NoMemoryBitmap probe;
    EXPECT_EQ(Load(huge, &probe), nullptr) << sz[0] << "x" << sz[1];
    EXPECT_EQ(probe.resizes, 0) << sz[0] << "x" << sz[1];
    EXPECT_EQ(Load(huge), nullptr);
  }
  // Within the limits but far more pixels than the data could inflate to: refused up front too.
  std::vector<uint8_t> big = png;
  SetDeclaredSize(big, 2000, 2000);
  NoMemoryBitmap probe;
  EXPECT_EQ(Load(big, &probe), nullptr);
  EXPECT_EQ(probe.resizes, 0);
  EXPECT_EQ(Load(big), nullptr);
  // Slightly more than the data holds passes that test, then decoding fails on the missing rows.
  std::vector<uint8_t> small = png;
  SetDeclaredSize(small, 4, 40);
  EXPECT_EQ(Load(small), nullptr);
}

TEST(RasterPngBadInput, HighlyCompressedImageStillLoads)
{
  // 1500 x 1500 black RGBA inflates about 1000-fold: right at deflate's limit, and valid.
  PngDesc s;
  s.width = s.height = 1500;
  s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.rows.assign(1500, std::vector<uint8_t>(1500 * 4, 0));
  const std::vector<uint8_t> png = MakePng(s);
  ASSERT_FALSE(png.empty());
  std::unique_ptr<Raster_IBitmap> bm(Load(png));
  ASSERT_NE(bm, nullptr) << png.size() << " bytes";
  EXPECT_EQ(Raster_GetPixel(bm.get(), 1499, 1499), 0u);
  const std::string path = TempPath("dense.png");
  ASSERT_TRUE(WriteFile(path, png));
  std::unique_ptr<Raster_IBitmap> fromFile(Raster_LoadPNG(path.c_str()));
  EXPECT_NE(fromFile, nullptr);
  remove(path.c_str());
}

TEST(RasterPngBadInput, BitmapWithoutStorage)
{
  NoMemoryBitmap probe;
  EXPECT_EQ(Load(MakePng(Rgb8(3, 3)), &probe), nullptr);
  EXPECT_EQ(probe.resizes, 1);
}

// quenbar-artwork: the six editor images it draws have the shapes the editor expects,
// the committed copies under Quenbar/resources/img are exactly what it draws, and the
// built bundle carries them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "raster/raster.h"
#include "tests/tools/clirun.h"

namespace {

const std::string kTool = QUENBAR_ARTWORK_EXE;
const std::string kCommitted = QUENBAR_ART_DIR;
const std::string kBundle = QUENBAR_BUNDLE;

constexpr int kPanelW = 732, kPanelH = 208;

// The editor's images: file, frame count and where the control's top-left corner sits.
struct Image {
  const char* file;
  int frames;
  int left, top;
  bool knob;
};
const Image kImages[] = {
    {"BG.png", 1, 0, 0, false},    {"BY.png", 2, 338, 165, false},
    {"MIX.png", 61, 31, 35, true}, {"OUT.png", 61, 553, 35, true},
    {"SNAP.png", 61, 391, 57, true}, {"TONE.png", 61, 233, 57, true},
};

using Bitmap = std::unique_ptr<Raster_IBitmap>;

Bitmap Load(const std::string& path) { return Bitmap(Raster_LoadPNG(path.c_str())); }

int Brightness(Raster_Pixel p) { return Raster_GetR(p) + Raster_GetG(p) + Raster_GetB(p); }

void Generate(const toolstest::TempDir& dir, const std::vector<std::string>& extra = {}) {
  std::vector<std::string> args{dir.Path()};
  args.insert(args.end(), extra.begin(), extra.end());
  const toolstest::RunResult r = toolstest::RunExecutable(kTool, args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
}

struct Rect {
  int l, t, r, b;
};

bool Overlap(const Rect& a, const Rect& b) { return a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b; }

// Shapes, alpha and the controls' rectangles on the panel.
TEST(ArtworkTool, DrawsStripsThatFitThePanel) {
  toolstest::TempDir dir;
  Generate(dir, {"--preview", dir.File("preview.png")});
  if (HasFatalFailure()) return;

  std::vector<Rect> rects;
  for (const Image& img : kImages) {
    SCOPED_TRACE(img.file);
    Bitmap bm = Load(dir.File(img.file));
    ASSERT_NE(bm, nullptr) << "does not load as a PNG";
    const int w = bm->getWidth(), h = bm->getHeight();
    ASSERT_GT(w, 0);
    ASSERT_EQ(h % img.frames, 0) << "height " << h << " is not a whole number of frames";
    const int fh = h / img.frames;
    ASSERT_GT(fh, 0);
    if (img.frames == 1) {
      EXPECT_EQ(w, kPanelW);
      EXPECT_EQ(h, kPanelH);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(Raster_GetA(Raster_GetPixel(bm.get(), x, y)), 255) << "background at " << x << "," << y;
      continue;
    }
    const Rect r{img.left, img.top, img.left + w, img.top + fh};
    EXPECT_LE(r.r, kPanelW);
    EXPECT_LE(r.b, kPanelH);
    rects.push_back(r);
    // Each frame sits on the background through its alpha: clear corners, solid middle.
    for (int f = 0; f < img.frames; ++f) {
      const int y0 = f * fh;
      EXPECT_EQ(Raster_GetA(Raster_GetPixel(bm.get(), 0, y0)), 0) << "frame " << f;
      EXPECT_EQ(Raster_GetA(Raster_GetPixel(bm.get(), w - 1, y0 + fh - 1)), 0) << "frame " << f;
      EXPECT_EQ(Raster_GetA(Raster_GetPixel(bm.get(), w / 2, y0 + fh / 2)), 255) << "frame " << f;
    }
    // Neighbouring frames differ, so every step of the value shows.
    for (int f = 1; f < img.frames; ++f) {
      bool same = true;
      for (int y = 0; y < fh && same; ++y)
        for (int x = 0; x < w && same; ++x)
          same = Raster_GetPixel(bm.get(), x, (f - 1) * fh + y) == Raster_GetPixel(bm.get(), x, f * fh + y);
      EXPECT_FALSE(same) << "frames " << f - 1 << " and " << f << " are identical";
    }
    if (!img.knob) continue;
    // Square frames whose pointer turns from -135 degrees at 0 to +135 at 1 (0 is up):
    // bright along the pointer, dark on the opposite side of the centre.
    EXPECT_EQ(w, fh);
    for (int f : {0, 15, 30, 45, 60}) {
      const double a = (f / 60.0 - 0.5) * 270.0 * M_PI / 180.0;
      const double c = w / 2.0, rr = 0.18 * w;
      const auto at = [&](double angle) {
        const int x = (int)std::floor(c + rr * std::sin(angle));
        const int y = (int)std::floor(c - rr * std::cos(angle));
        return Raster_GetPixel(bm.get(), x, f * fh + y);
      };
      EXPECT_GT(Brightness(at(a)), 500) << "no pointer in frame " << f;
      EXPECT_LT(Brightness(at(a + M_PI)), 300) << "pointer on the wrong side in frame " << f;
    }
  }
  for (size_t i = 0; i < rects.size(); ++i)
    for (size_t j = i + 1; j < rects.size(); ++j)
      EXPECT_FALSE(Overlap(rects[i], rects[j])) << "controls " << i << " and " << j << " overlap";

  Bitmap preview = Load(dir.File("preview.png"));
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->getWidth(), kPanelW);
  EXPECT_EQ(preview->getHeight(), kPanelH);
}

// The committed art must be what the tool draws today, byte for byte: change the tool,
// run `quenbar-artwork Quenbar/resources/img`, commit both.
TEST(ArtworkTool, CommittedImagesMatchAFreshRun) {
  toolstest::TempDir dir;
  Generate(dir);
  if (HasFatalFailure()) return;
  std::vector<std::string> want;
  for (const Image& img : kImages) want.push_back(img.file);
  EXPECT_EQ(dir.List().size(), want.size()) << "the tool wrote other files too";
  for (const std::string& name : want) {
    const std::vector<unsigned char> fresh = toolstest::ReadBytes(dir.File(name));
    const std::vector<unsigned char> committed = toolstest::ReadBytes(kCommitted + "/" + name);
    ASSERT_FALSE(fresh.empty()) << name << " was not written";
    ASSERT_FALSE(committed.empty()) << kCommitted << "/" << name << " is missing";
    EXPECT_TRUE(fresh == committed) << kCommitted << "/" << name
                                    << " differs from the tool's output; regenerate it";
  }
}

TEST(ArtworkTool, BadArgumentsFailWithAMessage) {
  toolstest::TempDir dir;
  const struct {
    std::vector<std::string> args;
    int exitCode;
    const char* says;
  } cases[] = {
      {{}, 2, "no output directory"},
      {{"a", "b"}, 2, "more than one"},
      {{"--bogus"}, 2, "unknown option"},
      {{dir.Path(), "--preview-frame", "61"}, 2, "0 to 60"},
      {{dir.Path(), "--preview-frame", "x"}, 2, "0 to 60"},
      {{dir.Path(), "--preview"}, 2, "needs a value"},
      {{"/proc/version"}, 1, "not a directory"},
      {{dir.File("missing/deeper")}, 1, "cannot create"},
  };
  for (const auto& c : cases) {
    const toolstest::RunResult r = toolstest::RunExecutable(kTool, c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_TRUE(dir.List().empty()) << "a failed run left files behind";
}

// The build copies the committed images into the bundle's resource folder.
TEST(ArtworkBundle, CarriesTheCommittedImages) {
  toolstest::RequireBundle(kBundle);
  if (IsSkipped() || HasFatalFailure()) return;
  const std::string img = kBundle + "/Contents/Resources/resources/img/";
  for (const Image& i : kImages) {
    const std::vector<unsigned char> shipped = toolstest::ReadBytes(img + i.file);
    ASSERT_FALSE(shipped.empty()) << img << i.file << " is missing";
    EXPECT_TRUE(shipped == toolstest::ReadBytes(kCommitted + "/" + i.file))
        << img << i.file << " is not the committed image";
  }
}

}  // namespace

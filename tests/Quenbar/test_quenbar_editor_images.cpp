// An editor whose images are missing or broken still opens and draws what
// it has, and each failure is told once on stderr.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/IGraphicsLinux.h"
#include "quenbar_editor_support.h"

namespace
{

int Count(const std::string& text, const std::string& what)
{
  int n = 0;
  for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

} // namespace

TEST(QuenbarEditorImages, MissingAndBrokenImagesAreToldOnceAndNeverCrash)
{
  char tmpl[] = "/tmp/quenbar-images-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const std::string img = dir + "/resources/img";
  ASSERT_EQ(std::system(("mkdir -p '" + img + "'").c_str()), 0);
  // The background and the switch are there; MIX is missing, SNAP is not a
  // PNG at all, TONE is a PNG cut short, OUT is empty.
  ASSERT_EQ(std::system(("cp '" QUENBAR_ART_DIR "/BG.png' '" QUENBAR_ART_DIR "/BY.png' '" + img + "/'").c_str()), 0);
  std::ofstream(img + "/SNAP.png") << "GIF89a, not what it says";
  {
    std::ifstream in(QUENBAR_ART_DIR "/TONE.png", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(img + "/TONE.png", std::ios::binary) << bytes.substr(0, bytes.size() / 3);
  }
  std::ofstream(img + "/OUT.png").close();
  IGraphicsLinux::SetProcessResourceDir(dir.c_str());

  testing::internal::CaptureStderr();
  {
    qeditor::HostedQuenbar first;
    ASSERT_NE(first.g, nullptr);
    ASSERT_EQ(first.g->NControls(), 6);
    Raster_IBitmap* bm = first.PaintAll();
    ASSERT_NE(bm, nullptr);
    // What is there is drawn: the background and the switch.
    IBitmap bg = first.g->LoadIBitmap(101, "", 1);
    ASSERT_NE(bg.mData, nullptr);
    EXPECT_EQ(qeditor::PixelAt(bm, 5, 5), qeditor::PixelAt(bg.mData, 5, 5));
    // The knobs without images take no space and no clicks, and do no harm.
    IMouseMod left(true);
    first.g->OnMouseDown(90, 95, &left);
    first.g->OnMouseDrag(90, 120, &left);
    first.g->OnMouseUp(90, 120, &left);

    qeditor::HostedQuenbar second;
    second.PaintAll();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  for (const char* name : {"MIX.png", "SNAP.png", "TONE.png", "OUT.png"})
    EXPECT_EQ(Count(err, name), 1) << name << " in:\n" << err;
  EXPECT_EQ(Count(err, "BG.png"), 0) << err;
  EXPECT_EQ(Count(err, "BY.png"), 0) << err;
  IGraphicsLinux::SetProcessResourceDir(nullptr);
  std::system(("rm -rf '" + dir + "'").c_str());
}

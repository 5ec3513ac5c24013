// The Linux platform layer without a window: images from the bundle's
// resources, the XDG folders, and handing addresses to xdg-open.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "platform/IGraphicsLinux.h"
#include "platform/paths.h"
#include "raster/bitmap.h"
#include "raster/png.h"

namespace
{

struct TempDir
{
  std::string path;
  TempDir()
  {
    char tmpl[] = "/tmp/quenbar-platform-XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string Write(const std::string& rel, const std::string& bytes) const
  {
    const std::string full = path + "/" + rel;
    std::system(("mkdir -p \"$(dirname '" + full + "')\"").c_str());
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
  }
};

struct ScopedEnv
{
  std::string name;
  std::string old;
  bool had;
  ScopedEnv(const char* n, const char* value) : name(n)
  {
    const char* o = getenv(n);
    had = o != nullptr;
    if (had) old = o;
    if (value)
      setenv(n, value, 1);
    else
      unsetenv(n);
  }
  ~ScopedEnv()
  {
    if (had)
      setenv(name.c_str(), old.c_str(), 1);
    else
      unsetenv(name.c_str());
  }
};

void WritePng(const std::string& path, int w, int h)
{
  Raster_MemBitmap bm;
  bm.resize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bm.getBits()[y * bm.getRowSpan() + x] = 0xFF000000u | (unsigned)(x * 16 + y);
  ASSERT_TRUE(Raster_WritePNG(path.c_str(), &bm));
}

} // namespace

TEST(PlatformImages, PngNamesLoadFromTheResourceFolder)
{
  TempDir dir;
  std::system(("mkdir -p '" + dir.path + "/resources/img'").c_str());
  WritePng(dir.path + "/resources/img/BG.png", 7, 5);
  dir.Write("resources/img/BROKEN.png", "\x89PNG\r\n\x1a\n but then nothing");
  IGraphicsLinux g(nullptr, 10, 10);
  g.SetResourceDir(dir.path.c_str());

  struct Case
  {
    const char* name;
    bool loads;
  };
  const Case cases[] = {
    {"resources/img/BG.png", true},
    {"resources/img/BG.PNG", true},  // the extension in any case
    {"BG.Png", true},                // the file name decides, not the folder given
    {"resources/img/BG.jpg", false},
    {"resources/img/BG", false},     // no extension at all
    {"resources/img/MISSING.png", false},
    {"resources/img/BROKEN.png", false},
    {".png", false},
    {"", false},
  };
  for (const Case& c : cases)
  {
    Raster_IBitmap* bm = g.OSLoadBitmap(101, c.name);
    EXPECT_EQ(bm != nullptr, c.loads) << c.name;
    if (bm)
    {
      EXPECT_EQ(bm->getWidth(), 7);
      EXPECT_EQ(bm->getHeight(), 5);
      delete bm;
    }
  }
  EXPECT_EQ(g.OSLoadBitmap(101, nullptr), nullptr);
}

TEST(PlatformImages, BundleLayoutIsFoundFromTheModulePath)
{
  EXPECT_EQ(platform::BundleDirOf("/home/u/.vst3/Quenbar.vst3/Contents/x86_64-linux/Quenbar.so"),
            "/home/u/.vst3/Quenbar.vst3");
  EXPECT_EQ(platform::BundleDirOf("/usr/lib/x.vst3/Contents/x86_64-linux/x.so"), "/usr/lib/x.vst3");
  EXPECT_EQ(platform::BundleDirOf("/opt/build/quenbar"), "");
  EXPECT_EQ(platform::BundleDirOf("/a/b.vst3/Other/x86_64-linux/b.so"), "");
  EXPECT_EQ(platform::BundleDirOf("/a/Contents/x86_64-linux/b.so"), "");
  EXPECT_EQ(platform::BundleDirOf("b.so"), "");
  EXPECT_EQ(platform::BundleNameOf("com.Tressivolantica.vst3.Quenbar"), "Quenbar.vst3");
  EXPECT_EQ(platform::BundleNameOf("Solo"), "Solo.vst3");
  EXPECT_EQ(platform::BundleNameOf(""), "");
  EXPECT_EQ(platform::BundleNameOf("trailing."), "");

  // A program with the editor linked in finds the bundle built near it.
  TempDir dir;
  std::system(("mkdir -p '" + dir.path + "/build/Solo.vst3/Contents/Resources' '" + dir.path + "/build/tests/x'")
                  .c_str());
  EXPECT_EQ(platform::FindBundleNear(dir.path + "/build/tests/x/prog", "Solo.vst3"), dir.path + "/build/Solo.vst3");
  EXPECT_EQ(platform::FindBundleNear(dir.path + "/build/prog", "Solo.vst3"), dir.path + "/build/Solo.vst3");
  EXPECT_EQ(platform::FindBundleNear(dir.path + "/build/tests/x/prog", "Other.vst3"), "");
  EXPECT_EQ(platform::FindBundleNear(dir.path + "/build/tests/x/prog", ""), "");

  // This test program lies in the build tree beside the built bundle.
  IGraphicsLinux g(nullptr, 10, 10);
  g.SetBundleID("com.Tressivolantica.vst3.Quenbar");
  const std::string found = g.GetResourceDir();
  EXPECT_NE(found.find("/Quenbar.vst3/Contents/Resources"), std::string::npos) << found;
}

TEST(PlatformPaths, XdgFolders)
{
  TempDir dir;
  ScopedEnv home("HOME", dir.path.c_str());
  ScopedEnv cfg("XDG_CONFIG_HOME", (dir.path + "/cfg").c_str());
  ScopedEnv desk("XDG_DESKTOP_DIR", nullptr);
  ScopedEnv music("XDG_MUSIC_DIR", nullptr);
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  ScopedEnv dataDirs("XDG_DATA_DIRS", nullptr);
  IGraphicsLinux g(nullptr, 10, 10);
  Util_String s;

  g.DesktopPath(&s);
  EXPECT_EQ(std::string(s.Get()), dir.path + "/Desktop") << "no user-dirs file: the default";
  g.SandboxSafeAppSupportPath(&s);
  EXPECT_EQ(std::string(s.Get()), dir.path + "/Music");
  g.AppSupportPath(&s, false);
  EXPECT_EQ(std::string(s.Get()), dir.path + "/.local/share");
  g.AppSupportPath(&s, true);
  EXPECT_EQ(std::string(s.Get()), "/usr/local/share");

  dir.Write("cfg/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                  "XDG_MUSIC_DIR=\"/srv/music\"\n");
  g.DesktopPath(&s);
  EXPECT_EQ(std::string(s.Get()), dir.path + "/Schreibtisch");
  g.SandboxSafeAppSupportPath(&s);
  EXPECT_EQ(std::string(s.Get()), "/srv/music");
  {
    ScopedEnv d("XDG_DESKTOP_DIR", "/elsewhere/desk");
    ScopedEnv x("XDG_DATA_HOME", "/data/home");
    ScopedEnv y("XDG_DATA_DIRS", "/opt/share:/usr/share");
    g.DesktopPath(&s);
    EXPECT_EQ(std::string(s.Get()), "/elsewhere/desk") << "the environment wins";
    g.AppSupportPath(&s, false);
    EXPECT_EQ(std::string(s.Get()), "/data/home");
    g.AppSupportPath(&s, true);
    EXPECT_EQ(std::string(s.Get()), "/opt/share");
  }

  g.HostPath(&s);
  EXPECT_NE(std::string(s.Get()).find("test_platform_linux"), std::string::npos) << s.Get();
  g.PluginPath(&s);
  const std::string pluginDir = s.Get();
  ASSERT_FALSE(pluginDir.empty());
  EXPECT_EQ(pluginDir.back(), '/');
  EXPECT_EQ(std::string(g.GetGUIAPI()), "X11 GUI");
}

TEST(PlatformUrls, HandedToXdgOpenWithoutWaiting)
{
  TempDir dir;
  const std::string log = dir.path + "/opened";
  // A stand-in xdg-open that takes its time, as a browser start does.
  const std::string script = dir.Write("bin/xdg-open", "#!/bin/sh\nsleep 1\necho \"$1\" >> '" + log + "'\n");
  chmod(script.c_str(), 0755);
  ScopedEnv path("PATH", (dir.path + "/bin:/usr/bin:/bin").c_str());
  IGraphicsLinux g(nullptr, 10, 10);

  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_TRUE(g.OpenURL("https://tressivolantica.net/"));
  EXPECT_TRUE(g.OpenURL("/tmp/some file.txt"));
  const auto took = std::chrono::steady_clock::now() - t0;
  EXPECT_LT(took, std::chrono::milliseconds(900)) << "OpenURL waited for xdg-open";

  std::string lines;
  for (int i = 0; i < 100 && lines.find("some file") == std::string::npos; ++i)
  {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(log);
    lines.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  EXPECT_NE(lines.find("https://tressivolantica.net/\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("/tmp/some file.txt\n"), std::string::npos) << lines;

  EXPECT_FALSE(g.OpenURL(""));
  EXPECT_FALSE(g.OpenURL(nullptr));
  ScopedEnv nowhere("PATH", (dir.path + "/empty").c_str());
  EXPECT_FALSE(g.OpenURL("https://example.org/")) << "no xdg-open to start";
}

TEST(PlatformWindow, NoWindowYet)
{
  IGraphicsLinux g(nullptr, 732, 208);
  EXPECT_EQ(g.OpenWindow(nullptr), nullptr);
  EXPECT_FALSE(g.WindowIsOpen());
  g.CloseWindow();
  EXPECT_FALSE(g.WindowIsOpen());
}

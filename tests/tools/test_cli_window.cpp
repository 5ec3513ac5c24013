// `quenbar snapshot --window`: the bundle's editor in a real X window, read
// back from the server, against the in-process picture of the same settings.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include "raster/png.h"
#include "tests/tools/clirun.h"

namespace {

using toolstest::RunQuenbar;
using toolstest::RunResult;
using toolstest::TempDir;

const std::string kBundle = QUENBAR_BUNDLE;

using toolstest::Contains;

// An environment variable changed for the children run meanwhile (null
// value: unset), put back when the case ends.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : mName(name) {
    if (const char* old = std::getenv(name)) mOld = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (mOld)
      setenv(mName.c_str(), mOld->c_str(), 1);
    else
      unsetenv(mName.c_str());
  }

 private:
  std::string mName;
  std::optional<std::string> mOld;
};

bool XvfbOnPath() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (!dir.empty() && access((dir + "/Xvfb").c_str(), X_OK) == 0) return true;
  return false;
}

// The display a run reports it used: "... on :N".
std::string DisplayOf(const std::string& out) {
  const size_t at = out.rfind(" on ");
  if (at == std::string::npos) return "";
  std::string name = out.substr(at + 4);
  while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
  return name;
}

class QuenbarWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    toolstest::RequireBundle(kBundle);
    if (IsSkipped() || HasFatalFailure()) return;
    // Without a server of its own the tool starts Xvfb: that must be there.
    const char* display = std::getenv("DISPLAY");
    if ((!display || !*display) && !XvfbOnPath()) GTEST_SKIP() << "no DISPLAY and Xvfb is not installed";
  }

  // The window picture and the in-process one for the same options, which
  // must both be written; the window run's output in *windowOut.
  void ExpectSamePicture(const std::string& name, const std::vector<std::string>& options,
                         std::string* windowOut = nullptr) {
    const std::string inProcess = dir.File(name + "-inprocess.png");
    const std::string window = dir.File(name + "-window.png");
    std::vector<std::string> args = {"snapshot", inProcess};
    args.insert(args.end(), options.begin(), options.end());
    RunResult r = RunQuenbar(args);
    ASSERT_EQ(r.exitCode, 0) << name << ": " << r.err;
    args[1] = window;
    args.insert(args.end(), {"--window", "--plugin", kBundle});
    r = RunQuenbar(args);
    ASSERT_EQ(r.exitCode, 0) << name << ": " << r.err;
    if (windowOut) *windowOut = r.out;

    std::unique_ptr<Raster_IBitmap> a(Raster_LoadPNG(inProcess.c_str()));
    std::unique_ptr<Raster_IBitmap> b(Raster_LoadPNG(window.c_str()));
    ASSERT_TRUE(a && b) << name << ": a picture does not decode";
    ASSERT_EQ(b->getWidth(), a->getWidth()) << name;
    ASSERT_EQ(b->getHeight(), a->getHeight()) << name;
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < a->getHeight(); ++y)
      for (int x = 0; x < a->getWidth(); ++x)
        if (Raster_RowPtr(a.get(), y)[x] != Raster_RowPtr(b.get(), y)[x] && differing++ == 0) {
          firstX = x;
          firstY = y;
        }
    EXPECT_EQ(differing, 0) << name << ": first difference at (" << firstX << ", " << firstY << ")";
  }

  TempDir dir;
};

// Defaults, driven options and a restored state (saved by render with the
// driven values) look the same in the window as painted in-process.
TEST_F(QuenbarWindow, TheWindowShowsTheInProcessPicture) {
  const std::vector<std::string> driven = {"--level", "-6", "--mix", "0.6", "--tone", "0.7", "--snap", "24", "--bypass"};
  toolstest::Audio silence;
  silence.channels = 1;
  silence.samples.assign(64, 0.0);
  ASSERT_TRUE(toolstest::WriteAudio(dir.File("in.wav"), silence));
  const std::string state = dir.File("driven.state");
  std::vector<std::string> render = {"render", dir.File("in.wav"), dir.File("out.wav"), "--plugin", kBundle,
                                     "--save-state", state};
  render.insert(render.end(), driven.begin(), driven.end());
  const RunResult r = RunQuenbar(render);
  ASSERT_EQ(r.exitCode, 0) << r.err;

  ExpectSamePicture("default", {});
  ExpectSamePicture("driven", driven);
  ExpectSamePicture("state", {"--state", state});
}

// With DISPLAY unset the tool runs its own Xvfb and takes it down again.
TEST_F(QuenbarWindow, WithoutADisplayAPrivateServerIsStartedAndStopped) {
  if (!XvfbOnPath()) GTEST_SKIP() << "Xvfb is not installed";
  ScopedEnv noDisplay("DISPLAY", nullptr);
  std::string out;
  ExpectSamePicture("private", {"--mix", "0.25"}, &out);
  const std::string display = DisplayOf(out);
  ASSERT_TRUE(display.size() > 1 && display[0] == ':') << out;
  const std::string number = display.substr(1);
  EXPECT_FALSE(toolstest::FileExists("/tmp/.X11-unix/X" + number)) << "the server's socket is still there";
  EXPECT_FALSE(toolstest::FileExists("/tmp/.X" + number + "-lock")) << "the server still runs";
}

// Each refusal: exit 1, one message, no picture.
TEST_F(QuenbarWindow, RefusalsWriteNothing) {
  TempDir emptyPath;
  const char* here = std::getenv("DISPLAY");
  const std::optional<std::string> current = here ? std::optional<std::string>(here) : std::nullopt;
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::optional<std::string> display;  // nullopt: unset
    const char* path;                    // null: unchanged
    const char* errorPart;
  } cases[] = {
      {"nobundle", {"--plugin", "/nonexistent/None.vst3"}, current, nullptr, "not found"},
      {"noview", {"--plugin", QUENBAR_VIEWLESS_MODULE}, current, nullptr, "no editor view"},
      {"noxvfb", {"--plugin", kBundle}, std::nullopt, emptyPath.Path().c_str(), "Xvfb"},
      {"noserver", {"--plugin", kBundle}, std::string(":31999"), nullptr, "cannot open the X display :31999"},
      {"badstate", {"--plugin", kBundle, "--state", "/nonexistent/a.state"}, current, nullptr,
       "cannot read state file"},
      {"range", {"--plugin", kBundle, "--snap", "99"}, current, nullptr, "--snap"},
  };
  ASSERT_FALSE(toolstest::FileExists("/tmp/.X11-unix/X31999")) << "the case needs a display that does not exist";
  for (const Case& c : cases) {
    ScopedEnv env("DISPLAY", c.display ? c.display->c_str() : nullptr);
    std::optional<ScopedEnv> path;
    if (c.path) path.emplace("PATH", c.path);
    std::vector<std::string> args = {"snapshot", dir.File(std::string(c.name) + ".png"), "--window"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult r = RunQuenbar(args);
    EXPECT_EQ(r.exitCode, 1) << c.name << ": " << r.err;
    EXPECT_TRUE(Contains(r.err, c.errorPart)) << c.name << ": " << r.err;
  }
  // A bundle other than the built-in effect only through a window.
  EXPECT_EQ(RunQuenbar({"snapshot", dir.File("plugin.png"), "--plugin", kBundle}).exitCode, 2);
  EXPECT_TRUE(dir.List().empty()) << dir.List().front();
}

}  // namespace

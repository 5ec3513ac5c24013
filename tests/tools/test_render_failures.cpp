// Failures of `quenbar render` that must never leave an output file behind.
// None of them needs a working plug-in: each is caught before, or while,
// the bundle is loaded.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/tools/clirun.h"
#include "tools/quenbar/atomicfile.h"

namespace {

using toolstest::FileExists;
using toolstest::RunQuenbar;
using toolstest::TempDir;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(AtomicFile, AppearsOnlyOnCommit) {
  TempDir dir;
  const std::string path = dir.File("out.bin");
  std::string error;
  {
    quenbar::AtomicFile f;
    ASSERT_TRUE(f.Open(path, &error)) << error;
    ASSERT_TRUE(f.WriteAll("abc", 3, &error)) << error;
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(dir.List().size(), 1u);  // only the temporary file
  }
  EXPECT_TRUE(dir.List().empty()) << "temporary file left after a dropped write";

  toolstest::WriteBytes(path, {'o', 'l', 'd'});
  quenbar::AtomicFile f;
  ASSERT_TRUE(f.Open(path, &error)) << error;
  ASSERT_TRUE(f.WriteAll("new!", 4, &error)) << error;
  EXPECT_EQ(toolstest::ReadBytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
  ASSERT_TRUE(f.Commit(&error)) << error;
  EXPECT_EQ(toolstest::ReadBytes(path), (std::vector<unsigned char>{'n', 'e', 'w', '!'}));
  EXPECT_EQ(dir.List(), std::vector<std::string>{"out.bin"});
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0044, 0u) << "output kept the temporary file's private mode";
}

TEST(AtomicFile, RefusesDirectoriesAndMissingFolders) {
  TempDir dir;
  std::string error;
  quenbar::AtomicFile f;
  EXPECT_FALSE(f.Open(dir.Path(), &error));
  EXPECT_TRUE(Contains(error, "is a directory")) << error;
  EXPECT_FALSE(f.Open(dir.File("no/such/dir/out.wav"), &error));
  EXPECT_TRUE(Contains(error, "No such file or directory")) << error;
  toolstest::WriteBytes(dir.File("plain"), {'x'});
  EXPECT_FALSE(f.Open(dir.File("plain/out.wav"), &error));
  EXPECT_TRUE(Contains(error, "Not a directory")) << error;
}

// A device or FIFO target must never be renamed over: that turns /dev/null
// into a plain file. A FIFO stands in for the device here.
TEST(AtomicFile, RefusesTargetsThatAreNotRegularFiles) {
  TempDir dir;
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string error;
  {
    quenbar::AtomicFile f;
    const bool opened = f.Open(fifo, &error);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(Contains(error, "not a regular file")) << error;
    if (opened) f.Commit(&error);
  }
  struct stat st;
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was replaced by a plain file";
  EXPECT_EQ(dir.List(), std::vector<std::string>{"pipe"});
}

class RenderFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    input = dir.File("in.wav");
    ASSERT_TRUE(toolstest::WriteAudio(input, toolstest::MakeSignal(2000, 2, 44100)));
    output = dir.File("out.wav");
  }
  // Runs render and checks the common promises of a failure.
  toolstest::RunResult Fail(std::vector<std::string> args) {
    toolstest::RunResult r = RunQuenbar(args);
    EXPECT_NE(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.exitCode == -1, false) << "quenbar crashed";
    EXPECT_TRUE(Contains(r.err, "quenbar: ")) << r.err;
    EXPECT_FALSE(FileExists(output)) << "partial output left behind";
    for (const std::string& name : dir.List())
      EXPECT_TRUE(name == "in.wav" || name == "other.wav" || name == "text.wav" || name == "bad.state")
          << "stray file " << name;
    return r;
  }
  TempDir dir;
  std::string input;
  std::string output;
};

TEST_F(RenderFailure, MissingOrUnreadableInput) {
  auto r = Fail({"render", dir.File("missing.wav"), output});
  EXPECT_TRUE(Contains(r.err, "cannot read input")) << r.err;
  toolstest::WriteBytes(dir.File("text.wav"), {'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'});
  r = Fail({"render", dir.File("text.wav"), output});
  EXPECT_TRUE(Contains(r.err, "cannot read input")) << r.err;
}

TEST_F(RenderFailure, MoreThanTwoChannels) {
  ASSERT_TRUE(toolstest::WriteAudio(dir.File("other.wav"), toolstest::MakeSignal(100, 3, 44100)));
  auto r = Fail({"render", dir.File("other.wav"), output});
  EXPECT_TRUE(Contains(r.err, "3 channels")) << r.err;
}

TEST_F(RenderFailure, UnwritableOutput) {
  auto r = Fail({"render", input, dir.File("missing-dir/out.wav")});
  EXPECT_TRUE(Contains(r.err, "cannot write")) << r.err;
  r = Fail({"render", input, dir.Path()});
  EXPECT_TRUE(Contains(r.err, "is a directory")) << r.err;
}

TEST_F(RenderFailure, ReadOnlyDirectory) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  TempDir locked;
  ASSERT_EQ(chmod(locked.Path().c_str(), 0555), 0);
  auto r = RunQuenbar({"render", input, locked.File("out.wav")});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_TRUE(Contains(r.err, "Permission denied")) << r.err;
  EXPECT_TRUE(locked.List().empty());
  chmod(locked.Path().c_str(), 0755);
}

TEST_F(RenderFailure, UnwritableStateOutputStopsBeforeRendering) {
  auto r = Fail({"render", input, output, "--save-state", dir.File("nodir/x.state")});
  EXPECT_TRUE(Contains(r.err, "cannot write")) << r.err;
}

TEST_F(RenderFailure, MissingStateFile) {
  auto r = Fail({"render", input, output, "--state", dir.File("none.state")});
  EXPECT_TRUE(Contains(r.err, "cannot read state file")) << r.err;
}

TEST_F(RenderFailure, MissingOrBrokenBundleAfterOutputWasOpened) {
  auto r = Fail({"render", input, output, "--plugin", dir.File("Nothing.vst3")});
  EXPECT_TRUE(Contains(r.err, "not found")) << r.err;
  // An existing output stays as it was.
  toolstest::WriteBytes(output, {'k', 'e', 'e', 'p'});
  r = RunQuenbar({"render", input, output, "--plugin", dir.File("Nothing.vst3")});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_EQ(toolstest::ReadBytes(output), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
  unlink(output.c_str());
}

TEST_F(RenderFailure, BadOptionsExitNonZeroWithoutTouchingFiles) {
  auto r = Fail({"render", input, output, "--frobnicate"});
  EXPECT_TRUE(Contains(r.err, "unknown option --frobnicate")) << r.err;
  r = Fail({"render", input, output, "--block", "0"});
  EXPECT_TRUE(Contains(r.err, "--block")) << r.err;
  r = Fail({"render", input, output, "--precision", "48"});
  EXPECT_TRUE(Contains(r.err, "32 or 64")) << r.err;
  r = Fail({"render", input});
  EXPECT_TRUE(Contains(r.err, "needs an input and an output")) << r.err;
}

TEST_F(RenderFailure, DeviceOrFifoTargetsAreLeftAlone) {
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"render", input, fifo},
        std::vector<std::string>{"render", input, output, "--save-state", fifo}}) {
    const toolstest::RunResult r = RunQuenbar(args);
    EXPECT_NE(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(Contains(r.err, "not a regular file")) << r.err;
    EXPECT_FALSE(FileExists(output)) << "output written although the state target was refused";
    struct stat st;
    ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was replaced by a plain file";
  }
  unlink(fifo.c_str());
}

}  // namespace

// Failures of `quenbar render` that must never leave an output file behind.
// None of them needs a working plug-in: each is caught before, or while,
// the bundle is loaded.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "tests/tools/clirun.h"
#include "tools/quenbar/atomicfile.h"

namespace {

using toolstest::FileExists;
using toolstest::RunQuenbar;
using toolstest::TempDir;

using toolstest::Contains;

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

// A link at the output path is written through: the file it finally leads
// to gets the content, the temporary file lives beside that file, and every
// link in the chain stays as it was. A dangling link creates its target.
TEST(AtomicFile, WritesThroughSymbolicLinks) {
  struct Case {
    const char* what;
    bool absolute;  // the last link names the target by its absolute path
    int chain;      // links between the output path and the target
    bool targetExists;
  } cases[] = {
      {"absolute link", true, 1, true},      {"relative link", false, 1, true},
      {"chain of three", false, 3, true},    {"dangling absolute link", true, 1, false},
      {"dangling chain of two", false, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir links, targets;
    const std::string target = targets.File("real.bin");
    if (c.targetExists) {
      ASSERT_TRUE(toolstest::WriteBytes(target, {'o', 'l', 'd'}));
    }
    const std::string targetsName = targets.Path().substr(targets.Path().find_last_of('/') + 1);
    // l0 leads to the target, l1 to l0 and so on; the output path is the last.
    std::vector<std::string> names, pointsTo;
    for (int i = 0; i < c.chain; ++i) {
      names.push_back("l" + std::to_string(i));
      pointsTo.push_back(i > 0 ? names[static_cast<size_t>(i) - 1]
                               : (c.absolute ? target : "../" + targetsName + "/real.bin"));
      ASSERT_EQ(symlink(pointsTo.back().c_str(), links.File(names.back()).c_str()), 0);
    }
    std::string error;
    quenbar::AtomicFile f;
    ASSERT_TRUE(f.Open(links.File(names.back()), &error)) << error;
    EXPECT_EQ(targets.List().size(), c.targetExists ? 2u : 1u)
        << "the temporary file is not beside the target";
    ASSERT_TRUE(f.WriteAll("new!", 4, &error)) << error;
    ASSERT_TRUE(f.Commit(&error)) << error;
    EXPECT_EQ(toolstest::ReadBytes(target), (std::vector<unsigned char>{'n', 'e', 'w', '!'}));
    EXPECT_EQ(targets.List(), std::vector<std::string>{"real.bin"});
    EXPECT_EQ(links.List().size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
      char buf[4096];
      const ssize_t n = readlink(links.File(names[i]).c_str(), buf, sizeof(buf));
      ASSERT_GT(n, 0) << names[i] << " is no longer a link";
      EXPECT_EQ(std::string(buf, static_cast<size_t>(n)), pointsTo[i]);
    }
  }
}

TEST(AtomicFile, RefusesLinksThatLeadNowhereWritable) {
  TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
  ASSERT_EQ(symlink("no/such/dir/out.wav", dir.File("into-missing").c_str()), 0);
  ASSERT_EQ(symlink("loop-b", dir.File("loop-a").c_str()), 0);
  ASSERT_EQ(symlink("loop-a", dir.File("loop-b").c_str()), 0);
  ASSERT_EQ(symlink(dir.Path().c_str(), dir.File("to-dir").c_str()), 0);
  ASSERT_EQ(symlink("pipe", dir.File("to-pipe").c_str()), 0);
  const std::vector<std::string> made = dir.List();
  const std::set<std::string> before(made.begin(), made.end());
  struct Case {
    const char* link;
    const char* message;
  } cases[] = {{"into-missing", "No such file or directory"},
               {"loop-a", "Too many levels of symbolic links"},
               {"to-dir", "is a directory"},
               {"to-pipe", "not a regular file"}};
  for (const Case& c : cases) {
    std::string error;
    quenbar::AtomicFile f;
    EXPECT_FALSE(f.Open(dir.File(c.link), &error)) << c.link;
    EXPECT_TRUE(Contains(error, c.message)) << c.link << ": " << error;
    struct stat st;
    ASSERT_EQ(lstat(dir.File(c.link).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << c.link;
  }
  const std::vector<std::string> after = dir.List();
  EXPECT_EQ(std::set<std::string>(after.begin(), after.end()), before);
}

// A replaced file keeps its permissions; a new one gets what any program
// creating it would, 0666 less the umask.
TEST(AtomicFile, KeepsTheModeOfAReplacedFileAndGivesANewOneTheUmask) {
  struct Case {
    mode_t existing;  // 0: no file yet
    mode_t mask;
    mode_t want;
    bool viaLink;
  } cases[] = {{0640, 022, 0640, false}, {0600, 022, 0600, false}, {0755, 077, 0755, false},
               {0444, 022, 0444, false}, {0640, 022, 0640, true},  {0, 022, 0644, false},
               {0, 027, 0640, false},    {0, 0, 0666, false},      {0, 077, 0600, true}};
  const mode_t saved = umask(022);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::oct << "existing " << c.existing << ", umask " << c.mask
                                    << (c.viaLink ? ", through a link" : ""));
    TempDir dir;
    const std::string target = dir.File("out.bin");
    if (c.existing) {
      ASSERT_TRUE(toolstest::WriteBytes(target, {'o', 'l', 'd'}));
      ASSERT_EQ(chmod(target.c_str(), c.existing), 0);
    }
    if (c.viaLink) {
      ASSERT_EQ(symlink("out.bin", dir.File("link").c_str()), 0);
    }
    umask(c.mask);
    std::string error;
    quenbar::AtomicFile f;
    const bool opened = f.Open(c.viaLink ? dir.File("link") : target, &error);
    umask(022);
    ASSERT_TRUE(opened) << error;
    ASSERT_TRUE(f.Commit(&error)) << error;
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.want) << std::oct << "got " << (st.st_mode & 07777);
  }
  umask(saved);
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
      EXPECT_TRUE(keep.count(name)) << "stray file " << name;
    return r;
  }
  TempDir dir;
  std::string input;
  std::string output;
  std::set<std::string> keep = {"in.wav"};  // files the test made itself
};

TEST_F(RenderFailure, MissingOrUnreadableInput) {
  auto r = Fail({"render", dir.File("missing.wav"), output});
  EXPECT_TRUE(Contains(r.err, "cannot read input")) << r.err;
  toolstest::WriteBytes(dir.File("text.wav"), {'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'});
  keep.insert("text.wav");
  r = Fail({"render", dir.File("text.wav"), output});
  EXPECT_TRUE(Contains(r.err, "cannot read input")) << r.err;
}

TEST_F(RenderFailure, MoreThanTwoChannels) {
  ASSERT_TRUE(toolstest::WriteAudio(dir.File("other.wav"), toolstest::MakeSignal(100, 3, 44100)));
  keep.insert("other.wav");
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

// The container follows OUT's extension, or the input's without one it
// knows; 64-bit float output where that container cannot hold it is refused
// before anything is written.
TEST_F(RenderFailure, SixtyFourBitWhereTheContainerCannotHoldIt) {
  toolstest::Audio flac = toolstest::MakeSignal(500, 2, 44100);
  flac.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  ASSERT_TRUE(toolstest::WriteAudio(dir.File("in.flac"), flac));
  keep.insert("in.flac");
  struct Case {
    const char* in;
    const char* out;
    const char* container;
  } cases[] = {{"in.wav", "out.flac", "FLAC"}, {"in.wav", "OUT.OGG", "Ogg"},
               {"in.flac", "out.Flac", "FLAC"}, {"in.flac", "out", "FLAC"},
               {"in.flac", "out.data", "FLAC"}};
  for (const Case& c : cases) {
    output = dir.File(c.out);
    auto r = Fail({"render", dir.File(c.in), output, "--precision", "64"});
    EXPECT_EQ(r.exitCode, 1) << c.in << " -> " << c.out;
    EXPECT_TRUE(Contains(r.err, std::string(c.container) + " files cannot hold 64-bit float"))
        << c.in << " -> " << c.out << ": " << r.err;
  }
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

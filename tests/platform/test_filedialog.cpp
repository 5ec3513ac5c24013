// The file dialog's command lines and answers, and the runner against fake
// dialog programs (small shell scripts), without an X server.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/filedialog.h"
#include "platform/paths.h"

using namespace platform;

namespace
{
using Args = std::vector<std::string>;

TEST(FileDialog, SplitsExtensionsAtSingleSpaces)
{
  struct Case
  {
    const char* in;
    Args out;
  } cases[] = {
      {nullptr, {}},         {"", {}},
      {"wav", {"wav"}},      {"wav aif", {"wav", "aif"}},
      {" wav  aif ", {"wav", "aif"}}, {"fxp fxb aiff", {"fxp", "fxb", "aiff"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitExtensions(c.in), c.out) << (c.in ? c.in : "(null)");
}

TEST(FileDialog, ExpandsALeadingTilde)
{
  struct Case
  {
    const char* in;
    const char* home;
    const char* out;
  } cases[] = {
      {"~", "/home/u", "/home/u"},         {"~/x", "/home/u", "/home/u/x"},
      {"~/Desktop", "/", "/Desktop"},      {"~user/x", "/home/u", "~user/x"},
      {"/abs/~/x", "/home/u", "/abs/~/x"}, {"", "/home/u", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandHome(c.in, c.home), c.out) << c.in;
}

TEST(FileDialog, BuildsTheProgramsArguments)
{
  struct Case
  {
    DialogProgram program;
    bool save;
    const char* folder;
    const char* name;
    Args types;
    Args argv;
  } cases[] = {
      {DialogProgram::kZenity, false, "~/x", "", {"wav", "aif"},
       {"zenity", "--file-selection", "--filename=/h/x/", "--file-filter=*.wav *.aif"}},
      {DialogProgram::kZenity, true, "~/x", "take.wav", {"wav", "aif"},
       {"zenity", "--file-selection", "--save", "--confirm-overwrite", "--filename=/h/x/take.wav",
        "--file-filter=*.wav *.aif"}},
      {DialogProgram::kZenity, false, "/data/", "a b.fxp", {},
       {"zenity", "--file-selection", "--filename=/data/a b.fxp"}},
      {DialogProgram::kZenity, true, "/data", "", {"fxb"},
       {"zenity", "--file-selection", "--save", "--confirm-overwrite", "--filename=/data/", "--file-filter=*.fxb"}},
      {DialogProgram::kKdialog, false, "~/x", "", {"wav", "aif"}, {"kdialog", "--getopenfilename", "/h/x/", "*.wav *.aif"}},
      {DialogProgram::kKdialog, true, "~/x", "take.wav", {"wav"},
       {"kdialog", "--getsavefilename", "/h/x/take.wav", "*.wav"}},
      {DialogProgram::kKdialog, false, "/data", "n", {}, {"kdialog", "--getopenfilename", "/data/n"}},
  };
  for (const Case& c : cases)
  {
    FileDialogRequest req;
    req.save = c.save;
    req.folder = c.folder;
    req.name = c.name;
    req.types = c.types;
    EXPECT_EQ(FileDialogArgs(c.program, req, "/h"), c.argv) << c.argv[0] << " " << c.folder << " " << c.name;
  }
}

TEST(FileDialog, ReadsTheChosenPathFromTheOutput)
{
  struct Case
  {
    int status;
    const char* out;
    bool chosen;
    const char* path;
  } cases[] = {
      {0, "/a/b.wav\n", true, "/a/b.wav"}, {0, "/a/b.wav", true, "/a/b.wav"},
      {0, "/a b/c.wav\r\n", true, "/a b/c.wav"}, {0, "", false, ""},
      {0, "\n", false, ""},                {1, "/a/b.wav\n", false, ""},
      {-1, "", false, ""},                 {0, "/x\n/y\n", true, "/x"},
  };
  for (const Case& c : cases)
  {
    std::string path = "untouched";
    EXPECT_EQ(ParseDialogOutput(c.status, c.out, &path), c.chosen) << c.status << " '" << c.out << "'";
    EXPECT_EQ(path, c.chosen ? c.path : "untouched");
  }
}

TEST(FileDialog, FolderOfAPathKeepsItsSlash)
{
  EXPECT_EQ(FolderOf("/a/b.wav"), "/a/");
  EXPECT_EQ(FolderOf("/b.wav"), "/");
  EXPECT_EQ(FolderOf("/a/b/"), "/a/b/");
  EXPECT_EQ(FolderOf("b.wav"), "./");
}

// A temporary folder with fake dialog programs that record their arguments.
class FakeDialog : public testing::Test
{
protected:
  void SetUp() override
  {
    char tmpl[] = "/tmp/filedialog_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    argsFile = dir + "/args";
  }
  void TearDown() override
  {
    const std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
  }
  // A program that writes its arguments one a line, then runs body.
  std::string Script(const std::string& name, const std::string& body)
  {
    const std::string path = dir + "/" + name;
    std::ofstream f(path);
    f << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << argsFile << "'\n" << body << "\n";
    f.close();
    chmod(path.c_str(), 0755);
    return path;
  }
  Args Recorded()
  {
    Args a;
    std::ifstream f(argsFile);
    for (std::string line; std::getline(f, line);) a.push_back(line);
    return a;
  }
  static bool NoChildLeft()
  {
    int st = 0;
    return waitpid(-1, &st, WNOHANG) < 0 && errno == ECHILD;
  }
  static DialogTick Ticks(int* n, int limit = 1000000)
  {
    return [n, limit] { return ++*n < limit; };
  }

  std::string dir, argsFile;
};

TEST_F(FakeDialog, AChoiceSetsTheFileAndItsFolder)
{
  const std::string zenity = Script("zenity", "sleep 0.2; printf '%s\\n' '/music/new take.wav'");
  std::string file = "take.wav", folder = "/data";
  int ticks = 0;
  EXPECT_TRUE(PromptFileWith({zenity, ""}, &file, &folder, true, "wav aif", 20, Ticks(&ticks)));
  EXPECT_EQ(file, "/music/new take.wav");
  EXPECT_EQ(folder, "/music/");
  EXPECT_EQ(Recorded(), Args({"--file-selection", "--save", "--confirm-overwrite", "--filename=/data/take.wav",
                              "--file-filter=*.wav *.aif"}));
  EXPECT_GT(ticks, 0) << "the editor was not served while the program ran";
  EXPECT_TRUE(NoChildLeft());
}

TEST_F(FakeDialog, CancelLeavesTheDefaultsAsSet)
{
  const std::string zenity = Script("zenity", "exit 1");
  struct Case
  {
    const char* file;
    const char* dir;
    const char* dirAfter;
  } cases[] = {{"take.wav", "", "~/Desktop"}, {"", "/data/", "/data/"}};
  for (const Case& c : cases)
  {
    std::string file = c.file, folder = c.dir;
    int ticks = 0;
    EXPECT_FALSE(PromptFileWith({zenity, ""}, &file, &folder, false, nullptr, 20, Ticks(&ticks)));
    EXPECT_EQ(file, "");
    EXPECT_EQ(folder, c.dirAfter);
  }
  // The default folder reached the program expanded.
  std::string file, folder;
  int ticks = 0;
  PromptFileWith({zenity, ""}, &file, &folder, false, "fxp", 20, Ticks(&ticks));
  EXPECT_EQ(Recorded(),
            Args({"--file-selection", "--filename=" + HomeDir() + "/Desktop/", "--file-filter=*.fxp"}));
  EXPECT_TRUE(NoChildLeft());
}

TEST_F(FakeDialog, EmptyOutputIsNoChoice)
{
  const std::string zenity = Script("zenity", "exit 0");
  std::string file = "a", folder = "/d/";
  int ticks = 0;
  EXPECT_FALSE(PromptFileWith({zenity, ""}, &file, &folder, false, nullptr, 20, Ticks(&ticks)));
  EXPECT_EQ(file, "");
  EXPECT_EQ(folder, "/d/");
}

TEST_F(FakeDialog, KdialogWhenZenityIsMissing)
{
  const std::string kdialog = Script("kdialog", "echo /k/chosen.fxb");
  std::string file, folder = "/presets";
  int ticks = 0;
  EXPECT_TRUE(PromptFileWith({"", kdialog}, &file, &folder, false, "fxb", 20, Ticks(&ticks)));
  EXPECT_EQ(file, "/k/chosen.fxb");
  EXPECT_EQ(folder, "/k/");
  EXPECT_EQ(Recorded(), Args({"--getopenfilename", "/presets/", "*.fxb"}));
}

TEST_F(FakeDialog, NeitherProgramGivesTheEmptyResult)
{
  std::string file = "x.wav", folder = "/d/";
  int ticks = 0;
  EXPECT_FALSE(PromptFileWith({"", ""}, &file, &folder, true, "wav", 20, Ticks(&ticks)));
  EXPECT_EQ(file, "");
  EXPECT_EQ(folder, "/d/");
  EXPECT_EQ(ticks, 0);
}

TEST_F(FakeDialog, FoundOnThePath)
{
  Script("zenity", "exit 1");
  const char* old = getenv("PATH");
  const std::string saved = old ? old : "";
  setenv("PATH", (dir + ":/usr/bin:/bin").c_str(), 1);
  const DialogPrograms found = DialogPrograms::FromPath();
  setenv("PATH", "/nonexistent", 1);
  const DialogPrograms none = DialogPrograms::FromPath();
  setenv("PATH", saved.c_str(), 1);
  EXPECT_EQ(found.zenity, dir + "/zenity");
  EXPECT_EQ(none.zenity, "");
  EXPECT_EQ(none.kdialog, "");
  EXPECT_EQ(FindProgram(dir + "/zenity"), dir + "/zenity");
  EXPECT_EQ(FindProgram(dir + "/args"), "") << "not a program";
}

TEST_F(FakeDialog, EndingTheWaitTerminatesAndReapsTheProgram)
{
  const std::string zenity = Script("zenity", "exec sleep 60");
  std::string file = "a", folder = "/d/";
  int ticks = 0;
  EXPECT_FALSE(PromptFileWith({zenity, ""}, &file, &folder, false, nullptr, 10, Ticks(&ticks, 3)));
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(file, "");
  EXPECT_EQ(folder, "/d/");
  EXPECT_TRUE(NoChildLeft());
}

TEST_F(FakeDialog, RunnerKeepsBoundedOutputAndDoesNotWaitForGrandchildren)
{
  // A program that leaves a helper running with its output still open.
  const std::string pidFile = dir + "/helper.pid";
  const std::string prog = Script("zenity", "sleep 60 & echo $! > '" + pidFile + "'\n"
                                            "head -c 100000 /dev/zero | tr '\\0' a\necho\nexit 0");
  std::string out;
  int status = -1, ticks = 0;
  // Waiting for the helper would run out of ticks.
  EXPECT_TRUE(RunDialogProgram({prog}, 10, Ticks(&ticks, 500), &out, &status));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.size(), 64u * 1024u);
  EXPECT_EQ(out.find_first_not_of('a'), std::string::npos);
  std::ifstream f(pidFile);
  int helper = 0;
  f >> helper;
  if (helper > 0) kill(helper, SIGKILL);
}

TEST_F(FakeDialog, AProgramThatCannotRunIsNoChoice)
{
  std::string out;
  int status = 0, ticks = 0;
  EXPECT_TRUE(RunDialogProgram({dir + "/missing"}, 10, Ticks(&ticks), &out, &status));
  EXPECT_EQ(status, 127);
  EXPECT_FALSE(RunDialogProgram({}, 10, Ticks(&ticks), &out, &status));
  EXPECT_TRUE(NoChildLeft());
}

} // namespace

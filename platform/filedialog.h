// File dialogs through the desktop's dialog programs (zenity, else kdialog):
// building their command lines, running one as a child process while the
// caller keeps its window alive, and reading the chosen path back.
// Threads: UI thread (the runner calls back on the calling thread); the pure
// functions may run anywhere. Results are owned by the caller.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform
{

enum class DialogProgram
{
  kZenity,
  kKdialog
};

struct FileDialogRequest
{
  bool save = false;
  std::string folder;              // may start with "~"
  std::string name;                // default file name, may be ""
  std::vector<std::string> types;  // extensions without the dot
};

// The extensions text split at single spaces; empty pieces (from doubled,
// leading or trailing spaces) are dropped. Null gives none.
std::vector<std::string> SplitExtensions(const char* extensions);

// A leading "~" (alone or before "/") becomes home; anything else as it is.
std::string ExpandHome(const std::string& path, const std::string& home);

// The argv (program name first) asking program for one file as req says.
std::vector<std::string> FileDialogArgs(DialogProgram program, const FileDialogRequest& req,
                                        const std::string& home);

// The chosen path from a finished run: exit status 0 and a non-empty first
// line (trailing newline stripped). False (cancel, error) otherwise.
bool ParseDialogOutput(int exitStatus, const std::string& output, std::string* path);

// The folder of a path with a trailing "/": "/a/b.wav" -> "/a/", "b" -> "./".
std::string FolderOf(const std::string& path);

// The full path of an executable named name on $PATH ("" when none); a name
// containing "/" is taken as it is when executable.
std::string FindProgram(const std::string& name);

// Called about every tickMs while the program runs; false ends the wait (the
// program is then terminated).
using DialogTick = std::function<bool()>;

// Runs argv[0] (a path) with argv, without a shell, stdin from /dev/null,
// collecting its stdout (at most 64 KiB kept) until it exits; the child is
// always reaped. False when it could not be started or the wait was ended;
// otherwise *exitStatus is its exit code (-1 when killed by a signal).
bool RunDialogProgram(const std::vector<std::string>& argv, int tickMs, const DialogTick& tick, std::string* output,
                      int* exitStatus);

// The programs to try, as paths ("" for not installed).
struct DialogPrograms
{
  std::string zenity, kdialog;
  // Both looked up on $PATH.
  static DialogPrograms FromPath();
};

// Asks the user for a file with the first installed program. *file starts
// as the default name and *dir as the default folder ("" gives "~/Desktop",
// stored back into *dir); *file is then emptied. On a choice *file is its
// path and *dir its folder with a trailing "/"; otherwise both stay so. True
// when something was chosen.
bool PromptFileWith(const DialogPrograms& programs, std::string* file, std::string* dir, bool save,
                    const char* extensions, int tickMs, const DialogTick& tick);

} // namespace platform

#include "platform/filedialog.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/paths.h"

namespace platform
{

std::vector<std::string> SplitExtensions(const char* extensions)
{
  std::vector<std::string> types;
  if (!extensions) return types;
  const char* start = extensions;
  for (const char* c = extensions;; ++c)
  {
    if (*c != ' ' && *c) continue;
    if (c > start) types.emplace_back(start, (size_t)(c - start));
    if (!*c) break;
    start = c + 1;
  }
  return types;
}

std::string ExpandHome(const std::string& path, const std::string& home)
{
  if (path == "~") return home;
  if (path.rfind("~/", 0) == 0)
  {
    // "/" as home must not give "//x".
    const std::string base = !home.empty() && home.back() == '/' ? home.substr(0, home.size() - 1) : home;
    return base + path.substr(1);
  }
  return path;
}

namespace
{
// The folder and name as one path; a bare folder keeps its "/" so the
// program starts inside it.
std::string StartPath(const FileDialogRequest& req, const std::string& home)
{
  std::string path = ExpandHome(req.folder, home);
  if (path.empty() || path.back() != '/') path += '/';
  return path + req.name;
}

std::string Patterns(const std::vector<std::string>& types)
{
  std::string p;
  for (const std::string& t : types) p += (p.empty() ? "*." : " *.") + t;
  return p;
}
} // namespace

std::vector<std::string> FileDialogArgs(DialogProgram program, const FileDialogRequest& req, const std::string& home)
{
  std::vector<std::string> argv;
  const std::string start = StartPath(req, home);
  const std::string patterns = Patterns(req.types);
  if (program == DialogProgram::kZenity)
  {
    argv = {"zenity", "--file-selection"};
    if (req.save)
    {
      argv.push_back("--save");
      argv.push_back("--confirm-overwrite");
    }
    argv.push_back("--filename=" + start);
    if (!patterns.empty()) argv.push_back("--file-filter=" + patterns);
  }
  else
  {
    argv = {"kdialog", req.save ? "--getsavefilename" : "--getopenfilename", start};
    if (!patterns.empty()) argv.push_back(patterns);
  }
  return argv;
}

bool ParseDialogOutput(int exitStatus, const std::string& output, std::string* path)
{
  if (exitStatus != 0) return false;
  std::string p = output.substr(0, output.find('\n'));
  if (!p.empty() && p.back() == '\r') p.pop_back();
  if (p.empty()) return false;
  *path = p;
  return true;
}

std::string FolderOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

namespace
{
bool IsExecutable(const std::string& path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}
} // namespace

std::string FindProgram(const std::string& name)
{
  if (name.empty()) return "";
  if (name.find('/') != std::string::npos) return IsExecutable(name) ? name : "";
  const char* env = getenv("PATH");
  const std::string dirs = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size())
  {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + name;
    if (IsExecutable(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

DialogPrograms DialogPrograms::FromPath()
{
  return {FindProgram("zenity"), FindProgram("kdialog")};
}

namespace
{
const size_t kMaxOutput = 64 * 1024;

// Between fork and exec only async-signal-safe calls: the process may have
// other threads.
[[noreturn]] void ExecChild(const char* path, char* const* argv, int devNull, int out)
{
  if (devNull >= 0) dup2(devNull, 0);
  dup2(out, 1);
  // The editor's X connection and whatever else the host has open stay
  // with the host.
  if (close_range(3, ~0u, 0) != 0)
  {
    rlimit lim;
    const long max = getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY ? (long)lim.rlim_cur : 4096;
    for (long fd = 3; fd < max && fd < 65536; ++fd) close((int)fd);
  }
  // A host that ignores SIGPIPE or blocks signals does not pass that on.
  signal(SIGPIPE, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  execv(path, argv);
  _exit(127);
}

// Reaps pid if it has ended; false while it still runs.
bool Reap(pid_t pid, int* status, bool* known)
{
  for (;;)
  {
    int st = 0;
    const pid_t r = waitpid(pid, &st, WNOHANG);
    if (r == pid)
    {
      *status = st;
      *known = true;
      return true;
    }
    if (r == 0) return false;
    if (errno == EINTR) continue;
    // ECHILD: the host ignores SIGCHLD, so the system reaped it for us.
    *known = false;
    return true;
  }
}

void Terminate(pid_t pid)
{
  kill(pid, SIGTERM);
  int status = 0;
  bool known = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (!Reap(pid, &status, &known))
  {
    if (std::chrono::steady_clock::now() >= deadline)
    {
      kill(pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
      return;
    }
    poll(nullptr, 0, 10);
  }
}

// Reads what is there without blocking; false at end of file or error.
bool ReadSome(int fd, std::string* output)
{
  char buf[4096];
  for (;;)
  {
    const ssize_t n = read(fd, buf, sizeof(buf));
    if (n > 0)
    {
      if (output->size() < kMaxOutput) output->append(buf, std::min((size_t)n, kMaxOutput - output->size()));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    return false;
  }
}
} // namespace

bool RunDialogProgram(const std::vector<std::string>& argv, int tickMs, const DialogTick& tick, std::string* output,
                      int* exitStatus)
{
  output->clear();
  *exitStatus = -1;
  if (argv.empty() || argv[0].empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  const pid_t pid = fork();
  if (pid == 0) ExecChild(args[0], args.data(), devNull, fds[1]);
  close(fds[1]);
  if (devNull >= 0) close(devNull);
  if (pid < 0)
  {
    close(fds[0]);
    return false;
  }
  fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);

  const int wait = tickMs > 0 ? tickMs : 40;
  bool open = true, known = false, ok = true;
  int status = 0;
  for (;;)
  {
    if (open)
    {
      pollfd p = {fds[0], POLLIN, 0};
      const int r = poll(&p, 1, wait);
      if (r > 0) open = ReadSome(fds[0], output);
    }
    else
      poll(nullptr, 0, wait);
    if (Reap(pid, &status, &known))
    {
      // What it wrote before it ended; a grandchild holding the pipe is not waited for.
      if (open) ReadSome(fds[0], output);
      break;
    }
    if (tick && !tick())
    {
      Terminate(pid);
      ok = false;
      break;
    }
  }
  close(fds[0]);
  if (!ok) return false;
  if (!known)
    *exitStatus = 0; // the status is lost: the output alone tells a choice from a cancel
  else
    *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return true;
}

bool PromptFileWith(const DialogPrograms& programs, std::string* file, std::string* dir, bool save,
                    const char* extensions, int tickMs, const DialogTick& tick)
{
  FileDialogRequest req;
  req.save = save;
  req.name = *file;
  if (dir->empty()) *dir = "~/Desktop";
  req.folder = *dir;
  file->clear();
  req.types = SplitExtensions(extensions);

  const bool zenity = !programs.zenity.empty();
  const std::string& path = zenity ? programs.zenity : programs.kdialog;
  if (path.empty()) return false;
  std::vector<std::string> argv =
      FileDialogArgs(zenity ? DialogProgram::kZenity : DialogProgram::kKdialog, req, HomeDir());
  argv[0] = path;
  std::string output, chosen;
  int status = -1;
  if (!RunDialogProgram(argv, tickMs, tick, &output, &status)) return false;
  if (!ParseDialogOutput(status, output, &chosen)) return false;
  *file = chosen;
  *dir = FolderOf(chosen);
  return true;
}

} // namespace platform

#include "tools/host/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace vst3host {

namespace {

using Clock = std::chrono::steady_clock;

struct Fd {
  int fd = -1;
  ~Fd() { Close(); }
  void Close() {
    if (fd >= 0) close(fd);
    fd = -1;
  }
};

// A close-on-exec pipe whose ends are above the standard descriptors, so the
// child's redirections of 0..2 never land on them.
bool MakePipe(Fd* readEnd, Fd* writeEnd) {
  int p[2];
  if (pipe2(p, O_CLOEXEC) != 0) return false;
  for (int i = 0; i < 2; ++i) {
    if (p[i] > 2) continue;
    const int moved = fcntl(p[i], F_DUPFD_CLOEXEC, 3);
    close(p[i]);
    p[i] = moved;
  }
  readEnd->fd = p[0];
  writeEnd->fd = p[1];
  return p[0] >= 0 && p[1] >= 0;
}

}  // namespace

bool PrivateXServer::Start(std::string* error, int timeoutMs) {
  Stop();
  Fd readyR, readyW, execR, execW;
  if (!MakePipe(&readyR, &readyW) || !MakePipe(&execR, &execW)) {
    *error = std::string("cannot start Xvfb: ") + std::strerror(errno);
    return false;
  }
  // Everything the child needs is made before fork: after it only
  // async-signal-safe calls.
  const std::string fdText = std::to_string(readyW.fd);
  std::vector<std::string> words = {"Xvfb", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                                    "-displayfd", fdText};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  const pid_t parent = getpid();

  const pid_t pid = fork();
  if (pid < 0) {
    *error = std::string("cannot start Xvfb: ") + std::strerror(errno);
    return false;
  }
  if (pid == 0) {
    // The server goes with us, however we end.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    fcntl(readyW.fd, F_SETFD, 0);
    execvp(argv[0], argv.data());
    const int err = errno;
    ssize_t ignored = write(execW.fd, &err, sizeof(err));
    (void)ignored;
    _exit(127);
  }
  mPid = pid;
  readyW.Close();
  execW.Close();

  // Closed by a successful exec; the errno when there was none.
  int execErr = 0;
  ssize_t n;
  do {
    n = read(execR.fd, &execErr, sizeof(execErr));
  } while (n < 0 && errno == EINTR);
  if (n == static_cast<ssize_t>(sizeof(execErr))) {
    Stop();
    *error = std::string("cannot run Xvfb: ") + std::strerror(execErr) +
             (execErr == ENOENT ? " (install the xvfb package, or set DISPLAY)" : "");
    return false;
  }

  // The server writes its display number once it accepts connections.
  std::string text;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (text.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      Stop();
      *error = "Xvfb did not get ready within " + std::to_string(timeoutMs / 1000) + " s";
      return false;
    }
    pollfd p = {readyR.fd, POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(left));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) continue;
    char buf[64];
    n = read(readyR.fd, buf, sizeof(buf));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Stop();
      *error = "Xvfb exited before it was ready";
      return false;
    }
    text.append(buf, static_cast<size_t>(n));
    if (text.size() > 32) break;
  }
  char* end = nullptr;
  const long number = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\n' || number < 0) {
    Stop();
    *error = "Xvfb reported no display number";
    return false;
  }
  mDisplayName = ":" + std::to_string(number);
  return true;
}

void PrivateXServer::Stop() {
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  const auto deadline = Clock::now() + std::chrono::seconds(1);
  for (;;) {
    const pid_t r = waitpid(mPid, nullptr, WNOHANG);
    if (r == mPid || (r < 0 && errno != EINTR)) break;
    if (Clock::now() >= deadline) {
      kill(mPid, SIGKILL);
      while (waitpid(mPid, nullptr, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  mPid = -1;
  mDisplayName.clear();
}

bool ChooseXServer(PrivateXServer* server, std::string* name, std::string* error) {
  const char* display = std::getenv("DISPLAY");
  if (display && *display) {
    *name = display;
    return true;
  }
  if (!server->Start(error)) return false;
  *name = server->DisplayName();
  setenv("DISPLAY", name->c_str(), 1);
  return true;
}

}  // namespace vst3host

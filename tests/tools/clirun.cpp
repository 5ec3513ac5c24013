#include "tests/tools/clirun.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace toolstest {

RunResult RunQuenbar(const std::vector<std::string>& args) {
  return RunExecutable(QUENBAR_EXE, args);
}

RunResult RunExecutable(const std::string& executable, const std::vector<std::string>& args) {
  RunResult result;
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0) return result;
  if (pipe(errPipe) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return result;
  }
  std::vector<char*> argv;
  std::string exe = executable;
  argv.push_back(&exe[0]);
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    // In the sanitizer build the leak checker lists the suppressions it used
    // on stderr at exit; that is not the tool speaking.
    setenv("LSAN_OPTIONS", "print_suppressions=0", 0);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  int openCount = 2;
  char buf[4096];
  while (openCount > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      const ssize_t n = read(fds[i].fd, buf, sizeof(buf));
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --openCount;
      } else {
        (i == 0 ? result.out : result.err).append(buf, static_cast<size_t>(n));
      }
    }
  }
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    result.exitCode = WEXITSTATUS(status);
  return result;
}

TempDir::TempDir() {
  char pattern[] = "/tmp/quenbar-tooltest-XXXXXX";
  const char* p = mkdtemp(pattern);
  mPath = p ? p : "";
}

TempDir::~TempDir() {
  if (mPath.empty()) return;
  for (const std::string& name : List()) unlink(File(name).c_str());
  rmdir(mPath.c_str());
}

std::vector<std::string> TempDir::List() const {
  std::vector<std::string> names;
  DIR* d = opendir(mPath.c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    const std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  closedir(d);
  return names;
}

bool WriteAudio(const std::string& path, const Audio& audio) {
  SF_INFO info{};
  info.samplerate = audio.rate;
  info.channels = audio.channels;
  info.format = audio.format ? audio.format : (SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  const sf_count_t frames = static_cast<sf_count_t>(audio.Frames());
  const bool ok = sf_writef_double(f, audio.samples.data(), frames) == frames;
  return sf_close(f) == 0 && ok;
}

bool ReadAudio(const std::string& path, Audio* audio) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return false;
  audio->rate = info.samplerate;
  audio->channels = info.channels;
  audio->format = info.format;
  audio->samples.assign(static_cast<size_t>(info.frames * info.channels), 0.0);
  const bool ok = sf_readf_double(f, audio->samples.data(), info.frames) == info.frames;
  sf_close(f);
  return ok;
}

Audio MakeSignal(int frames, int channels, int rate, unsigned seed) {
  Audio a;
  a.rate = rate;
  a.channels = channels;
  a.samples.resize(static_cast<size_t>(frames) * static_cast<size_t>(channels));
  unsigned s = seed * 2654435761u + 1u;
  double phase = 0.0;
  for (int i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    phase += 2.0 * 3.14159265358979 * (80.0 + 4000.0 * t) / rate;
    for (int c = 0; c < channels; ++c) {
      s = s * 1664525u + 1013904223u;
      const double noise = (static_cast<double>(s >> 8) / 16777216.0 - 0.5) * 0.2;
      const double v = 0.7 * std::sin(phase + c) * std::exp(-2.0 * t) + noise;
      // Stored as float by default, so keep the value a float exactly.
      a.samples[static_cast<size_t>(i) * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
          static_cast<double>(static_cast<float>(v));
    }
  }
  return a;
}

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  int ch;
  while ((ch = std::fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(ch));
  std::fclose(f);
  return bytes;
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace toolstest

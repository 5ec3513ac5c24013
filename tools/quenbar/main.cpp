// quenbar: renders audio files through the Quenbar VST3 plug-in (or any other
// Linux VST3 effect) and describes plug-in bundles.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/quenbar/commands.h"
#include "tools/quenbar/options.h"

namespace {

void OnSignal(int) { quenbar::gInterrupted = 1; }

// The bundle that ships beside the executable: <dir of quenbar>/Quenbar.vst3.
std::string DefaultBundle() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return "Quenbar.vst3";
  std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.find_last_of('/');
  return (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "/Quenbar.vst3";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  quenbar::Options options;
  std::string error;
  if (!quenbar::ParseOptions(args, &options, &error)) {
    std::fprintf(stderr, "quenbar: %s\n", error.c_str());
    return 2;
  }
  if (options.command == quenbar::Command::kHelp) {
    std::fputs(quenbar::UsageText(), stdout);
    return 0;
  }
  const std::string bundle = options.bundle.empty() ? DefaultBundle() : options.bundle;
  if (options.command == quenbar::Command::kInfo) return quenbar::RunInfo(bundle, stdout);
  if (options.command == quenbar::Command::kSnapshot)
    return options.window ? quenbar::RunSnapshotWindow(options, bundle, stdout)
                          : quenbar::RunSnapshot(options, stdout);

  struct sigaction sa = {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  return quenbar::RunRender(options, bundle, stdout);
}

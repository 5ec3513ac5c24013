// The tool's commands. Each returns the process exit status (0 on success)
// and reports failures as one clear line on stderr. Main thread only.
#pragma once

#include <csignal>
#include <cstdio>
#include <string>

#include "tools/quenbar/options.h"

namespace quenbar {

// Reports one failure line on stderr as "PROGRAM: message" and returns the
// failing exit status 1.
inline int Fail(const std::string& message, const char* program = "quenbar") {
  std::fprintf(stderr, "%s: %s\n", program, message.c_str());
  return 1;
}

// Set by SIGINT/SIGTERM; render stops at the next block and cleans up.
extern volatile std::sig_atomic_t gInterrupted;

// Prints the factory, classes, busses and parameters of the bundle to out.
int RunInfo(const std::string& bundlePath, FILE* out);

// Renders options.input to options.output through the bundle.
int RunRender(const Options& options, const std::string& bundlePath, FILE* out);

// Builds the effect with its editor in this program, sets it from the
// options and writes the painted panel to options.output as a PNG.
int RunSnapshot(const Options& options, FILE* out);

// Loads the bundle, sets it from the options, opens its editor as a host
// does in an X window (on $DISPLAY, or a private Xvfb when it is not set)
// and writes the window's first frame to options.output as a PNG.
int RunSnapshotWindow(const Options& options, const std::string& bundlePath, FILE* out);

}  // namespace quenbar

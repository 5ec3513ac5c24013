// The tool's commands. Each returns the process exit status (0 on success)
// and reports failures as one clear line on stderr. Main thread only.
#pragma once

#include <csignal>
#include <cstdio>
#include <string>

#include "tools/quenbar/options.h"

namespace quenbar {

// Set by SIGINT/SIGTERM; render stops at the next block and cleans up.
extern volatile std::sig_atomic_t gInterrupted;

// Prints the factory, classes, busses and parameters of the bundle to out.
int RunInfo(const std::string& bundlePath, FILE* out);

// Renders options.input to options.output through the bundle.
int RunRender(const Options& options, const std::string& bundlePath, FILE* out);

// Builds the effect with its editor in this program, sets it from the
// options and writes the painted panel to options.output as a PNG.
int RunSnapshot(const Options& options, FILE* out);

}  // namespace quenbar

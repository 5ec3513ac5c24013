// Command-line parsing of the quenbar tool. Pure functions of their
// arguments; no I/O, so every rule can be tested directly.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quenbar {

enum class Command { kHelp, kInfo, kRender, kSnapshot };

struct Options {
  Command command = Command::kHelp;
  std::string bundle;  // empty: the Quenbar bundle beside the executable
  std::string input;
  std::string output;
  std::optional<double> level;  // dB
  std::optional<double> mix;
  std::optional<double> tone;
  std::optional<double> snap;   // dB
  bool bypass = false;
  bool window = false;  // snapshot: through the bundle's editor in an X window
  int block = 512;
  int precision = 32;
  std::string stateIn;
  std::string stateOut;
};

constexpr int kMaxBlock = 65536;

// args are the words after the program name. False with *error set for an
// unknown command or option, a missing or malformed value or a wrong number
// of file names.
bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* error);

// Checks a plain value against the plug-in's range lo … hi (either order),
// allowing for rounding in the plug-in's own conversion at the ends.
// False with a message naming the option and the valid range.
bool CheckRange(const std::string& option, double value, double lo, double hi,
                std::string* error);

const char* UsageText();

}  // namespace quenbar

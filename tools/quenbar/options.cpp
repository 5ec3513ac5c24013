#include "tools/quenbar/options.h"

#include <filesystem>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace quenbar {

namespace {

// Paths that name the same file, whether or not it exists yet.
bool SamePath(const std::string& a, const std::string& b) {
  std::error_code ea, eb;
  const auto ca = std::filesystem::weakly_canonical(std::filesystem::absolute(a), ea);
  const auto cb = std::filesystem::weakly_canonical(std::filesystem::absolute(b), eb);
  if (ea || eb) return a == b;
  return ca == cb;
}

bool ParseNumber(const std::string& option, const std::string& text, double* value,
                 std::string* error) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(begin, &end);
  if (text.empty() || end == begin || *end != '\0' || errno == ERANGE || !std::isfinite(v)) {
    *error = option + ": '" + text + "' is not a finite number";
    return false;
  }
  *value = v;
  return true;
}

bool ParseInt(const std::string& option, const std::string& text, long* value,
              std::string* error) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(begin, &end, 10);
  if (text.empty() || end == begin || *end != '\0' || errno == ERANGE) {
    *error = option + ": '" + text + "' is not a whole number";
    return false;
  }
  *value = v;
  return true;
}

std::string FormatNumber(double v) {
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%.10g", v);
  return buf;
}

// render IN OUT [options] and snapshot OUT.png [options]: the same value
// options; render also takes the processing ones.
bool ParseRender(const std::vector<std::string>& args, Options* o, std::string* error) {
  const bool snapshot = o->command == Command::kSnapshot;
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg;
    std::string value;
    bool hasInlineValue = false;
    const size_t eq = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasInlineValue = true;
    }
    if (name == "--bypass" || (snapshot && name == "--window")) {
      if (hasInlineValue) {
        *error = name + " takes no value";
        return false;
      }
      (name == "--bypass" ? o->bypass : o->window) = true;
      continue;
    }
    const bool takesValue = name == "--level" || name == "--mix" || name == "--tone" ||
                            name == "--snap" || name == "--state" || name == "--plugin" ||
                            (!snapshot && (name == "--block" || name == "--precision" ||
                                           name == "--save-state"));
    if (!takesValue) {
      *error = "unknown option " + name + " (see quenbar --help)";
      return false;
    }
    if (!hasInlineValue) {
      if (i + 1 >= args.size()) {
        *error = "option " + name + " needs a value";
        return false;
      }
      value = args[++i];
    }
    double number = 0.0;
    if (name == "--level" || name == "--mix" || name == "--tone" || name == "--snap") {
      if (!ParseNumber(name, value, &number, error)) return false;
      if (name == "--level") o->level = number;
      if (name == "--mix") o->mix = number;
      if (name == "--tone") o->tone = number;
      if (name == "--snap") o->snap = number;
    } else if (name == "--block") {
      long n = 0;
      if (!ParseInt(name, value, &n, error)) return false;
      if (n < 1 || n > kMaxBlock) {
        *error = "--block " + value + " is out of range: valid values are 1 to " +
                 std::to_string(kMaxBlock);
        return false;
      }
      o->block = static_cast<int>(n);
    } else if (name == "--precision") {
      if (value != "32" && value != "64") {
        *error = "--precision must be 32 or 64, not '" + value + "'";
        return false;
      }
      o->precision = value == "64" ? 64 : 32;
    } else {
      if (value.empty()) {
        *error = "option " + name + " needs a file name";
        return false;
      }
      if (name == "--state") o->stateIn = value;
      if (name == "--save-state") o->stateOut = value;
      if (name == "--plugin") o->bundle = value;
    }
  }
  if (snapshot) {
    if (files.size() != 1) {
      *error = files.empty() ? "snapshot needs an output file" : "snapshot takes exactly one output file";
      return false;
    }
    o->output = files[0];
    // The in-process picture is of the effect built into this program.
    if (!o->bundle.empty() && !o->window) {
      *error = "snapshot --plugin needs --window";
      return false;
    }
    return true;
  }
  if (files.size() != 2) {
    *error = files.size() < 2 ? "render needs an input and an output file"
                              : "render takes exactly one input and one output file";
    return false;
  }
  o->input = files[0];
  o->output = files[1];
  // The state file must never replace the audio it was rendered from or to.
  if (!o->stateOut.empty() && (SamePath(o->stateOut, o->output) || SamePath(o->stateOut, o->input))) {
    *error = "--save-state " + o->stateOut + " names an audio file of this render";
    return false;
  }
  return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* error) {
  Options o;
  if (args.empty()) {
    *error = "missing command (see quenbar --help)";
    return false;
  }
  const std::string& cmd = args[0];
  if (cmd == "-h" || cmd == "--help" || cmd == "help") {
    o.command = Command::kHelp;
  } else if (cmd == "info") {
    o.command = Command::kInfo;
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "-h" || args[i] == "--help") {
        o.command = Command::kHelp;
      } else if (args[i].size() > 1 && args[i][0] == '-') {
        *error = "unknown option " + args[i] + " (see quenbar --help)";
        return false;
      } else if (o.bundle.empty()) {
        o.bundle = args[i];
      } else {
        *error = "info takes at most one bundle";
        return false;
      }
    }
  } else if (cmd == "render" || cmd == "snapshot") {
    o.command = cmd == "render" ? Command::kRender : Command::kSnapshot;
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--") break;
      if (args[i] == "-h" || args[i] == "--help") {
        o.command = Command::kHelp;
        *out = o;
        return true;
      }
    }
    if (!ParseRender(args, &o, error)) return false;
  } else {
    *error = "unknown command '" + cmd + "' (see quenbar --help)";
    return false;
  }
  *out = o;
  return true;
}

bool CheckRange(const std::string& option, double value, double lo, double hi,
                std::string* error) {
  if (lo > hi) std::swap(lo, hi);
  const double slack = 1e-9 * std::fmax(1.0, hi - lo);
  if (value >= lo - slack && value <= hi + slack) return true;
  *error = option + " " + FormatNumber(value) + " is out of range: valid values are " +
           FormatNumber(lo) + " to " + FormatNumber(hi);
  return false;
}

const char* UsageText() {
  return "usage:\n"
         "  quenbar info [BUNDLE]\n"
         "      factory, classes, busses and parameters of a VST3 bundle\n"
         "  quenbar render IN OUT [options]\n"
         "      process an audio file (mono or stereo, any rate) through the plug-in\n"
         "  quenbar snapshot OUT.png [--level DB] [--mix X] [--tone X] [--snap DB]\n"
         "                   [--bypass] [--state FILE] [--window [--plugin BUNDLE]]\n"
         "      a picture of the Quenbar editor with those settings (no window needed);\n"
         "      --window: the bundle's editor opened in an X window as a host opens it\n"
         "      (on $DISPLAY, or a private Xvfb when DISPLAY is not set), grabbed from\n"
         "      the screen\n"
         "\n"
         "render options:\n"
         "  --level DB         output level (Level parameter)\n"
         "  --mix X            dry/wet mix (Mix parameter)\n"
         "  --tone X           tilt (Tone parameter)\n"
         "  --snap DB          saturation drive (Snap parameter)\n"
         "  --bypass           switch the effect's own Bypass parameter on\n"
         "  --block N          frames per process call, 1 to 65536 (default 512)\n"
         "  --precision 32|64  sample size; 64 writes OUT as 64-bit float (not FLAC or Ogg)\n"
         "  --state FILE       restore a saved plug-in state before rendering\n"
         "  --save-state FILE  save the plug-in state after rendering\n"
         "  --plugin BUNDLE    another VST3 bundle instead of Quenbar\n"
         "\n"
         "OUT's extension picks its file type (wav, flac, ogg, aiff, aif, caf, w64,\n"
         "rf64, au); with any other name OUT has IN's type.\n"
         "Values are plain parameter values; each must lie in the plug-in's range.\n"
         "Without BUNDLE the Quenbar.vst3 bundle beside this program is used.\n";
}

}  // namespace quenbar

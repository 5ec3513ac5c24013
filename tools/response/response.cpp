// quenbar-response: measures the Quenbar plug-in's frequency response at five
// Tone settings through its VST3 interface and draws it as a PNG.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/quenbar/atomicfile.h"
#include "tools/response/measure.h"
#include "tools/response/plot.h"

namespace {

const char kUsage[] =
    "usage: quenbar-response [--plugin BUNDLE] OUT.png\n"
    "Measures the magnitude response (20 Hz to 20 kHz at 48 kHz; Tone 0.25, 0.5, 0.75,\n"
    "1.0, 1.25; Mix 1, Snap 0, Level 0) with low-level sines and draws it into OUT.png.\n"
    "BUNDLE defaults to Quenbar.vst3 beside this executable.\n";

// The bundle that ships beside the executable: <dir of quenbar-response>/Quenbar.vst3.
std::string DefaultBundle() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return "Quenbar.vst3";
  std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.find_last_of('/');
  return (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "/Quenbar.vst3";
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "quenbar-response: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string bundle, out;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--plugin") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "quenbar-response: --plugin needs a bundle path\n%s", kUsage);
        return 2;
      }
      bundle = argv[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "quenbar-response: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    } else if (out.empty()) {
      out = a;
    } else {
      std::fprintf(stderr, "quenbar-response: more than one output file given\n%s", kUsage);
      return 2;
    }
  }
  if (out.empty()) {
    std::fprintf(stderr, "quenbar-response: no output file given\n%s", kUsage);
    return 2;
  }
  if (bundle.empty()) bundle = DefaultBundle();

  std::string error;
  {
    // A bad output path fails before the measurement, not after it.
    quenbar::AtomicFile probe;
    if (!probe.Open(out, &error)) return Fail(error);
  }
  quenbarresponse::ResponseMeter meter;
  if (!meter.Open(bundle, &error)) return Fail(error);

  const std::vector<double> freqs = quenbarresponse::LogFrequencies(50, 20.0, 20000.0);
  const quenbarresponse::MeterSettings settings;
  std::vector<quenbarresponse::Curve> curves;
  for (const double tone : {0.25, 0.5, 0.75, 1.0, 1.25}) {
    quenbarresponse::Curve c;
    char label[32];
    std::snprintf(label, sizeof(label), "Tone %.2f", tone);
    c.label = label;
    c.freqs = freqs;
    if (!meter.Measure(tone, freqs, settings, &c.gainDb, &error))
      return Fail("measuring " + c.label + ": " + error);
    curves.push_back(std::move(c));
  }

  quenbarresponse::PlotFrame frame;
  frame.title = "Quenbar \xE2\x80\x94 Tone";
  if (!quenbarresponse::WriteResponsePng(out, frame, curves, &error)) return Fail(error);
  std::printf("wrote %s: %dx%d, %zu points per curve, 5 Tone settings\n", out.c_str(),
              frame.width, frame.height, freqs.size());
  return 0;
}

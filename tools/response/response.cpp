// quenbar-response: measures the Quenbar plug-in's frequency response at five
// Tone settings, and optionally its snap stage's level transfer at six Snap
// settings, through its VST3 interface and draws each as a PNG.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tools/quenbar/atomicfile.h"
#include "tools/quenbar/commands.h"
#include "tools/response/measure.h"
#include "tools/response/plot.h"

namespace {

using quenbarresponse::Curve;
using quenbarresponse::PlotFrame;

const char kUsage[] =
    "usage: quenbar-response [--plugin BUNDLE] [--snap SNAP.png] OUT.png\n"
    "Measures the magnitude response (20 Hz to 20 kHz at 48 kHz; Tone 0.25, 0.5, 0.75,\n"
    "1.0, 1.25; Mix 1, Snap 0, Level 0) with low-level sines and draws it into OUT.png.\n"
    "--snap also measures the snap stage's transfer curve (1 kHz fundamental out against\n"
    "sine peak in, -48 to +6 dBFS in 1 dB steps; Snap 0, 6, 12, 18, 24, 30 dB; Tone 0.75,\n"
    "Mix 1, Level 0; the small-signal gain at Snap 0 divided out) and draws it into\n"
    "SNAP.png. Both pictures are written, or neither.\n"
    "BUNDLE defaults to Quenbar.vst3 beside this executable.\n";

// The transfer is measured where Tone 0.75 is nearly flat, at a frequency
// with a whole number of samples per cycle, so the window holds whole cycles.
constexpr double kTransferHz = 1000.0;
constexpr double kTransferTone = 0.75;
constexpr double kReferenceDbfs = -40.0;  // Snap 0 is linear here
const double kSnaps[] = {0.0, 6.0, 12.0, 18.0, 24.0, 30.0};

// The bundle that ships beside the executable: <dir of quenbar-response>/Quenbar.vst3.
std::string DefaultBundle() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return "Quenbar.vst3";
  std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.find_last_of('/');
  return (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "/Quenbar.vst3";
}

int Fail(const std::string& message) { return quenbar::Fail(message, "quenbar-response"); }

int Usage(const std::string& message) {
  std::fprintf(stderr, "quenbar-response: %s\n%s", message.c_str(), kUsage);
  return 2;
}

// Both names lead to one file: the same text, or the same existing inode.
bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool MeasureTone(quenbarresponse::ResponseMeter* meter, std::vector<Curve>* curves,
                 std::string* error) {
  const std::vector<double> freqs = quenbarresponse::LogFrequencies(50, 20.0, 20000.0);
  const quenbarresponse::MeterSettings settings;
  for (const double tone : {0.25, 0.5, 0.75, 1.0, 1.25}) {
    Curve c;
    char label[32];
    std::snprintf(label, sizeof(label), "Tone %.2f", tone);
    c.label = label;
    c.x = freqs;
    if (!meter->Measure(tone, freqs, settings, &c.db, error)) {
      *error = "measuring " + c.label + ": " + *error;
      return false;
    }
    curves->push_back(std::move(c));
  }
  return true;
}

// Each Snap setting's output re the path's small-signal gain (tilt and
// make-up), which is measured first at Snap 0 and a low level.
bool MeasureSnap(quenbarresponse::ResponseMeter* meter, std::vector<Curve>* curves,
                 double* smallSignalDb, std::string* error) {
  quenbarresponse::MeterSettings settings;
  // Each level settles from the one before, so a short settle will do.
  settings.settleSeconds = 0.1;
  settings.measureSeconds = 0.1;
  std::vector<double> ref;
  if (!meter->MeasureTransfer(kTransferTone, 0.0, kTransferHz, {kReferenceDbfs}, settings, &ref,
                              error)) {
    *error = "measuring the small-signal gain: " + *error;
    return false;
  }
  *smallSignalDb = ref[0] - kReferenceDbfs;
  const std::vector<double> levels = quenbarresponse::LevelSteps(-48.0, 6.0, 1.0);
  for (const double snap : kSnaps) {
    Curve c;
    char label[32];
    std::snprintf(label, sizeof(label), "Snap %.0f dB", snap);
    c.label = label;
    c.x = levels;
    if (!meter->MeasureTransfer(kTransferTone, snap, kTransferHz, levels, settings, &c.db,
                                error)) {
      *error = "measuring " + c.label + ": " + *error;
      return false;
    }
    for (double& db : c.db) db -= *smallSignalDb;
    curves->push_back(std::move(c));
  }
  return true;
}

PlotFrame ToneFrame() {
  PlotFrame f;
  f.title = "Quenbar \xE2\x80\x94 Tone";
  f.legendNote = "Mix 1, Snap 0, 48 kHz";
  return f;
}

PlotFrame SnapFrame() {
  PlotFrame f;
  f.height = 460;
  f.xAxis = quenbarresponse::XAxis::kLinearDb;
  f.minX = -48.0;
  f.maxX = 6.0;
  f.minDb = -48.0;
  f.maxDb = 30.0;
  f.title = "Quenbar \xE2\x80\x94 Snap transfer at 1 kHz";
  f.xLabel = "Input sine peak (dBFS); output: 1 kHz fundamental re the Snap 0 small-signal gain";
  f.legendNote = "Tone 0.75, Mix 1";
  f.unityLine = true;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  std::string bundle, out, snapOut;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--plugin" || a == "--snap") {
      if (i + 1 >= argc)
        return Usage(a + (a == "--plugin" ? " needs a bundle path" : " needs a PNG path"));
      (a == "--plugin" ? bundle : snapOut) = argv[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage("unknown option " + a);
    } else if (out.empty()) {
      out = a;
    } else {
      return Usage("more than one output file given");
    }
  }
  if (out.empty()) return Usage("no output file given");
  if (!snapOut.empty() && SameFile(out, snapOut))
    return Usage("OUT.png and SNAP.png name the same file");
  if (bundle.empty()) bundle = DefaultBundle();

  std::string error;
  // A bad output path fails before the measurement, not after it.
  for (const std::string* path : {&out, &snapOut}) {
    if (path->empty()) continue;
    quenbar::AtomicFile probe;
    if (!probe.Open(*path, &error)) return Fail(error);
  }
  quenbarresponse::ResponseMeter meter;
  if (!meter.Open(bundle, &error)) return Fail(error);

  std::vector<Curve> tone, snap;
  double smallSignalDb = 0.0;
  if (!MeasureTone(&meter, &tone, &error)) return Fail(error);
  if (!snapOut.empty() && !MeasureSnap(&meter, &snap, &smallSignalDb, &error))
    return Fail(error);

  // Both pictures go to temporary files first, so a failure leaves neither.
  const PlotFrame toneFrame = ToneFrame(), snapFrame = SnapFrame();
  quenbar::AtomicFile toneFile, snapFile;
  if (!quenbarresponse::DrawResponseInto(&toneFile, out, toneFrame, tone, &error))
    return Fail(error);
  if (!snapOut.empty() &&
      !quenbarresponse::DrawResponseInto(&snapFile, snapOut, snapFrame, snap, &error))
    return Fail(error);
  if (!toneFile.Commit(&error)) return Fail(error);
  if (!snapOut.empty() && !snapFile.Commit(&error)) {
    // The Tone picture just published belongs to this failed run: take it
    // back, at the file a link at OUT led the commit to.
    char* target = realpath(out.c_str(), nullptr);
    unlink(target ? target : out.c_str());
    std::free(target);
    return Fail(error);
  }
  std::printf("wrote %s: %dx%d, %zu points per curve, 5 Tone settings\n", out.c_str(),
              toneFrame.width, toneFrame.height, tone.front().x.size());
  if (!snapOut.empty())
    std::printf("wrote %s: %dx%d, %zu levels per curve, %zu Snap settings; "
                "small-signal gain %.2f dB at 1 kHz\n",
                snapOut.c_str(), snapFrame.width, snapFrame.height, snap.front().x.size(),
                snap.size(), smallSignalDb);
  return 0;
}

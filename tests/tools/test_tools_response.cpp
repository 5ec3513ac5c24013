// quenbar-response: the measurements through the real bundle against the tilt
// equaliser's known response and the snap curve's known shape, the pictures
// and the command line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "raster/png.h"
#include "tests/tools/clirun.h"
#include "tools/response/measure.h"
#include "tools/response/plot.h"

namespace {

using quenbarresponse::Curve;
using quenbarresponse::LevelSteps;
using quenbarresponse::LogFrequencies;
using quenbarresponse::MeterSettings;
using quenbarresponse::PlotFrame;
using quenbarresponse::ResponseMeter;

const std::string kBundle = QUENBAR_BUNDLE;

void RequireBundle() { toolstest::RequireBundle(kBundle); }

// Tilt response in dB at 48 kHz before the effect's small-signal gain.
struct Expected {
  double tone;
  double db[4];  // at kPoints
};
const double kPoints[4] = {20.0, 100.0, 1000.0, 10000.0};
const Expected kTable[] = {
    {0.25, {0.42, 4.90, -5.61, -14.93}},
    {0.75, {-3.67, 0.62, -0.26, -0.28}},
    {1.25, {-17.61, -2.66, 8.06, 8.54}},
};

TEST(ResponseFrequencies, LogSpacedWithExactEnds) {
  const std::vector<double> f = LogFrequencies(50, 20.0, 20000.0);
  ASSERT_EQ(f.size(), 50u);
  EXPECT_EQ(f.front(), 20.0);
  EXPECT_EQ(f.back(), 20000.0);
  const double ratio = f[1] / f[0];
  for (size_t i = 1; i < f.size(); ++i) EXPECT_NEAR(f[i] / f[i - 1], ratio, 1e-9);
  EXPECT_NEAR(std::pow(ratio, 49), 1000.0, 1e-6);
  EXPECT_TRUE(LogFrequencies(0, 20.0, 20000.0).empty());
}

TEST(ResponseLevels, EvenStepsWithExactEnds) {
  const std::vector<double> l = LevelSteps(-48.0, 6.0, 2.0);
  ASSERT_EQ(l.size(), 28u);
  EXPECT_EQ(l.front(), -48.0);
  EXPECT_EQ(l.back(), 6.0);
  for (size_t i = 1; i < l.size(); ++i) EXPECT_DOUBLE_EQ(l[i] - l[i - 1], 2.0);
  EXPECT_EQ(LevelSteps(0.0, 5.0, 2.0), (std::vector<double>{0.0, 2.0, 4.0})) << "top not on a step";
  EXPECT_EQ(LevelSteps(3.0, 3.0, 1.0), std::vector<double>{3.0});
  const double inf = HUGE_VAL;
  for (const auto& bad : {std::vector<double>{6.0, -48.0, 1.0}, {-48.0, 6.0, 0.0},
                          {-48.0, 6.0, -1.0}, {-inf, 6.0, 1.0}, {-48.0, inf, 1.0},
                          {-1e9, 1e9, 1.0}, {NAN, 6.0, 1.0}})
    EXPECT_TRUE(LevelSteps(bad[0], bad[1], bad[2]).empty())
        << bad[0] << " " << bad[1] << " " << bad[2];
}

TEST(ResponseMeasure, MatchesTheTiltTableAfterTheSmallSignalGain) {
  RequireBundle();
  if (HasFatalFailure() || IsSkipped()) return;
  ResponseMeter meter;
  std::string error;
  ASSERT_TRUE(meter.Open(kBundle, &error)) << error;
  const std::vector<double> freqs(kPoints, kPoints + 4);
  std::vector<std::vector<double>> measured;
  for (const Expected& e : kTable) {
    std::vector<double> db;
    ASSERT_TRUE(meter.Measure(e.tone, freqs, MeterSettings(), &db, &error)) << error;
    ASSERT_EQ(db.size(), freqs.size());
    measured.push_back(db);
  }
  // The effect's own gain at small signals, taken where Tone 0.75 is nearly flat.
  const double gain = measured[1][2] - kTable[1].db[2];
  EXPECT_NEAR(gain, 20.0 * std::log10(0.9), 0.3) << "small-signal gain factor";
  for (size_t t = 0; t < 3; ++t)
    for (size_t i = 0; i < 4; ++i)
      EXPECT_NEAR(measured[t][i] - gain, kTable[t].db[i], 0.2)
          << "Tone " << kTable[t].tone << " at " << kPoints[i] << " Hz";
}

TEST(ResponseMeasure, StaysLinearAtTheTestLevel) {
  RequireBundle();
  if (HasFatalFailure() || IsSkipped()) return;
  ResponseMeter meter;
  std::string error;
  ASSERT_TRUE(meter.Open(kBundle, &error)) << error;
  MeterSettings quiet;
  quiet.amplitude = 0.002;
  std::vector<double> a, b;
  ASSERT_TRUE(meter.Measure(1.0, {100.0, 3000.0}, MeterSettings(), &a, &error)) << error;
  ASSERT_TRUE(meter.Measure(1.0, {100.0, 3000.0}, quiet, &b, &error)) << error;
  EXPECT_NEAR(a[0], b[0], 0.05);
  EXPECT_NEAR(a[1], b[1], 0.05);
}

TEST(ResponseMeasure, RefusesBadRequests) {
  ResponseMeter meter;
  std::string error;
  std::vector<double> db;
  EXPECT_FALSE(meter.Measure(0.75, {1000.0}, MeterSettings(), &db, &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(meter.MeasureTransfer(0.75, 0.0, 1000.0, {-20.0}, MeterSettings(), &db, &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(meter.Open("/nonexistent/Quenbar.vst3", &error));
  EXPECT_FALSE(error.empty());

  RequireBundle();
  if (HasFatalFailure() || IsSkipped()) return;
  ASSERT_TRUE(meter.Open(kBundle, &error)) << error;
  error.clear();
  EXPECT_FALSE(meter.Measure(0.75, {30000.0}, MeterSettings(), &db, &error));
  EXPECT_NE(error.find("Nyquist"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(meter.Measure(2.0, {1000.0}, MeterSettings(), &db, &error));
  EXPECT_NE(error.find("Tone"), std::string::npos) << error;
  const struct {
    double snap, hz, level;
    const char* says;
  } bad[] = {{31.0, 1000.0, -20.0, "Snap"},    {-1.0, 1000.0, -20.0, "Snap"},
             {0.0, 24000.0, -20.0, "Nyquist"}, {0.0, 1000.0, NAN, "input level"},
             {0.0, 1000.0, -1e6, "input level"}, {0.0, 1000.0, 1e6, "input level"}};
  for (const auto& b : bad) {
    error.clear();
    EXPECT_FALSE(meter.MeasureTransfer(0.75, b.snap, b.hz, {-30.0, b.level}, MeterSettings(), &db,
                                       &error));
    EXPECT_NE(error.find(b.says), std::string::npos) << error;
  }
}

// The snap curve as the effect defines it: the input is scaled by 0.01, then
// driven by 10^(Snap/20) into a table of 142.143 entries per unit, which rises
// from 0 to a first peak at entry 34, dips to entry 39, rises to entry 89 and
// then falls gently. Entry 1 sets the small-signal slope; the tilt is about
// -0.26 dB at 1 kHz for Tone 0.75, and 10^2.5 is the fixed make-up.
constexpr double kEntriesPerUnit = 142.14300537109375;
constexpr double kEntry1 = 0.00200533122;
constexpr double kTiltDbAt1k = -0.26;
constexpr double kMakeUp = 316.22776601683796;
constexpr double kFirstPeakEntry = 34.0;

// Table index that the sine's peak reaches (pre-shaping is within 0.01 % of
// the identity at these levels).
double PeakEntry(double snapDb, double inputDb) {
  return 0.01 * std::pow(10.0, inputDb / 20.0) * std::pow(10.0, snapDb / 20.0) * kEntriesPerUnit;
}

// The six curves the tool draws, at 2 dB steps, measured once for all tests.
struct Transfer {
  std::string error;
  std::vector<double> levels;
  std::vector<std::vector<double>> out;  // dBFS, one row per kSnaps entry
  double toneMeterDb = 0.0;              // the Tone meter's gain at 1 kHz, Tone 0.75
};
const double kSnaps[] = {0.0, 6.0, 12.0, 18.0, 24.0, 30.0};

const Transfer& MeasuredTransfer() {
  static const Transfer t = [] {
    Transfer r;
    ResponseMeter meter;
    if (!meter.Open(kBundle, &r.error)) return r;
    r.levels = LevelSteps(-48.0, 6.0, 2.0);
    MeterSettings s;
    s.settleSeconds = 0.1;
    s.measureSeconds = 0.1;
    for (double snap : kSnaps) {
      std::vector<double> db;
      if (!meter.MeasureTransfer(0.75, snap, 1000.0, r.levels, s, &db, &r.error)) return r;
      r.out.push_back(db);
    }
    std::vector<double> g;
    if (meter.Measure(0.75, {1000.0}, MeterSettings(), &g, &r.error)) r.toneMeterDb = g[0];
    return r;
  }();
  return t;
}

class SnapTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    RequireBundle();
    if (HasFatalFailure() || IsSkipped()) return;
    ASSERT_TRUE(MeasuredTransfer().error.empty()) << MeasuredTransfer().error;
    ASSERT_EQ(MeasuredTransfer().out.size(), 6u);
  }
  const Transfer& t = MeasuredTransfer();
  double Gain(size_t snap, size_t level) const { return t.out[snap][level] - t.levels[level]; }
};

// Snap 0 still runs the curve, at a drive of 1: while the sine's peak stays
// on the table's first segment (below entry 1, up to about -3 dBFS) the path is
// linear at the small-signal gain, 0.01 x entry 1 x 142.143 x 10^2.5 (about
// -0.90 dB) times the tilt. Past entry 1 the table grows like the square of
// the index, so the output rises above that gain.
TEST_F(SnapTransfer, SnapZeroHoldsTheSmallSignalGainOnTheFirstTableSegment) {
  if (HasFatalFailure() || IsSkipped()) return;
  const double expected =
      20.0 * std::log10(0.01 * kEntry1 * kEntriesPerUnit * kMakeUp) + kTiltDbAt1k;
  int linear = 0;
  for (size_t i = 0; i < t.levels.size(); ++i) {
    if (PeakEntry(0.0, t.levels[i]) >= 1.0) continue;
    ++linear;
    EXPECT_NEAR(Gain(0, i), expected, 0.1) << "at " << t.levels[i] << " dBFS";
    EXPECT_NEAR(Gain(0, i), t.toneMeterDb, 0.01) << "against the Tone meter at " << t.levels[i];
  }
  EXPECT_EQ(linear, 23) << "levels -48 … -4 dBFS keep the peak below entry 1";
  const size_t top = t.levels.size() - 1;
  EXPECT_GT(Gain(0, top) - expected, 3.0) << "+6 dBFS reaches entry 2.8, past the square-law start";
}

// The drive is divided out again after the curve, so at -48 dBFS (peak below
// entry 1 even at Snap 30) every setting has the same gain.
TEST_F(SnapTransfer, EverySnapHasTheSameSmallSignalGain) {
  if (HasFatalFailure() || IsSkipped()) return;
  ASSERT_LT(PeakEntry(30.0, t.levels[0]), 1.0);
  for (size_t s = 1; s < 6; ++s)
    EXPECT_NEAR(Gain(s, 0), Gain(0, 0), 0.01) << "Snap " << kSnaps[s];
}

// A sine through an odd curve that rises gives a fundamental that rises with
// the sine's level. The table rises only up to its first peak (entry 34) and
// dips after it, so this holds by construction only while the sine's peak
// stays at or below entry 34: that is what is checked, for every setting
// (Snap 30 up to -4 dBFS, the rest over the whole range).
TEST_F(SnapTransfer, RisesWithLevelWhileThePeakStaysBelowTheTablesFirstPeak) {
  if (HasFatalFailure() || IsSkipped()) return;
  for (size_t s = 0; s < 6; ++s) {
    size_t checked = 0;
    for (size_t i = 1; i < t.levels.size(); ++i) {
      if (PeakEntry(kSnaps[s], t.levels[i]) > kFirstPeakEntry * 0.999) break;
      ++checked;
      EXPECT_GE(t.out[s][i], t.out[s][i - 1]) << "Snap " << kSnaps[s] << " at " << t.levels[i];
    }
    EXPECT_GE(checked, 22u) << "Snap " << kSnaps[s] << ": too few levels below entry 34";
  }
}

// Over the top 6 dB of input (0 to +6 dBFS) the output-minus-input slope
// falls with every step of Snap: Snap 0 is still on the table's expanding
// start, Snap 30 is past the first peak, where the curve is nearly flat.
TEST_F(SnapTransfer, MoreSnapCompressesMoreAtTheTop) {
  if (HasFatalFailure() || IsSkipped()) return;
  const size_t top = t.levels.size() - 1, zero = top - 3;
  ASSERT_EQ(t.levels[top], 6.0);
  ASSERT_EQ(t.levels[zero], 0.0);
  double slope[6];
  for (size_t s = 0; s < 6; ++s) slope[s] = (Gain(s, top) - Gain(s, zero)) / 6.0;
  for (size_t s = 1; s < 6; ++s)
    EXPECT_LT(slope[s], slope[s - 1]) << "Snap " << kSnaps[s] << " against " << kSnaps[s - 1];
  EXPECT_GT(slope[0], 0.5) << "Snap 0 expands at the top";
  EXPECT_LT(slope[5], -0.5) << "Snap 30 holds its output nearly still at the top";
}

// The row in column x whose pixel is most like the first curve colour (orange).
int OrangeRow(Raster_IBitmap* bm, int x, int top, int bottom) {
  int best = -1, bestScore = 0;
  for (int y = top; y <= bottom; ++y) {
    const Raster_Pixel p = Raster_RowPtr(bm, y)[x];
    const int score = Raster_GetR(p) - Raster_GetB(p);
    if (score > bestScore) {
      bestScore = score;
      best = y;
    }
  }
  return bestScore > 100 ? best : -1;
}

TEST(ResponsePlot, WritesAPictureOfTheFrameSizeWithTheCurveInPlace) {
  toolstest::TempDir dir;
  PlotFrame frame;
  frame.width = 640;
  frame.height = 280;
  frame.title = "Test";
  Curve c;
  c.label = "flat";
  c.x = LogFrequencies(20, 20.0, 20000.0);
  c.db.assign(c.x.size(), -9.0);
  const std::string path = dir.File("r.png");
  std::string error;
  ASSERT_TRUE(quenbarresponse::WriteResponsePng(path, frame, {c}, &error)) << error;
  EXPECT_EQ(dir.List(), std::vector<std::string>{"r.png"}) << "temporary file left behind";

  Raster_IBitmap* bm = Raster_LoadPNG(path.c_str());
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->getWidth(), 640);
  EXPECT_EQ(bm->getHeight(), 280);
  // -24 … +12 dB spans the plot, so -9 dB sits 21/36 of the way down; 20 Hz … 20 kHz
  // spans it across, so 632 Hz (the geometric middle) sits halfway.
  const quenbarresponse::PlotArea a = quenbarresponse::LayoutFor(frame);
  ASSERT_LT(a.left, a.right);
  ASSERT_LT(a.top, a.bottom);
  EXPECT_NEAR(a.X(std::sqrt(20.0 * 20000.0)), 0.5 * (a.left + a.right), 1e-9);
  const double wantRow = a.top + (a.bottom - a.top) * 21.0 / 36.0;
  for (double hz : {50.0, 632.0, 8000.0}) {
    const int x = static_cast<int>(std::lround(a.X(hz)));
    const int row = OrangeRow(bm, x, a.top, a.bottom);
    EXPECT_NEAR(row, wantRow, 1.5) << "curve at " << hz << " Hz";
  }
  delete bm;
}

// Whether some pixel within rows y-2 … y+2 of columns x-6 … x+6 is the unity
// line's light grey (a dash always crosses a window that wide).
bool UnityNear(Raster_IBitmap* bm, double x, double y) {
  for (int cx = static_cast<int>(x) - 6; cx <= static_cast<int>(x) + 6; ++cx)
    for (int cy = static_cast<int>(y) - 2; cy <= static_cast<int>(y) + 2; ++cy) {
      const Raster_Pixel p = Raster_RowPtr(bm, cy)[cx];
      const int r = Raster_GetR(p), g = Raster_GetG(p), b = Raster_GetB(p);
      if (r > 130 && std::abs(r - g) < 12 && std::abs(r - b) < 30) return true;
    }
  return false;
}

TEST(ResponsePlot, LevelAxisIsLinearWithAUnityLine) {
  toolstest::TempDir dir;
  PlotFrame frame;
  frame.width = 700;
  frame.height = 460;
  frame.xAxis = quenbarresponse::XAxis::kLinearDb;
  frame.minX = -48.0;
  frame.maxX = 6.0;
  frame.minDb = -48.0;
  frame.maxDb = 30.0;
  Curve c;
  c.label = "+12";
  c.x = LevelSteps(-48.0, 6.0, 3.0);
  for (double x : c.x) c.db.push_back(x + 12.0);
  const quenbarresponse::PlotArea a = quenbarresponse::LayoutFor(frame);
  EXPECT_NEAR(a.X(-48.0), a.left, 1e-9);
  EXPECT_NEAR(a.X(6.0), a.right, 1e-9);
  EXPECT_NEAR(a.X(-21.0), 0.5 * (a.left + a.right), 1e-9) << "linear, not log";

  for (const bool unity : {false, true}) {
    frame.unityLine = unity;
    const std::string path = dir.File(unity ? "u.png" : "n.png");
    std::string error;
    ASSERT_TRUE(quenbarresponse::WriteResponsePng(path, frame, {c}, &error)) << error;
    Raster_IBitmap* bm = Raster_LoadPNG(path.c_str());
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(bm->getWidth(), 700);
    EXPECT_EQ(bm->getHeight(), 460);
    for (double db : {-40.0, -20.0, 0.0}) {
      const int row = OrangeRow(bm, static_cast<int>(std::lround(a.X(db))), a.top, a.bottom);
      EXPECT_NEAR(row, a.Y(db + 12.0), 1.5) << "curve at " << db << " dB";
    }
    for (double db : {-42.0, -27.0, -9.0})
      EXPECT_EQ(UnityNear(bm, a.X(db), a.Y(db)), unity) << "unity line at " << db << " dB";
    delete bm;
  }
}

TEST(ResponsePlot, RefusesFramesItCannotDraw) {
  toolstest::TempDir dir;
  auto frame = [](auto change) {
    PlotFrame f;
    change(&f);
    return f;
  };
  const PlotFrame bad[] = {
      frame([](PlotFrame* f) { f->width = 0; }),
      frame([](PlotFrame* f) { f->height = 100000; }),
      frame([](PlotFrame* f) { f->minX = 0.0; }),
      frame([](PlotFrame* f) { f->maxX = 10.0; }),
      frame([](PlotFrame* f) { f->minDb = f->maxDb; }),
      frame([](PlotFrame* f) { f->maxDb = NAN; }),
      frame([](PlotFrame* f) { f->minDb = -1e300; }),
      frame([](PlotFrame* f) {
        f->xAxis = quenbarresponse::XAxis::kLinearDb;
        f->minX = -1e12;
      }),
  };
  for (const PlotFrame& f : bad) {
    std::string error;
    EXPECT_FALSE(quenbarresponse::CheckFrame(f, &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(quenbarresponse::WriteResponsePng(dir.File("r.png"), f, {}, &error));
    EXPECT_NE(error.find("cannot draw"), std::string::npos) << error;
  }
  EXPECT_TRUE(dir.List().empty());
  std::string error;
  EXPECT_TRUE(quenbarresponse::CheckFrame(PlotFrame(), &error)) << error;
}

TEST(ResponsePlot, FailureLeavesNoFile) {
  toolstest::TempDir dir;
  std::string error;
  EXPECT_FALSE(quenbarresponse::WriteResponsePng(dir.File("missing/r.png"), PlotFrame(), {},
                                                 &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(quenbarresponse::WriteResponsePng(dir.Path(), PlotFrame(), {}, &error));
  EXPECT_TRUE(dir.List().empty());
}

int RunTool(const std::string& args) {
  const int status = std::system((std::string(QUENBAR_RESPONSE_EXE) + " " + args).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ResponseTool, WritesThePicturesOrFailsWithoutEither) {
  toolstest::TempDir dir;
  const std::string tone = dir.File("response.png"), snap = dir.File("snap.png");
  EXPECT_EQ(RunTool("2>/dev/null"), 2) << "no output file";
  EXPECT_EQ(RunTool(tone + " --snap 2>/dev/null"), 2) << "--snap without a path";
  EXPECT_EQ(RunTool("--snap " + tone + " " + tone + " 2>/dev/null"), 2) << "one file for both";
  EXPECT_EQ(RunTool("--plugin /nonexistent/Q.vst3 " + tone + " 2>/dev/null"), 1);
  EXPECT_EQ(RunTool("--plugin /nonexistent/Q.vst3 --snap " + snap + " " + tone + " 2>/dev/null"),
            1);
  EXPECT_TRUE(dir.List().empty()) << "a failed run left a file";

  RequireBundle();
  if (HasFatalFailure() || IsSkipped()) return;
  // A Snap picture that cannot be written fails the run before it measures,
  // and the Tone picture is not written either.
  EXPECT_EQ(RunTool("--plugin " + kBundle + " --snap " + dir.File("missing/snap.png") + " " + tone +
                    " 2>/dev/null"),
            1);
  EXPECT_TRUE(dir.List().empty()) << "a failed run left a file";

  ASSERT_EQ(RunTool("--plugin " + kBundle + " --snap " + snap + " " + tone + " >/dev/null"), 0);
  EXPECT_EQ(dir.List().size(), 2u);
  const struct {
    std::string path;
    int width, height;
  } want[] = {{tone, 732, 300}, {snap, 732, 460}};
  for (const auto& w : want) {
    Raster_IBitmap* bm = Raster_LoadPNG(w.path.c_str());
    ASSERT_NE(bm, nullptr) << w.path;
    EXPECT_EQ(bm->getWidth(), w.width) << w.path;
    EXPECT_EQ(bm->getHeight(), w.height) << w.path;
    delete bm;
  }

  // Without --snap the Tone picture alone, the same as with it.
  const std::string alone = dir.File("alone.png");
  ASSERT_EQ(RunTool("--plugin " + kBundle + " " + alone + " >/dev/null"), 0);
  EXPECT_EQ(dir.List().size(), 3u);
  EXPECT_EQ(toolstest::ReadBytes(alone), toolstest::ReadBytes(tone));
}

}  // namespace

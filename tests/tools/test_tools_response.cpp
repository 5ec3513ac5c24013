// quenbar-response: the measurement through the real bundle against the tilt
// equaliser's known response, and the picture it writes.
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
using quenbarresponse::LogFrequencies;
using quenbarresponse::MeterSettings;
using quenbarresponse::PlotFrame;
using quenbarresponse::ResponseMeter;

const std::string kBundle = QUENBAR_BUNDLE;

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

void RequireBundle() {
  if (!Exists(kBundle)) {
#ifdef QUENBAR_BUNDLE_TARGET
    FAIL() << "the bundle target exists but " << kBundle << " was not built";
#else
    GTEST_SKIP() << kBundle << " does not exist yet (no bundle target in this build)";
#endif
  }
}

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
  c.freqs = LogFrequencies(20, 20.0, 20000.0);
  c.gainDb.assign(c.freqs.size(), -9.0);
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

TEST(ResponseTool, WritesThePictureOrFailsWithoutOne) {
  toolstest::TempDir dir;
  EXPECT_EQ(RunTool("2>/dev/null"), 2) << "no output file";
  EXPECT_EQ(RunTool("--plugin /nonexistent/Q.vst3 " + dir.File("bad.png") + " 2>/dev/null"), 1);
  EXPECT_TRUE(dir.List().empty()) << "a failed run left a file";

  RequireBundle();
  if (HasFatalFailure() || IsSkipped()) return;
  const std::string out = dir.File("response.png");
  ASSERT_EQ(RunTool("--plugin " + kBundle + " " + out + " >/dev/null"), 0);
  Raster_IBitmap* bm = Raster_LoadPNG(out.c_str());
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->getWidth(), 732);
  EXPECT_EQ(bm->getHeight(), 300);
  delete bm;
}

}  // namespace

// Edge cases of the per-sample signal path, at the ProcessDoubleReplacing level.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Coeffs/Tilt.h"
#include "Quenbar/SignalPath.h"
#include "quenbar_test_support.h"

using namespace qtest;

namespace
{

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double K = 142.14300537109375;

// Smallest positive v whose scaled magnitude |v| * K reaches index.
double FirstVAtIndex(double index)
{
  double v = index / K;
  while (v * K >= index)
    v = std::nextafter(v, 0.0);
  while (v * K < index)
    v = std::nextafter(v, kInf);
  return v;
}

TEST(QuenbarBlock, ZeroFramesStillRecomputesBothTilts)
{
  QuenbarPtr plug = MakeQuenbar(48000.0);
  double l[4] = {1, 2, 3, 4}, r[4] = {5, 6, 7, 8};
  double* ins[2] = {l, r};
  double ol[4] = {-1, -1, -1, -1}, orr[4] = {-1, -1, -1, -1};
  double* outs[2] = {ol, orr};
  plug->ProcessDoubleReplacing(ins, outs, 4);
  EXPECT_EQ(plug->LeftTilt().GetSampleRate(), 48000.0);
  EXPECT_EQ(plug->RightTilt().GetSampleRate(), 48000.0);

  const double before[4] = {ol[0], ol[1], ol[2], ol[3]};
  plug->SetSampleRate(96000.7);
  plug->ProcessDoubleReplacing(ins, outs, 0);
  EXPECT_EQ(plug->LeftTilt().GetSampleRate(), 96000.0);
  EXPECT_EQ(plug->RightTilt().GetSampleRate(), 96000.0);
  EXPECT_EQ(plug->RightTilt().GetOutputScale(), 0.1 * (double)(96000.0f * 96000.0f));

  // A negative count is a block of nothing too.
  plug->SetSampleRate(22050.0);
  plug->ProcessDoubleReplacing(ins, outs, -3);
  EXPECT_EQ(plug->LeftTilt().GetSampleRate(), 22050.0);
  EXPECT_EQ(plug->RightTilt().GetSampleRate(), 22050.0);

  for (int i = 0; i < 4; ++i)
  {
    EXPECT_TRUE(SameBits(ol[i], before[i])) << i;
    EXPECT_EQ(l[i], i + 1.0);
  }
}

TEST(QuenbarBlock, SilenceFromTheStartStaysExactlyZero)
{
  for (const qref::Settings& s : {qref::Settings{}, qref::Settings{15.0, 1.0, 1.25, 30.0, 0.0},
                                  qref::Settings{-15.0, 0.5, 0.25, 0.0, 0.0}})
  {
    QuenbarPtr plug = MakeQuenbar(44100.0);
    Apply(*plug, s);
    const Stereo out = RunBlocks(*plug, Stereo(3000), 512);
    for (int i = 0; i < out.size(); ++i)
    {
      ASSERT_EQ(out.l[i], 0.0) << i;
      ASSERT_EQ(out.r[i], 0.0) << i;
    }
  }
}

// The channels have their own equalisers: a signal on one leaves the other silent.
TEST(QuenbarBlock, ChannelsAreIndependent)
{
  QuenbarPtr plug = MakeQuenbar();
  Stereo in = Noise(2000, 50.0, 3);
  std::fill(in.r.begin(), in.r.end(), 0.0);
  const Stereo out = RunBlocks(*plug, in, 128);
  double peak = 0;
  for (int i = 0; i < out.size(); ++i)
  {
    ASSERT_EQ(out.r[i], 0.0) << i;
    peak = std::fmax(peak, std::fabs(out.l[i]));
  }
  EXPECT_GT(peak, 1.0);
}

// Bypass passes the input exactly, and the equalisers run on underneath:
// after a bypassed stretch the output is the never-bypassed output.
TEST(QuenbarBypass, PassesInputExactlyWhileTiltStateAdvances)
{
  const Stereo a = Noise(3000, 80.0, 11), b = Noise(3000, 80.0, 12);
  const qref::Settings on{2.0, 0.9, 0.4, 10.0, 0.0};
  qref::Settings bypassed = on;
  bypassed.bypass = 1.0;

  QuenbarPtr never = MakeQuenbar(), once = MakeQuenbar(), fresh = MakeQuenbar();
  Apply(*never, on);
  Apply(*once, bypassed);
  Apply(*fresh, on);
  RunBlocks(*never, a, 100);
  const Stereo passed = RunBlocks(*once, a, 100);
  EXPECT_EQ(FirstDifference(passed.l, a.l), -1);
  EXPECT_EQ(FirstDifference(passed.r, a.r), -1);

  SetParam(*once, Quenbar::kBypass, 0.0);
  const Stereo want = RunBlocks(*never, b, 100);
  const Stereo got = RunBlocks(*once, b, 100);
  EXPECT_EQ(FirstDifference(got.l, want.l), -1);
  EXPECT_EQ(FirstDifference(got.r, want.r), -1);
  // Not vacuous: without the history the output differs.
  const Stereo other = RunBlocks(*fresh, b, 100);
  EXPECT_NE(FirstDifference(other.l, want.l), -1);
}

// Only the truncated value 1 bypasses; a stored value short of 1 does not.
TEST(QuenbarBypass, ValueIsTruncatedTowardZero)
{
  const Stereo in = Noise(500, 30.0, 5);
  for (double value : {0.999, 0.5})
  {
    QuenbarPtr plug = MakeQuenbar(), ref = MakeQuenbar();
    plug->GetParam(Quenbar::kBypass)->SetValue(value);
    plug->OnParamChange(Quenbar::kBypass);
    const Stereo out = RunBlocks(*plug, in, 64), want = RunBlocks(*ref, in, 64);
    EXPECT_EQ(FirstDifference(out.l, want.l), -1) << value;
    EXPECT_NE(FirstDifference(out.l, in.l), -1) << value;
  }
}

// Per-sample blocks let Bypass switch between any two samples.
TEST(QuenbarBypass, TakesEffectFromTheNextSample)
{
  const Stereo in = Noise(64, 30.0, 6);
  QuenbarPtr plug = MakeQuenbar(), ref = MakeQuenbar();
  for (int i = 0; i < in.size(); ++i)
  {
    SetParam(*plug, Quenbar::kBypass, (i / 7) % 2);
    double* ins[2] = {const_cast<double*>(&in.l[i]), const_cast<double*>(&in.r[i])};
    double ol, orr, wl, wr;
    double* outs[2] = {&ol, &orr};
    double* wants[2] = {&wl, &wr};
    plug->ProcessDoubleReplacing(ins, outs, 1);
    ref->ProcessDoubleReplacing(ins, wants, 1);
    if ((i / 7) % 2)
    {
      EXPECT_TRUE(SameBits(ol, in.l[i]) && SameBits(orr, in.r[i])) << i;
    }
    else
    {
      EXPECT_TRUE(SameBits(ol, wl) && SameBits(orr, wr)) << i;
    }
  }
}

// Mix 0 is the dry signal times the level gain, exactly.
TEST(QuenbarMix, ZeroGivesInputTimesLevelGain)
{
  Stereo in = Noise(4000, 500.0, 21);
  in.l[10] = 1e-300;
  in.r[11] = -3e5;
  for (double level : {0.0, -15.0, 7.3, 15.0})
  {
    QuenbarPtr plug = MakeQuenbar(96000.0);
    Apply(*plug, {level, 0.0, 1.2, 30.0, 0.0});
    const double gain = plug->LevelGain();
    const Stereo out = RunBlocks(*plug, in, 333);
    for (int i = 0; i < in.size(); ++i)
    {
      ASSERT_EQ(out.l[i], in.l[i] * gain) << level << " " << i;
      ASSERT_EQ(out.r[i], in.r[i] * gain) << level << " " << i;
    }
  }
}

TEST(QuenbarSnap, IndexBoundariesOfTheTable)
{
  const float* e = qref::kSnapTable;
  const double past = 0.8333333134651184;

  // Index 199 onwards: the flat value.
  const double v199 = FirstVAtIndex(199.0);
  EXPECT_EQ(quenbar::SnapCurve(v199), past);
  EXPECT_EQ(quenbar::SnapCurve(199.0 / K * (1 + 1e-15)), past);
  EXPECT_EQ(quenbar::SnapCurve(1.5), past);
  EXPECT_EQ(quenbar::SnapCurve(1e6), past);
  EXPECT_EQ(quenbar::SnapCurve(1e300), past);
  EXPECT_EQ(quenbar::SnapCurve(kInf), past);

  // Just below: index 198, interpolated toward entry 199.
  const double below = std::nextafter(v199, 0.0);
  const double s = below * K;
  ASSERT_LT(s, 199.0);
  ASSERT_GE(s, 198.0);
  const double f = s - 198.0;
  EXPECT_EQ(quenbar::SnapCurve(below), (double)e[198] * (1.0 - f) + (double)e[199] * f);

  // The start of index 198 is entry 198, visibly above the flat value.
  const double v198 = FirstVAtIndex(198.0);
  EXPECT_NEAR(quenbar::SnapCurve(v198), 0.833450317, 1e-9);
  EXPECT_GT(quenbar::SnapCurve(v198) - past, 1e-4);
  EXPECT_NEAR(quenbar::SnapCurve(198.5 / K), 0.5 * ((double)e[198] + e[199]), 1e-12);

  // Near zero: a straight line of slope entry[1] * K.
  EXPECT_NEAR(quenbar::SnapCurve(1e-6) / 1e-6, (double)e[1] * K, 1e-9);
  EXPECT_NEAR((double)e[1] * K, 0.2850, 1e-4);
  // First peak, dip and maximum at their entries.
  EXPECT_NEAR(quenbar::SnapCurve(34.0 / K), (double)e[34], 1e-12);
  EXPECT_NEAR(quenbar::SnapCurve(39.0 / K), (double)e[39], 1e-12);
  EXPECT_NEAR(quenbar::SnapCurve(89.0 / K), (double)e[89], 1e-12);
}

TEST(QuenbarSnap, CurveIsOdd)
{
  for (double v = 0.0; v < 1.6; v += 0.000137)
  {
    const double pos = quenbar::SnapCurve(v), neg = quenbar::SnapCurve(-v);
    ASSERT_TRUE(SameBits(neg, -pos)) << v;
  }
  for (double v : {FirstVAtIndex(198.0), FirstVAtIndex(199.0), std::nextafter(FirstVAtIndex(199.0), 0.0), kInf})
    EXPECT_TRUE(SameBits(quenbar::SnapCurve(-v), -quenbar::SnapCurve(v))) << v;
  EXPECT_FALSE(std::signbit(quenbar::SnapCurve(0.0)));
  EXPECT_TRUE(std::signbit(quenbar::SnapCurve(-0.0)));
  EXPECT_EQ(quenbar::SnapCurve(-0.0), 0.0);
}

TEST(QuenbarSnap, NotANumberGivesZero)
{
  EXPECT_EQ(quenbar::SnapCurve(kNaN), 0.0);
  EXPECT_EQ(quenbar::SnapCurve(-kNaN), 0.0);
}

// A NaN sample comes out as NaN (the dry term) but feeds the equaliser a
// zero: every other output sample is that of a zero in its place.
TEST(QuenbarSnap, NotANumberInputPassesDryButNotIntoTheFilter)
{
  for (double mix : {1.0, 0.4})
  {
    Stereo in = Noise(2000, 60.0, 31), zeroed = in;
    in.l[700] = kNaN;
    in.r[1200] = -kNaN;
    zeroed.l[700] = 0.0;
    zeroed.r[1200] = 0.0;
    QuenbarPtr plug = MakeQuenbar(), ref = MakeQuenbar();
    Apply(*plug, {0.0, mix, 0.9, 20.0, 0.0});
    Apply(*ref, {0.0, mix, 0.9, 20.0, 0.0});
    const Stereo out = RunBlocks(*plug, in, 256), want = RunBlocks(*ref, zeroed, 256);
    EXPECT_TRUE(std::isnan(out.l[700]));
    EXPECT_TRUE(std::isnan(out.r[1200]));
    for (int i = 0; i < in.size(); ++i)
    {
      ASSERT_TRUE(i == 700 || SameBits(out.l[i], want.l[i])) << mix << " " << i;
      ASSERT_TRUE(i == 1200 || SameBits(out.r[i], want.r[i])) << mix << " " << i;
    }
  }
}

TEST(QuenbarSnap, BypassedNotANumberComesOutUnchanged)
{
  QuenbarPtr plug = MakeQuenbar();
  SetParam(*plug, Quenbar::kBypass, 1.0);
  Stereo in = Noise(100, 60.0, 32);
  in.l[5] = kNaN;
  const Stereo out = RunBlocks(*plug, in, 100);
  EXPECT_TRUE(SameBits(out.l[5], kNaN));
  EXPECT_EQ(FirstDifference(out.r, in.r), -1);
}

// Input buffers used as output buffers give the same samples.
TEST(QuenbarBlock, InPlaceEqualsSeparateBuffers)
{
  const Stereo in = Noise(5000, 120.0, 41);
  for (int block : {1, 64, 1000})
  {
    QuenbarPtr sep = MakeQuenbar(), inplace = MakeQuenbar();
    Apply(*sep, {4.0, 0.6, 0.9, 14.0, 0.0});
    Apply(*inplace, {4.0, 0.6, 0.9, 14.0, 0.0});
    const Stereo want = RunBlocks(*sep, in, block);
    Stereo buf = in;
    for (int start = 0; start < buf.size(); start += block)
    {
      const int n = std::min(block, buf.size() - start);
      double* io[2] = {buf.l.data() + start, buf.r.data() + start};
      inplace->ProcessDoubleReplacing(io, io, n);
    }
    EXPECT_EQ(FirstDifference(buf.l, want.l), -1) << block;
    EXPECT_EQ(FirstDifference(buf.r, want.r), -1) << block;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "Coeffs/Tilt.h"
#include "tilt_oracle.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kGain = 0.55, kShape = 0.25;  // the effect's fixed c1 and c4

// Runs the filter and the quad-precision oracle side by side, calling Calc once
// per block as the effect does; returns the largest difference relative to
// the oracle's peak output.
template <class Rate, class Input, class Tone>
double RelErrorVsOracle(Rate rate, int n, Input input, Tone tone)
{
  Tilt t;
  TiltOracle o;
  double peak = 0, err = 0;
  for (int i = 0; i < n; ++i)
  {
    if (i % 256 == 0)
    {
      t.Calc(rate(i));
      o.Calc(rate(i));
    }
    double x = input(i), c = tone(i);
    double y = t.Process(x, kGain, c, c, kShape);
    double yo = o.Process(x, kGain, c, c, kShape);
    peak = std::fmax(peak, std::fabs(yo));
    err = std::fmax(err, std::fabs(y - yo));
  }
  EXPECT_GT(peak, 0.0);
  return err / peak;
}

std::vector<double> Noise(int n, double amp, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-amp, amp);
  std::vector<double> v(n);
  for (double& x : v)
    x = u(rng);
  return v;
}

// Gain in dB of a settled filter at one frequency, from a sine's in-phase and
// quadrature components over whole periods.
double GainDb(double rate, double tone, double freq)
{
  Tilt t;
  t.Calc(rate);
  for (int i = 0; i < 20000; ++i)  // controls settle; state stays zero
    t.Process(0.0, kGain, tone, tone, kShape);
  const double w = 2 * kPi * freq / rate;
  const int settle = (int)(3 * rate);  // the start-up transient dies away
  const int periods = (int)std::ceil(0.5 * freq);
  const int measure = (int)std::lround(periods * rate / freq);
  double re = 0, im = 0;
  for (int i = 0; i < settle + measure; ++i)
  {
    double y = t.Process(std::sin(w * i), kGain, tone, tone, kShape);
    if (i >= settle)
    {
      re += y * std::sin(w * i);
      im += y * std::cos(w * i);
    }
  }
  return 20 * std::log10(2 * std::hypot(re, im) / measure);
}

}  // namespace

TEST(Tilt, CalcTruncatesAndClampsTheRate)
{
  Tilt t;
  t.Calc(44100.9);
  EXPECT_EQ(t.GetSampleRate(), 44100.0);
  // 44100^2 = 1944810000 is not a float; the nearest one is 1944809984.
  EXPECT_EQ(t.GetOutputScale(), 0.1 * 1944809984.0);
  for (double r : {0.0, 0.5, -48000.0, (double)NAN})
  {
    t.Calc(r);
    EXPECT_EQ(t.GetSampleRate(), 1.0) << r;
    EXPECT_EQ(t.GetOutputScale(), 0.1) << r;
  }
  for (double r : {384000.0, 192000.5, 1e30, (double)INFINITY})
  {
    t.Calc(r);
    EXPECT_EQ(t.GetSampleRate(), 192000.0) << r;
    EXPECT_EQ(t.GetOutputScale(), 0.1 * 36864000000.0) << r;
  }
}

TEST(Tilt, ZeroInputGivesZeroOutputForEver)
{
  for (double rate : {48000.0, 192000.0})
  {
    Tilt t;
    t.Calc(rate);
    int nonzero = 0;
    for (int i = 0; i < 400000; ++i)
    {
      double tone = (i / 50000) % 2 ? 1.25 : 0.25;
      nonzero += t.Process(0.0, kGain, tone, tone, kShape) != 0.0;
    }
    EXPECT_EQ(nonzero, 0) << rate;
  }
}

TEST(Tilt, ResponseAt48kMatchesTheTable)
{
  const double freqs[4] = {20, 100, 1000, 10000};
  const struct { double tone, db[4]; } rows[3] = {
    {0.25, {0.42, 4.90, -5.61, -14.93}},
    {0.75, {-3.67, 0.62, -0.26, -0.28}},
    {1.25, {-17.61, -2.66, 8.06, 8.54}},
  };
  for (const auto& row : rows)
    for (int f = 0; f < 4; ++f)
    {
      double db = GainDb(48000, row.tone, freqs[f]);
      std::printf("Tone %g at %g Hz: %+.3f dB\n", row.tone, freqs[f], db);
      EXPECT_NEAR(db, row.db[f], 0.1) << "Tone " << row.tone << " at " << freqs[f] << " Hz";
    }
}

TEST(Tilt, NoResponseAtDc)
{
  // A step settles to zero; a plain-double evaluation leaves a DC offset.
  for (double rate : {48000.0, 192000.0})
    for (double tone : {0.25, 1.25})
    {
      Tilt t;
      t.Calc(rate);
      const int n = (int)(16 * rate);
      double peak = 0, tail = 0;
      for (int i = 0; i < n; ++i)
      {
        double y = std::fabs(t.Process(1.0, kGain, tone, tone, kShape));
        peak = std::fmax(peak, y);
        if (i >= n - (int)rate)
          tail = std::fmax(tail, y);
      }
      std::printf("DC at %g Hz, Tone %g: 16th second %.3g of peak\n", rate, tone, tail / peak);
      EXPECT_LT(tail, 1e-13 * peak) << rate << " Tone " << tone;
    }
}

TEST(Tilt, ImpulseDecaysAt192kFromTheFadeIn)
{
  // The impulse arrives on the first sample, while the controls still glide.
  for (double tone : {1.25, 0.75})
  {
    Tilt t;
    t.Calc(192000);
    double energy[20] = {};
    for (int s = 0; s < 20; ++s)
      for (int i = 0; i < 192000; ++i)
      {
        double y = t.Process(s == 0 && i == 0 ? 1.0 : 0.0, kGain, tone, tone, kShape);
        ASSERT_TRUE(std::isfinite(y));
        energy[s] += y * y;
      }
    ASSERT_GT(energy[0], 0.0);
    for (int s = 1; s < 20; ++s)
      EXPECT_LT(energy[s], energy[s - 1] * 0.1) << "Tone " << tone << ", second " << s;
    EXPECT_LT(energy[19], 1e-30 * energy[0]) << "Tone " << tone;
  }
}

TEST(Tilt, MatchesQuadOracleOnNoiseWithMovingTone)
{
  const std::vector<double> noise = Noise(20000, 1.0, 7);
  auto tone = [](int i) { return i < 8000 ? 0.75 : i < 14000 ? 1.25 : 0.25; };
  for (double rate : {44100.0, 48000.0, 96000.0, 192000.0})
  {
    double e = RelErrorVsOracle([&](int) { return rate; }, (int)noise.size(),
                                [&](int i) { return noise[i]; }, tone);
    std::printf("noise at %g Hz: max error %.3g of peak\n", rate, e);
    EXPECT_LT(e, 1e-11) << rate;
  }
}

TEST(Tilt, MatchesQuadOracleOn20HzSine)
{
  for (double rate : {44100.0, 48000.0, 96000.0, 192000.0})
    for (double tone : {0.25, 1.25})
    {
      const double w = 2 * kPi * 20 / rate;
      double e = RelErrorVsOracle([&](int) { return rate; }, (int)(rate / 10),
                                  [&](int i) { return std::sin(w * i); }, [&](int) { return tone; });
      std::printf("20 Hz at %g Hz, Tone %g: max error %.3g of peak\n", rate, tone, e);
      EXPECT_LT(e, 1e-11) << rate << " Tone " << tone;
    }
}

TEST(Tilt, RateChangesTakeEffectAtTheNextBlock)
{
  // Settled coefficients must not outlive a change of rate.
  const std::vector<double> noise = Noise(24000, 1.0, 3);
  auto rate = [](int i) { return i < 10000 ? 48000.0 : i < 17000 ? 192000.0 : 44100.0; };
  double e = RelErrorVsOracle(rate, (int)noise.size(), [&](int i) { return noise[i]; },
                              [](int) { return 0.75; });
  EXPECT_LT(e, 1e-11);
}

TEST(Tilt, FusedAndDekkerProductsGiveTheSameBits)
{
  Tilt fused, dekker;
  fused.SetFusedMultiplyAdd(true);
  dekker.SetFusedMultiplyAdd(false);
  ASSERT_FALSE(dekker.GetFusedMultiplyAdd());
  if (!fused.GetFusedMultiplyAdd())
    GTEST_SKIP() << "no fused multiply-add on this processor";
  const std::vector<double> noise = Noise(30000, 1.0, 5);
  int differ = 0;
  for (int i = 0; i < (int)noise.size(); ++i)
  {
    if (i % 512 == 0)
    {
      fused.Calc(i < 15000 ? 48000 : 192000);
      dekker.Calc(i < 15000 ? 48000 : 192000);
    }
    double tone = i < 20000 ? 0.25 : 1.25;
    double a = fused.Process(noise[i], kGain, tone, tone, kShape);
    double b = dekker.Process(noise[i], kGain, tone, tone, kShape);
    differ += std::memcmp(&a, &b, sizeof a) != 0;
  }
  EXPECT_EQ(differ, 0);
}

TEST(Tilt, NonFiniteInputSampleIsDropped)
{
  Tilt t;
  t.Calc(48000);
  const std::vector<double> noise = Noise(20000, 1.0, 9);
  int bad = 0;
  for (int i = 0; i < (int)noise.size(); ++i)
  {
    double x = i == 5000 ? NAN : i == 9000 ? INFINITY : i == 9001 ? -1e300 : noise[i];
    bad += !std::isfinite(t.Process(x, kGain, 0.75, 0.75, kShape));
  }
  EXPECT_EQ(bad, 0);
}

TEST(Tilt, SilenceAfterLoudInputEndsInExactZeros)
{
  // Without clearing, the state would sink into subnormals and stay there.
  Tilt t;
  const double rate = 44100;
  t.Calc(rate);
  for (double x : Noise((int)rate, 1.0, 11))
    t.Process(x, kGain, 0.25, 0.25, kShape);
  int subnormal = 0, nonzeroTail = 0;
  const int n = (int)(80 * rate);
  for (int i = 0; i < n; ++i)
  {
    double y = t.Process(0.0, kGain, 0.25, 0.25, kShape);
    subnormal += std::fpclassify(y) == FP_SUBNORMAL;
    nonzeroTail += i >= n - (int)(10 * rate) && y != 0.0;
  }
  EXPECT_EQ(subnormal, 0);
  EXPECT_EQ(nonzeroTail, 0);
}

// Both channels through ProcessStereo against two independent Process calls.
class TiltStereo : public ::testing::TestWithParam<bool>
{
protected:
  void SetUp() override
  {
    for (Tilt* t : {&l, &r, &lm, &rm})
    {
      t->SetFusedMultiplyAdd(GetParam());
      t->Calc(48000);
    }
  }
  // Returns the number of samples whose outputs differ in any bit.
  int Run(int n, unsigned seed, double tone, double rateR = 48000)
  {
    const std::vector<double> xl = Noise(n, 1.0, seed), xr = Noise(n, 1.0, seed + 1);
    r.Calc(rateR);
    rm.Calc(rateR);
    int differ = 0;
    for (int i = 0; i < n; ++i)
    {
      double yl, yr;
      Tilt::ProcessStereo(l, r, xl[i], xr[i], kGain, tone, tone, kShape, yl, yr);
      double el = lm.Process(xl[i], kGain, tone, tone, kShape);
      double er = rm.Process(xr[i], kGain, tone, tone, kShape);
      differ += std::memcmp(&yl, &el, sizeof yl) != 0 || std::memcmp(&yr, &er, sizeof yr) != 0;
    }
    return differ;
  }
  Tilt l, r, lm, rm;
};

TEST_P(TiltStereo, SharedWorkGivesTheSameBitsAsTwoMonoFilters)
{
  EXPECT_EQ(Run(8000, 1, 0.25), 0);   // fade-in and glide
  EXPECT_EQ(Run(8000, 3, 1.25), 0);   // settling at a new Tone
  EXPECT_EQ(Run(4000, 5, 1.25, 96000), 0);  // rates differ: separate work
  EXPECT_EQ(Run(4000, 7, 0.75), 0);   // back together
}

TEST_P(TiltStereo, ChannelsWithDifferentHistoriesStayExact)
{
  // The right channel alone sees other controls for a while; afterwards the
  // pair's smoothed controls differ and its coefficients must be its own.
  for (int i = 0; i < 3000; ++i)
  {
    double y = r.Process(0.1, kGain, 0.25, 0.25, kShape);
    double e = rm.Process(0.1, kGain, 0.25, 0.25, kShape);
    ASSERT_EQ(std::memcmp(&y, &e, sizeof y), 0);
  }
  EXPECT_EQ(Run(6000, 9, 1.25), 0);
  EXPECT_EQ(Run(6000, 11, 0.75), 0);
}

INSTANTIATE_TEST_SUITE_P(Products, TiltStereo, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& p) {
                           return p.param ? "Fused" : "Dekker";
                         });

// ProcessStereoBlock against ProcessStereo sample by sample on a twin pair.
class TiltStereoBlock : public ::testing::TestWithParam<bool>
{
protected:
  void SetUp() override
  {
    for (Tilt* t : {&l, &r, &lm, &rm})
      t->SetFusedMultiplyAdd(GetParam());
  }
  // Runs n samples in blocks whose sizes cycle through sizes, calling Calc
  // before each block as the effect does; returns the number of samples that
  // differ in any bit. inPlace: the block writes over its input.
  int Run(int n, unsigned seed, double tone, std::vector<int> sizes, double rateL = 48000,
          double rateR = 48000, bool inPlace = false)
  {
    const std::vector<double> xl = Noise(n, 1.0, seed), xr = Noise(n, 1.0, seed + 1);
    std::vector<double> yl(n), yr(n);
    if (inPlace)
    {
      yl = xl;
      yr = xr;
    }
    int differ = 0, start = 0;
    for (size_t b = 0; start < n; ++b)
    {
      const int len = std::min(sizes[b % sizes.size()], n - start);
      for (Tilt* t : {&l, &lm})
        t->Calc(rateL);
      for (Tilt* t : {&r, &rm})
        t->Calc(rateR);
      const double* il = inPlace ? &yl[start] : &xl[start];
      const double* ir = inPlace ? &yr[start] : &xr[start];
      Tilt::ProcessStereoBlock(l, r, il, ir, &yl[start], &yr[start], len, kGain, tone, tone, kShape);
      for (int i = start; i < start + len; ++i)
      {
        double el, er;
        Tilt::ProcessStereo(lm, rm, xl[i], xr[i], kGain, tone, tone, kShape, el, er);
        differ += std::memcmp(&yl[i], &el, sizeof el) != 0 || std::memcmp(&yr[i], &er, sizeof er) != 0;
      }
      start += len;
    }
    return differ;
  }
  Tilt l, r, lm, rm;
};

TEST_P(TiltStereoBlock, GivesTheSameBitsAsSampleBySample)
{
  // Odd sizes put block ends at every phase of the pair's delay line, and the
  // long ones run past its 65-sample window.
  EXPECT_EQ(Run(6000, 21, 0.25, {1, 7, 63, 64, 65, 130, 513}), 0);  // fade-in and glide
  EXPECT_EQ(Run(6000, 23, 1.25, {200, 3, 129}), 0);                  // Tone moves, settles
  EXPECT_EQ(Run(3000, 25, 1.25, {1000, 17}, 96000, 96000), 0);       // rate change
  EXPECT_EQ(Run(3000, 27, 0.75, {64}, 48000, 192000), 0);            // rates differ
  EXPECT_EQ(Run(3000, 29, 0.5, {31, 97}), 0);                        // together again
  EXPECT_EQ(Run(2000, 31, 0.75, {5, 77}, 48000, 48000, true), 0);    // in place
}

TEST_P(TiltStereoBlock, PairWithDifferentHistoriesFallsBackExactly)
{
  // The right channels alone see other controls, so the pair's smoothed
  // controls differ when the blocks start and it cannot run together at once.
  for (int i = 0; i < 2000; ++i)
  {
    double y = r.Process(0.1, kGain, 0.25, 0.25, kShape);
    double e = rm.Process(0.1, kGain, 0.25, 0.25, kShape);
    ASSERT_EQ(std::memcmp(&y, &e, sizeof y), 0);
  }
  EXPECT_EQ(Run(8000, 33, 1.25, {1, 64, 333, 9}), 0);
  EXPECT_EQ(Run(4000, 35, 0.75, {65, 2}), 0);
}

TEST_P(TiltStereoBlock, SilenceAfterLoudInputClearsBothLanesAlike)
{
  // The quiet-line clearing fires inside a block; only the left channel goes
  // silent first, so the lanes clear at different samples.
  EXPECT_EQ(Run(20000, 37, 0.25, {64, 61}), 0);
  const int n = 44100 * 80;
  std::vector<double> zl(n, 0.0), zr(n, 0.0), ol(n), orr(n);
  for (int i = 0; i < 44100; ++i)
    zr[i] = std::sin(0.01 * i);
  l.Calc(44100);
  r.Calc(44100);
  lm.Calc(44100);
  rm.Calc(44100);
  int differ = 0, nonzeroTail = 0;
  for (int start = 0; start < n; start += 500)
  {
    const int len = std::min(500, n - start);
    Tilt::ProcessStereoBlock(l, r, &zl[start], &zr[start], &ol[start], &orr[start], len, kGain, 0.25,
                             0.25, kShape);
    for (int i = start; i < start + len; ++i)
    {
      double el, er;
      Tilt::ProcessStereo(lm, rm, zl[i], zr[i], kGain, 0.25, 0.25, kShape, el, er);
      differ += std::memcmp(&ol[i], &el, sizeof el) != 0 || std::memcmp(&orr[i], &er, sizeof er) != 0;
      nonzeroTail += i >= n - 10 * 44100 && (ol[i] != 0.0 || orr[i] != 0.0);
    }
  }
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(nonzeroTail, 0);
}

INSTANTIATE_TEST_SUITE_P(Products, TiltStereoBlock, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& p) {
                           return p.param ? "Fused" : "Dekker";
                         });

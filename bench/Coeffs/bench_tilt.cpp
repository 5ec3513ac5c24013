// Cost of one tilt-equaliser sample at 48 kHz: per_sample is the time per
// sample of one channel (mono) or per stereo frame (stereo). fma:0 forces the
// path for processors without fused multiply-add.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "Coeffs/Tilt.h"

namespace {

const int kBlock = 512;
const double kRate = 48000;

std::vector<double> Noise(int n, double amp)
{
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> u(-amp, amp);
  std::vector<double> v(n);
  for (double& x : v)
    x = u(rng);
  return v;
}

// Settled: Tone fixed long enough for the smoothed controls to stop changing.
// Moving: Tone alternates between the ends of its range every block, so the
// controls (and the coefficients) change on every sample.
double ToneFor(bool moving, int64_t block)
{
  return moving ? (block % 2 ? 1.25 : 0.25) : 0.75;
}

void SetPerSample(benchmark::State& state)
{
  state.counters["per_sample"] = benchmark::Counter(
      (double)kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_TiltMono(benchmark::State& state)
{
  const bool moving = state.range(0) != 0;
  std::vector<double> in = Noise(kBlock, 0.01);
  Tilt t;
  t.SetFusedMultiplyAdd(state.range(1) != 0);
  t.Calc(kRate);
  for (int i = 0; i < 50000; ++i)
    t.Process(0.0, 0.55, 0.75, 0.75, 0.25);
  int64_t block = 0;
  double sum = 0;
  for (auto _ : state)
  {
    t.Calc(kRate);
    double tone = ToneFor(moving, block++);
    for (int i = 0; i < kBlock; ++i)
      sum += t.Process(in[i], 0.55, tone, tone, 0.25);
    benchmark::DoNotOptimize(sum);
  }
  SetPerSample(state);
}
BENCHMARK(BM_TiltMono)->ArgNames({"moving", "fma"})->ArgsProduct({{0, 1}, {1, 0}});

void BM_TiltStereo(benchmark::State& state)
{
  const bool moving = state.range(0) != 0;
  std::vector<double> inL = Noise(kBlock, 0.01), inR = Noise(kBlock + 7, 0.01);
  Tilt l, r;
  l.SetFusedMultiplyAdd(state.range(1) != 0);
  r.SetFusedMultiplyAdd(state.range(1) != 0);
  l.Calc(kRate);
  r.Calc(kRate);
  double yl, yr;
  for (int i = 0; i < 50000; ++i)
    Tilt::ProcessStereo(l, r, 0.0, 0.0, 0.55, 0.75, 0.75, 0.25, yl, yr);
  int64_t block = 0;
  double sum = 0;
  for (auto _ : state)
  {
    l.Calc(kRate);
    r.Calc(kRate);
    double tone = ToneFor(moving, block++);
    for (int i = 0; i < kBlock; ++i)
    {
      Tilt::ProcessStereo(l, r, inL[i], inR[i], 0.55, tone, tone, 0.25, yl, yr);
      sum += yl + yr;
    }
    benchmark::DoNotOptimize(sum);
  }
  SetPerSample(state);
}
BENCHMARK(BM_TiltStereo)->ArgNames({"moving", "fma"})->ArgsProduct({{0, 1}, {1, 0}});

// Both channels a block at a time, as the effect runs them.
void BM_TiltStereoBlock(benchmark::State& state)
{
  const bool moving = state.range(0) != 0;
  std::vector<double> inL = Noise(kBlock, 0.01), inR = Noise(kBlock + 7, 0.01);
  std::vector<double> outL(kBlock), outR(kBlock);
  Tilt l, r;
  l.SetFusedMultiplyAdd(state.range(1) != 0);
  r.SetFusedMultiplyAdd(state.range(1) != 0);
  l.Calc(kRate);
  r.Calc(kRate);
  double yl, yr;
  for (int i = 0; i < 50000; ++i)
    Tilt::ProcessStereo(l, r, 0.0, 0.0, 0.55, 0.75, 0.75, 0.25, yl, yr);
  int64_t block = 0;
  for (auto _ : state)
  {
    l.Calc(kRate);
    r.Calc(kRate);
    double tone = ToneFor(moving, block++);
    Tilt::ProcessStereoBlock(l, r, inL.data(), inR.data(), outL.data(), outR.data(), kBlock, 0.55,
                             tone, tone, 0.25);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
  }
  SetPerSample(state);
}
BENCHMARK(BM_TiltStereoBlock)->ArgNames({"moving", "fma"})->ArgsProduct({{0, 1}, {1, 0}});

// Silence after a second of loud noise: the state must not linger in subnormals.
void BM_TiltSilenceAfterLoud(benchmark::State& state)
{
  std::vector<double> loud = Noise((int)kRate, 1.0);
  Tilt t;
  t.Calc(kRate);
  for (double x : loud)
    t.Process(x, 0.55, 0.25, 0.25, 0.25);
  double sum = 0;
  for (auto _ : state)
  {
    for (int i = 0; i < kBlock; ++i)
      sum += t.Process(0.0, 0.55, 0.25, 0.25, 0.25);
    benchmark::DoNotOptimize(sum);
  }
  SetPerSample(state);
}
BENCHMARK(BM_TiltSilenceAfterLoud)->Iterations((int64_t)(60 * kRate / kBlock));

// The yardstick of the signal path's budget: 3 tanh + 1 sin + 1 atan per channel.
void BM_ReferenceTanhSinAtan(benchmark::State& state)
{
  std::vector<double> in = Noise(kBlock, 1.0);
  double sum = 0;
  for (auto _ : state)
  {
    for (int i = 0; i < kBlock; ++i)
    {
      double x = in[i];
      sum += std::sin(std::tanh(x * x) * 0.01 + std::tanh(x * x * x) * 0.1) + std::tanh(x) -
             std::atan(x * x * x * x * x * x * x) * 0.01;
    }
    benchmark::DoNotOptimize(sum);
  }
  SetPerSample(state);
}
BENCHMARK(BM_ReferenceTanhSinAtan);

}  // namespace

BENCHMARK_MAIN();

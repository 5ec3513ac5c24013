// Cost of the effect per stereo frame at 48 kHz in 512-frame blocks
// (per_frame, in seconds: "120n" is 120 ns), beside the floor: only the transcendental calls the signal
// path has to make (three tanh, one sin, one atan per channel and frame) on
// the same input.
//   settled: controls fixed long enough for the smoothing to stop changing
//   moving:  Tone changed before every block, so the controls never settle
//   silence: 60 s of silence after 1 s of loud noise (no denormal stall)

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "Quenbar/Quenbar.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const int kBlock = 512;
const double kRate = 48000.0;
const int kInputFrames = 48000;

// Full-scale audio noise, one buffer per channel.
const std::vector<double>& Input(int channel, double amp = 1.0)
{
  static std::vector<double> in[2][2];
  const int k = amp == 1.0 ? 0 : 1;
  std::vector<double>& v = in[k][channel];
  if (v.empty())
  {
    std::mt19937 rng(channel + 1 + 10 * k);
    std::uniform_real_distribution<double> u(-amp, amp);
    v.resize(kInputFrames);
    for (double& x : v)
      x = (float)u(rng);  // float-exact, so the 32-bit runs see the same values
  }
  return v;
}

void SetPerFrame(benchmark::State& state, double framesPerIteration)
{
  state.counters["per_frame"] = benchmark::Counter(
      framesPerIteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

struct Plug
{
  Quenbar* p = new Quenbar(IPluginInstanceInfo());
  Plug() { p->initialize(nullptr); }
  ~Plug()
  {
    p->terminate();
    p->release();
  }
};

void SetParam(Quenbar& plug, int idx, double plain)
{
  plug.GetParam(idx)->SetValue(plain);
  plug.OnParamChange(idx);
}

// Tone walking through its range, one step of 0.01 per block.
double ToneAt(int64_t block)
{
  const int k = (int)(block % 200);
  return 0.25 + 0.01 * (k <= 100 ? k : 200 - k);
}

// Runs the plug-in for a second at settled controls so that the benchmark
// starts where a long-running instance would be.
void Settle(Quenbar& plug, double** outs)
{
  for (int start = 0; start + kBlock <= kInputFrames; start += kBlock)
  {
    double* ins[2] = {const_cast<double*>(Input(0).data()) + start, const_cast<double*>(Input(1).data()) + start};
    plug.ProcessDoubleReplacing(ins, outs, kBlock);
  }
}

void BM_ProcessDoubleReplacing(benchmark::State& state)
{
  const bool moving = state.range(0) != 0;
  Plug plug;
  plug.p->SetSampleRate(kRate);
  SetParam(*plug.p, Quenbar::kSnap, 6.0);
  std::vector<double> outL(kBlock), outR(kBlock);
  double* outs[2] = {outL.data(), outR.data()};
  Settle(*plug.p, outs);

  int64_t block = 0;
  int start = 0;
  for (auto _ : state)
  {
    if (moving)
      SetParam(*plug.p, Quenbar::kTone, ToneAt(block++));
    double* ins[2] = {const_cast<double*>(Input(0).data()) + start, const_cast<double*>(Input(1).data()) + start};
    plug.p->ProcessDoubleReplacing(ins, outs, kBlock);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    start = start + 2 * kBlock <= kInputFrames ? start + kBlock : 0;
  }
  SetPerFrame(state, kBlock);
}
BENCHMARK(BM_ProcessDoubleReplacing)->ArgName("moving")->Arg(0)->Arg(1);

// The host's view: process() with 32-bit buffers, no parameter queues.
void BM_Process32(benchmark::State& state)
{
  const bool moving = state.range(0) != 0;
  Plug plug;
  SpeakerArrangement stereo = SpeakerArr::kStereo;
  plug.p->setBusArrangements(&stereo, 1, &stereo, 1);
  ProcessSetup setup{kRealtime, kSample32, kBlock, kRate};
  plug.p->setupProcessing(setup);
  plug.p->setActive(true);
  SetParam(*plug.p, Quenbar::kSnap, 6.0);

  std::vector<float> in[2], out[2];
  for (int c = 0; c < 2; ++c)
  {
    in[c].assign(Input(c).begin(), Input(c).end());
    out[c].assign(kBlock, 0.f);
  }
  float* outs[2] = {out[0].data(), out[1].data()};
  float* ins[2];
  AudioBusBuffers inBus{}, outBus{};
  inBus.numChannels = outBus.numChannels = 2;
  inBus.channelBuffers32 = ins;
  outBus.channelBuffers32 = outs;
  ProcessData data;
  data.processMode = kRealtime;
  data.symbolicSampleSize = kSample32;
  data.numSamples = kBlock;
  data.numInputs = data.numOutputs = 1;
  data.inputs = &inBus;
  data.outputs = &outBus;

  int start = 0;
  auto next = [&] {
    ins[0] = in[0].data() + start;
    ins[1] = in[1].data() + start;
    start = start + 2 * kBlock <= kInputFrames ? start + kBlock : 0;
  };
  for (int i = 0; i + kBlock <= kInputFrames; i += kBlock)
  {
    next();
    plug.p->process(data);
  }

  int64_t block = 0;
  for (auto _ : state)
  {
    if (moving)
      SetParam(*plug.p, Quenbar::kTone, ToneAt(block++));
    next();
    plug.p->process(data);
    benchmark::DoNotOptimize(out[0].data());
    benchmark::DoNotOptimize(out[1].data());
  }
  SetPerFrame(state, kBlock);
}
BENCHMARK(BM_Process32)->ArgName("moving")->Arg(0)->Arg(1);

// The floor: the signal path's transcendental calls alone, same input, same
// arguments, results kept.
void BM_Floor(benchmark::State& state)
{
  std::vector<double> outL(kBlock), outR(kBlock);
  int start = 0;
  auto calls = [](double in) {
    const double x = in * 0.01, x2 = x * x, x3 = x * x2, x7 = x3 * x * x * x * x;
    return std::sin(std::tanh(x2) * 0.01 + std::tanh(x3) * 0.1) + std::tanh(x) + std::atan(x7);
  };
  for (auto _ : state)
  {
    const double* l = Input(0).data() + start;
    const double* r = Input(1).data() + start;
    for (int i = 0; i < kBlock; ++i)
    {
      outL[i] = calls(l[i]);
      outR[i] = calls(r[i]);
    }
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    start = start + 2 * kBlock <= kInputFrames ? start + kBlock : 0;
  }
  SetPerFrame(state, kBlock);
}
BENCHMARK(BM_Floor);

// Loud noise, settled controls: the reference for the silence case.
void BM_Loud(benchmark::State& state)
{
  Plug plug;
  plug.p->SetSampleRate(kRate);
  SetParam(*plug.p, Quenbar::kSnap, 20.0);
  std::vector<double> outL(kBlock), outR(kBlock);
  double* outs[2] = {outL.data(), outR.data()};
  int start = 0;
  for (auto _ : state)
  {
    double* ins[2] = {const_cast<double*>(Input(0, 300.0).data()) + start,
                      const_cast<double*>(Input(1, 300.0).data()) + start};
    plug.p->ProcessDoubleReplacing(ins, outs, kBlock);
    benchmark::DoNotOptimize(outL.data());
    start = start + 2 * kBlock <= kInputFrames ? start + kBlock : 0;
  }
  SetPerFrame(state, kBlock);
}
BENCHMARK(BM_Loud);

// One iteration: 1 s of loud noise (not timed), then 60 s of silence (timed).
void BM_SilenceAfterLoud(benchmark::State& state)
{
  const int silentFrames = 60 * 48000;
  std::vector<double> zeros(kBlock, 0.0), outL(kBlock), outR(kBlock);
  double* outs[2] = {outL.data(), outR.data()};
  for (auto _ : state)
  {
    state.PauseTiming();
    Plug plug;
    plug.p->SetSampleRate(kRate);
    SetParam(*plug.p, Quenbar::kSnap, 20.0);
    for (int start = 0; start + kBlock <= kInputFrames; start += kBlock)
    {
      double* ins[2] = {const_cast<double*>(Input(0, 300.0).data()) + start,
                        const_cast<double*>(Input(1, 300.0).data()) + start};
      plug.p->ProcessDoubleReplacing(ins, outs, kBlock);
    }
    state.ResumeTiming();
    double* ins[2] = {zeros.data(), zeros.data()};
    for (int done = 0; done < silentFrames; done += kBlock)
    {
      plug.p->ProcessDoubleReplacing(ins, outs, kBlock);
      benchmark::DoNotOptimize(outL.data());
    }
  }
  SetPerFrame(state, silentFrames);
}
BENCHMARK(BM_SilenceAfterLoud)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

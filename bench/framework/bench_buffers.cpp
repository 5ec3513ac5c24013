// Per-block buffer plumbing of a stereo plug-in fed by a single-precision
// host: attach (with float-to-double conversion), the base's copy-through,
// and the conversion back to float.
#include <benchmark/benchmark.h>

#include <vector>

#include "framework/IPluginBase.h"

namespace
{
class BenchPlug : public IPluginBase
{
public:
  BenchPlug()
    : IPluginBase(0, "1-1 2-2", 0, "Bench", "Bench", "Bench", 0x10000, 0x514E4231, 0x54727376, 0, false,
                  false, false, kAPIVST3)
  {
  }
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
};

void BM_FloatStereoBlock(benchmark::State& state)
{
  const int n = (int)state.range(0);
  BenchPlug plug;
  plug.SetBlockSize(n);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> inL(n), inR(n), outL(n), outR(n);
  for (int s = 0; s < n; ++s)
  {
    inL[s] = (float)s / n;
    inR[s] = -(float)s / n;
  }
  float* ins[] = {inL.data(), inR.data()};
  float* outs[] = {outL.data(), outR.data()};
  for (auto _ : state)
  {
    plug.AttachInputBuffers(0, 2, ins, n);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.f, n);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n * 2);
}
BENCHMARK(BM_FloatStereoBlock)->Arg(512);

void BM_DoubleStereoBlock(benchmark::State& state)
{
  const int n = (int)state.range(0);
  BenchPlug plug;
  plug.SetBlockSize(n);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<double> inL(n, 0.5), inR(n, -0.5), outL(n), outR(n);
  double* ins[] = {inL.data(), inR.data()};
  double* outs[] = {outL.data(), outR.data()};
  for (auto _ : state)
  {
    plug.AttachInputBuffers(0, 2, ins, n);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0., n);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n * 2);
}
BENCHMARK(BM_DoubleStereoBlock)->Arg(512);
} // namespace

BENCHMARK_MAIN();

// The longest a 128-frame process() call takes (worst_us, beside mean_us),
// first with nothing else going on, then while the main thread saves and
// restores the state in a loop through a slow host stream (every stream call
// takes 5 ms). The audio thread must never wait for the stream: both worst
// cases should be of the same order, far below the stream's 5 ms. The
// measuring thread asks for real-time scheduling, as hosts give their audio
// threads (rt = 1 when granted), so other load on the machine does not
// swamp the figures.

#include <benchmark/benchmark.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "Quenbar/Quenbar.h"
#include "tools/host/statestream.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const int kFrames = 128;
const int kBlocks = 4000;

class SlowStream : public vst3host::StateStream
{
public:
  using StateStream::StateStream;
  tresult PLUGIN_API read(void* buffer, int32 n, int32* got) override
  {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return StateStream::read(buffer, n, got);
  }
  tresult PLUGIN_API write(void* buffer, int32 n, int32* put) override
  {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return StateStream::write(buffer, n, put);
  }
};

void BM_WorstProcess(benchmark::State& state)
{
  const bool stateLoop = state.range(0) != 0;
  auto* plug = new Quenbar(IPluginInstanceInfo());
  plug->initialize(nullptr);
  ProcessSetup setup{kRealtime, kSample32, kFrames, 48000.};
  plug->setupProcessing(setup);
  plug->setActive(true);

  std::vector<float> inL(kFrames, 0.25f), inR(kFrames, -0.25f), outL(kFrames), outR(kFrames);
  float* ins[2] = {inL.data(), inR.data()};
  float* outs[2] = {outL.data(), outR.data()};
  AudioBusBuffers inBus, outBus;
  inBus.numChannels = outBus.numChannels = 2;
  inBus.channelBuffers32 = ins;
  outBus.channelBuffers32 = outs;
  ProcessData data;
  data.symbolicSampleSize = kSample32;
  data.numSamples = kFrames;
  data.numInputs = data.numOutputs = 1;
  data.inputs = &inBus;
  data.outputs = &outBus;

  // The first blocks settle the filters and touch every page.
  for (int warm = 0; warm < 256; ++warm) plug->process(data);

  std::atomic<bool> stop{false};
  std::atomic<long> cycles{0};
  std::thread mainThread;
  if (stateLoop)
  {
    mainThread = std::thread([&] {
      IEditController* ctl = plug;
      while (!stop)
      {
        SlowStream out;
        ctl->getState(&out);
        SlowStream in(out.Data());
        static_cast<IComponent*>(plug)->setState(&in);
        ++cycles;
      }
    });
  }

  sched_param rt {};
  rt.sched_priority = 50;
  const bool realtime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &rt) == 0;

  double worst = 0., total = 0.;
  long blocks = 0;
  for (auto _ : state)
  {
    for (int i = 0; i < kBlocks; ++i)
    {
      const auto t0 = std::chrono::steady_clock::now();
      plug->process(data);
      const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
      worst = std::max(worst, us);
      total += us;
      ++blocks;
      // Leave the main thread room to run, as a real audio callback would.
      if (i % 64 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }
  stop = true;
  if (mainThread.joinable()) mainThread.join();
  sched_param normal {};
  if (realtime) pthread_setschedparam(pthread_self(), SCHED_OTHER, &normal);
  state.counters["rt"] = realtime ? 1. : 0.;
  state.counters["worst_us"] = worst;
  state.counters["mean_us"] = blocks ? total / blocks : 0.;
  state.counters["state_cycles"] = (double)cycles.load();
  plug->setActive(false);
  plug->terminate();
  plug->release();
}
BENCHMARK(BM_WorstProcess)->ArgName("state_loop")->Arg(0)->Arg(1)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

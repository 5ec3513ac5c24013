// State restores, host parameter edits, editor edits and transport reads
// while the audio thread runs blocks. Run it under -DQUENBAR_TSAN=ON.
#include "adapter_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace {

void SaveState(TestPlug& plug, double gain, double drive, StateStream& out)
{
  plug.GetParam(kGain)->SetValue(gain);
  plug.GetParam(kDrive)->SetValue(drive);
  IEditController* controller = &plug;
  controller->getState(&out);
}

} // namespace

TEST(Vst3AdapterThreads, RestoresAndEditsDuringProcessing)
{
  auto* plug = new TestPlug;
  Prepare(*plug, kSample32, 64);
  IEditController* controller = plug;

  StateStream stateA, stateB;
  SaveState(*plug, 6., 90., stateB);
  SaveState(*plug, -6., 10., stateA); // leaves the plug-in in state A
  plug->stateA[0] = -6.;
  plug->stateA[1] = 10.;
  plug->stateB[0] = 6.;
  plug->stateB[1] = 90.;
  plug->checkStates = true;

  // Counted, not timed: the audio thread runs at least kMinBlocks blocks and
  // keeps going until the main thread has done its kRestores restores.
  constexpr int kMinBlocks = 2000;
  constexpr int kRestores = 300;
  std::atomic<bool> mainDone{false};
  std::atomic<bool> done{false};

  std::thread audio([&] {
    HostBlock<float> b(2, 2, 64);
    ParameterChanges changes;
    ParamValueQueue& mode = *changes.AddRaw(kMode, {0.});
    ParamValueQueue& bypass = *changes.AddRaw(IPluginVST3::kHostBypassTag, {0.});
    b.data.inputParameterChanges = &changes;
    for (int i = 0; i < kMinBlocks || !mainDone; ++i)
    {
      mode.SetPoint(0, 0, (i % 3) / 2.);
      bypass.SetPoint(0, 0, (i % 7 == 0) ? 1. : 0.);
      plug->process(b.data);
    }
    done = true;
  });

  std::thread gui([&] {
    int i = 0;
    ITimeInfo t;
    while (!done)
    {
      plug->SetParameterFromGUI(kOn, (i++ % 2) ? 1. : 0.);
      plug->GetTime(&t);
      std::this_thread::yield();
    }
  });

  int restores = 0;
  String128 text;
  while (restores < kRestores)
  {
    StateStream& s = (restores % 2) ? stateB : stateA;
    s.seek(0, IBStream::kIBSeekSet, nullptr);
    EXPECT_EQ(controller->setState(&s), kResultOk);
    ++restores;
    StateStream snapshot;
    controller->getState(&snapshot);
    controller->setParamNormalized(kMode, (restores % 3) / 2.);
    controller->getParamNormalized(kGain);
    controller->getParamNormalized(IPluginVST3::kHostBypassTag);
    controller->getParamStringByValue(kDrive, 0.3, text);
    std::this_thread::yield();
  }
  mainDone = true;
  audio.join();
  gui.join();

  EXPECT_GT(plug->processedBlocks.load(), 0);
  EXPECT_EQ(restores, kRestores);
  EXPECT_EQ(plug->mixedStates.load(), 0) << "a block saw parameters from two different states";
  plug->terminate();
  EXPECT_EQ(plug->release(), 0u);
}

// While the host holds one of its callbacks (a stream read or write, an
// edit, a restart request, a context menu) for as long as it likes, a block
// on the audio thread still runs to completion: no host call is ever made
// with the plug-in mutex held. A block that could not finish would hang, so
// the wait below is only there to fail instead of hanging.
TEST(Vst3AdapterThreads, ABlockNeverWaitsForTheHost)
{
  auto* plug = new TestPlug;
  Prepare(*plug, kSample32, 64);
  ComponentHandler handler(true);
  plug->setComponentHandler(&handler);
  FakeView view;
  plug->addDependentView(&view);

  StateStream saved;
  ASSERT_EQ(static_cast<IEditController*>(plug)->getState(&saved), kResultOk);
  const std::vector<uint8_t> state = saved.Data();

  Gate gate;
  struct Case
  {
    const char* name;
    std::function<void()> call; // runs on its own thread, stopped at the gate
  };
  StateStream readStream(state), writeStream;
  const Case cases[] = {
    {"stream read in setState", [&] { static_cast<IEditController*>(plug)->setState(&readStream); }},
    {"stream write in getState", [&] { static_cast<IComponent*>(plug)->getState(&writeStream); }},
    {"performEdit from the editor", [&] { plug->SetParameterFromGUI(kGain, 0.75); }},
    {"beginEdit", [&] { plug->BeginInformHostOfParamChange(kGain); }},
    {"endEdit", [&] { plug->EndInformHostOfParamChange(kGain); }},
    {"performEdit for every parameter", [&] { plug->DirtyParameters(); }},
    {"context menu", [&] { plug->PopupHostContextMenuForParam(kGain, 1, 1); }},
    {"restart after a restore", [&] {
       StateStream s(state);
       plug->setComponentState(&s);
     }},
    {"restart for a latency change", [&] { plug->SetLatency(0); }},
  };

  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    readStream.seek(0, IBStream::kIBSeekSet, nullptr);
    readStream.mGate = writeStream.mGate = &gate;
    handler.mEditGate = &gate;
    const int arrived = gate.Arrivals();
    gate.Close();
    std::thread host(c.call);
    gate.WaitForArrivals(arrived + 1);

    std::promise<tresult> finished;
    std::future<tresult> result = finished.get_future();
    std::thread audio([&] {
      HostBlock<float> b(2, 2, 64);
      finished.set_value(plug->process(b.data));
    });
    const bool done = result.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    EXPECT_TRUE(done) << "the block waited for the host";
    if (done)
    {
      EXPECT_EQ(result.get(), kResultOk);
    }

    gate.Open();
    host.join();
    audio.join();
    readStream.mGate = writeStream.mGate = nullptr;
    handler.mEditGate = nullptr;
  }

  plug->removeDependentView(&view);
  plug->setComponentHandler(nullptr);
  plug->terminate();
  EXPECT_EQ(plug->release(), 0u);
}

// State restores, host parameter edits, editor edits and transport reads
// while the audio thread runs blocks. Run it under -DQUENBAR_TSAN=ON.
#include "adapter_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

void SaveState(TestPlug& plug, double gain, double drive, MemoryStream& out)
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

  MemoryStream stateA, stateB;
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
    TestChanges changes;
    TestQueue& mode = changes.Add(kMode, {0.});
    TestQueue& bypass = changes.Add(IPluginVST3::kHostBypassTag, {0.});
    b.data.inputParameterChanges = &changes;
    for (int i = 0; i < kMinBlocks || !mainDone; ++i)
    {
      mode.mPoints[0].second = (i % 3) / 2.;
      bypass.mPoints[0].second = (i % 7 == 0) ? 1. : 0.;
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
    MemoryStream& s = (restores % 2) ? stateB : stateA;
    s.seek(0, IBStream::kIBSeekSet, nullptr);
    EXPECT_EQ(controller->setState(&s), kResultOk);
    ++restores;
    MemoryStream snapshot;
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

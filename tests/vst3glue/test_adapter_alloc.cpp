// process must not allocate once the first block has run: every operator
// new and malloc of this binary is counted while the counter is armed.
#include "adapter_support.h"

#include "framework/IPreset.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include "support/alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>


namespace {

template <class T>
long AllocationsWhileProcessing(int32 sampleSize)
{
  // Three preset slots, two of them free: a program change that lands on a
  // free slot initialises it from inside the block.
  auto* plug = new TestPlug(true, false, "1-1 2-2", 0, 0, kNumTestParams, 3);
  Prepare(*plug, sampleSize, 64);
  plug->AttachGraphics(new FakeGraphics);

  HostBlock<T> normal(2, 2, 64), longer(2, 2, 333), mono(1, 2, 64);
  HostBlock<T> holes(2, 2, 64);
  holes.inPtrs[0] = nullptr;
  holes.outPtrs[1] = nullptr;
  ParameterChanges changes;
  ParamValueQueue& gain = *changes.AddRaw(kGain, {0.2, 0.7});
  ParamValueQueue& bypass = *changes.AddRaw(IPluginVST3::kHostBypassTag, {0.});
  ParamValueQueue& preset = *changes.AddRaw(IPluginVST3::kPresetListTag, {0.});
  changes.AddRaw(kDrive, {0.4});
  EventList events;
  Event on{};
  on.type = Event::kNoteOnEvent;
  on.noteOn.pitch = 64;
  on.noteOn.velocity = 0.8f;
  events.addEvent(on);
  Event off = on;
  off.type = Event::kNoteOffEvent;
  events.addEvent(off);
  ProcessContext ctx{};
  ctx.tempo = 120.;
  for (auto* d : {&normal.data, &longer.data, &mono.data, &holes.data})
  {
    d->inputParameterChanges = &changes;
    d->inputEvents = &events;
    d->processContext = &ctx;
  }
  ProcessData empty;
  empty.numSamples = 64;

  plug->process(normal.data); // the first block may set things up

  long count;
  {
    alloc_counter::Armed armed;
    for (int i = 0; i < 40; ++i)
    {
      gain.SetPoint(1, 1, (i % 10) / 10.);
      bypass.SetPoint(0, 0, (i % 3 == 0) ? 1. : 0.);
      static const double kPrograms[] = {0.5, 1., 0.7, 1., 0.1};
      preset.SetPoint(0, 0, kPrograms[i % 5]);
      plug->nMidi = 0;
      plug->process(normal.data);
      plug->process(longer.data);
      plug->process(mono.data);
      plug->process(holes.data);
      plug->process(empty);
    }
    count = alloc_counter::Count();
  }
  EXPECT_GT(plug->blocks, 40) << "the effect did run";
  EXPECT_TRUE(plug->GetPreset(1)->mInitialized && plug->GetPreset(2)->mInitialized)
      << "the free slots were initialised inside blocks";
  plug->terminate();
  plug->release();
  return count;
}

} // namespace

TEST(Vst3AdapterAlloc, CounterSeesAllocations)
{
  long count;
  {
    alloc_counter::Armed armed;
    int* volatile p = new int(3);  // volatile: the allocation may not be elided
    void* volatile q = malloc(16);
    count = alloc_counter::Count();
    delete p;
    free(q);
  }
  EXPECT_EQ(count, 2);
}

TEST(Vst3AdapterAlloc, NoAllocationInsideFloatBlocks)
{
  EXPECT_EQ(AllocationsWhileProcessing<float>(kSample32), 0);
}

TEST(Vst3AdapterAlloc, NoAllocationInsideDoubleBlocks)
{
  EXPECT_EQ(AllocationsWhileProcessing<double>(kSample64), 0);
}

// An allocation that fails inside a host call becomes a result code; an
// exception unwinding into the host would end it.
TEST(Vst3AdapterAlloc, FailedAllocationsInHostCallsBecomeResultCodes)
{
  // Nothing may allocate between setting and clearing the flag, gtest included.
  auto failing = [](auto call, tresult* r) {
    bool threw = false;
    alloc_counter::SetFailNew(true);
    try
    {
      *r = call();
    }
    catch (...)
    {
      threw = true;
    }
    alloc_counter::SetFailNew(false);
    return threw;
  };

  auto* plug = new TestPlug;
  tresult r = kResultOk;
  EXPECT_FALSE(failing([&] { return plug->initialize(nullptr); }, &r)) << "initialize threw";
  EXPECT_EQ(r, kOutOfMemory);
  EXPECT_EQ(plug->hostIdentified, 1) << "the host is still identified";
  plug->terminate();
  EXPECT_EQ(plug->release(), 0u);

  plug = new TestPlug;
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  SpeakerArrangement mono = SpeakerArr::kMono;
  // Mono in and out replaces both stereo busses: a new bus must be allocated.
  EXPECT_FALSE(failing([&] { return plug->setBusArrangements(&mono, 1, &mono, 1); }, &r))
      << "setBusArrangements threw";
  EXPECT_EQ(r, kOutOfMemory);
  plug->terminate();
  EXPECT_EQ(plug->release(), 0u);
}

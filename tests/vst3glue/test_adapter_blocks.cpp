// Blocks of every shape a host may send, against every set-up: the block's
// own sample size decides how its buffers are read, and nothing is read or
// written outside the host's buffers (run it in the sanitizer build too).
#include "adapter_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr int32 kNoSetup = -100;

enum Holes
{
  kNoHoles,
  kNullChannelLists, // the bus's channel list is null
  kNullFirstChannels // the first channel of each bus is null
};

struct Block
{
  int32 sampleSize;
  int frames;
  int nIn, nOut;
  Holes holes;
};

bool KnownSize(int32 s) { return s == kSample32 || s == kSample64; }

// Runs one block and checks the result and, where it is defined, the output.
template <class T>
void RunBlock(TestPlug& plug, const Block& blk, bool setUp)
{
  const int alloc = blk.frames > 0 ? blk.frames : 0;
  HostBlock<T> b(blk.nIn > 0 ? blk.nIn : 1, blk.nOut > 0 ? blk.nOut : 1, alloc);
  b.data.symbolicSampleSize = blk.sampleSize;
  b.data.numSamples = blk.frames;
  b.data.numInputs = blk.nIn > 0 ? 1 : 0;
  b.data.numOutputs = blk.nOut > 0 ? 1 : 0;
  b.inBus.numChannels = blk.nIn;
  b.outBus.numChannels = blk.nOut;
  if (blk.holes == kNullChannelLists)
  {
    b.inBus.channelBuffers32 = nullptr;
    b.inBus.channelBuffers64 = nullptr;
    b.outBus.channelBuffers32 = nullptr;
    b.outBus.channelBuffers64 = nullptr;
  }
  else if (blk.holes == kNullFirstChannels)
  {
    b.inPtrs[0] = nullptr;
    b.outPtrs[0] = nullptr;
  }

  const tresult r = plug.process(b.data);
  if (!KnownSize(blk.sampleSize) || blk.frames < 0)
  {
    ASSERT_EQ(r, kInvalidArgument);
    for (auto& ch : b.out)
      for (T x : ch) ASSERT_EQ(x, (T)-99) << "a refused block leaves buffers of unknown type alone";
    return;
  }
  ASSERT_EQ(r, kResultOk);
  if (!setUp || blk.holes == kNullChannelLists || blk.nOut <= 0) return;
  // Gain is 0 dB: each of the plug-in's two outputs carries its input.
  for (int c = 0; c < blk.nOut && c < 2; ++c)
  {
    if (blk.holes == kNullFirstChannels && c == 0) continue;
    const bool hasInput = c < blk.nIn && !(blk.holes == kNullFirstChannels && c == 0);
    for (int s = 0; s < blk.frames; ++s)
      ASSERT_EQ(b.out[(size_t)c][(size_t)s], hasInput ? b.in[(size_t)c][(size_t)s] : (T)0)
          << "channel " << c << " frame " << s;
  }
}

} // namespace

TEST(Vst3AdapterBlocks, EveryBlockAgainstEverySetup)
{
  const int32 setups[] = {kNoSetup, kSample32, kSample64};
  const int32 sizes[] = {kSample32, kSample64, 2, -1};
  const int frameCounts[] = {0, 1, 63, 64, 65, 256, 1000, -1};
  const int channelCounts[] = {0, 1, 2, 3};
  const Holes holes[] = {kNoHoles, kNullChannelLists, kNullFirstChannels};
  int blocks = 0;
  for (int32 setup : setups)
  {
    auto* plug = new TestPlug;
    if (setup == kNoSetup)
      plug->initialize(nullptr);
    else
      Prepare(*plug, setup, 64);
    for (int32 size : sizes)
      for (int frames : frameCounts)
        for (int nIn : channelCounts)
          for (int nOut : channelCounts)
            for (Holes h : holes)
            {
              const Block blk{size, frames, nIn, nOut, h};
              SCOPED_TRACE(testing::Message() << "setup " << setup << " block size " << size << " frames " << frames
                                              << " in " << nIn << " out " << nOut << " holes " << h);
              if (size == kSample64)
                RunBlock<double>(*plug, blk, setup != kNoSetup);
              else
                RunBlock<float>(*plug, blk, setup != kNoSetup);
              if (HasFatalFailure()) break;
              ++blocks;
            }
    plug->terminate();
    EXPECT_EQ(plug->release(), 0u);
  }
  EXPECT_EQ(blocks, 3 * 4 * 8 * 4 * 4 * 3);
}

// Outside initialize ... terminate there is no processor: the outputs the
// host gave are silenced, never left holding whatever they held.
TEST(Vst3AdapterBlocks, BlocksBeforeInitializeAndAfterTerminate)
{
  auto* plug = new TestPlug;
  for (int round = 0; round < 2; ++round)
  {
    SCOPED_TRACE(round == 0 ? "before initialize" : "after terminate");
    HostBlock<float> f(2, 2, 128);
    EXPECT_EQ(plug->process(f.data), kNotInitialized);
    for (auto& ch : f.out)
      for (float x : ch) ASSERT_EQ(x, 0.f);
    HostBlock<double> d(2, 2, 128);
    EXPECT_EQ(plug->process(d.data), kNotInitialized);
    for (auto& ch : d.out)
      for (double x : ch) ASSERT_EQ(x, 0.);
    if (round == 0)
    {
      Prepare(*plug, kSample32, 128);
      HostBlock<float> ok(2, 2, 128);
      EXPECT_EQ(plug->process(ok.data), kResultOk);
      EXPECT_EQ(ok.out[0], ok.in[0]);
      plug->terminate();
    }
  }
  EXPECT_EQ(plug->release(), 0u);
}

// A host that names a huge block size gets bounded scratch buffers, and
// long blocks come out as they would with a moderate maximum.
TEST(Vst3AdapterBlocks, HugeBlockSizesGiveTheSameOutput)
{
  std::vector<std::vector<float>> outputs;
  for (int32 maxBlock : {512, INT_MAX})
  {
    auto* plug = new TestPlug;
    Prepare(*plug, kSample32, maxBlock);
    EXPECT_LE(plug->GetBlockSize(), IPluginVST3::kMaxScratchFrames);
    ParameterChanges changes;
    changes.AddRaw(kGain, {0.75});
    HostBlock<float> b(1, 2, 20000);
    b.data.inputParameterChanges = &changes;
    ASSERT_EQ(plug->process(b.data), kResultOk);
    EXPECT_EQ(plug->framesTotal, 20000);
    outputs.push_back(b.out[0]);
    outputs.push_back(b.out[1]);
    plug->terminate();
    plug->release();
  }
  EXPECT_EQ(outputs[0], outputs[2]);
  EXPECT_EQ(outputs[1], outputs[3]);
  EXPECT_NE(outputs[0][19999], 0.f);
}

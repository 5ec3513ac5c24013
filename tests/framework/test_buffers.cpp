#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "framework/ChannelDelayLine.h"
#include "test_plug.h"

// A plug-in that, instead of copying, writes input + 0.25 (or channel index
// + 100 when the input slot is missing) so tests see which buffer went where.
class MarkPlug : public TestPlug
{
public:
  using TestPlug::TestPlug;
  int mLastFrames = -1;
  void ProcessDoubleReplacing(double** in, double** out, int nFrames) override
  {
    mLastFrames = nFrames;
    for (int c = 0; c < NOutChannels(); ++c)
      for (int s = 0; s < nFrames; ++s) out[c][s] = (c < NInChannels() ? in[c][s] : 100. + c) + 0.25;
  }
};

TEST(PlugCopyThrough, OneInputTwoOutputs)
{
  TestPlug plug(0, "1-2");
  double in0[4] = {1, 2, 3, 4};
  double out0[4] = {9, 9, 9, 9}, out1[4] = {9, 9, 9, 9};
  double* ins[] = {in0};
  double* outs[] = {out0, out1};
  plug.ProcessDoubleReplacing(ins, outs, 4);
  for (int s = 0; s < 4; ++s)
  {
    EXPECT_EQ(out0[s], in0[s]);
    EXPECT_EQ(out1[s], 0.);
  }
}

TEST(PlugCopyThrough, TwoInputsOneOutputIgnoresExtraInput)
{
  TestPlug plug(0, "2-1");
  double in0[2] = {1, 2}, in1[2] = {5, 6}, out0[2] = {0, 0};
  double* ins[] = {in0, in1};
  double* outs[] = {out0};
  plug.ProcessDoubleReplacing(ins, outs, 2);
  EXPECT_EQ(out0[0], 1.);
  EXPECT_EQ(out0[1], 2.);
}

TEST(PlugAttach, DisconnectedChannelConsumesNoPointer)
{
  TestPlug plug(0, "2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, false);
  plug.SetInputChannelConnections(1, 1, true);
  double a[4] = {}, b[4] = {};
  double* data[] = {a, b};
  plug.AttachInputBuffers(0, 2, data, 4);
  EXPECT_EQ(plug.GetInputData()[1], a);
  EXPECT_EQ(plug.GetInputData()[0], plug.GetInChannel(0)->mScratchBuf.Get());
}

TEST(PlugAttach, RangeStartsAtIdx)
{
  TestPlug plug(0, "3-3");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 3, true);
  plug.SetOutputChannelConnections(0, 3, true);
  double a[4] = {}, b[4] = {};
  double* data[] = {a, b};
  plug.AttachInputBuffers(1, 5, data, 4);   // range clipped to channels 1, 2
  EXPECT_EQ(plug.GetInputData()[1], a);
  EXPECT_EQ(plug.GetInputData()[2], b);
  plug.AttachOutputBuffers(2, 1, data);
  EXPECT_EQ(plug.GetOutputData()[2], a);
}

TEST(PlugAttach, MissingHostBuffersFallBackToScratch)
{
  MarkPlug plug(0, "2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  double in0[4] = {1, 2, 3, 4}, out1[4] = {};
  double* ins[] = {in0, nullptr};
  double* outs[] = {nullptr, out1};
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0., 4);
  EXPECT_EQ(plug.mLastFrames, 4);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(out1[s], 0.25);   // silent input 1

  plug.AttachInputBuffers(0, 2, (float**)nullptr, 4);
  plug.AttachOutputBuffers(0, 2, (float**)nullptr);
  plug.ProcessBuffers(0.f, 4);   // nothing to read or write: must not crash
  EXPECT_EQ(plug.mLastFrames, 4);
}

TEST(PlugAttach, NeverAttachedSlotsProcessNothing)
{
  MarkPlug plug(0, "2-2");
  plug.ProcessBuffers(0., 64);
  EXPECT_EQ(plug.mLastFrames, 0);
  plug.PassThroughBuffers(0.f, 64);
}

TEST(PlugBlockSize, SameSizeKeepsScratchContents)
{
  TestPlug plug(0, "1-1");
  plug.SetBlockSize(8);
  double* scratch = plug.GetInChannel(0)->mScratchBuf.Get();
  ASSERT_NE(scratch, nullptr);
  for (int s = 0; s < 8; ++s) EXPECT_EQ(scratch[s], 0.);
  scratch[3] = 7.;
  plug.SetBlockSize(8);
  EXPECT_EQ(plug.GetInChannel(0)->mScratchBuf.Get()[3], 7.);
  plug.SetBlockSize(16);
  EXPECT_EQ(plug.GetInChannel(0)->mScratchBuf.GetSize(), 16);
  EXPECT_EQ(plug.GetOutChannel(0)->mScratchBuf.GetSize(), 16);
  EXPECT_EQ(plug.GetInChannel(0)->mScratchBuf.Get()[3], 0.);
  EXPECT_EQ(plug.GetBlockSize(), 16);
}

TEST(PlugBlockSize, DisconnectedSlotFollowsMovedScratch)
{
  TestPlug plug(0, "1-1");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, false);
  plug.SetBlockSize(100000);   // forces the scratch storage to move
  EXPECT_EQ(plug.GetInputData()[0], plug.GetInChannel(0)->mScratchBuf.Get());
}

TEST(PlugZeroScratch, ClearsEveryScratchBuffer)
{
  TestPlug plug(0, "2-2");
  plug.SetBlockSize(4);
  plug.GetInChannel(1)->mScratchBuf.Get()[2] = 1.;
  plug.GetOutChannel(0)->mScratchBuf.Get()[3] = 1.;
  plug.ZeroScratchBuffers();
  EXPECT_EQ(plug.GetInChannel(1)->mScratchBuf.Get()[2], 0.);
  EXPECT_EQ(plug.GetOutChannel(0)->mScratchBuf.Get()[3], 0.);
}

class FloatPathTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    plug.SetBlockSize(kN);
    plug.SetInputChannelConnections(0, 2, true);
    plug.SetOutputChannelConnections(0, 2, true);
    for (int s = 0; s < kN; ++s)
    {
      inL[s] = 0.5f - s * 0.125f;
      inR[s] = 1e-7f * s;
    }
  }
  static constexpr int kN = 8;
  TestPlug plug{0, "1-1 2-2"};
  float inL[kN], inR[kN];
  float outL[kN + 2], outR[kN + 2];
  float* ins[2] = {inL, inR};
  float* outs[2] = {outL, outR};
};

TEST_F(FloatPathTest, RoundTripIsExact)
{
  plug.AttachInputBuffers(0, 2, ins, kN);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.f, kN);
  for (int s = 0; s < kN; ++s)
  {
    EXPECT_EQ(outL[s], inL[s]);
    EXPECT_EQ(outR[s], inR[s]);
  }
  // The effect read doubles from the scratch buffers.
  EXPECT_EQ(plug.GetInputData()[0], plug.GetInChannel(0)->mScratchBuf.Get());
  EXPECT_EQ(plug.GetInputData()[0][1], (double)inL[1]);
}

TEST_F(FloatPathTest, PerBlockPathDoesNotAllocate)
{
  static int sAllocs;
  sAllocs = 0;
  auto oldRealloc = Util_HeapBufAlloc::Realloc;
  auto oldMalloc = Util_HeapBufAlloc::Malloc;
  Util_HeapBufAlloc::Realloc = [](void* p, size_t n) { ++sAllocs; return realloc(p, n); };
  Util_HeapBufAlloc::Malloc = [](size_t n) { ++sAllocs; return malloc(n); };
  for (int block = 0; block < 3; ++block)
  {
    plug.SetInputChannelConnections(0, 2, true);
    plug.SetOutputChannelConnections(0, 2, true);
    plug.AttachInputBuffers(0, 2, ins, kN);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.f, kN);
    plug.PassThroughBuffers(0.f, kN);
    plug.ProcessBuffersAccumulating(0.f, kN);
  }
  Util_HeapBufAlloc::Realloc = oldRealloc;
  Util_HeapBufAlloc::Malloc = oldMalloc;
  EXPECT_EQ(sAllocs, 0);
}

TEST_F(FloatPathTest, AccumulateAddsInSinglePrecision)
{
  for (int s = 0; s < kN; ++s) outL[s] = outR[s] = 1.f;
  plug.AttachInputBuffers(0, 2, ins, kN);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffersAccumulating(0.f, kN);
  for (int s = 0; s < kN; ++s)
  {
    EXPECT_EQ(outL[s], 1.f + inL[s]);
    EXPECT_EQ(outR[s], 1.f + inR[s]);   // tiny values vanish in the float sum
  }
}

TEST_F(FloatPathTest, DisconnectedOutputIsNotWritten)
{
  outR[0] = 42.f;
  plug.SetOutputChannelConnections(1, 1, false);
  plug.AttachInputBuffers(0, 2, ins, kN);
  plug.AttachOutputBuffers(0, 2, outs);   // only channel 0 takes outs[0]
  plug.ProcessBuffers(0.f, kN);
  EXPECT_EQ(outL[2], inL[2]);
  EXPECT_EQ(outR[0], 42.f);
}

TEST_F(FloatPathTest, BlockLongerThanBlockSizeIsCutAndTailSilenced)
{
  float longIn[kN + 2], longOut[kN + 2];
  for (int s = 0; s < kN + 2; ++s)
  {
    longIn[s] = 1.f;
    longOut[s] = 5.f;
  }
  float* li[] = {longIn, longIn};
  float* lo[] = {longOut, outR};
  plug.AttachInputBuffers(0, 2, li, kN + 2);
  plug.AttachOutputBuffers(0, 2, lo);
  plug.ProcessBuffers(0.f, kN + 2);
  for (int s = 0; s < kN; ++s) EXPECT_EQ(longOut[s], 1.f);
  EXPECT_EQ(longOut[kN], 0.f);
  EXPECT_EQ(longOut[kN + 1], 0.f);
}

TEST(PlugDoublePath, BlockLongerThanScratchOfDisconnectedInput)
{
  MarkPlug plug(0, "2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetInputChannelConnections(1, 1, false);   // slot is a 4-frame scratch buffer
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<double> in(8, 1.), o0(8, 9.), o1(8, 9.);
  double* ins[] = {in.data()};
  double* outs[] = {o0.data(), o1.data()};
  plug.AttachInputBuffers(0, 2, ins, 8);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0., 8);
  EXPECT_EQ(plug.mLastFrames, 4);
  EXPECT_EQ(o0[3], 1.25);
  EXPECT_EQ(o1[3], 0.25);
  EXPECT_EQ(o0[4], 0.);   // frames that could not be processed are silent
  EXPECT_EQ(o1[7], 0.);
}

TEST(PlugDoublePath, AllHostBuffersNeedNoScratch)
{
  MarkPlug plug(0, "1-1");
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<double> in(32, 2.), out(32, 0.);
  double* ins[] = {in.data()};
  double* outs[] = {out.data()};
  plug.AttachInputBuffers(0, 1, ins, 32);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.ProcessBuffers(0., 32);   // no SetBlockSize: host buffers carry the block
  EXPECT_EQ(plug.mLastFrames, 32);
  EXPECT_EQ(out[31], 2.25);
}

TEST(PlugLatency, DelayLineFeedsOneTwoThree)
{
  TestPlug plug(0, "1-1", 0, 3);
  plug.SetBlockSize(5);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.CreateLatencyDelayLine();
  ASSERT_NE(plug.GetLatencyDelayLine(), nullptr);
  EXPECT_EQ(plug.GetLatencyDelayLine()->GetDelay(), 3);
  double in[5] = {1, 2, 3, 4, 5}, out[5] = {9, 9, 9, 9, 9};
  double* ins[] = {in};
  double* outs[] = {out};
  plug.AttachInputBuffers(0, 1, ins, 5);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.PassThroughBuffers(0., 5);
  const double expect[5] = {0, 0, 0, 1, 2};
  for (int s = 0; s < 5; ++s) EXPECT_EQ(out[s], expect[s]) << s;

  // The ring carries over into the next block.
  double in2[2] = {6, 7}, out2[2] = {};
  ins[0] = in2;
  outs[0] = out2;
  plug.AttachInputBuffers(0, 1, ins, 2);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.PassThroughBuffers(0., 2);
  EXPECT_EQ(out2[0], 3.);
  EXPECT_EQ(out2[1], 4.);
}

TEST(PlugLatency, SetLatencyResizesAndClears)
{
  TestPlug plug(0, "2-2", 0, 2);
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  plug.CreateLatencyDelayLine();
  double l[4] = {1, 2, 3, 4}, r[4] = {5, 6, 7, 8}, ol[4], orr[4];
  double* ins[] = {l, r};
  double* outs[] = {ol, orr};
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.PassThroughBuffers(0., 4);
  EXPECT_EQ(orr[2], 5.);
  EXPECT_EQ(ol[3], 2.);

  plug.SetLatency(1);
  EXPECT_EQ(plug.GetLatency(), 1);
  EXPECT_EQ(plug.GetLatencyDelayLine()->GetDelay(), 1);
  plug.PassThroughBuffers(0., 4);   // the old contents are gone
  EXPECT_EQ(ol[0], 0.);
  EXPECT_EQ(ol[1], 1.);
  EXPECT_EQ(orr[3], 7.);

  plug.SetLatency(0);               // no latency: plain copy-through
  plug.PassThroughBuffers(0., 4);
  EXPECT_EQ(ol[0], 1.);
  plug.SetLatency(-5);
  EXPECT_EQ(plug.GetLatency(), 0);
}

TEST(PlugLatency, SetLatencyWaitsForAProcessingCall)
{
  TestPlug plug(0, "1-1", 0, 3);
  plug.CreateLatencyDelayLine();
  plug.GetMutex().Enter();  // as a processing call running the delay line would
  std::thread setter([&] { plug.SetLatency(4096); });
  // A broken SetLatency gets this long to resize the rings behind the holder's back.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const long long whileHeld = (long long)plug.GetLatencyDelayLine()->GetDelay();
  plug.GetMutex().Leave();
  setter.join();
  EXPECT_EQ(whileHeld, 3);
  EXPECT_EQ(plug.GetLatencyDelayLine()->GetDelay(), 4096);
}

TEST(PlugLatency, NoDelayLineWithoutInputs)
{
  TestPlug plug(0, "0-2", 0, 16);
  plug.CreateLatencyDelayLine();
  EXPECT_EQ(plug.GetLatencyDelayLine(), nullptr);
}

TEST(PlugPassThrough, FloatConvertsAfterCopy)
{
  TestPlug plug(0, "1-2");
  plug.SetBlockSize(3);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 2, true);
  float in[3] = {0.1f, 0.2f, 0.3f}, o0[3] = {}, o1[3] = {7.f, 7.f, 7.f};
  float* ins[] = {in};
  float* outs[] = {o0, o1};
  plug.AttachInputBuffers(0, 1, ins, 3);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.PassThroughBuffers(0.f, 3);
  EXPECT_EQ(o0[2], 0.3f);
  EXPECT_EQ(o1[0], 0.f);
}

TEST(ChannelDelayLineTest, MoreOutputsThanInputsLeavesExtraOutputsAlone)
{
  ChannelDelayLine line(1, 2, 1);
  double in[2] = {1, 2}, o0[2] = {}, o1[2] = {9, 9};
  double* ins[] = {in};
  double* outs[] = {o0, o1};
  line.ProcessBlock(ins, outs, 2);
  EXPECT_EQ(o0[0], 0.);
  EXPECT_EQ(o0[1], 1.);
  EXPECT_EQ(o1[0], 9.);
}

TEST(ChannelDelayLineTest, InPlaceBuffers)
{
  ChannelDelayLine line(1, 1, 2);
  double buf[4] = {1, 2, 3, 4};
  double* io[] = {buf};
  line.ProcessBlock(io, io, 4);
  EXPECT_EQ(buf[0], 0.);
  EXPECT_EQ(buf[1], 0.);
  EXPECT_EQ(buf[2], 1.);
  EXPECT_EQ(buf[3], 2.);
}

TEST(ChannelDelayLineTest, ImpossibleDelayFallsBackToZero)
{
  ChannelDelayLine line(64, 64, 0);
  EXPECT_FALSE(line.SetDelay(INT_MAX));
  EXPECT_EQ(line.GetDelay(), 0);
  double in[1] = {3}, out[1] = {0};
  double* ins[64] = {in};
  double* outs[64] = {out};
  line.ProcessBlock(ins, outs, 1);   // other channels are null: skipped
  EXPECT_EQ(out[0], 3.);
}

// Processor face of the VST3 adapter: bus arrangements, set-up, parameter
// queues, bypass, presets, MIDI, channel connection and hostile blocks.
#include "adapter_support.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

struct Vst3AdapterProcess : ::testing::Test
{
  TestPlug* plug = nullptr;
  void Make(bool midi = false, const char* io = "1-1 2-2", int sc = 0, int latency = 0)
  {
    plug = new TestPlug(midi, false, io, sc, latency);
  }
  void TearDown() override
  {
    if (!plug) return;
    plug->terminate();
    EXPECT_EQ(plug->release(), 0u);
  }
  std::string BusName(BusDirection dir, int idx)
  {
    BusInfo info{};
    if (plug->getBusInfo(kAudio, dir, idx, info) != kResultTrue) return "<none>";
    return Narrow(info.name) + "/" + std::to_string(info.channelCount);
  }
};

double Gain(double db) { return std::exp(db * 0.1151292546497); }

} // namespace

TEST_F(Vst3AdapterProcess, BusArrangementsLegalAndRefused)
{
  Make();
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo, quad = SpeakerArr::k40Music;

  // Refused: 1 in / 2 out is not in "1-1 2-2"; busses stay, channels disconnected.
  EXPECT_EQ(plug->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  EXPECT_EQ(BusName(kInput, 0), "Main Input/2");
  EXPECT_EQ(BusName(kOutput, 0), "Output/2");
  EXPECT_FALSE(plug->InConnected(0));
  EXPECT_FALSE(plug->OutConnected(1));

  // Matching counts keep the busses even when the arrangement differs.
  SpeakerArrangement otherStereo = SpeakerArr::kStereoSurround;
  EXPECT_EQ(plug->setBusArrangements(&otherStereo, 1, &otherStereo, 1), kResultOk);
  EXPECT_EQ(BusName(kInput, 0), "Main Input/2");

  EXPECT_EQ(plug->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  EXPECT_EQ(BusName(kInput, 0), "Input/1");
  EXPECT_EQ(BusName(kOutput, 0), "Output/1");
  SpeakerArrangement arr = 0;
  ASSERT_EQ(plug->getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);

  SpeakerArrangement two[2] = {stereo, stereo};
  EXPECT_EQ(plug->setBusArrangements(two, 2, &stereo, 1), kResultFalse) << "no side-chain to arrange";
  EXPECT_EQ(plug->setBusArrangements(&quad, 1, &quad, 1), kResultFalse);
  EXPECT_EQ(plug->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse) << "0 in / 2 out not legal";
}

TEST_F(Vst3AdapterProcess, SideChainArrangements)
{
  Make(false, "3-2 4-2", 2);
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  ASSERT_EQ(BusName(kInput, 1), "Aux Input/2");
  SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono;

  SpeakerArrangement quad = SpeakerArr::k40Music;
  EXPECT_EQ(plug->setBusArrangements(&quad, 1, &stereo, 1), kResultFalse) << "side-chain needs two";
  // The main request is checked against the channel-I/O list as a whole.
  SpeakerArrangement ins[2] = {SpeakerArr::k40Music, mono};
  EXPECT_EQ(plug->setBusArrangements(ins, 2, &stereo, 1), kResultOk);
  EXPECT_EQ(BusName(kInput, 0), "Input/4");
  EXPECT_EQ(BusName(kInput, 1), "Sidechain Input/1") << "side-chain kept after the main rebuild";
  SpeakerArrangement three[3] = {stereo, stereo, stereo};
  EXPECT_EQ(plug->setBusArrangements(three, 3, &stereo, 1), kResultFalse);
}

TEST_F(Vst3AdapterProcess, SetupProcessing)
{
  Make();
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  ProcessSetup bad{kRealtime, 2, 256, 48000.};
  EXPECT_EQ(plug->setupProcessing(bad), kResultFalse);
  ProcessSetup noRate{kRealtime, kSample32, 256, 0.};
  EXPECT_EQ(plug->setupProcessing(noRate), kResultFalse);
  for (int32 size : {0, -1, INT32_MIN})
  {
    ProcessSetup noBlocks{kRealtime, kSample32, size, 48000.};
    EXPECT_EQ(plug->setupProcessing(noBlocks), kResultFalse) << size;
  }
  EXPECT_EQ(plug->resets, 0);
  EXPECT_EQ(plug->GetBlockSize(), 0);
  EXPECT_EQ(plug->GetSampleRate(), 44100.) << "a refused set-up changes nothing";

  ProcessSetup offline{kOffline, kSample64, 256, 96000.};
  ASSERT_EQ(plug->setupProcessing(offline), kResultOk);
  EXPECT_EQ(plug->GetSampleRate(), 96000.);
  EXPECT_EQ(plug->GetBlockSize(), 256);
  EXPECT_EQ(plug->resets, 1);
  EXPECT_TRUE(plug->IsRenderingOffline());
  ProcessSetup live{kRealtime, kSample32, 128, 44100.};
  ASSERT_EQ(plug->setupProcessing(live), kResultOk);
  EXPECT_FALSE(plug->IsRenderingOffline());
  ProcessSetup huge{kRealtime, kSample32, INT32_MAX, 44100.};
  ASSERT_EQ(plug->setupProcessing(huge), kResultOk);
  EXPECT_EQ(plug->GetBlockSize(), IPluginVST3::kMaxScratchFrames) << "scratch memory stays bounded";

  EXPECT_EQ(plug->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(plug->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(plug->canProcessSampleSize(2), kResultFalse);

  EXPECT_EQ(plug->setActive(true), kResultOk);
  EXPECT_TRUE(plug->active);
  EXPECT_EQ(plug->setActive(false), kResultOk);
  EXPECT_FALSE(plug->active);
}

TEST_F(Vst3AdapterProcess, QueuesApplyTheirLastValueOnce)
{
  Make();
  Prepare(*plug, kSample32, 64);
  const int before = plug->paramChanges[kGain];
  FakeGraphics* gfx = new FakeGraphics;
  plug->AttachGraphics(gfx);

  HostBlock<float> b(2, 2, 64);
  ParameterChanges changes;
  ParamValueQueue& q = *changes.AddRaw(kGain, {0.1, 0.9, 0.75});
  changes.AddRaw(kNumTestParams + 3, {0.5}); // no such parameter
  changes.SetNullQueues(1);
  b.data.inputParameterChanges = &changes;
  ASSERT_EQ(plug->process(b.data), kResultOk);

  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 6.);
  EXPECT_EQ(plug->paramChanges[kGain], before + 1);
  EXPECT_EQ(q.Reads(), 1) << "only the last point is read";
  EXPECT_EQ(gfx->calls[kGain], 2) << "attach, then the change";
  EXPECT_DOUBLE_EQ(gfx->last[kGain], 0.75);
  EXPECT_TRUE(gfx->lastNormalized[kGain]);
  // The value applies from the block's first sample.
  EXPECT_FLOAT_EQ(b.out[0][0], (float)(b.in[0][0] * Gain(6.)));
  EXPECT_FLOAT_EQ(b.out[1][63], (float)(b.in[1][63] * Gain(6.)));

  // An empty queue changes nothing.
  changes.Clear();
  changes.SetNullQueues(0);
  changes.AddRaw(kGain, {});
  ASSERT_EQ(plug->process(b.data), kResultOk);
  EXPECT_EQ(plug->paramChanges[kGain], before + 1);
}

TEST_F(Vst3AdapterProcess, HostBypassThresholdAndPassThrough)
{
  Make();
  Prepare(*plug, kSample64, 32);
  HostBlock<double> b(2, 2, 32);
  ParameterChanges changes;
  b.data.inputParameterChanges = &changes;
  changes.AddRaw(kGain, {1.}); // +12 dB so bypass is visible
  changes.AddRaw(IPluginVST3::kHostBypassTag, {0.5});
  plug->process(b.data);
  EXPECT_FALSE(plug->IsBypassed()) << "exactly 0.5 is off";
  EXPECT_DOUBLE_EQ(b.out[0][5], b.in[0][5] * Gain(12.));

  changes.Clear();
  changes.AddRaw(IPluginVST3::kHostBypassTag, {0.51});
  b.FillOutputs(-1.);
  plug->process(b.data);
  EXPECT_TRUE(plug->IsBypassed());
  EXPECT_EQ(plug->getParamNormalized(IPluginVST3::kHostBypassTag), 1.);
  EXPECT_EQ(b.out[0], b.in[0]) << "bypassed audio passes through";
  EXPECT_EQ(b.out[1], b.in[1]);
  const int blocks = plug->blocks;
  plug->process(b.data);
  EXPECT_EQ(plug->blocks, blocks) << "the effect does not run while bypassed";

  // The bypass flag is the host's; a new set-up keeps it.
  ProcessSetup setup{kRealtime, kSample64, 32, 48000.};
  plug->setupProcessing(setup);
  EXPECT_TRUE(plug->IsBypassed());
}

TEST_F(Vst3AdapterProcess, PresetQueueRestoresByIndex)
{
  Make();
  Prepare(*plug, kSample32, 16);
  HostBlock<float> b(2, 2, 16);
  ParameterChanges changes;
  b.data.inputParameterChanges = &changes;

  plug->setParamNormalized(kGain, 1.);
  changes.AddRaw(IPluginVST3::kPresetListTag, {1.0});
  plug->process(b.data);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 12.) << "1.0 is one past the only preset";

  changes.Clear();
  changes.AddRaw(IPluginVST3::kPresetListTag, {0.99});
  plug->process(b.data);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 0.) << "preset 0 restored";
  EXPECT_FLOAT_EQ(b.out[0][3], b.in[0][3]);

  changes.Clear();
  plug->setParamNormalized(kGain, 1.);
  changes.AddRaw(IPluginVST3::kPresetListTag, {std::nan("")});
  plug->process(b.data);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 12.) << "NaN skipped";
  changes.Clear();
  changes.AddRaw(IPluginVST3::kPresetListTag, {-0.5});
  plug->process(b.data);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 0.) << "below 0 reads as the first preset";
}

TEST_F(Vst3AdapterProcess, MidiNotesBecomeMessages)
{
  Make(true);
  Prepare(*plug, kSample32, 16);
  HostBlock<float> b(2, 2, 16);
  EventList events;
  Event on{};
  on.type = Event::kNoteOnEvent;
  on.sampleOffset = 5;
  on.noteOn.channel = 3;
  on.noteOn.pitch = 60;
  on.noteOn.velocity = 0.5f;
  events.addEvent(on);
  Event off{};
  off.type = Event::kNoteOffEvent;
  off.sampleOffset = 9;
  off.noteOff.channel = 3;
  off.noteOff.pitch = 60;
  off.noteOff.velocity = 1.f;
  events.addEvent(off);
  Event other{};
  other.type = Event::kPolyPressureEvent;
  events.addEvent(other);
  Event wild = on;
  wild.noteOn.pitch = 300;
  wild.noteOn.velocity = 7.f;
  events.addEvent(wild);
  events.addEvent(on);
  events.SetFailIndex(4);
  b.data.inputEvents = &events;
  plug->process(b.data);

  ASSERT_EQ(plug->nMidi, 3);
  EXPECT_EQ(plug->midi[0].mStatus, 0x93);
  EXPECT_EQ(plug->midi[0].mData1, 60);
  EXPECT_EQ(plug->midi[0].mData2, 63) << "0.5 * 127 truncated";
  EXPECT_EQ(plug->midi[0].mOffset, 5);
  EXPECT_EQ(plug->midi[1].mStatus, 0x83);
  EXPECT_EQ(plug->midi[1].mData2, 0) << "note-off velocity is not passed";
  EXPECT_EQ(plug->midi[1].mOffset, 9);
  EXPECT_EQ(plug->midi[2].mData1, 127) << "pitch kept inside MIDI's range";
  EXPECT_EQ(plug->midi[2].mData2, 127);

  TearDown();
  Make(false);
  Prepare(*plug, kSample32, 16);
  plug->process(b.data);
  EXPECT_EQ(plug->nMidi, 0) << "a plug-in without MIDI gets none";
}

TEST_F(Vst3AdapterProcess, ChannelsFollowTheHostBusses)
{
  Make();
  Prepare(*plug, kSample32, 16);
  HostBlock<float> b(1, 2, 16); // mono input on a stereo plug-in
  plug->process(b.data);
  EXPECT_TRUE(plug->InConnected(0));
  EXPECT_FALSE(plug->InConnected(1));
  EXPECT_FLOAT_EQ(b.out[0][4], b.in[0][4]);
  EXPECT_FLOAT_EQ(b.out[1][4], 0.f) << "missing input channel reads as silence";

  // Inactive output bus: its channels are disconnected and left alone.
  plug->activateBus(kAudio, kOutput, 0, false);
  HostBlock<float> c(2, 2, 16);
  plug->process(c.data);
  EXPECT_FALSE(plug->OutConnected(0));
  EXPECT_FLOAT_EQ(c.out[0][0], -99.f);
  plug->activateBus(kAudio, kOutput, 0, true);

  // A host bus wider than the plug-in: extra host channels are not touched.
  HostBlock<float> wide(4, 4, 16);
  plug->process(wide.data);
  EXPECT_FLOAT_EQ(wide.out[1][2], wide.in[1][2]);
  EXPECT_FLOAT_EQ(wide.out[2][2], -99.f);
  EXPECT_FLOAT_EQ(wide.out[3][2], -99.f);
}

TEST_F(Vst3AdapterProcess, SideChainActivation)
{
  // Floats: the side-chain is converted into scratch buffers, which must be
  // cleared when it goes inactive.
  Make(false, "4-2", 2);
  Prepare(*plug, kSample32, 8);
  HostBlock<float> b(2, 2, 8), side(2, 0, 8);
  side.FillInputs(1000.);
  AudioBusBuffers ins[2] = {b.inBus, side.inBus};
  b.data.inputs = ins;
  b.data.numInputs = 2;

  plug->process(b.data);
  EXPECT_FLOAT_EQ(b.out[0][1], b.in[0][1]) << "inactive side-chain is silent";

  plug->activateBus(kAudio, kInput, 1, true);
  plug->process(b.data);
  EXPECT_FLOAT_EQ(b.out[1][1], b.in[1][1] + side.in[1][1]);

  // Going inactive again clears what the side-chain left in the scratch buffers.
  plug->activateBus(kAudio, kInput, 1, false);
  plug->process(b.data);
  EXPECT_FLOAT_EQ(b.out[1][1], b.in[1][1]);

  // A side-chain bus the host does not send reads as silence.
  plug->activateBus(kAudio, kInput, 1, true);
  b.data.numInputs = 1;
  plug->process(b.data);
  EXPECT_FLOAT_EQ(b.out[0][3], b.in[0][3]);
}

TEST_F(Vst3AdapterProcess, TransportIsCopiedFromTheBlock)
{
  Make();
  Prepare(*plug, kSample32, 8);
  ITimeInfo t;
  plug->GetTime(&t);
  EXPECT_EQ(t.mTempo, 0.) << "all zero before any context";
  HostBlock<float> b(2, 2, 8);
  ProcessContext ctx{};
  ctx.tempo = 128.;
  ctx.projectTimeSamples = 0x100000005LL;
  ctx.projectTimeMusic = 16.5;
  ctx.barPositionMusic = 16.;
  ctx.cycleStartMusic = 8.;
  ctx.cycleEndMusic = 24.;
  ctx.timeSigNumerator = 7;
  ctx.timeSigDenominator = 8;
  ctx.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
  b.data.processContext = &ctx;
  plug->process(b.data);

  plug->GetTime(&t);
  EXPECT_EQ(t.mTempo, 128.);
  EXPECT_EQ(t.mSamplePos, (double)0x100000005LL);
  EXPECT_EQ(t.mPPQPos, 16.5);
  EXPECT_EQ(t.mLastBar, 16.);
  EXPECT_EQ(t.mCycleStart, 8.);
  EXPECT_EQ(t.mCycleEnd, 24.);
  EXPECT_EQ(t.mNumerator, 7);
  EXPECT_EQ(t.mDenominator, 8);
  EXPECT_TRUE(t.mTransportIsRunning);
  EXPECT_TRUE(t.mTransportLoopEnabled);
  EXPECT_EQ(plug->GetSamplePos(), 5) << "low 32 bits";
  EXPECT_EQ(plug->GetTempo(), 128.);
  int num = 0, den = 0;
  plug->GetTimeSig(&num, &den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  EXPECT_FALSE(plug->SendMidiMsg(nullptr));
}

// ---- Blocks a host should not send ----

TEST_F(Vst3AdapterProcess, ProcessBeforeSetup)
{
  Make();
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  HostBlock<float> f(2, 2, 300);
  EXPECT_EQ(plug->process(f.data), kResultOk);
  // No scratch room yet for converting floats: silence, never an overrun.
  for (float x : f.out[0]) ASSERT_EQ(x, 0.f);
}

TEST_F(Vst3AdapterProcess, LongBlocksRunInPiecesOfTheBlockSize)
{
  Make();
  Prepare(*plug, kSample32, 64);
  ParameterChanges changes;
  changes.AddRaw(kGain, {0.75});
  HostBlock<float> f(2, 2, 1000);
  f.data.inputParameterChanges = &changes;
  ASSERT_EQ(plug->process(f.data), kResultOk);
  EXPECT_EQ(plug->maxFramesPerCall, 64);
  EXPECT_EQ(plug->framesTotal, 1000);
  for (int s : {0, 63, 64, 500, 999})
  {
    EXPECT_FLOAT_EQ(f.out[0][s], (float)(f.in[0][s] * Gain(6.))) << s;
    EXPECT_FLOAT_EQ(f.out[1][s], (float)(f.in[1][s] * Gain(6.))) << s;
  }

  // The same for doubles, with a mono host input so one channel lives in scratch.
  TearDown();
  Make();
  Prepare(*plug, kSample64, 48);
  HostBlock<double> d(1, 2, 700);
  ASSERT_EQ(plug->process(d.data), kResultOk);
  EXPECT_EQ(plug->maxFramesPerCall, 48);
  EXPECT_DOUBLE_EQ(d.out[0][699], d.in[0][699]);
  EXPECT_DOUBLE_EQ(d.out[1][699], 0.);
}

TEST_F(Vst3AdapterProcess, NullAndMissingBuffers)
{
  Make();
  Prepare(*plug, kSample32, 32);
  HostBlock<float> b(2, 2, 32);
  b.inPtrs[1] = nullptr;
  b.outPtrs[0] = nullptr;
  EXPECT_EQ(plug->process(b.data), kResultOk);
  EXPECT_FLOAT_EQ(b.out[1][7], 0.f) << "null input channel reads as silence";

  b.inBus.channelBuffers32 = nullptr;
  b.outBus.channelBuffers32 = nullptr;
  EXPECT_EQ(plug->process(b.data), kResultOk);

  ProcessData empty;
  empty.numSamples = 32;
  EXPECT_EQ(plug->process(empty), kResultOk) << "no busses at all";
  empty.numInputs = 1;
  empty.numOutputs = 1; // counts without arrays
  EXPECT_EQ(plug->process(empty), kResultOk);
  empty.numSamples = -5;
  EXPECT_EQ(plug->process(empty), kInvalidArgument);

  HostBlock<float> zero(2, 2, 0);
  EXPECT_EQ(plug->process(zero.data), kResultOk) << "a block of 0 samples";
}

TEST_F(Vst3AdapterProcess, NoInputBusStillProcessesOutputsWithSilence)
{
  Make();
  Prepare(*plug, kSample64, 16);
  HostBlock<double> first(2, 2, 16);
  plug->process(first.data);

  HostBlock<double> b(2, 2, 16);
  b.data.numInputs = 0;
  b.data.inputs = nullptr;
  plug->process(b.data);
  EXPECT_EQ(b.out[0], std::vector<double>(16, 0.)) << "no stale input from the last block";
}

TEST_F(Vst3AdapterProcess, BuffersOfAnEarlierBlockAreNeverWrittenAgain)
{
  Make();
  Prepare(*plug, kSample64, 16);
  HostBlock<double> first(2, 2, 16);
  plug->process(first.data);
  first.FillOutputs(-7.);

  ProcessData noOutputs;
  noOutputs.symbolicSampleSize = kSample64;
  noOutputs.numSamples = 16;
  noOutputs.numInputs = 1;
  noOutputs.inputs = &first.inBus;
  plug->process(noOutputs);
  EXPECT_EQ(first.out[0], std::vector<double>(16, -7.));
  EXPECT_EQ(first.out[1], std::vector<double>(16, -7.));
}

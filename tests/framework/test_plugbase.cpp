#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "framework/IPreset.h"
#include "test_plug.h"
#include "../util/alloc_hooks.h"

TEST(PlugConstruction, FieldsAfterConstruction)
{
  TestPlug plug(3, "1-1 2-2", 2);
  EXPECT_EQ(plug.NParams(), 3);
  EXPECT_EQ(plug.NPresets(), 2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(plug.GetParam(i)->GetKind(), kParamNone);
  EXPECT_EQ(plug.GetParam(3), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
  for (int i = 0; i < 2; ++i)
  {
    EXPECT_FALSE(plug.GetPreset(i)->mInitialized);
    EXPECT_STREQ(plug.GetPreset(i)->mName, "empty");
  }
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 2);
  EXPECT_FALSE(plug.IsInChannelConnected(0));
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  EXPECT_EQ(plug.GetSampleRate(), 44100.);
  EXPECT_EQ(plug.GetBlockSize(), 0);
  EXPECT_EQ(plug.GetLatencyDelayLine(), nullptr);
  EXPECT_EQ(plug.GetGraphics(), nullptr);
  EXPECT_FALSE(plug.IsBypassed());
  EXPECT_STREQ(plug.GetEffectName(), "TestEffect");
  EXPECT_STREQ(plug.GetMfrName(), "TestMaker");
  EXPECT_EQ(plug.GetUniqueID(), 0x514E4231);
}

TEST(PlugConstruction, LongNamesAreCut)
{
  const std::string longName(300, 'q');
  TestPlug plug(0, "1-1", 0, 0, longName.c_str());
  EXPECT_EQ(std::string(plug.GetEffectName()), std::string(127, 'q'));
}

TEST(PlugConstruction, NullChannelTextGivesNoChannels)
{
  TestPlug plug(0, nullptr, 0);
  EXPECT_EQ(plug.NChannelIO(), 0);
  EXPECT_EQ(plug.NInChannels(), 0);
  EXPECT_FALSE(plug.LegalIO(-1, -1));
  // The buffer operations must cope with no channels at all.
  plug.SetBlockSize(16);
  plug.ProcessBuffers(0.f, 16);
  plug.PassThroughBuffers(0., 16);
}

TEST(PlugConstruction, AbsurdChannelCountsAreCapped)
{
  TestPlug plug(0, "999999999-99999999999 1-1", 0);
  EXPECT_TRUE(plug.LegalIO(999999999, -1));
  EXPECT_TRUE(plug.LegalIO(-1, INT_MAX));   // saturated while parsing
  EXPECT_LE(plug.NInChannels(), 256);
  EXPECT_LE(plug.NOutChannels(), 256);
}

namespace
{
int sAllocsLeft = 0;   // heap-buffer allocations that may still succeed
void* CountdownRealloc(void* p, size_t n) { return sAllocsLeft-- > 0 ? realloc(p, n) : nullptr; }
void* CountdownMalloc(size_t n) { return sAllocsLeft-- > 0 ? malloc(n) : nullptr; }
} // namespace

TEST(PlugConstruction, AFailedAllocationThrowsOrLeavesTheInstanceWhole)
{
  // Fail the first, then the second, ... allocation of a construction until one gets through.
  bool completed = false;
  for (int ok = 0; ok < 64 && !completed; ++ok)
  {
    ScopedAllocHooks hooks(CountdownRealloc, CountdownMalloc);
    sAllocsLeft = ok;
    try
    {
      TestPlug plug(3, "1-1 2-2", 2);
      completed = true;
      EXPECT_EQ(plug.NParams(), 3) << ok;
      EXPECT_EQ(plug.NPresets(), 2) << ok;
      EXPECT_EQ(plug.NChannelIO(), 2) << ok;
      EXPECT_EQ(plug.NInChannels(), 2) << ok;
      EXPECT_EQ(plug.NOutChannels(), 2) << ok;
    }
    catch (const std::bad_alloc&)
    {
    }
  }
  EXPECT_TRUE(completed);
}

TEST(PlugChannelIO, LegalIOForMonoAndStereo)
{
  TestPlug plug(0, "1-1 2-2");
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(2, -1));
  EXPECT_FALSE(plug.LegalIO(3, -1));
  EXPECT_FALSE(plug.LegalIO(0, 0));
}

TEST(PlugChannelIO, EverySpaceStartsAnEntry)
{
  TestPlug trailing(0, "1-1 2-2 ");
  EXPECT_EQ(trailing.NChannelIO(), 3);
  EXPECT_TRUE(trailing.LegalIO(0, 0));

  // The extra entry is parsed from " 4-3": the number skips leading blanks.
  TestPlug doubled(0, "1-2  4-3");
  ASSERT_EQ(doubled.NChannelIO(), 3);
  EXPECT_EQ(doubled.GetChannelIO(1)->mIn, 4);
  EXPECT_EQ(doubled.GetChannelIO(1)->mOut, 3);
  EXPECT_EQ(doubled.GetChannelIO(2)->mIn, 4);
  EXPECT_EQ(doubled.NInChannels(), 4);
  EXPECT_EQ(doubled.NOutChannels(), 3);

  TestPlug partial(0, "2 x-3");
  ASSERT_EQ(partial.NChannelIO(), 2);
  EXPECT_EQ(partial.GetChannelIO(0)->mIn, 2);
  EXPECT_EQ(partial.GetChannelIO(0)->mOut, 0);
  EXPECT_EQ(partial.GetChannelIO(1)->mIn, 0);
  EXPECT_EQ(partial.GetChannelIO(1)->mOut, 0);
}

TEST(PlugChannels, ConnectionRangesAreClipped)
{
  TestPlug plug(0, "2-2");
  plug.SetInputChannelConnections(1, 5, true);
  EXPECT_FALSE(plug.IsInChannelConnected(0));
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  plug.SetInputChannelConnections(7, 2, true);   // start beyond the list
  plug.SetOutputChannelConnections(-1, INT_MAX, true);
  EXPECT_TRUE(plug.IsOutChannelConnected(0));
  EXPECT_TRUE(plug.IsOutChannelConnected(1));
  EXPECT_FALSE(plug.IsOutChannelConnected(-1));
}

TEST(PlugChannels, DisconnectPointsSlotAtScratch)
{
  TestPlug plug(0, "2-2");
  plug.SetBlockSize(8);
  plug.SetInputChannelConnections(0, 2, false);
  plug.SetOutputChannelConnections(0, 2, false);
  EXPECT_EQ(plug.GetInputData()[1], plug.GetInChannel(1)->mScratchBuf.Get());
  EXPECT_EQ(plug.GetOutputData()[0], plug.GetOutChannel(0)->mScratchBuf.Get());
  EXPECT_NE(plug.GetInputData()[1], nullptr);
}

TEST(PlugChannels, LimitToStereo)
{
  TestPlug plug(0, "4-4");
  plug.SetInputChannelConnections(0, 4, true);
  plug.LimitToStereoIO();
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(1));
  EXPECT_TRUE(plug.IsOutChannelConnected(2));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
}

TEST(PlugChannels, ChannelLabels)
{
  TestPlug plug(0, "2-1");
  plug.SetInputLabel(1, "side");
  plug.SetOutputLabel(0, nullptr);
  plug.SetOutputLabel(3, "ignored");
  EXPECT_STREQ(plug.GetInputLabel(1), "side");
  EXPECT_STREQ(plug.GetOutputLabel(0), "");
  EXPECT_STREQ(plug.GetOutputLabel(3), "");
}

TEST(PlugBusLabels, InputOnlyZeroAndOne)
{
  TestPlug plug;
  plug.SetInputBusLabel(2, "nope");
  EXPECT_EQ(plug.NInputBusLabels(), 0);
  plug.SetInputBusLabel(1, "early");        // beyond the list: appended at 0
  ASSERT_EQ(plug.NInputBusLabels(), 1);
  EXPECT_STREQ(plug.GetInputBusLabel(0)->Get(), "early");
  plug.SetInputBusLabel(0, "Main Input");   // replaces it
  ASSERT_EQ(plug.NInputBusLabels(), 1);
  plug.SetInputBusLabel(1, "Aux Input");
  ASSERT_EQ(plug.NInputBusLabels(), 2);
  EXPECT_STREQ(plug.GetInputBusLabel(0)->Get(), "Main Input");
  EXPECT_STREQ(plug.GetInputBusLabel(1)->Get(), "Aux Input");
  plug.SetInputBusLabel(0, "Renamed");      // replaces, does not grow
  ASSERT_EQ(plug.NInputBusLabels(), 2);
  EXPECT_STREQ(plug.GetInputBusLabel(0)->Get(), "Renamed");
  EXPECT_STREQ(plug.GetInputBusLabel(1)->Get(), "Aux Input");
}

TEST(PlugBusLabels, OutputAnyNonNegativeIndex)
{
  TestPlug plug;
  plug.SetOutputBusLabel(5, "Output 1");
  ASSERT_EQ(plug.NOutputBusLabels(), 1);
  EXPECT_STREQ(plug.GetOutputBusLabel(0)->Get(), "Output 1");
  EXPECT_EQ(plug.GetOutputBusLabel(5), nullptr);
  plug.SetOutputBusLabel(-1, "neg");
  plug.SetOutputBusLabel(0, nullptr);
  ASSERT_EQ(plug.NOutputBusLabels(), 1);
  EXPECT_STREQ(plug.GetOutputBusLabel(0)->Get(), "");
}

TEST(PlugVersions, EncodingAndTexts)
{
  const int v = (1 << 16) | (2 << 8) | 3;
  char out[kVersionStrMax];
  IPluginBase::GetVersionStr(v, out);
  EXPECT_STREQ(out, "v1.2.3");
  EXPECT_EQ(IPluginBase::GetDecimalVersion(v), 10203);
  IPluginBase::GetVersionStr(0x10000, out);
  EXPECT_STREQ(out, "v1.0.0");
  IPluginBase::GetVersionStr(-1, out);    // every field at its largest
  EXPECT_STREQ(out, "v65535.255.255");
  EXPECT_EQ(IPluginBase::GetDecimalVersion(-1), 65535 * 10000 + 255 * 100 + 255);

  TestPlug plug(0, "1-1", 0, 0, "x", 0x00020105);
  EXPECT_EQ(plug.GetEffectVersion(false), 0x00020105);
  EXPECT_EQ(plug.GetEffectVersion(true), 20105);
  plug.GetEffectVersionStr(out);
  EXPECT_STREQ(out, "v2.1.5");
}

TEST(PlugVersions, HostVersionAsksForTheHostFirst)
{
  TestPlug plug;
  plug.SetHost("REAPER64", 0x00060A01);
  EXPECT_EQ(plug.GetHost(), kHostReaper);
  plug.mGetHostCalls = 0;
  EXPECT_EQ(plug.GetHostVersion(true), 61001);
  char out[kVersionStrMax];
  plug.GetHostVersionStr(out);
  EXPECT_STREQ(out, "v6.10.1");
  EXPECT_EQ(plug.mGetHostCalls, 2);
  plug.SetHost("Some Tool", 0);
  EXPECT_EQ(plug.GetHost(), kHostUnknown);
}

TEST(PlugVersions, APIAndArchStrings)
{
  TestPlug plug;
  EXPECT_STREQ(plug.GetAPIString(), "VST3");
  EXPECT_STREQ(plug.GetArchString(), "x64");
  struct OddAPI : TestPlug
  {
    int mApi = 0;
    EAPI GetAPI() override { return (EAPI)mApi; }
  } odd;
  const char* names[] = {"VST2", "VST3", "AU", "RTAS", "AAX", "Standalone"};
  for (int i = 0; i < 6; ++i)
  {
    odd.mApi = i;
    EXPECT_STREQ(odd.GetAPIString(), names[i]);
  }
  odd.mApi = 6;
  EXPECT_STREQ(odd.GetAPIString(), "");
  odd.mApi = -1;
  EXPECT_STREQ(odd.GetAPIString(), "");
}

TEST(PlugVersions, SamplesPerBeat)
{
  TestPlug plug;
  plug.SetSampleRate(48000.);
  plug.mTempo = 120.;
  EXPECT_DOUBLE_EQ(plug.GetSamplesPerBeat(), 24000.);
  plug.mTempo = 0.;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.);
}

// The host hears of the change without the plug-in mutex: a host that is
// slow in performEdit must not hold up the audio thread.
TEST(PlugParams, SetParameterFromGUIInformsWithoutMutexThenNotifiesUnderIt)
{
  TestPlug plug(2);
  plug.GetParam(1)->InitInt("n", 0, 0, 10, "", "");
  plug.mProbeLock = true;
  plug.SetParameterFromGUI(1, 0.45);
  plug.JoinProbes();
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 5.);
  ASSERT_EQ(plug.mEvents.size(), 2u);
  EXPECT_EQ(plug.mEvents[0].what, "Inform");
  EXPECT_EQ(plug.mEvents[0].idx, 1);
  EXPECT_EQ(plug.mEvents[0].value, 0.45);   // the normalised value as given
  EXPECT_FALSE(plug.mEvents[0].locked);
  EXPECT_EQ(plug.mEvents[1].what, "OnParamChange");
  EXPECT_EQ(plug.mEvents[1].value, 5.);     // parameter already set
  EXPECT_TRUE(plug.mEvents[1].locked);
}

TEST(PlugParams, SetParameterFromGUIIgnoresBadIndex)
{
  TestPlug plug(2);
  plug.SetParameterFromGUI(2, 0.5);
  plug.SetParameterFromGUI(-1, 0.5);
  EXPECT_TRUE(plug.mEvents.empty());
}

TEST(PlugParams, DirtyParametersInformsEveryParamWithoutMutex)
{
  TestPlug plug(2);
  plug.GetParam(0)->InitDouble("a", 2.5, 0., 10., 0.1, "", "", 1.);
  plug.GetParam(1)->InitDouble("b", 1., 0., 4., 0.1, "", "", 1.);
  plug.mProbeLock = true;
  plug.DirtyParameters();
  plug.JoinProbes();
  ASSERT_EQ(plug.mEvents.size(), 2u);
  EXPECT_EQ(plug.mEvents[0].idx, 0);
  EXPECT_DOUBLE_EQ(plug.mEvents[0].value, 0.25);
  EXPECT_EQ(plug.mEvents[1].idx, 1);
  EXPECT_DOUBLE_EQ(plug.mEvents[1].value, 0.25);
  EXPECT_FALSE(plug.mEvents[0].locked || plug.mEvents[1].locked);
}

TEST(PlugParams, OnParamResetVisitsEveryIndexInOrder)
{
  TestPlug plug(3);
  plug.OnParamReset();
  ASSERT_EQ(plug.mEvents.size(), 3u);
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(plug.mEvents[i].what, "OnParamChange");
    EXPECT_EQ(plug.mEvents[i].idx, i);
  }
}

TEST(PlugGraphics, AttachPushesNormalisedValuesThenPrepDraw)
{
  bool destroyed = false;
  {
    TestPlug plug(2);
    plug.GetParam(0)->InitDouble("a", 5., 0., 10., 0.1, "", "", 1.);
    plug.GetParam(1)->InitBool("b", true, "", "");
    auto* g = new RecordingGraphics(&plug.GetMutex(), &destroyed);
    plug.AttachGraphics(g);
    ASSERT_EQ(plug.GetGraphics(), g);
    ASSERT_EQ(g->mCalls.size(), 3u);
    EXPECT_EQ(g->mCalls[0].what, "SetParameterFromPlug");
    EXPECT_EQ(g->mCalls[0].idx, 0);
    EXPECT_DOUBLE_EQ(g->mCalls[0].value, 0.5);
    EXPECT_TRUE(g->mCalls[0].normalized);
    EXPECT_EQ(g->mCalls[1].idx, 1);
    EXPECT_EQ(g->mCalls[1].value, 1.);
    EXPECT_EQ(g->mCalls[2].what, "PrepDraw");
    for (const auto& c : g->mCalls) EXPECT_TRUE(c.locked) << c.what;
    EXPECT_FALSE(destroyed);

    plug.AttachGraphics(nullptr);   // ignored
    EXPECT_EQ(plug.GetGraphics(), g);
  }
  EXPECT_TRUE(destroyed);   // the plug-in owns its editor
}

TEST(PlugGraphics, SecondEditorReplacesAndFreesTheFirst)
{
  bool firstGone = false, secondGone = false;
  {
    TestPlug plug(1);
    plug.AttachGraphics(new RecordingGraphics(nullptr, &firstGone));
    plug.AttachGraphics(new RecordingGraphics(nullptr, &secondGone));
    EXPECT_TRUE(firstGone);
    EXPECT_FALSE(secondGone);
  }
  EXPECT_TRUE(secondGone);
}

TEST(PlugMidi, SendMidiMsgsReportsAnyFailure)
{
  TestPlug plug;
  Util_TypedBuf<IMidiMsg> msgs;
  EXPECT_TRUE(plug.SendMidiMsgs(&msgs));   // empty
  IMidiMsg* m = msgs.Resize(3);
  m[0].MakeNoteOnMsg(60, 100, 0);
  m[1].MakeNoteOnMsg(0xEE & 0x7F, 100, 0);
  m[1].mData1 = 0xEE;                      // the test plug fails this one
  m[2].MakeNoteOffMsg(60, 4);
  EXPECT_FALSE(plug.SendMidiMsgs(&msgs));
  ASSERT_EQ(plug.mEvents.size(), 3u);      // the later message is still sent
  EXPECT_EQ(plug.mEvents[2].value, 0x80);

  plug.mEvents.clear();
  IMidiMsg note;
  note.MakeNoteOnMsg(61, 1, 0);
  plug.ProcessMidiMsg(&note);              // the base passes it on
  ASSERT_EQ(plug.mEvents.size(), 1u);
  EXPECT_EQ(plug.mEvents[0].idx, 61);
}

TEST(PlugDefaults, BaseHooks)
{
  TestPlug plug;
  char name[8] = "xyz";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
  EXPECT_FALSE(plug.IsRenderingOffline());
  EXPECT_FALSE(plug.HostRequestingAboutBox());
  ISysEx sx;
  EXPECT_FALSE(plug.SendSysEx(&sx));
}

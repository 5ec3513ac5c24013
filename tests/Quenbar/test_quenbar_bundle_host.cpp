// The built bundle through the VST3 ABI, as a host drives it beyond the
// basics: value texts, bus arrangements, the state stream through both pairs
// with short, failing and foreign streams, a host that keeps its own copy of
// the values, and the host's bypass parameter in process().
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "Coeffs/tilt_oracle.h"
#include "quenbar_oracle.h"
#include "pluginterfaces/gui/iplugview.h"
#include "tools/host/paramchanges.h"
#include "tools/host/session.h"
#include "tools/host/statestream.h"
#include "tools/host/strings.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const ParamID kPresetTag = 0x70727374;  // 'prst'
const ParamID kBypassTag = 0x62706173;  // 'bpas'

template <class T>
T* Query(FUnknown* obj)
{
  void* p = nullptr;
  return obj && obj->queryInterface(T::iid, &p) == kResultOk ? static_cast<T*>(p) : nullptr;
}

void ToString128(const char* ascii, String128 out)
{
  size_t i = 0;
  for (; ascii[i] && i < 127; ++i)
    out[i] = (char16)ascii[i];
  out[i] = 0;
}

// Plain values of the five parameters in index order: Level, Mix, Tone, Snap, Bypass.
const double kMin[5] = {-15.0, 0.0, 0.25, 0.0, 0.0};
const double kMax[5] = {15.0, 1.0, 1.25, 30.0, 1.0};
double Norm(int i, double plain) { return (plain - kMin[i]) / (kMax[i] - kMin[i]); }

std::vector<uint8_t> StateBytes(const double (&plain)[5], int32_t bypassWord)
{
  std::vector<uint8_t> b(44);
  std::memcpy(b.data(), plain, 40);
  std::memcpy(b.data() + 40, &bypassWord, 4);
  return b;
}

class QuenbarBundleHost : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    ASSERT_TRUE(mSession.Open(QUENBAR_BUNDLE_DIR, &error)) << error;
    mCtl = mSession.plugin.Controller();
    ASSERT_NE(mCtl, nullptr);
    ASSERT_FALSE(mSession.plugin.HasSeparateController());
    mComponent = Query<IComponent>(mCtl);
    mProcessor = Query<IAudioProcessor>(mCtl);
    ASSERT_NE(mComponent, nullptr);
    ASSERT_NE(mProcessor, nullptr);
  }
  void TearDown() override
  {
    if (mComponent)
      mComponent->release();
    if (mProcessor)
      mProcessor->release();
  }

  std::string Text(ParamID tag, double normalized, tresult* r)
  {
    String128 s;
    ToString128("untouched", s);
    *r = mCtl->getParamStringByValue(tag, normalized, s);
    s[127] = 0;
    return vst3host::Utf16ToUtf8(s, 128);
  }
  tresult Value(ParamID tag, const char* text, double* normalized)
  {
    String128 s;
    ToString128(text, s);
    *normalized = -1.0;
    return mCtl->getParamValueByString(tag, s, *normalized);
  }
  void ExpectPlain(const double (&plain)[5])
  {
    for (int i = 0; i < 5; ++i)
      EXPECT_DOUBLE_EQ(mCtl->getParamNormalized(i), Norm(i, plain[i])) << "parameter " << i;
  }
  // Arrangement call with one arrangement each way (numIns 2 for a side-chain request).
  tresult Arrange(SpeakerArrangement in, SpeakerArrangement out, int32 numIns = 1)
  {
    SpeakerArrangement ins[2] = {in, in};
    return mProcessor->setBusArrangements(ins, numIns, &out, 1);
  }
  void ExpectBusses(int32 channels, const char* inName, const char* outName)
  {
    const auto ins = mSession.plugin.Busses(kAudio, kInput);
    const auto outs = mSession.plugin.Busses(kAudio, kOutput);
    ASSERT_EQ(ins.size(), 1u);
    ASSERT_EQ(outs.size(), 1u);
    EXPECT_EQ(ins[0].channelCount, channels);
    EXPECT_EQ(outs[0].channelCount, channels);
    EXPECT_EQ(ins[0].name, inName);
    EXPECT_EQ(outs[0].name, outName);
    SpeakerArrangement a = 0;
    const SpeakerArrangement want = channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
    EXPECT_EQ(mProcessor->getBusArrangement(kInput, 0, a), kResultOk);
    EXPECT_EQ(a, want);
    EXPECT_EQ(mProcessor->getBusArrangement(kOutput, 0, a), kResultOk);
    EXPECT_EQ(a, want);
  }

  vst3host::Session mSession;
  IEditController* mCtl = nullptr;
  IComponent* mComponent = nullptr;
  IAudioProcessor* mProcessor = nullptr;
};

TEST_F(QuenbarBundleHost, ValueTextsBothWaysForTheFiveParameters)
{
  tresult r;
  struct Shown
  {
    ParamID tag;
    double normalized;
    const char* text;
  };
  const Shown shown[] = {
    {0, 0.5, "0.00"},  {0, 0.0, "-15.00"}, {0, 1.0, "15.00"}, {1, 0.37, "0.37"}, {2, 0.25, "0.50"},
    {3, 0.4, "12.00"}, {4, 1.0, "1"},      {4, 0.4, "0"},
  };
  for (const Shown& s : shown)
  {
    EXPECT_EQ(Text(s.tag, s.normalized, &r), s.text) << "tag " << s.tag << " at " << s.normalized;
    EXPECT_EQ(r, kResultOk);
  }

  struct Read
  {
    ParamID tag;
    const char* text;
    double normalized;
  };
  const Read read[] = {
    {3, "12 dB", 0.4},   {0, "-7.5", 0.25}, {2, "1.0%", 0.75},
    {2, "0", 0.0},     // plain 0 is below Tone's minimum: clamped
    {3, "45", 1.0},    {4, "1", 1.0},
  };
  for (const Read& t : read)
  {
    double v;
    EXPECT_EQ(Value(t.tag, t.text, &v), kResultOk) << t.text;
    EXPECT_NEAR(v, t.normalized, 1e-12) << "tag " << t.tag << " text \"" << t.text << "\"";
  }
  // Texts that are no finite number are refused.
  for (const char* text : {"loud", "", "nan", "-1e999", "inf"})
  {
    double v;
    EXPECT_EQ(Value(0, text, &v), kResultFalse) << text;
  }

  // The host's own two parameters show their values too.
  EXPECT_EQ(Text(kBypassTag, 1.0, &r), "on");
  EXPECT_EQ(r, kResultOk);
  EXPECT_EQ(Text(kBypassTag, 0.0, &r), "off");
  EXPECT_EQ(Text(kPresetTag, 0.0, &r), "-") << "the default preset's name";
  EXPECT_EQ(r, kResultOk);
  Text(99, 0.5, &r);
  EXPECT_EQ(r, kResultFalse);
  double v;
  EXPECT_EQ(Value(kBypassTag, "on", &v), kResultOk);
  EXPECT_EQ(v, 1.0);
  EXPECT_EQ(Value(kBypassTag, "off", &v), kResultOk);
  EXPECT_EQ(v, 0.0);
  EXPECT_NE(Value(99, "1", &v), kResultOk);

  // A host sending a value far outside 0 … 1 gets a bounded text, no overrun.
  const std::string huge = Text(0, 1e300, &r);
  EXPECT_FALSE(huge.empty());
  EXPECT_LT(huge.size(), 128u);
}

TEST_F(QuenbarBundleHost, AcceptsMonoAndStereoPairsOnly)
{
  ExpectBusses(2, "Main Input", "Output");
  EXPECT_EQ(Arrange(SpeakerArr::kStereo, SpeakerArr::kStereo), kResultOk);
  ExpectBusses(2, "Main Input", "Output");  // matching busses stay as built

  EXPECT_EQ(Arrange(SpeakerArr::kMono, SpeakerArr::kMono), kResultOk);
  {
    SCOPED_TRACE("mono accepted");
    ExpectBusses(1, "Input", "Output");
  }

  // Refusals leave the busses alone.
  EXPECT_EQ(Arrange(SpeakerArr::kMono, SpeakerArr::kStereo), kResultFalse);
  EXPECT_EQ(Arrange(SpeakerArr::kStereo, SpeakerArr::kMono), kResultFalse);
  EXPECT_EQ(Arrange(SpeakerArr::k30Music, SpeakerArr::k30Music), kResultFalse);
  {
    SCOPED_TRACE("after refusals");
    ExpectBusses(1, "Input", "Output");
  }

  EXPECT_EQ(Arrange(SpeakerArr::kStereo, SpeakerArr::kStereo), kResultOk);
  {
    SCOPED_TRACE("back to stereo");
    ExpectBusses(2, "Input", "Output");
  }
  // A side-chain request is refused by an effect without one (the main busses
  // it names may already have been rebuilt by then).
  EXPECT_EQ(Arrange(SpeakerArr::kStereo, SpeakerArr::kStereo, 2), kResultFalse);
}

TEST_F(QuenbarBundleHost, StateRoundTripsThroughEveryPair)
{
  const double saved[5] = {-9.0, 0.7, 1.15, 12.0, 1.0};
  for (int i = 0; i < 5; ++i)
    ASSERT_EQ(mCtl->setParamNormalized(i, Norm(i, saved[i])), kResultOk);
  EXPECT_EQ(mCtl->setParamNormalized(kBypassTag, 1.0), kResultFalse);
  EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);

  // The same 44 bytes, headerless, from either pair.
  vst3host::StateStream out, fromComponent;
  ASSERT_EQ(mCtl->getState(&out), kResultOk);
  ASSERT_EQ(mComponent->getState(&fromComponent), kResultOk);
  EXPECT_EQ(out.Data(), StateBytes(saved, 0));
  EXPECT_EQ(fromComponent.Data(), out.Data());

  using Restore = std::function<tresult(IBStream*)>;
  const std::pair<const char*, Restore> paths[] = {
    {"controller setState", [&](IBStream* s) { return mCtl->setState(s); }},
    {"component setState", [&](IBStream* s) { return mComponent->setState(s); }},
    {"setComponentState", [&](IBStream* s) { return mCtl->setComponentState(s); }},
  };
  for (const auto& path : paths)
  {
    SCOPED_TRACE(path.first);
    for (int i = 0; i < 5; ++i)
      mCtl->setParamNormalized(i, 0.9);
    vst3host::StateStream back(StateBytes(saved, 2));  // any non-zero word bypasses
    EXPECT_EQ(path.second(&back), kResultOk);
    ExpectPlain(saved);
    EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 1.0);
    vst3host::StateStream again;
    ASSERT_EQ(mCtl->getState(&again), kResultOk);
    EXPECT_EQ(again.Data(), StateBytes(saved, 1));
    vst3host::StateStream clear(StateBytes(saved, 0));
    EXPECT_EQ(path.second(&clear), kResultOk);
    EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);
  }
}

// A stream that is not a whole state of this plug-in is refused and changes
// nothing: no half-applied parameters, no bypass switched on by stray bytes.
TEST_F(QuenbarBundleHost, IncompleteOrForeignStatesChangeNothing)
{
  const double before[5] = {3.0, 0.5, 0.75, 6.0, 0.0};
  const double stream[5] = {-6.0, 0.25, 1.25, 30.0, 1.0};
  vst3host::StateStream start(StateBytes(before, 1));
  ASSERT_EQ(mCtl->setState(&start), kResultOk);
  const std::vector<uint8_t> full = StateBytes(stream, 0);
  const uint8_t wavHeader[44] = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                                 1,   0,   2,   0,   0x80, 0xBB, 0, 0, 0, 0xEE, 2, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};
  const double nanValue[5] = {-6.0, std::nan(""), 1.0, 3.0, 0.0};
  const double snapTooHigh[5] = {-6.0, 0.5, 1.0, 30.5, 0.0};
  struct Case
  {
    const char* name;
    std::vector<uint8_t> bytes;
    bool failShort;
  };
  const Case cases[] = {
    {"40 bytes, then a failing read", std::vector<uint8_t>(full.begin(), full.begin() + 40), true},
    {"40 bytes, then a read that succeeds with nothing", std::vector<uint8_t>(full.begin(), full.begin() + 40), false},
    {"16 bytes", std::vector<uint8_t>(full.begin(), full.begin() + 16), false},
    {"3 bytes", {1, 2, 3}, false},
    {"empty", {}, false},
    {"a WAV file", std::vector<uint8_t>(wavHeader, wavHeader + 44), false},
    {"a NaN value", StateBytes(nanValue, 0), false},
    {"Snap above its range", StateBytes(snapTooHigh, 0), false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    vst3host::StateStream s(c.bytes);
    s.mFailShortReads = c.failShort;
    EXPECT_EQ(mCtl->setState(&s), kResultFalse);
    vst3host::StateStream s2(c.bytes);
    EXPECT_EQ(mComponent->setState(&s2), kResultFalse);
    ExpectPlain(before);
    EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 1.0);
  }

  // Random bytes of the right length: refused, or taken exactly as they are.
  std::mt19937 rng(5000);
  int accepted = 0;
  for (int round = 0; round < 5000; ++round)
  {
    std::vector<uint8_t> bytes(44);
    for (uint8_t& b : bytes)
      b = (uint8_t)rng();
    vst3host::StateStream s(bytes);
    if (mComponent->setState(&s) != kResultOk)
      continue;
    ++accepted;
    double plain[5];
    std::memcpy(plain, bytes.data(), 40);
    for (int i = 0; i < 4; ++i)
      EXPECT_DOUBLE_EQ(mCtl->getParamNormalized(i), Norm(i, plain[i])) << "parameter " << i;
    vst3host::StateStream back(StateBytes(before, 1));
    ASSERT_EQ(mCtl->setState(&back), kResultOk);
  }
  ExpectPlain(before);
  EXPECT_LT(accepted, 50) << "five random doubles rarely all lie in their ranges";
}

// Hosts built on common host libraries keep their own copy of the values:
// synced at start-up only if the component hands out its state, refreshed
// only when the plug-in asks for it.
TEST(QuenbarBundleHostCopy, TheHostsCopyFollowsEveryRestore)
{
  vst3host::Session session;
  std::string error;
  ASSERT_TRUE(session.Open(QUENBAR_BUNDLE_DIR, &error)) << error;
  vst3host::Plugin& plugin = session.plugin;
  IEditController* ctl = plugin.Controller();
  for (ParamID id = 0; id < 5; ++id)
    EXPECT_DOUBLE_EQ(plugin.HostValue(id), ctl->getParamNormalized(id)) << "synced at start-up, " << id;
  EXPECT_DOUBLE_EQ(plugin.HostValue(0), Norm(0, 0.0)) << "Level shows its default, not -15 dB";

  const double restored[5] = {-12.0, 0.2, 0.5, 3.0, 0.0};
  std::vector<uint8_t> bytes = StateBytes(restored, 1);
  ASSERT_TRUE(plugin.LoadState(bytes, &error)) << error;
  for (ParamID id = 0; id < 5; ++id)
    EXPECT_DOUBLE_EQ(plugin.HostValue(id), Norm((int)id, restored[id])) << id;
  EXPECT_EQ(plugin.HostValue(kBypassTag), 1.0);

  const double other[5] = {6.0, 0.8, 1.0, 10.0, 1.0};
  ASSERT_TRUE(plugin.LoadControllerState(StateBytes(other, 0), &error)) << error;
  EXPECT_DOUBLE_EQ(plugin.HostValue(1), 0.8);
  EXPECT_EQ(plugin.HostValue(kBypassTag), 0.0);

  // A refused state tells the host nothing, and its copy stays right.
  EXPECT_FALSE(plugin.LoadState(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40), &error));
  EXPECT_DOUBLE_EQ(plugin.HostValue(1), 0.8);
  EXPECT_DOUBLE_EQ(ctl->getParamNormalized(1), 0.8);

  // What a host saves as the component state reopens as it was.
  std::vector<uint8_t> saved;
  ASSERT_TRUE(plugin.SaveState(&saved, &error)) << error;
  EXPECT_EQ(saved, StateBytes(other, 0));
}

// 64-bit stereo: a host bypass change passes the input through bit for bit
// from the block's start, holds until cleared, and clearing it processes again.
TEST_F(QuenbarBundleHost, HostBypassParameterPassesInputThrough)
{
  const double rate = 48000.0;
  const int block = 256;
  vst3host::ProcessSettings settings;
  settings.sampleRate = rate;
  settings.channels = 2;
  settings.use64 = true;
  settings.maxBlock = block;
  std::string error;
  ASSERT_TRUE(mSession.plugin.Start(settings, &error)) << error;

  std::vector<double> l(block), r(block), outL(block), outR(block), wantL(block), wantR(block);
  uint32_t seed = 777;
  auto fill = [&] {
    for (int i = 0; i < block; ++i)
    {
      seed = seed * 1664525u + 1013904223u;
      l[i] = ((seed >> 8) / 16777216.0 - 0.5) * 4.0;
      seed = seed * 1664525u + 1013904223u;
      r[i] = ((seed >> 8) / 16777216.0 - 0.5) * 4.0;
    }
  };
  vst3host::ParameterChanges changes;
  auto run = [&](bool withChange, int offset, double value) {
    fill();
    changes.Clear();
    if (withChange)
      changes.Add(kBypassTag, offset, value);
    void* ins[2] = {l.data(), r.data()};
    void* outs[2] = {outL.data(), outR.data()};
    std::string err;
    EXPECT_TRUE(mSession.plugin.Process(ins, outs, block, &changes, &err)) << err;
  };
  auto passedThrough = [&] {
    return std::memcmp(outL.data(), l.data(), block * sizeof(double)) == 0 &&
           std::memcmp(outR.data(), r.data(), block * sizeof(double)) == 0;
  };

  // Value 0 on a fresh instance: processed, as the definition says.
  qref::Effect<TiltOracle> ref;
  ref.Set(qref::Settings());
  run(true, 0, 0.0);
  ref.Block(rate, l.data(), r.data(), wantL.data(), wantR.data(), block);
  double peak = 0, err = 0;
  for (int i = 0; i < block; ++i)
  {
    peak = std::fmax(peak, std::fmax(std::fabs(wantL[i]), std::fabs(wantR[i])));
    err = std::fmax(err, std::fmax(std::fabs(outL[i] - wantL[i]), std::fabs(outR[i] - wantR[i])));
  }
  ASSERT_GT(peak, 0.1);
  EXPECT_LE(err, 1e-11 * peak);
  EXPECT_FALSE(passedThrough());
  EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);

  run(true, 200, 1.0);  // late in the block, still applies from its start
  EXPECT_TRUE(passedThrough());
  EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 1.0);
  run(false, 0, 0.0);  // no change: stays bypassed
  EXPECT_TRUE(passedThrough());
  run(true, 0, 0.5);  // exactly one half clears it
  EXPECT_FALSE(passedThrough());
  EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);
  run(true, 0, 0.75);
  EXPECT_TRUE(passedThrough());
  run(true, 0, 0.0);
  EXPECT_FALSE(passedThrough());
  EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);
  mSession.plugin.Stop();
}

}  // namespace

namespace
{

// The editor view through the bundle's ABI, as a host asks for it.
TEST(QuenbarBundleEditor, ViewByNameWithThePanelsSize)
{
  vst3host::Session session;
  std::string error;
  ASSERT_TRUE(session.Open(QUENBAR_BUNDLE_DIR, &error)) << error;
  IEditController* ctl = session.plugin.Controller();
  EXPECT_EQ(ctl->createView("Editor"), nullptr);
  EXPECT_EQ(ctl->createView(""), nullptr);
  IPlugView* view = ctl->createView("editor");
  ASSERT_NE(view, nullptr);
  ViewRect r;
  ASSERT_EQ(view->getSize(&r), kResultTrue);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 732);
  EXPECT_EQ(r.bottom, 208);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeNSView), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->canResize(), kResultFalse);
  EXPECT_EQ(view->release(), 0u);
}

}  // namespace

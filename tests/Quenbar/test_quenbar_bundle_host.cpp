// The built bundle through the VST3 ABI, as a host drives it beyond the
// basics: value texts, bus arrangements, the controller's state stream with
// short and failing streams, and the host's bypass parameter in process().
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Coeffs/tilt_oracle.h"
#include "quenbar_oracle.h"
#include "tools/host/memstream.h"
#include "tools/host/paramchanges.h"
#include "tools/host/session.h"
#include "tools/host/strings.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const ParamID kPresetTag = 0x70727374;  // 'prst'
const ParamID kBypassTag = 0x62706173;  // 'bpas'

// A memory stream whose reads that cannot deliver everything asked for
// report kResultFalse (still delivering what is left), as a file stream at
// its end does. The base stream instead reports kResultOk with fewer bytes.
class FailingStream : public vst3host::MemStream
{
public:
  using MemStream::MemStream;
  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
  {
    int32 got = 0;
    const tresult r = MemStream::read(buffer, numBytes, &got);
    if (numBytesRead)
      *numBytesRead = got;
    return r == kResultOk && got < numBytes ? kResultFalse : r;
  }
};

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
    {0, "loud", 0.5},  // no number: plain 0, the middle of −15 … 15
    {2, "", 0.0},      // plain 0 is below Tone's minimum: clamped
    {3, "45", 1.0},    {4, "1", 1.0},
  };
  for (const Read& t : read)
  {
    double v;
    EXPECT_EQ(Value(t.tag, t.text, &v), kResultOk) << t.text;
    EXPECT_NEAR(v, t.normalized, 1e-12) << "tag " << t.tag << " text \"" << t.text << "\"";
  }

  // The host's own two parameters: no value text, but "Bypass" reads its list.
  Text(kBypassTag, 1.0, &r);
  EXPECT_EQ(r, kResultFalse);
  Text(kPresetTag, 0.0, &r);
  EXPECT_EQ(r, kResultFalse);
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

TEST_F(QuenbarBundleHost, EditorStateRoundTripsThroughTheController)
{
  const double saved[5] = {-9.0, 0.7, 1.15, 12.0, 1.0};
  for (int i = 0; i < 5; ++i)
    ASSERT_EQ(mCtl->setParamNormalized(i, Norm(i, saved[i])), kResultOk);
  EXPECT_EQ(mCtl->setParamNormalized(kBypassTag, 1.0), kResultFalse);
  EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);

  vst3host::MemStream out;
  ASSERT_EQ(mCtl->getState(&out), kResultOk);
  EXPECT_EQ(out.Data(), StateBytes(saved, 0));

  // The component face keeps nothing.
  vst3host::MemStream none;
  EXPECT_EQ(mComponent->getState(&none), kNotImplemented);
  EXPECT_TRUE(none.Data().empty());
  vst3host::MemStream in0(out.Data());
  EXPECT_EQ(mComponent->setState(&in0), kNotImplemented);
  EXPECT_EQ(mCtl->setComponentState(&in0), kNotImplemented);

  for (int i = 0; i < 5; ++i)
    mCtl->setParamNormalized(i, 0.9);
  vst3host::MemStream back(StateBytes(saved, 2));  // any non-zero word bypasses
  EXPECT_EQ(mCtl->setState(&back), kResultOk);
  ExpectPlain(saved);
  EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 1.0);

  vst3host::MemStream again;
  ASSERT_EQ(mCtl->getState(&again), kResultOk);
  EXPECT_EQ(again.Data(), StateBytes(saved, 1));
  vst3host::MemStream clear(StateBytes(saved, 0));
  EXPECT_EQ(mCtl->setState(&clear), kResultOk);
  EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);
}

TEST_F(QuenbarBundleHost, ShortStateStreamsApplyWhatArrived)
{
  const double before[5] = {3.0, 0.5, 0.75, 6.0, 0.0};
  const double stream[5] = {-6.0, 0.25, 1.25, 30.0, 1.0};
  auto reset = [&] {
    vst3host::MemStream s(StateBytes(before, 1));
    ASSERT_EQ(mCtl->setState(&s), kResultOk);
    ASSERT_EQ(mCtl->getParamNormalized(kBypassTag), 1.0);
  };
  const std::vector<uint8_t> full = StateBytes(stream, 0);

  {
    SCOPED_TRACE("40 bytes, then a failing read");
    reset();
    FailingStream s(std::vector<uint8_t>(full.begin(), full.begin() + 40));
    EXPECT_EQ(mCtl->setState(&s), kResultFalse);
    ExpectPlain(stream);
    EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 1.0);
  }
  {
    SCOPED_TRACE("40 bytes, then a read that succeeds with nothing");
    reset();
    vst3host::MemStream s(std::vector<uint8_t>(full.begin(), full.begin() + 40));
    EXPECT_EQ(mCtl->setState(&s), kResultOk);
    ExpectPlain(stream);
    EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);
  }
  const double sixteen[5] = {stream[0], stream[1], before[2], before[3], before[4]};
  {
    SCOPED_TRACE("16 bytes, reads succeed");
    reset();
    vst3host::MemStream s(std::vector<uint8_t>(full.begin(), full.begin() + 16));
    EXPECT_EQ(mCtl->setState(&s), kResultOk);
    ExpectPlain(sixteen);
    EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 0.0);
  }
  {
    SCOPED_TRACE("16 bytes, reads fail");
    reset();
    FailingStream s(std::vector<uint8_t>(full.begin(), full.begin() + 16));
    EXPECT_EQ(mCtl->setState(&s), kResultFalse);
    ExpectPlain(sixteen);
    EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 1.0);
  }
  {
    SCOPED_TRACE("empty stream, reads fail: nothing changes");
    reset();
    FailingStream s;
    EXPECT_EQ(mCtl->setState(&s), kResultFalse);
    ExpectPlain(before);
    EXPECT_EQ(mCtl->getParamNormalized(kBypassTag), 1.0);
  }
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

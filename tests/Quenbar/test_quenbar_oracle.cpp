// The effect against its definition: bit for bit with the plug-in's own tilt
// equaliser in the reference, within 1e-11 of peak with the equaliser in quad
// precision, and 32-bit host buffers as the 64-bit result rounded to float.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "Coeffs/Tilt.h"
#include "Coeffs/Tilt_Pre.h"
#include "Coeffs/tilt_oracle.h"
#include "quenbar_test_support.h"
#include "tools/host/paramchanges.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace qtest;

namespace
{

// Tone walking up and down its range in steps of 0.01, one step per block.
double ToneAtBlock(int b)
{
  const int k = b % 200;
  return 0.25 + 0.01 * (k <= 100 ? k : 200 - k);
}

// The same walk as a normalised value (Tone's range is one unit wide).
double NormalizedToneAtBlock(int b)
{
  const int k = b % 200;
  return 0.01 * (k <= 100 ? k : 200 - k);
}

// Runs the plug-in and a reference side by side in blocks, moving Tone before
// each block when asked. Each reference block sees the parameters' values.
template <class TiltT>
void RunBoth(Quenbar& plug, qref::Effect<TiltT>& ref, double rate, const Stereo& in, int block, bool moveTone,
             Stereo& out, Stereo& want)
{
  plug.SetSampleRate(rate);
  out = Stereo(in.size());
  want = Stereo(in.size());
  int b = 0;
  for (int start = 0; start < in.size(); start += block, ++b)
  {
    const int n = std::min(block, in.size() - start);
    if (moveTone)
      SetParam(plug, Quenbar::kTone, ToneAtBlock(b));
    ref.Set(Current(plug));
    double* ins[2] = {const_cast<double*>(in.l.data()) + start, const_cast<double*>(in.r.data()) + start};
    double* outs[2] = {out.l.data() + start, out.r.data() + start};
    plug.ProcessDoubleReplacing(ins, outs, n);
    ref.Block(rate, in.l.data() + start, in.r.data() + start, want.l.data() + start, want.r.data() + start, n);
  }
}

TEST(QuenbarReference, SnapTableIsTheDefinedOne)
{
  EXPECT_EQ(tiltpre_table.inputMin, 0.0f);
  EXPECT_EQ((double)tiltpre_table.pastEnd, qref::kPastEnd);
  EXPECT_EQ((double)tiltpre_table.perUnit, qref::kPerUnit);
  EXPECT_EQ(tiltpre_table.count, 200);
  for (int i = 0; i < 200; ++i)
    EXPECT_EQ(tiltpre_table.entries[i], qref::kSnapTable[i]) << i;
}

// Inputs whose drive-scaled pre-shaped value lands on both sides of the
// table's index 198 and 199 boundaries at the given drive.
std::vector<double> BoundaryInputs(double snapDb)
{
  const double g = std::pow(10.0, snapDb / 20.0);
  auto index = [&](double in) { return std::fabs(qref::PreShape(in) * g) * qref::kPerUnit; };
  std::vector<double> out;
  for (double target : {198.0, 199.0})
  {
    double lo = 0.0, hi = 400.0;
    EXPECT_GE(index(hi), target);
    while (std::nextafter(lo, hi) < hi)
    {
      const double mid = lo + (hi - lo) / 2;
      (index(mid) >= target ? hi : lo) = mid;
    }
    EXPECT_LT(index(lo), target);
    EXPECT_GE(index(hi), target);
    for (double v : {lo, hi, std::nextafter(lo, 0.0), std::nextafter(hi, 1e9)})
    {
      out.push_back(v);
      out.push_back(-v);
    }
  }
  return out;
}

// The stateless stages are defined exactly in double, so with the same tilt
// equaliser the plug-in's output must be the reference's to the last bit.
TEST(QuenbarReference, MatchesDefinitionBitForBit)
{
  struct Case
  {
    qref::Settings s;
    bool moveTone;
    int block;
    double rate;
  };
  const Case cases[] = {
    {{}, false, 64, 48000.0},
    {{-15.0, 0.5, 0.25, 30.0, 0.0}, false, 1, 44100.0},
    {{15.0, 1.0, 1.25, 6.0, 0.0}, false, 37, 96000.0},
    {{3.5, 0.3, 0.75, 17.3, 0.0}, true, 64, 192000.0},
    {{-4.0, 0.77, 0.6, 6.0, 0.0}, true, 1, 48000.0},
  };
  Stereo in = Noise(3000, 150.0, 51);
  const Stereo loud = LoudSine(3000, 48000.0, 220.0, 400.0);
  in.l.insert(in.l.end(), loud.l.begin(), loud.l.end());
  in.r.insert(in.r.end(), loud.r.begin(), loud.r.end());
  // A ramp across the whole curve at every drive, then the index boundaries.
  for (int i = -2000; i <= 2000; ++i)
  {
    in.l.push_back(i * 0.15);
    in.r.push_back(-i * 0.11);
  }
  for (double v : BoundaryInputs(6.0))
  {
    in.l.push_back(v);
    in.r.push_back(-v);
  }

  for (const Case& c : cases)
  {
    QuenbarPtr plug = MakeQuenbar();
    Apply(*plug, c.s);
    qref::Effect<Tilt> ref;
    Stereo out, want;
    RunBoth(*plug, ref, c.rate, in, c.block, c.moveTone, out, want);
    EXPECT_EQ(FirstDifference(out.l, want.l), -1) << "snap " << c.s.snap << " block " << c.block;
    EXPECT_EQ(FirstDifference(out.r, want.r), -1) << "snap " << c.s.snap << " block " << c.block;
  }
}

// ---- Against the quad-precision equaliser ----

enum Signal
{
  kSweep,
  kNoise,
  kLoudSine,
  kImpulse,
  kNumSignals
};

Stereo MakeSignal(int signal, int n, double rate)
{
  switch (signal)
  {
    case kSweep: return Sweep(n, rate, 30.0);
    case kNoise: return Noise(n, 60.0, 77);
    case kLoudSine: return LoudSine(n, rate, 97.0, 500.0);
    default: return Impulses(n, 90.0);
  }
}

const char* SignalName(int signal)
{
  static const char* names[] = {"sweep", "noise", "loud sine", "impulse"};
  return names[signal];
}

struct QuadCase
{
  double rate;
  int signal;
};

void PrintTo(const QuadCase& c, std::ostream* os)
{
  *os << SignalName(c.signal) << " at " << c.rate << " Hz";
}

class QuenbarQuad : public ::testing::TestWithParam<QuadCase>
{
};

// Every rate with every signal; settings and block sizes rotate through the
// cases so that each appears with several rates and signals.
TEST_P(QuenbarQuad, WithinOneE11OfPeak)
{
  const QuadCase qc = GetParam();
  const qref::Settings settings[] = {
    {},
    {-15.0, 0.5, 0.25, 30.0, 0.0},
    {15.0, 1.0, 1.25, 12.0, 0.0},
    {3.5, 0.85, 0.75, 6.0, 0.0},  // Tone moves
  };
  const int blocks[] = {1, 64, 512, 37, 1001};
  const int rateIdx = qc.rate == 44100.0 ? 0 : qc.rate == 48000.0 ? 1 : qc.rate == 96000.0 ? 2 : 3;
  const int which = (rateIdx + qc.signal) % 4;
  const int block = blocks[(rateIdx * kNumSignals + qc.signal) % 5];
  const bool moveTone = which == 3;

  const int n = 48000;
  const Stereo in = MakeSignal(qc.signal, n, qc.rate);
  QuenbarPtr plug = MakeQuenbar();
  Apply(*plug, settings[which]);
  qref::Effect<TiltOracle> ref;
  Stereo out, want;
  RunBoth(*plug, ref, qc.rate, in, block, moveTone, out, want);

  double peak = 0.0, err = 0.0;
  int at = -1;
  for (int i = 0; i < n; ++i)
  {
    peak = std::fmax(peak, std::fmax(std::fabs(want.l[i]), std::fabs(want.r[i])));
    const double e = std::fmax(std::fabs(out.l[i] - want.l[i]), std::fabs(out.r[i] - want.r[i]));
    if (!(e <= err))
    {
      err = e;
      at = i;
    }
  }
  ASSERT_GT(peak, 0.01);
  RecordProperty("relative_error", std::to_string(err / peak));
  EXPECT_LE(err, 1e-11 * peak) << SignalName(qc.signal) << " at " << qc.rate << " Hz, settings " << which
                               << ", block " << block << ": worst at sample " << at << ", relative "
                               << err / peak;
}

std::vector<QuadCase> AllQuadCases()
{
  std::vector<QuadCase> v;
  for (double rate : {44100.0, 48000.0, 96000.0, 192000.0})
    for (int s = 0; s < kNumSignals; ++s)
      v.push_back({rate, s});
  return v;
}

std::string QuadCaseName(const ::testing::TestParamInfo<QuadCase>& info)
{
  static const char* names[] = {"Sweep", "Noise", "LoudSine", "Impulse"};
  return std::string(names[info.param.signal]) + "_" + std::to_string((int)info.param.rate);
}

INSTANTIATE_TEST_SUITE_P(RatesAndSignals, QuenbarQuad, ::testing::ValuesIn(AllQuadCases()), QuadCaseName);

// ---- Through the VST3 processing call ----

using namespace Steinberg;
using namespace Steinberg::Vst;

// An initialised, set-up and active instance for blocks of sampleSize.
QuenbarPtr MakeProcessing(int32 sampleSize, double rate, int32 maxBlock)
{
  QuenbarPtr plug(new Quenbar(IPluginInstanceInfo()));
  EXPECT_EQ(plug->initialize(nullptr), kResultOk);
  SpeakerArrangement stereo = SpeakerArr::kStereo;
  EXPECT_EQ(plug->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  ProcessSetup setup{kRealtime, sampleSize, maxBlock, rate};
  EXPECT_EQ(plug->setupProcessing(setup), kResultOk);
  EXPECT_EQ(plug->setActive(true), kResultOk);
  return plug;
}

template <class T>
T**& BusChannels(AudioBusBuffers& bus);
template <>
float**& BusChannels<float>(AudioBusBuffers& bus)
{
  return bus.channelBuffers32;
}
template <>
double**& BusChannels<double>(AudioBusBuffers& bus)
{
  return bus.channelBuffers64;
}

// Runs in (float-representable values) through process() in blocks of the
// given sizes, with Tone, Level and Snap changed through the host's queues.
template <class T>
std::vector<std::vector<T>> ProcessThroughHost(Quenbar& plug, const Stereo& in, const std::vector<int>& sizes)
{
  const int n = in.size();
  std::vector<std::vector<T>> inT(2, std::vector<T>(n)), outT(2, std::vector<T>(n, T(-7)));
  for (int i = 0; i < n; ++i)
  {
    inT[0][i] = (T)in.l[i];
    inT[1][i] = (T)in.r[i];
  }
  vst3host::ParameterChanges changes(8, 4);
  int start = 0;
  for (size_t b = 0; start < n; ++b)
  {
    const int frames = std::min(sizes[b % sizes.size()], n - start);
    T* ins[2] = {inT[0].data() + start, inT[1].data() + start};
    T* outs[2] = {outT[0].data() + start, outT[1].data() + start};
    AudioBusBuffers inBus{}, outBus{};
    inBus.numChannels = outBus.numChannels = 2;
    BusChannels<T>(inBus) = ins;
    BusChannels<T>(outBus) = outs;
    changes.Clear();
    changes.Add(Quenbar::kTone, 0, NormalizedToneAtBlock((int)b));
    if (b % 5 == 2)
      changes.Add(Quenbar::kLevel, 3, (b % 3) / 3.0);
    if (b % 7 == 3)
      changes.Add(Quenbar::kSnap, 0, (b % 4) / 4.0);
    ProcessData data;
    data.processMode = kRealtime;
    data.symbolicSampleSize = sizeof(T) == 4 ? kSample32 : kSample64;
    data.numSamples = frames;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    data.inputParameterChanges = &changes;
    EXPECT_EQ(plug.process(data), kResultOk);
    start += frames;
  }
  return outT;
}

TEST(QuenbarHostBlocks, Float32IsTheDoubleResultRoundedToFloat)
{
  const double rate = 44100.0;
  Stereo in = Noise(6000, 200.0, 91);
  const Stereo sweep = Sweep(6000, rate, 2.0);
  in.l.insert(in.l.end(), sweep.l.begin(), sweep.l.end());
  in.r.insert(in.r.end(), sweep.r.begin(), sweep.r.end());
  for (int i = 0; i < in.size(); ++i)
  {
    in.l[i] = (float)in.l[i];
    in.r[i] = (float)in.r[i];
  }
  const std::vector<int> sizes = {512, 1, 100, 0, 333, 77};

  QuenbarPtr p64 = MakeProcessing(kSample64, rate, 512);
  QuenbarPtr p32 = MakeProcessing(kSample32, rate, 512);
  const auto out64 = ProcessThroughHost<double>(*p64, in, sizes);
  const auto out32 = ProcessThroughHost<float>(*p32, in, sizes);
  int mismatches = 0, first = -1;
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < in.size(); ++i)
      if ((float)out64[c][i] != out32[c][i] && mismatches++ == 0)
        first = i;
  EXPECT_EQ(mismatches, 0) << "first at sample " << first;

  // The 64-bit host path is the effect as defined, controls included.
  double peak = 0, err = 0;
  qref::Effect<TiltOracle> ref;
  QuenbarPtr shadow = MakeQuenbar(rate);
  int start = 0;
  for (size_t b = 0; start < in.size(); ++b)
  {
    const int frames = std::min(sizes[b % sizes.size()], in.size() - start);
    shadow->GetParam(Quenbar::kTone)->SetNormalized(NormalizedToneAtBlock((int)b));
    if (b % 5 == 2)
      shadow->GetParam(Quenbar::kLevel)->SetNormalized((b % 3) / 3.0);
    if (b % 7 == 3)
      shadow->GetParam(Quenbar::kSnap)->SetNormalized((b % 4) / 4.0);
    ref.Set(Current(*shadow));
    std::vector<double> l(frames), r(frames);
    ref.Block(rate, in.l.data() + start, in.r.data() + start, l.data(), r.data(), frames);
    for (int i = 0; i < frames; ++i)
    {
      peak = std::fmax(peak, std::fmax(std::fabs(l[i]), std::fabs(r[i])));
      err = std::fmax(err, std::fmax(std::fabs(l[i] - out64[0][start + i]), std::fabs(r[i] - out64[1][start + i])));
    }
    start += frames;
  }
  ASSERT_GT(peak, 1.0);
  EXPECT_LE(err, 1e-11 * peak) << "relative " << err / peak;
}

}  // namespace

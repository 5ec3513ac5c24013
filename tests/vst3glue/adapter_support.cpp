#include "adapter_support.h"

#include <cstdio>
#include <cstring>

std::string Narrow(const char16* s)
{
  std::string out;
  for (; s && *s; ++s) out += (char)*s;
  return out;
}

TestPlug::TestPlug(bool doesMidi, bool isInst, const char* io, int sideChain, int latency, int nParams,
                   int nPresets)
  : IPluginVST3(IPluginInstanceInfo(), nParams, io, nPresets, "Test Plug", "Test Product", "Test Maker", 0x00010203,
                0x54704C67, 0x544D6B72, latency, doesMidi, false, isInst, sideChain)
{
  if (nParams == kNumTestParams)
  {
    GetParam(kGain)->InitDouble("Gain", 0., -12., 12., 0.1, "dB", "Main");
    GetParam(kMode)->InitEnum("Mode", 0, 3, "", "Main");
    GetParam(kMode)->SetDisplayText(0, "Clean");
    GetParam(kMode)->SetDisplayText(1, "Soft");
    GetParam(kMode)->SetDisplayText(2, "Hard");
    GetParam(kOn)->InitBool("On", true);
    GetParam(kOn)->SetCanAutomate(false);
    GetParam(kDrive)->InitDouble("Drive", 25., 0., 100., 0.01, "%", "Tone", 2.);
  }
  MakeDefaultPreset("Init", 1);
}

void TestPlug::OnParamChange(int idx)
{
  Util_MutexLock lock(mMutex);
  if (idx >= 0 && idx < kNumTestParams) ++paramChanges[idx];
  if (idx == kGain) mGainAmp = GetParam(kGain)->DBToAmp();
}

void TestPlug::Reset()
{
  Util_MutexLock lock(mMutex);
  ++resets;
}

void TestPlug::OnActivate(bool a)
{
  Util_MutexLock lock(mMutex);
  ++activations;
  active = a;
}

void TestPlug::ProcessMidiMsg(IMidiMsg* msg)
{
  if (nMidi < kMaxMidi) midi[nMidi++] = *msg;
}

void TestPlug::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  ++blocks;
  framesTotal += nFrames;
  if (nFrames > maxFramesPerCall) maxFramesPerCall = nFrames;
  const int nIn = NInChannels(), nOut = NOutChannels();
  for (int c = 0; c < nOut; ++c)
  {
    double* out = outputs[c];
    if (!out) continue;
    const double* in = c < nIn ? inputs[c] : nullptr;
    const double* side = c + nOut < nIn ? inputs[c + nOut] : nullptr;
    for (int s = 0; s < nFrames; ++s)
      out[s] = (in ? in[s] : 0.) * mGainAmp + (side ? side[s] : 0.);
  }
  if (checkStates && NParams() >= kNumTestParams)
  {
    const double g = GetParam(kGain)->GetValue(), d = GetParam(kDrive)->GetValue();
    const bool isA = g == stateA[0] && d == stateA[1];
    const bool isB = g == stateB[0] && d == stateB[1];
    if (!isA && !isB) ++mixedStates;
  }
  ++processedBlocks;
}

template <class T>
HostBlock<T>::HostBlock(int nIn, int nOut, int frames)
  : in((size_t)nIn, std::vector<T>((size_t)frames)), out((size_t)nOut, std::vector<T>((size_t)frames))
{
  for (auto& v : in) inPtrs.push_back(v.data());
  for (auto& v : out) outPtrs.push_back(v.data());
  inBus.numChannels = nIn;
  outBus.numChannels = nOut;
  if constexpr (sizeof(T) == 4)
  {
    inBus.channelBuffers32 = inPtrs.data();
    outBus.channelBuffers32 = outPtrs.data();
    data.symbolicSampleSize = kSample32;
  }
  else
  {
    inBus.channelBuffers64 = inPtrs.data();
    outBus.channelBuffers64 = outPtrs.data();
    data.symbolicSampleSize = kSample64;
  }
  data.numSamples = frames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &inBus;
  data.outputs = &outBus;
  FillInputs(0);
  FillOutputs(-99);
}

template <class T>
void HostBlock<T>::FillInputs(T base)
{
  for (size_t c = 0; c < in.size(); ++c)
    for (size_t s = 0; s < in[c].size(); ++s) in[c][s] = base * (T)(c + 1) + (T)s;
}

template <class T>
void HostBlock<T>::FillOutputs(T value)
{
  for (auto& v : out)
    for (auto& x : v) x = value;
}

template struct HostBlock<float>;
template struct HostBlock<double>;

void Prepare(TestPlug& plug, int32 sampleSize, int32 maxBlock, double rate, int32 mode)
{
  plug.initialize(nullptr);
  ProcessSetup setup{mode, sampleSize, maxBlock, rate};
  plug.setupProcessing(setup);
  plug.setActive(true);
}

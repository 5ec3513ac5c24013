#include "adapter_support.h"

#include <cstdio>
#include <cstring>

std::string Narrow(const char16* s)
{
  std::string out;
  for (; s && *s; ++s) out += (char)*s;
  return out;
}

TestPlug::TestPlug(bool doesMidi, bool isInst, const char* io, int sideChain, int latency, int nParams)
  : IPluginVST3(IPluginInstanceInfo(), nParams, io, 1, "Test Plug", "Test Product", "Test Maker", 0x00010203,
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

tresult TestQueue::getPoint(int32 index, int32& offset, ParamValue& value)
{
  ++mReads;
  if (index < 0 || index >= (int32)mPoints.size()) return kResultFalse;
  offset = mPoints[(size_t)index].first;
  value = mPoints[(size_t)index].second;
  return kResultOk;
}

tresult TestQueue::addPoint(int32 offset, ParamValue value, int32& index)
{
  index = (int32)mPoints.size();
  mPoints.emplace_back(offset, value);
  return kResultOk;
}

TestQueue& TestChanges::Add(ParamID id, std::initializer_list<ParamValue> values)
{
  mQueues.emplace_back(id);
  int32 offset = 0, index = 0;
  for (ParamValue v : values) mQueues.back().addPoint(offset++, v, index);
  return mQueues.back();
}

IParamValueQueue* TestChanges::getParameterData(int32 index)
{
  if (index >= 0 && index < (int32)mQueues.size()) return &mQueues[(size_t)index];
  return nullptr;
}

tresult TestEvents::getEvent(int32 index, Event& e)
{
  if (index == mFailIndex || index < 0 || index >= (int32)mEvents.size()) return kResultFalse;
  e = mEvents[(size_t)index];
  return kResultOk;
}

tresult TestHostApp::getName(String128 name)
{
  size_t i = 0;
  for (; i < 127 && i < mName.size(); ++i) name[i] = (char16)mName[i];
  name[i] = 0;
  return kResultOk;
}

tresult TestHostApp::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IHostApplication::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    addRef();
    *obj = static_cast<IHostApplication*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

tresult TestHandler::beginEdit(ParamID id)
{
  mLog.push_back("begin " + std::to_string(id));
  return kResultOk;
}

tresult TestHandler::performEdit(ParamID id, ParamValue value)
{
  char text[64];
  snprintf(text, sizeof(text), "perform %u %.3f", (unsigned)id, value);
  mLog.push_back(text);
  return kResultOk;
}

tresult TestHandler::endEdit(ParamID id)
{
  mLog.push_back("end " + std::to_string(id));
  return kResultOk;
}

IContextMenu* TestHandler::createContextMenu(IPlugView* view, const ParamID* paramID)
{
  mMenuView = view;
  mMenuTag = paramID ? *paramID : 0xFFFFFFFF;
  mMenu.addRef();
  return &mMenu;
}

tresult TestHandler::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IComponentHandler::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    addRef();
    *obj = static_cast<IComponentHandler*>(this);
    return kResultOk;
  }
  if (mWithMenus && FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid))
  {
    addRef();
    *obj = static_cast<IComponentHandler3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

tresult LimitedStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
  int64 room = mLimit - mDelivered;
  if (room < 0) room = 0;
  const int32 want = numBytes < 0 ? 0 : numBytes;
  const int32 n = want < room ? want : (int32)room;
  int32 got = 0;
  tresult r = MemoryStream::read(buffer, n, &got);
  mDelivered += got;
  if (numBytesRead) *numBytesRead = got;
  if (got < want && mFailWhenShort) return kResultFalse;
  return r;
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

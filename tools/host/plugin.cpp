#include "tools/host/plugin.h"

#include <cstring>

#include "tools/host/statestream.h"
#include "tools/host/strings.h"

namespace vst3host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <class T>
T* Query(FUnknown* obj) {
  void* p = nullptr;
  if (!obj || obj->queryInterface(T::iid, &p) != kResultOk) return nullptr;
  return static_cast<T*>(p);
}

template <class T>
void ReleaseAndClear(T*& p) {
  if (p) p->release();
  p = nullptr;
}

std::string ResultText(tresult r) {
  switch (r) {
    case kResultOk: return "ok";
    case kResultFalse: return "refused";
    case kNotImplemented: return "not implemented";
    case kInvalidArgument: return "invalid argument";
    case kNoInterface: return "no interface";
    case kOutOfMemory: return "out of memory";
    default: return "error " + std::to_string(r);
  }
}

}  // namespace

bool Plugin::Create(IPluginFactory* factory, const char cid[16], std::string* error) {
  Destroy();
  void* obj = nullptr;
  tresult r = factory->createInstance(cid, IComponent::iid, &obj);
  if (r != kResultOk || !obj) {
    *error = "the factory could not create the audio component (" + ResultText(r) + ")";
    return false;
  }
  return Adopt(static_cast<IComponent*>(obj), factory, error);
}

bool Plugin::Adopt(IComponent* component, IPluginFactory* factory, std::string* error) {
  Destroy();
  if (!component) {
    *error = "no component to host";
    return false;
  }
  mComponent = component;
  const tresult r = mComponent->initialize(&mHostApp);
  if (r != kResultOk) {
    *error = "the component failed to initialise (" + ResultText(r) + ")";
    ReleaseAndClear(mComponent);
    return false;
  }
  mProcessor = Query<IAudioProcessor>(mComponent);
  if (!mProcessor) {
    *error = "the component is not an audio processor";
    Destroy();
    return false;
  }
  if (!FindController(factory, error)) {
    Destroy();
    return false;
  }
  mController->setComponentHandler(&mHandler);
  mHandler.mOnRestart = [this](int32 flags) {
    if (flags & kParamValuesChanged) SyncHostValues();
  };
  // Hosts only sync their copy of the values at start-up when the component
  // can hand out its state.
  StateStream stream;
  if (mComponent->getState(&stream) == kResultOk) {
    stream.seek(0, IBStream::kIBSeekSet, nullptr);
    if (!mSeparateController) mController->setComponentState(&stream);
    SyncHostValues();
  }
  return true;
}

void Plugin::SyncHostValues() {
  if (!mController) return;
  const int32 n = mController->getParameterCount();
  for (int32 i = 0; i < n; ++i) {
    ParameterInfo info{};
    if (mController->getParameterInfo(i, info) != kResultOk) continue;
    mHostValues[info.id] = mController->getParamNormalized(info.id);
  }
}

double Plugin::HostValue(ParamID id) const {
  const auto it = mHostValues.find(id);
  return it == mHostValues.end() ? 0.0 : it->second;
}

bool Plugin::FindController(IPluginFactory* factory, std::string* error) {
  mController = Query<IEditController>(mComponent);
  if (mController) return true;

  TUID controllerId{};
  if (!factory || mComponent->getControllerClassId(controllerId) != kResultOk) {
    *error = "the component has no edit controller";
    return false;
  }
  void* obj = nullptr;
  tresult r = factory->createInstance(controllerId, IEditController::iid, &obj);
  if (r != kResultOk || !obj) {
    *error = "the factory could not create the edit controller " + TuidToHex(controllerId) +
             " (" + ResultText(r) + ")";
    return false;
  }
  mController = static_cast<IEditController*>(obj);
  mSeparateController = true;
  r = mController->initialize(&mHostApp);
  if (r != kResultOk) {
    *error = "the edit controller failed to initialise (" + ResultText(r) + ")";
    ReleaseAndClear(mController);
    mSeparateController = false;
    return false;
  }
  mComponentCP = Query<IConnectionPoint>(mComponent);
  mControllerCP = Query<IConnectionPoint>(mController);
  if (mComponentCP && mControllerCP) {
    mComponentCP->connect(mControllerCP);
    mControllerCP->connect(mComponentCP);
  }
  // The controller learns the processor's current state, as in any host.
  StateStream stream;
  if (mComponent->getState(&stream) == kResultOk) {
    stream.seek(0, IBStream::kIBSeekSet, nullptr);
    mController->setComponentState(&stream);
  }
  return true;
}

void Plugin::Destroy() {
  Stop();
  if (mComponentCP && mControllerCP) {
    mComponentCP->disconnect(mControllerCP);
    mControllerCP->disconnect(mComponentCP);
  }
  ReleaseAndClear(mComponentCP);
  ReleaseAndClear(mControllerCP);
  if (mController) {
    mController->setComponentHandler(nullptr);
    if (mSeparateController) mController->terminate();
  }
  ReleaseAndClear(mController);
  mSeparateController = false;
  mHandler.mOnRestart = nullptr;
  mHostValues.clear();
  ReleaseAndClear(mProcessor);
  if (mComponent) mComponent->terminate();
  ReleaseAndClear(mComponent);
}

std::vector<BusRecord> Plugin::Busses(MediaType type, BusDirection dir) const {
  std::vector<BusRecord> out;
  if (!mComponent) return out;
  const int32 n = mComponent->getBusCount(type, dir);
  for (int32 i = 0; i < n; ++i) {
    BusInfo info{};
    BusRecord rec;
    if (mComponent->getBusInfo(type, dir, i, info) == kResultOk) {
      rec.name = Utf16ToUtf8(info.name, 128);
      rec.channelCount = info.channelCount;
      rec.busType = info.busType;
      rec.flags = info.flags;
    }
    out.push_back(rec);
  }
  return out;
}

std::vector<ParamRecord> Plugin::Parameters() const {
  std::vector<ParamRecord> out;
  if (!mController) return out;
  const int32 n = mController->getParameterCount();
  for (int32 i = 0; i < n; ++i) {
    ParameterInfo info{};
    if (mController->getParameterInfo(i, info) != kResultOk) continue;
    ParamRecord rec;
    rec.id = info.id;
    rec.title = Utf16ToUtf8(info.title, 128);
    rec.shortTitle = Utf16ToUtf8(info.shortTitle, 128);
    rec.units = Utf16ToUtf8(info.units, 128);
    rec.stepCount = info.stepCount;
    rec.defaultNormalized = info.defaultNormalizedValue;
    rec.unitId = info.unitId;
    rec.flags = info.flags;
    out.push_back(rec);
  }
  return out;
}

bool Plugin::FindParameter(const std::string& title, ParamID* id) const {
  for (const ParamRecord& p : Parameters()) {
    if (p.flags & (ParameterInfo::kIsBypass | ParameterInfo::kIsProgramChange)) continue;
    if (p.title == title) {
      *id = p.id;
      return true;
    }
  }
  return false;
}

bool Plugin::FindHostBypass(ParamID* id) const {
  for (const ParamRecord& p : Parameters()) {
    if (p.flags & ParameterInfo::kIsBypass) {
      *id = p.id;
      return true;
    }
  }
  return false;
}

double Plugin::PlainToNormalized(ParamID id, double plain) const {
  return mController->plainParamToNormalized(id, plain);
}

double Plugin::NormalizedToPlain(ParamID id, double normalized) const {
  return mController->normalizedParamToPlain(id, normalized);
}

bool Plugin::Start(const ProcessSettings& settings, std::string* error) {
  Stop();
  if (settings.channels < 1 || settings.channels > 2 || settings.maxBlock < 1) {
    *error = "internal: unsupported channel count or block size";
    return false;
  }
  mSettings = settings;
  const int32 numIn = mComponent->getBusCount(kAudio, kInput);
  const int32 numOut = mComponent->getBusCount(kAudio, kOutput);
  if (numIn < 1 || numOut < 1) {
    *error = "the plug-in has no audio input or no audio output bus: it is not an effect";
    return false;
  }
  const SpeakerArrangement want =
      settings.channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
  std::vector<SpeakerArrangement> ins(static_cast<size_t>(numIn), 0);
  std::vector<SpeakerArrangement> outs(static_cast<size_t>(numOut), 0);
  for (int32 i = 0; i < numIn; ++i)
    if (i == 0 || mProcessor->getBusArrangement(kInput, i, ins[static_cast<size_t>(i)]) != kResultOk)
      ins[static_cast<size_t>(i)] = i == 0 ? want : 0;
  for (int32 i = 0; i < numOut; ++i)
    if (i == 0 || mProcessor->getBusArrangement(kOutput, i, outs[static_cast<size_t>(i)]) != kResultOk)
      outs[static_cast<size_t>(i)] = i == 0 ? want : 0;
  mProcessor->setBusArrangements(ins.data(), numIn, outs.data(), numOut);

  // Whatever setBusArrangements answered, the main busses must now carry our channels.
  BusInfo inBus{}, outBus{};
  mComponent->getBusInfo(kAudio, kInput, 0, inBus);
  mComponent->getBusInfo(kAudio, kOutput, 0, outBus);
  if (inBus.channelCount != settings.channels || outBus.channelCount != settings.channels) {
    *error = "the plug-in does not accept " +
             std::string(settings.channels == 1 ? "mono" : "stereo") + " input and output";
    return false;
  }
  mComponent->activateBus(kAudio, kInput, 0, true);
  mComponent->activateBus(kAudio, kOutput, 0, true);

  const int32 sampleSize = settings.use64 ? kSample64 : kSample32;
  if (mProcessor->canProcessSampleSize(sampleSize) != kResultTrue) {
    *error = std::string("the plug-in cannot process ") + (settings.use64 ? "64" : "32") +
             "-bit samples";
    return false;
  }
  ProcessSetup setup{kOffline, sampleSize, settings.maxBlock, settings.sampleRate};
  tresult r = mProcessor->setupProcessing(setup);
  if (r != kResultOk) {
    *error = "the plug-in refused the processing set-up (" + ResultText(r) + ")";
    return false;
  }
  if (!PrepareBusBuffers(error)) return false;
  r = mComponent->setActive(true);
  if (r != kResultOk) {
    *error = "the plug-in refused to activate (" + ResultText(r) + ")";
    return false;
  }
  mActive = true;
  r = mProcessor->setProcessing(true);
  if (r != kResultOk && r != kNotImplemented) {
    *error = "the plug-in refused to start processing (" + ResultText(r) + ")";
    Stop();
    return false;
  }
  mProcessing = true;

  std::memset(&mContext, 0, sizeof(mContext));
  mContext.sampleRate = settings.sampleRate;
  mContext.tempo = 120.0;
  mContext.timeSigNumerator = 4;
  mContext.timeSigDenominator = 4;
  mContext.state = ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                   ProcessContext::kProjectTimeMusicValid;
  return true;
}

bool Plugin::PrepareBusBuffers(std::string* error) {
  const std::vector<BusRecord> ins = Busses(kAudio, kInput);
  const std::vector<BusRecord> outs = Busses(kAudio, kOutput);
  size_t inChannels = 0, outChannels = 0;
  for (const BusRecord& b : ins) inChannels += static_cast<size_t>(b.channelCount > 0 ? b.channelCount : 0);
  for (const BusRecord& b : outs) outChannels += static_cast<size_t>(b.channelCount > 0 ? b.channelCount : 0);
  if (inChannels > 64 || outChannels > 64) {
    *error = "the plug-in asks for more than 64 channels";
    return false;
  }
  mSilence.assign(static_cast<size_t>(mSettings.maxBlock), 0.0);
  mScratch.assign(static_cast<size_t>(mSettings.maxBlock), 0.0);
  mInPtrs.assign(inChannels, mSilence.data());
  mOutPtrs.assign(outChannels, mScratch.data());

  auto fill = [](const std::vector<BusRecord>& busses, std::vector<void*>& ptrs,
                 std::vector<AudioBusBuffers>& buffers) {
    buffers.assign(busses.size(), AudioBusBuffers());
    size_t offset = 0;
    for (size_t b = 0; b < busses.size(); ++b) {
      buffers[b].numChannels = busses[b].channelCount > 0 ? busses[b].channelCount : 0;
      // void* and float*/double* share size and representation on this ABI.
      buffers[b].channelBuffers64 = reinterpret_cast<Sample64**>(ptrs.data() + offset);
      offset += static_cast<size_t>(buffers[b].numChannels);
    }
  };
  fill(ins, mInPtrs, mInputs);
  fill(outs, mOutPtrs, mOutputs);
  return true;
}

void Plugin::Stop() {
  if (mProcessing && mProcessor) mProcessor->setProcessing(false);
  mProcessing = false;
  if (mActive && mComponent) mComponent->setActive(false);
  mActive = false;
}

bool Plugin::LoadState(const std::vector<uint8_t>& bytes, std::string* error) {
  StateStream stream(bytes);
  tresult r = mComponent->setState(&stream);
  if (r != kResultOk) {
    *error = "the plug-in refused the state (" + ResultText(r) + ")";
    return false;
  }
  StateStream again(bytes);
  r = mController->setComponentState(&again);
  if (r != kResultOk && r != kNotImplemented) {
    *error = "the plug-in's controller refused the state (" + ResultText(r) + ")";
    return false;
  }
  return true;
}

bool Plugin::SaveState(std::vector<uint8_t>* bytes, std::string* error) {
  StateStream stream;
  const tresult r = mComponent->getState(&stream);
  if (r != kResultOk) {
    *error = "the plug-in could not save its state (" + ResultText(r) + ")";
    return false;
  }
  *bytes = stream.Data();
  return true;
}

bool Plugin::LoadControllerState(const std::vector<uint8_t>& bytes, std::string* error) {
  StateStream stream(bytes);
  const tresult r = mController->setState(&stream);
  if (r != kResultOk) {
    *error = "the plug-in refused the state (" + ResultText(r) + ")";
    return false;
  }
  return true;
}

bool Plugin::SaveControllerState(std::vector<uint8_t>* bytes, std::string* error) {
  StateStream stream;
  const tresult r = mController->getState(&stream);
  if (r != kResultOk) {
    *error = "the plug-in could not save its state (" + ResultText(r) + ")";
    return false;
  }
  *bytes = stream.Data();
  return true;
}

bool Plugin::Process(void* const* in, void* const* out, int frames, IParameterChanges* changes,
                     std::string* error) {
  if (!mProcessing || frames < 0 || frames > mSettings.maxBlock) {
    *error = "internal: block outside the prepared set-up";
    return false;
  }
  for (int c = 0; c < mSettings.channels; ++c) {
    mInPtrs[static_cast<size_t>(c)] = in[c];
    mOutPtrs[static_cast<size_t>(c)] = out[c];
  }
  mEvents.Clear();
  ProcessData data;
  data.processMode = kOffline;
  data.symbolicSampleSize = mSettings.use64 ? kSample64 : kSample32;
  data.numSamples = frames;
  data.numInputs = static_cast<int32>(mInputs.size());
  data.numOutputs = static_cast<int32>(mOutputs.size());
  data.inputs = mInputs.data();
  data.outputs = mOutputs.data();
  data.inputParameterChanges = changes;
  data.inputEvents = &mEvents;
  data.processContext = &mContext;
  const tresult r = mProcessor->process(data);
  mContext.projectTimeSamples += frames;
  mContext.projectTimeMusic = static_cast<double>(mContext.projectTimeSamples) /
                              mSettings.sampleRate * (mContext.tempo / 60.0);
  if (r != kResultOk) {
    *error = "the plug-in failed to process a block (" + ResultText(r) + ")";
    return false;
  }
  return true;
}

}  // namespace vst3host

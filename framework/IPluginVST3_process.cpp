// Processor side of the VST3 adapter: busses, set-up and the per-block call.

#include "framework/IPluginVST3.h"

#include <cmath>
#include <cstring>

#include "framework/IEditorLink.h"
#include "framework/IPluginParameter.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
int ChannelCount(SpeakerArrangement arr) { return SpeakerArr::getChannelCount(arr); }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

template <class T> T** HostChannels(AudioBusBuffers& bus);
template <> float** HostChannels<float>(AudioBusBuffers& bus) { return bus.channelBuffers32; }
template <> double** HostChannels<double>(AudioBusBuffers& bus) { return bus.channelBuffers64; }
} // namespace

tresult PLUGIN_API IPluginVST3::initialize(FUnknown* context)
{
  const tresult r = SingleComponentEffect::initialize(context);

  if (context)
  {
    FUnknownPtr<IHostApplication> app(context);
    if (app)
    {
      String128 name = {};
      app->getName(name);
      char ascii[129];
      String128ToAscii(name, ascii, sizeof(ascii));
      SetHost(ascii, 0);
    }
  }

  tresult result = r;
  // A failed allocation must not unwind into the host.
  if (r == kResultOk)
  {
    try
    {
      TChar label[128];
      auto busLabel = [&](Util_String* s) {
        AsciiToString128(s ? s->Get() : "", label);
        return label;
      };

      const int nMain = NInChannels() - mSideChainChannels;
      if (nMain >= 1 && nMain <= 8)
        addAudioInput(busLabel(GetInputBusLabel(0)), getSpeakerArrForChans(nMain), kMain, BusInfo::kDefaultActive);

      if (IsInst())
      {
        for (int c = 0; c < NOutChannels(); c += 2)
          addAudioOutput(busLabel(GetOutputBusLabel(c / 2)), SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
      }
      else
      {
        addAudioOutput(busLabel(GetOutputBusLabel(0)), getSpeakerArrForChans(NOutChannels()), kMain,
                       BusInfo::kDefaultActive);
      }

      if (mSideChainChannels)
      {
        if (mSideChainChannels > 2) mSideChainChannels = 2;
        addAudioInput(busLabel(GetInputBusLabel(1)), getSpeakerArrForChans(mSideChainChannels), kAux, 0);
      }

      if (DoesMIDI()) addEventInput(STR16("MIDI Input"), 1, kMain, BusInfo::kDefaultActive);

      if (NPresets() > 0)
        parameters.addParameter(new Parameter(STR16("Preset"), kPresetListTag, STR16(""), 0., NPresets(),
                                              ParameterInfo::kIsProgramChange, kRootUnitId));

      if (!IsInst())
      {
        auto* bypass = new StringListParameter(
            STR16("Bypass"), kHostBypassTag, nullptr,
            ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId);
        bypass->appendString(STR16("off"));
        bypass->appendString(STR16("on"));
        parameters.addParameter(bypass);
      }

      for (int i = 0; i < NParams(); ++i)
      {
        const UnitID unit = FindOrAddUnit(GetParam(i)->GetParamGroupForHost());
        parameters.addParameter(new IPluginParameter(GetParam(i), (ParamID)i, unit));
      }
    }
    catch (...)
    {
      result = kOutOfMemory;
    }
  }

  OnHostIdentified();
  RestorePreset(0);
  ReservePresetStorage();
  {
    Util_MutexLock lock(mMutex);
    // A repeated initialize that the SDK part refuses leaves the first standing.
    if (result == kResultOk) mInitialized = true;
  }
  return result;
}

tresult PLUGIN_API IPluginVST3::terminate()
{
  {
    Util_MutexLock lock(mMutex);
    mInitialized = false;
  }
  return SingleComponentEffect::terminate();
}

// A function try block: a bus that cannot be allocated must not unwind into the host.
tresult PLUGIN_API IPluginVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts)
try
{
  SetInputChannelConnections(0, NInChannels(), false);
  SetOutputChannelConnections(0, NOutChannels(), false);

  // No arrangement (or no list) for a direction reads as zero channels.
  const bool haveIns = numIns > 0 && inputs;
  const bool haveOuts = numOuts > 0 && outputs;
  const int reqIn = haveIns ? ChannelCount(inputs[0]) : 0;
  const int reqOut = haveOuts ? ChannelCount(outputs[0]) : 0;
  if (!LegalIO(reqIn, reqOut)) return kResultFalse;

  if (AudioBus* bus = getAudioInput(0))
  {
    if (ChannelCount(bus->getArrangement()) != reqIn)
    {
      audioInputs.clear();
      addAudioInput(STR16("Input"), getSpeakerArrForChans(reqIn), kMain, BusInfo::kDefaultActive);
    }
  }
  if (AudioBus* bus = getAudioOutput(0))
  {
    if (ChannelCount(bus->getArrangement()) != reqOut)
    {
      audioOutputs.clear();
      addAudioOutput(STR16("Output"), getSpeakerArrForChans(reqOut), kMain, BusInfo::kDefaultActive);
    }
  }

  if (numIns <= 1) return mSideChainChannels == 0 ? kResultOk : kResultFalse;
  if (numIns != 2 || mSideChainChannels == 0 || !inputs) return kResultFalse;

  const int reqSc = ChannelCount(inputs[1]);
  AudioBus* sc = getAudioInput(1);
  // A side-chain bus lost to the main bus's rebuild above is made again too.
  if (!sc || ChannelCount(sc->getArrangement()) != reqSc)
  {
    audioInputs.clear();
    addAudioInput(STR16("Input"), getSpeakerArrForChans(reqIn), kMain, BusInfo::kDefaultActive);
    addAudioInput(STR16("Sidechain Input"), getSpeakerArrForChans(reqSc), kAux, 0);
  }
  return kResultOk;
}
catch (...)
{
  return kOutOfMemory;
}

tresult PLUGIN_API IPluginVST3::setActive(TBool state)
{
  OnActivate(state != 0);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::setupProcessing(ProcessSetup& setup)
{
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
  // A rate the signal path cannot work with changes nothing.
  if (!(setup.sampleRate > 0.) || !std::isfinite(setup.sampleRate)) return kResultFalse;
  if (setup.maxSamplesPerBlock <= 0) return kResultFalse;

  // Held although the host should not process now: resizing the scratch
  // buffers under a running block would pull them from under it. The bypass
  // flag belongs to the host's project, not to the set-up: it stays.
  Util_MutexLock lock(mMutex);
  SetSampleRate(setup.sampleRate);
  SetBlockSize(setup.maxSamplesPerBlock < kMaxScratchFrames ? setup.maxSamplesPerBlock : kMaxScratchFrames);
  Reset();
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::canProcessSampleSize(int32 symbolicSampleSize)
{
  return (symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64) ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPluginVST3::getLatencySamples()
{
  return (uint32)GetLatency();
}

uint32 PLUGIN_API IPluginVST3::getTailSamples()
{
  return GetTailSize();
}

// ---- The block ----

void IPluginVST3::ApplyParameterChanges(IParameterChanges* changes)
{
  const int32 nQueues = changes->getParameterCount();
  for (int32 q = 0; q < nQueues; ++q)
  {
    IParamValueQueue* queue = changes->getParameterData(q);
    if (!queue) continue;
    const int32 nPoints = queue->getPointCount();
    if (nPoints <= 0) continue;
    int32 offset = 0;
    ParamValue value = 0.;
    if (queue->getPoint(nPoints - 1, offset, value) != kResultOk) continue;
    // Normalised values live in [0, 1]; anything else is the host's error.
    if (std::isnan(value)) continue;
    value = value < 0. ? 0. : (value > 1. ? 1. : value);

    const ParamID tag = queue->getParameterId();
    if (tag == kHostBypassTag)
    {
      const bool bypass = value > 0.5;
      if (bypass != mIsBypassed) mIsBypassed = bypass;
    }
    else if (tag == kPresetListTag)
    {
      // 1.0 lands one past the last preset, which RestorePreset ignores.
      RestorePreset((int)(value * NPresets()));
    }
    else if (tag < (ParamID)NParams())
    {
      GetParam((int)tag)->SetNormalized(value);
      if (GetGraphics()) GetGraphics()->SetParameterFromPlug((int)tag, value, true);
      OnParamChange((int)tag);
    }
  }
}

void IPluginVST3::DeliverMidi(IEventList* events)
{
  const int32 n = events->getEventCount();
  for (int32 i = 0; i < n; ++i)
  {
    Event e = {};
    if (events->getEvent(i, e) != kResultOk) continue;
    IMidiMsg msg;
    if (e.type == Event::kNoteOnEvent)
    {
      const float v = e.noteOn.velocity;
      const int velocity = v > 0.f ? (v < 1.f ? (int)(v * 127.f) : 127) : 0;
      msg.MakeNoteOnMsg(Clamp(e.noteOn.pitch, 0, 127), velocity, e.sampleOffset, e.noteOn.channel);
    }
    else if (e.type == Event::kNoteOffEvent)
    {
      msg.MakeNoteOffMsg(Clamp(e.noteOff.pitch, 0, 127), e.sampleOffset, e.noteOff.channel);
    }
    else
    {
      continue;
    }
    ProcessMidiMsg(&msg);
  }
}

template <class T>
void IPluginVST3::AttachBlock(ProcessData& data, int start, int nFrames)
{
  // The host's channel list of a bus, moved on to this chunk's first frame.
  // Only as many entries as the plug-in has channels are ever read.
  auto chunkOf = [&](AudioBusBuffers* bus, int limit) -> T** {
    if (!bus) return nullptr;
    T** chans = HostChannels<T>(*bus);
    if (!chans || start == 0) return chans;
    T** out = (T**)mChunkPtrs.Get();
    const int n = Clamp(bus->numChannels, 0, Clamp(limit, 0, mChunkPtrs.GetSize()));
    for (int i = 0; i < n; ++i) out[i] = chans[i] ? chans[i] + start : nullptr;
    return out;
  };

  const int nIn = NInChannels();
  if (data.numInputs > 0 && data.inputs)
  {
    AudioBusBuffers* main = &data.inputs[0];
    const int mainChans = main->numChannels > 0 ? main->numChannels : 0;
    const int sc = mSideChainChannels;
    if (sc == 0)
    {
      SetInputChannelConnections(0, mainChans, true);
      SetInputChannelConnections(mainChans, nIn - mainChans, false);
      AttachInputBuffers(0, nIn, chunkOf(main, nIn), nFrames);
    }
    else
    {
      const int nMain = nIn - sc;
      AudioBusBuffers* side = data.numInputs > 1 ? &data.inputs[1] : nullptr;
      AudioBus* scBus = getAudioInput(1);
      SetInputChannelConnections(0, nIn, true);
      // Channels the host did not supply stay disconnected: never read past its lists.
      if (mainChans < nMain) SetInputChannelConnections(mainChans, nMain - mainChans, false);
      if (scBus && scBus->isActive() && side)
      {
        mSideChainActive = true;
        const int sideChans = side->numChannels > 0 ? side->numChannels : 0;
        if (sideChans < sc) SetInputChannelConnections(nMain + sideChans, sc - sideChans, false);
      }
      else
      {
        if (mSideChainActive)
        {
          ZeroScratchBuffers();
          mSideChainActive = false;
        }
        SetInputChannelConnections(nMain, sc, false);
      }
      AttachInputBuffers(0, nMain, chunkOf(main, nMain), nFrames);
      AttachInputBuffers(nMain, sc, chunkOf(side, sc), nFrames);
    }
  }
  else
  {
    // No input data: the previous block's host buffers are gone, so nothing
    // may point at them any more; the inputs read as silence.
    SetInputChannelConnections(0, nIn, false);
    if (start == 0) ZeroScratchBuffers();
  }

  const int nOut = NOutChannels();
  int offset = 0;
  for (int32 b = 0; data.outputs && b < data.numOutputs && offset < nOut; ++b)
  {
    AudioBusBuffers* bus = &data.outputs[b];
    const int k = Clamp(bus->numChannels, 0, nOut - offset);
    AudioBus* ours = getAudioOutput(b);
    const bool active = ours && ours->isActive();
    SetOutputChannelConnections(offset, k, active);
    SetOutputChannelConnections(offset + k, nOut - offset - k, false);
    AttachOutputBuffers(offset, k, chunkOf(bus, k));
    offset += k;
  }
  // Channels no bus covered must not keep last block's host pointers.
  SetOutputChannelConnections(offset, nOut - offset, false);
}

template <class T>
void IPluginVST3::ProcessBlock(ProcessData& data, int start, int nFrames)
{
  AttachBlock<T>(data, start, nFrames);
  if (mIsBypassed)
    PassThroughBuffers((T)0, nFrames);
  else
    ProcessBuffers((T)0, nFrames);
}

void IPluginVST3::SilenceOutputs(ProcessData& data)
{
  if (!data.outputs || data.numSamples <= 0) return;
  const bool use64 = data.symbolicSampleSize == kSample64;
  const size_t bytes = (size_t)data.numSamples * (use64 ? sizeof(double) : sizeof(float));
  for (int32 b = 0; b < data.numOutputs; ++b)
  {
    AudioBusBuffers& bus = data.outputs[b];
    void** chans = use64 ? (void**)bus.channelBuffers64 : (void**)bus.channelBuffers32;
    if (!chans) continue;
    for (int32 c = 0; c < bus.numChannels; ++c)
      if (chans[c]) memset(chans[c], 0, bytes);
  }
}

tresult PLUGIN_API IPluginVST3::process(ProcessData& data)
{
  // The block's own sample size decides how its buffers are read: a host
  // may send blocks of either size whatever it set up.
  const int32 sampleSize = data.symbolicSampleSize;
  const bool knownSize = sampleSize == kSample32 || sampleSize == kSample64;
  if (!knownSize) return kInvalidArgument; // buffers of an unknown type: touch nothing
  if (data.numSamples < 0) return kInvalidArgument;

  Util_MutexLock lock(mMutex);
  if (!mInitialized)
  {
    SilenceOutputs(data);
    return kNotInitialized;
  }

  if (data.processContext) mHostContext = *data.processContext;
  if (data.inputParameterChanges) ApplyParameterChanges(data.inputParameterChanges);
  if (DoesMIDI() && data.inputEvents) DeliverMidi(data.inputEvents);

  // A block longer than the scratch buffers runs in pieces of their size.
  const int total = data.numSamples;
  const int chunk = GetBlockSize() > 0 ? GetBlockSize() : total;
  int start = 0;
  do
  {
    const int n = total - start < chunk ? total - start : chunk;
    if (sampleSize == kSample32)
      ProcessBlock<float>(data, start, n);
    else
      ProcessBlock<double>(data, start, n);
    start += n;
  } while (start < total);
  return kResultOk;
}

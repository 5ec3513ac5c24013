#include "framework/IPluginVST3.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "framework/IPluginParameter.h"
#include "framework/IPluginVST3View.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

IPluginVST3::IPluginVST3(IPluginInstanceInfo /*instanceInfo*/, int nParams, const char* channelIOStr,
                         int nPresets, const char* effectName, const char* productName, const char* mfrName,
                         int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                         bool plugDoesChunks, bool plugIsInst, int nSideChainChannels)
  : ::IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID,
                  mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIVST3),
    // A negative count would make the main input wider than the plug-in.
    mSideChainChannels(nSideChainChannels > 0 ? nSideChainChannels : 0)
{
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  CreateLatencyDelayLine();

  SetInputBusLabel(0, "Main Input");
  if (mSideChainChannels) SetInputBusLabel(1, "Aux Input");
  if (IsInst())
  {
    char label[32];
    for (int c = 0, bus = 0; c < NOutChannels(); c += 2, ++bus)
    {
      snprintf(label, sizeof(label), "Output %i", bus + 1);
      SetOutputBusLabel(bus, label);
    }
  }
  else
  {
    SetOutputBusLabel(0, "Output");
  }
  memset(&mHostContext, 0, sizeof(mHostContext));

  const int maxChans = NInChannels() > NOutChannels() ? NInChannels() : NOutChannels();
  mChunkPtrs.Resize(maxChans > 0 ? maxChans : 1);
}

IPluginVST3::~IPluginVST3()
{
  mEditorViews.Empty();
}

// ---- Framework services ----

bool IPluginVST3::IsRenderingOffline()
{
  Util_MutexLock lock(mMutex);
  return processSetup.processMode == kOffline;
}

// mHostContext is written by process under the mutex; the readers take it too
// (recursive, so calls from inside the block cost nothing extra).
int IPluginVST3::GetSamplePos()
{
  Util_MutexLock lock(mMutex);
  return (int)(uint32)(mHostContext.projectTimeSamples & 0xFFFFFFFF);
}

double IPluginVST3::GetTempo()
{
  Util_MutexLock lock(mMutex);
  return mHostContext.tempo;
}

void IPluginVST3::GetTimeSig(int* pNum, int* pDenom)
{
  Util_MutexLock lock(mMutex);
  if (pNum) *pNum = mHostContext.timeSigNumerator;
  if (pDenom) *pDenom = mHostContext.timeSigDenominator;
}

void IPluginVST3::GetTime(ITimeInfo* pTimeInfo)
{
  if (!pTimeInfo) return;
  Util_MutexLock lock(mMutex);
  pTimeInfo->mTempo = mHostContext.tempo;
  pTimeInfo->mSamplePos = (double)mHostContext.projectTimeSamples;
  pTimeInfo->mPPQPos = mHostContext.projectTimeMusic;
  pTimeInfo->mLastBar = mHostContext.barPositionMusic;
  pTimeInfo->mCycleStart = mHostContext.cycleStartMusic;
  pTimeInfo->mCycleEnd = mHostContext.cycleEndMusic;
  pTimeInfo->mNumerator = mHostContext.timeSigNumerator;
  pTimeInfo->mDenominator = mHostContext.timeSigDenominator;
  pTimeInfo->mTransportIsRunning = (mHostContext.state & ProcessContext::kPlaying) != 0;
  pTimeInfo->mTransportLoopEnabled = (mHostContext.state & ProcessContext::kCycleActive) != 0;
}

void IPluginVST3::ResizeGraphics(int w, int h)
{
  if (GetGraphics() && mEditorViews.GetSize() > 0) mEditorViews.Get(0)->resize(w, h);
}

void IPluginVST3::SetLatency(int samples)
{
  ::IPluginBase::SetLatency(samples);
  if (componentHandler) componentHandler->restartComponent(kLatencyChanged);
}

// ---- Busses and views ----

SpeakerArrangement IPluginVST3::getSpeakerArrForChans(int32 chans)
{
  switch (chans)
  {
    case 1: return SpeakerArr::kMono;
    case 2: return SpeakerArr::kStereo;
    case 3: return SpeakerArr::k30Music;
    case 4: return SpeakerArr::k40Music;
    case 5: return SpeakerArr::k50;
    case 6: return SpeakerArr::k60Music;
    case 7: return SpeakerArr::k70Music;
    case 8: return SpeakerArr::k80Music;
    default: return SpeakerArr::kEmpty;
  }
}

AudioBus* IPluginVST3::getAudioInput(int32 idx)
{
  return FCast<AudioBus>(getBus(kAudio, kInput, idx));
}

AudioBus* IPluginVST3::getAudioOutput(int32 idx)
{
  return FCast<AudioBus>(getBus(kAudio, kOutput, idx));
}

void IPluginVST3::addDependentView(IPluginVST3ViewHooks* view)
{
  if (view) mEditorViews.Add(view);
}

void IPluginVST3::removeDependentView(IPluginVST3ViewHooks* view)
{
  // Only the view that goes is forgotten: another one still open stays usable.
  for (int i = mEditorViews.GetSize() - 1; i >= 0; --i)
    if (mEditorViews.Get(i) == view) mEditorViews.Delete(i);
}

IPlugView* PLUGIN_API IPluginVST3::createView(FIDString name)
{
  if (!name || strcmp(name, "editor") != 0) return nullptr;
  // The view registers itself and holds a reference on the plug-in.
  auto* view = new (std::nothrow) IPluginVST3View(this);
  if (!view) return nullptr;
  addDependentView(view);
  return view;
}

tresult PLUGIN_API IPluginVST3::queryInterface(const TUID iid, void** obj)
{
  return SingleComponentEffect::queryInterface(iid, obj);
}

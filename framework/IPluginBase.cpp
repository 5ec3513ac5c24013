#include "framework/IPluginBase.h"

#include <cstdio>
#include <new>

#include "framework/ChannelDelayLine.h"
#include "framework/IEditorLink.h"
#include "framework/IPreset.h"
#include "framework/Log.h"
#include "util/utilcstring.h"

IPluginBase::IPluginBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                         const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                         int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                         EAPI plugAPI)
  : mUniqueID(uniqueID),
    mMfrID(mfrID),
    mVersion(vendorVersion),
    mAPI(plugAPI),
    mStateChunks(plugDoesChunks),
    mIsInst(plugIsInst),
    mDoesMIDI(plugDoesMidi),
    mLatency(latency > 0 ? latency : 0)
{
  Trace(__FUNCTION__, __LINE__, "%s:%s", effectName ? effectName : "", CurrentTime());

  // A failed allocation leaves as std::bad_alloc after freeing what was built:
  // there is never a plug-in with fewer parts than it was asked for.
  try
  {
    for (int i = 0; i < nParams; ++i) AddOrThrow(mParams, new IParam());
    for (int i = 0; i < nPresets; ++i) AddOrThrow(mPresets, new IPreset());

    Util_StrCopy(mEffectName, effectName, sizeof(mEffectName));
    Util_StrCopy(mProductName, productName, sizeof(mProductName));
    Util_StrCopy(mMfrName, mfrName, sizeof(mMfrName));

    int maxIn = 0, maxOut = 0;
    ParseChannelIO(channelIOStr, &maxIn, &maxOut);

    if ((maxIn && !mInData.Resize(maxIn)) || (maxOut && !mOutData.Resize(maxOut))) throw std::bad_alloc();
    double** inData = mInData.Get();
    double** outData = mOutData.Get();
    for (int i = 0; i < maxIn; ++i)
    {
      inData[i] = nullptr;
      AddOrThrow(mInChannels, new InChannel(inData + i));
    }
    for (int i = 0; i < maxOut; ++i)
    {
      outData[i] = nullptr;
      AddOrThrow(mOutChannels, new OutChannel(outData + i));
    }
  }
  catch (...)
  {
    FreeOwned();
    throw;
  }
}

IPluginBase::~IPluginBase()
{
  FreeOwned();
}

void IPluginBase::FreeOwned()
{
  delete mGraphics;
  mGraphics = nullptr;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
  delete mLatencyDelay;
  mLatencyDelay = nullptr;
}

// ---- Default virtual behaviour ----

void IPluginBase::Reset()
{
  Util_MutexLock lock(mMutex);
}

void IPluginBase::OnParamChange(int)
{
  Util_MutexLock lock(mMutex);
}

void IPluginBase::OnActivate(bool)
{
  Util_MutexLock lock(mMutex);
}

void IPluginBase::ProcessMidiMsg(IMidiMsg* msg)
{
  SendMidiMsg(msg);
}

bool IPluginBase::MidiNoteName(int, char* name)
{
  if (name) name[0] = '\0';
  return false;
}

// SerializeState / UnserializeState forward to the parameter state: they
// live with the rest of the state code in IPluginBase_presets.cpp.

void IPluginBase::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  {
    Util_MutexLock lock(mMutex);
    param->SetNormalized(normalizedValue);
  }
  // The host is told without the mutex: a host that takes its time in
  // performEdit must not hold up the audio thread.
  InformHostOfParamChange(paramIdx, normalizedValue);
  Util_MutexLock lock(mMutex);
  OnParamChange(paramIdx);
}

void IPluginBase::AttachGraphics(IEditorLink* graphics)
{
  if (!graphics) return;
  Util_MutexLock lock(mMutex);
  const int n = NParams();
  for (int i = 0; i < n; ++i) graphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  graphics->PrepDraw();
  // A second editor replaces the first; the plug-in owns exactly one.
  if (mGraphics != graphics) delete mGraphics;
  mGraphics = graphics;
}

// ---- Identity and versions ----

void IPluginBase::GetVersionParts(int version, int* pMajor, int* pMinor, int* pMaint)
{
  const unsigned v = (unsigned)version;
  if (pMajor) *pMajor = (int)((v >> 16) & 0xFFFF);
  if (pMinor) *pMinor = (int)((v >> 8) & 0xFF);
  if (pMaint) *pMaint = (int)(v & 0xFF);
}

int IPluginBase::GetDecimalVersion(int version)
{
  int major, minor, maint;
  GetVersionParts(version, &major, &minor, &maint);
  return 10000 * major + 100 * minor + maint;
}

void IPluginBase::GetVersionStr(int version, char* out)
{
  if (!out) return;
  int major, minor, maint;
  GetVersionParts(version, &major, &minor, &maint);
  snprintf(out, kVersionStrMax, "v%d.%d.%d", major, minor, maint);
}

int IPluginBase::GetEffectVersion(bool decimal) const
{
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPluginBase::GetEffectVersionStr(char* out) const
{
  GetVersionStr(mVersion, out);
}

int IPluginBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPluginBase::GetHostVersionStr(char* out)
{
  GetHost();
  GetVersionStr(mHostVersion, out);
}

const char* IPluginBase::GetAPIString()
{
  static const char* const kAPINames[] = {"VST2", "VST3", "AU", "RTAS", "AAX", "Standalone"};
  const int api = (int)GetAPI();
  return (api >= 0 && api < 6) ? kAPINames[api] : "";
}

double IPluginBase::GetSamplesPerBeat()
{
  const double tempo = GetTempo();
  return tempo > 0. ? mSampleRate * 60. / tempo : 0.;
}

void IPluginBase::SetHost(const char* host, int version)
{
  mHost = LookUpHost(host);
  mHostVersion = version;
  char versionStr[kVersionStrMax];
  GetVersionStr(version, versionStr);
  Trace(__FUNCTION__, __LINE__, "host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "", host ? host : "",
        versionStr);
}

// ---- Parameters ----

void IPluginBase::OnParamReset()
{
  const int n = NParams();
  for (int i = 0; i < n; ++i) OnParamChange(i);
}

void IPluginBase::DirtyParameters()
{
  const int n = NParams();
  for (int i = 0; i < n; ++i)
  {
    double value;
    {
      Util_MutexLock lock(mMutex);
      value = GetParam(i)->GetNormalized();
    }
    InformHostOfParamChange(i, value);
  }
}

// ---- MIDI ----

bool IPluginBase::SendMidiMsgs(Util_TypedBuf<IMidiMsg>* msgs)
{
  if (!msgs) return true;
  bool rc = true;
  const int n = msgs->GetSize();
  IMidiMsg* m = msgs->Get();
  for (int i = 0; i < n; ++i) rc &= SendMidiMsg(m + i);
  return rc;
}

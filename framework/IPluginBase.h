#ifndef QUENBAR_FRAMEWORK_IPLUGINBASE_H
#define QUENBAR_FRAMEWORK_IPLUGINBASE_H

#include <new>

#include "util/heapbuf.h"
#include "util/mutex.h"
#include "util/ptrlist.h"
#include "util/utilstring.h"

#include "framework/Hosts.h"
#include "framework/IParam.h"
#include "framework/IPluginStructs.h"

class ByteChunk;
struct IPreset;
class IEditorLink;
class ChannelDelayLine;

// The hosting interface an instance runs under.
enum EAPI : int
{
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIRTAS = 3,
  kAPIAAX = 4,
  kAPISA = 5
};

// Names of the plug-in, product and maker: 127 characters + NUL, longer ones are cut.
constexpr int kMaxEffectNameLen = 128;
// Room for a version text "v65535.255.255".
constexpr int kVersionStrMax = 16;
// Framework version written into preset and bank files (1.0.0).
constexpr int kFrameworkVersion = 0x00010000;

// Abstract base of every plug-in: identity, parameters, presets, channels and
// their buffers, and the recursive plug-in mutex.
// Threads: the buffer operations run on the audio thread inside the host
// adapter's processing call, which holds the mutex; SetParameterFromGUI runs on
// the editor's thread; everything else on the host's main thread. The plug-in
// owns its parameters, presets, channels, bus labels, delay line and graphics.
class IPluginBase
{
public:
  struct ChannelIO
  {
    int mIn, mOut;
    ChannelIO(int nIn, int nOut) : mIn(nIn), mOut(nOut) {}
  };

  struct InChannel
  {
    bool mConnected = false;
    double** mSrc;                    // this channel's slot in the input data
    Util_TypedBuf<double> mScratchBuf;
    Util_String mLabel;
    explicit InChannel(double** src) : mSrc(src) {}
  };

  struct OutChannel
  {
    bool mConnected = false;
    double** mDest;                   // this channel's slot in the output data
    float* mFDest = nullptr;          // single-precision destination of the block
    Util_TypedBuf<double> mScratchBuf;
    Util_String mLabel;
    explicit OutChannel(double** dest) : mDest(dest) {}
  };

  IPluginBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
              int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, EAPI plugAPI);

  IPluginBase(const IPluginBase&) = delete;
  IPluginBase& operator=(const IPluginBase&) = delete;

  // ---- Virtual slots, in this order (the adapter and the effect rely on it) ----
  virtual ~IPluginBase();
  // Effect hooks; the base's Reset, OnParamChange and OnActivate only take and
  // release the mutex. The effect's overrides take it themselves.
  virtual void Reset();
  virtual void OnParamChange(int paramIdx);
  // Audio thread, mutex held by the caller. The base copies inputs to outputs.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* msg);
  virtual void ProcessSysEx(ISysEx* /*msg*/) {}
  virtual bool MidiNoteName(int noteNumber, char* name);
  // State: caller holds the mutex (state calls) or runs on the main thread.
  virtual bool SerializeState(ByteChunk* chunk);
  virtual int UnserializeState(ByteChunk* chunk, int startPos);
  virtual bool CompareState(const unsigned char* data, int startPos);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  virtual void PopupHostContextMenuForParam(int /*paramIdx*/, int /*x*/, int /*y*/) {}
  // Editor thread: sets the parameter under the mutex, informs the host
  // without it, then calls OnParamChange under the mutex. An index outside
  // the parameter list is ignored.
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  // Host adapter services (the VST3 adapter implements these).
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* pNum, int* pDenom) = 0;
  virtual void GetTime(ITimeInfo* pTimeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit() {}
  // Takes ownership of graphics and pushes every parameter into it, under the mutex.
  virtual void AttachGraphics(IEditorLink* graphics);
  // Allocates, so not on the audio thread; takes the mutex. Resizes and clears
  // the latency delay line; does not tell the host.
  virtual void SetLatency(int samples);
  virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
  virtual bool SendSysEx(ISysEx* /*msg*/) { return false; }
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  // Main thread, not while processing: sizes every scratch buffer (allocates).
  virtual void SetBlockSize(int blockSize);

  // ---- Identity and versions ----
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }
  bool DoesMIDI() const { return mDoesMIDI; }
  bool IsBypassed() const { return mIsBypassed; }

  static void GetVersionParts(int version, int* pMajor, int* pMinor, int* pMaint);
  static int GetDecimalVersion(int version);
  // out must hold kVersionStrMax bytes.
  static void GetVersionStr(int version, char* out);
  int GetEffectVersion(bool decimal) const;
  void GetEffectVersionStr(char* out) const;
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* out);
  const char* GetAPIString();
  const char* GetArchString() const { return "x64"; }
  double GetSamplesPerBeat();

  // Host identification: called once by the host adapter while initialising.
  void SetHost(const char* host, int version);

  // ---- Parameters ----
  int NParams() const { return mParams.GetSize(); }
  IParam* GetParam(int idx) const { return mParams.Get(idx); }
  // OnParamChange for every parameter, ascending; takes no lock of its own.
  void OnParamReset();
  // Informs the host of every parameter's value; each value is read under
  // the mutex, the host is told without it.
  void DirtyParameters();
  IEditorLink* GetGraphics() const { return mGraphics; }
  Util_Mutex& GetMutex() { return mMutex; }

  // ---- Channels (main thread or the adapter's processing call) ----
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  int NChannelIO() const { return mChannelIO.GetSize(); }
  const ChannelIO* GetChannelIO(int idx) const { return mChannelIO.Get(idx); }
  bool LegalIO(int nIn, int nOut) const;
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  void LimitToStereoIO();
  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  const char* GetInputLabel(int idx) const;   // "" outside the channel list
  const char* GetOutputLabel(int idx) const;
  // Bus labels: input buses 0 (main) and 1 (side-chain) only; any output bus.
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  int NInputBusLabels() const { return mInputBusLabels.GetSize(); }
  int NOutputBusLabels() const { return mOutputBusLabels.GetSize(); }
  Util_String* GetInputBusLabel(int idx) const { return mInputBusLabels.Get(idx); }   // null if none
  Util_String* GetOutputBusLabel(int idx) const { return mOutputBusLabels.Get(idx); }

  // ---- Buffers and processing: audio thread, mutex held by the caller, no allocation ----
  // Frames beyond the block size are never read from or written to scratch
  // buffers: a float block longer than SetBlockSize allowed is cut to it.
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  unsigned GetTailSize() const { return mTailSize; }
  void AttachInputBuffers(int idx, int n, double** data, int nFrames);
  void AttachInputBuffers(int idx, int n, float** data, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** data);
  void AttachOutputBuffers(int idx, int n, float** data);
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  void PassThroughBuffers(double sampleType, int nFrames);
  void PassThroughBuffers(float sampleType, int nFrames);
  void ZeroScratchBuffers();
  // Main thread, takes the mutex: (re)creates the latency delay line for the
  // current channel counts and latency, zeroed. Does nothing without input channels.
  void CreateLatencyDelayLine();
  ChannelDelayLine* GetLatencyDelayLine() const { return mLatencyDelay; }

  // ---- MIDI ----
  bool SendMidiMsgs(Util_TypedBuf<IMidiMsg>* msgs);

  // ---- State chunks and presets (IPluginBase_presets.cpp, IPluginBase_dumps.cpp) ----
  bool SerializeParams(ByteChunk* chunk);
  int UnserializeParams(ByteChunk* chunk, int startPos);
  // Takes the mutex. UnserializeState, all or nothing: a state whose values
  // are not finite or lie outside their parameters' ranges (or, for state
  // chunks, that UnserializeState cannot read) changes nothing and gives -1.
  int UnserializeStateChecked(ByteChunk* chunk, int startPos);
  // Main thread: reserves every uninitialised preset slot's storage, so a
  // program change from the audio thread that initialises one never allocates.
  void ReservePresetStorage();
  bool SerializePresets(ByteChunk* chunk);
  int UnserializePresets(ByteChunk* chunk, int startPos);
  void InitChunkWithFrameworkVer(ByteChunk* chunk);
  int GetFrameworkVerFromChunk(ByteChunk* chunk, int* pPos);
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  void EnsureDefaultPreset();
  void MakePreset(const char* name, ...);
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  void MakePresetFromChunk(const char* name, ByteChunk* chunk);
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  void PruneUninitializedPresets();
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  const char* GetPresetName(int idx);
  void ModifyCurrentPreset(const char* name = nullptr);
  void DumpPresetSrcCode(const char* path, const char** paramEnumNames);
  void DumpPresetBlob(const char* path);
  void DumpBankBlob(const char* path);
  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  IPreset* GetPreset(int idx) const { return mPresets.Get(idx); }

  // ---- Preset and bank files (IPluginBase_fxp.cpp) ----
  bool SaveProgramAsFXP(Util_String* fileName);
  bool SaveBankAsFXB(Util_String* fileName);
  bool LoadProgramFromFXP(Util_String* fileName);
  bool LoadBankFromFXB(Util_String* fileName);

  // Group names the host adapter registered as units (not owned).
  Util_PtrList<const char>& GetParamGroups() { return mParamGroups; }

protected:
  void SetTailSize(unsigned tailSize) { mTailSize = tailSize; }
  double** GetInputData() const { return mInData.Get(); }
  double** GetOutputData() const { return mOutData.Get(); }
  InChannel* GetInChannel(int idx) const { return mInChannels.Get(idx); }
  OutChannel* GetOutChannel(int idx) const { return mOutChannels.Get(idx); }

  Util_PtrList<ChannelIO> mChannelIO;
  Util_Mutex mMutex;
  char mEffectName[kMaxEffectNameLen];
  char mProductName[kMaxEffectNameLen];
  char mMfrName[kMaxEffectNameLen];
  int mUniqueID;
  int mMfrID;
  int mVersion;
  EAPI mAPI;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks;
  bool mIsInst;
  bool mDoesMIDI;
  bool mIsBypassed = false;
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.;
  int mBlockSize = 0;
  int mLatency;
  unsigned mTailSize = 0;
  ChannelDelayLine* mLatencyDelay = nullptr;
  Util_PtrList<const char> mParamGroups;
  IEditorLink* mGraphics = nullptr;
  Util_PtrList<IParam> mParams;
  Util_PtrList<IPreset> mPresets;
  Util_TypedBuf<double*> mInData;
  Util_TypedBuf<double*> mOutData;
  Util_PtrList<InChannel> mInChannels;
  Util_PtrList<OutChannel> mOutChannels;
  Util_PtrList<Util_String> mInputBusLabels;
  Util_PtrList<Util_String> mOutputBusLabels;

private:
  // Constructor and destructor: frees every owned part (safe on a half-built instance).
  void FreeOwned();
  // Constructor only: appends item, or deletes it and throws std::bad_alloc when the list cannot grow.
  template <class T>
  static void AddOrThrow(Util_PtrList<T>& list, T* item)
  {
    if (!list.Add(item))
    {
      delete item;
      throw std::bad_alloc();
    }
  }
  void ParseChannelIO(const char* text, int* pMaxIn, int* pMaxOut);
  // Every parameter value of the chunk from startPos is finite and in range.
  bool ParamsAreValid(const ByteChunk* chunk, int startPos) const;
  // Channel index range [first, last) of idx ... idx + n - 1 clipped to 0 ... count.
  static void ClipRange(int idx, int n, int count, int* first, int* last);
  // Frames of this block that every attached buffer can hold (scratch
  // buffers have the block size); 0 when a slot has no buffer at all.
  int SafeFrames(int nFrames) const;
  void ConvertOutputsToFloat(int nFrames, int hostFrames, bool accumulate);
  void SilenceHostOutputTails(int nFrames, int hostFrames);
  static void CopyThrough(double** inputs, int nIn, double** outputs, int nOut, int nFrames);
};

#endif

#ifndef QUENBAR_FRAMEWORK_IPLUGINVST3_H
#define QUENBAR_FRAMEWORK_IPLUGINVST3_H

#include "framework/IPluginBase.h"
#include "util/heapbuf.h"
#include "util/ptrlist.h"
#include "vst3glue/singlecomponenteffect.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"

// What the effect constructor is handed by its creation function; nothing yet.
struct IPluginInstanceInfo
{
};

// What the adapter needs from an editor view. The editor's view class (a
// Steinberg::CPluginView) implements it and registers itself with
// addDependentView. Host main thread only.
class IPluginVST3ViewHooks
{
public:
  // The view's IPlugView face (not an extra reference).
  virtual Steinberg::IPlugView* GetPlugView() = 0;
  // Asks the host frame to give the view w x h pixels.
  virtual void resize(int w, int h) = 0;
  virtual ~IPluginVST3ViewHooks() = default;
};

// A framework plug-in hosted as one VST3 object that is component, audio
// processor and edit controller. Threads: process runs on the host's audio
// thread and holds the plug-in mutex for the whole block; every other VST3
// call comes from the host's main thread. The state calls and the parameter
// accessors take the same mutex, so a block never sees a half-applied change.
// No call into the host (streams, edits, restarts, menus) is ever made with
// the mutex held, so the audio thread never waits for the host.
// Reference counted through the SDK part (starts at 1).
class IPluginVST3 : public IPluginBase, public Steinberg::Vst::SingleComponentEffect
{
public:
  // Reserved parameter tags; every other tag is a framework parameter index.
  enum : Steinberg::uint32
  {
    kPresetListTag = 0x70727374, // 'prst': program change, and the one program list
    kHostBypassTag = 0x62706173  // 'bpas': host bypass
  };
  // Largest scratch buffer, in frames, whatever block size the host names.
  static constexpr int kMaxScratchFrames = 8192;

  IPluginVST3(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
              const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
              int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
              bool plugIsInst, int nSideChainChannels);
  ~IPluginVST3() override;

  // ---- IPluginBase services ----
  void PopupHostContextMenuForParam(int paramIdx, int x, int y) override;
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override {}
  bool IsRenderingOffline() override;
  // Transport, as the latest block delivered it (all zero before one came).
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* pNum, int* pDenom) override;
  void GetTime(ITimeInfo* pTimeInfo) override;
  void ResizeGraphics(int w, int h) override;
  // Main thread: also asks the host to re-read the latency.
  void SetLatency(int samples) override;
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  // ---- Processor side (IPluginVST3_process.cpp) ----
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API terminate() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) SMTG_OVERRIDE;
  // Refuses non-positive block sizes; huge ones get bounded scratch buffers
  // and their blocks are processed in pieces. Keeps the bypass flag.
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
  // Audio thread. Follows the block's own sample size. A block that cannot
  // be served (not initialised, unknown sample size, negative length) is
  // refused with an error and the outputs it carries are silenced where
  // their sample type is known.
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

  // ---- Controller side (IPluginVST3_controller.cpp) ----
  // "editor": a new editor view (IPluginVST3View), registered with this
  // plug-in; the host owns the reference it gets. Any other name: null.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) SMTG_OVERRIDE;
  // The whole plug-in state: the state chunk, then the bypass word
  // (IPluginVST3_state.cpp). The component's pair, the controller's pair and
  // setComponentState all carry the same stream. Host main thread; the
  // stream is read and written outside the mutex. A restore is all or
  // nothing and, when it succeeds, asks the host to re-read the values.
  Steinberg::tresult PLUGIN_API setEditorState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getEditorState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setProcessorState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProcessorState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID tag,
                                                   Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID tag) SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(Steinberg::Vst::ParamID tag,
                                                               Steinberg::Vst::ParamValue plain) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID tag,
                                                      Steinberg::Vst::ParamValue valueNormalized,
                                                      Steinberg::Vst::String128 string) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID tag, Steinberg::Vst::TChar* string,
                                                      Steinberg::Vst::ParamValue& valueNormalized) SMTG_OVERRIDE;
  Steinberg::int32 PLUGIN_API getUnitCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex, Steinberg::Vst::UnitInfo& info) SMTG_OVERRIDE;
  Steinberg::int32 PLUGIN_API getProgramListCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                   Steinberg::Vst::ProgramListInfo& info) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::CString attributeId,
                                               Steinberg::Vst::String128 attributeValue) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                     Steinberg::int32 programIndex) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId,
                                                    Steinberg::int32 programIndex, Steinberg::int16 midiPitch,
                                                    Steinberg::Vst::String128 name) SMTG_OVERRIDE;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                             Steinberg::int32 busIndex, Steinberg::int32 channel,
                                             Steinberg::Vst::UnitID& unitId) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId, Steinberg::int32 programIndex,
                                                   Steinberg::IBStream* data) SMTG_OVERRIDE;

  OBJ_METHODS(IPluginVST3, SingleComponentEffect)
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  REFCOUNT_METHODS(SingleComponentEffect)

  Steinberg::tresult beginEdit(Steinberg::Vst::ParamID tag) SMTG_OVERRIDE;
  Steinberg::tresult performEdit(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue valueNormalized) SMTG_OVERRIDE;
  Steinberg::tresult endEdit(Steinberg::Vst::ParamID tag) SMTG_OVERRIDE;

  // Standard arrangement for 1 ... 8 channels, 0 for any other count.
  static Steinberg::Vst::SpeakerArrangement getSpeakerArrForChans(Steinberg::int32 chans);
  // The audio bus at idx, or null for a missing or non-audio bus.
  Steinberg::Vst::AudioBus* getAudioInput(Steinberg::int32 idx);
  Steinberg::Vst::AudioBus* getAudioOutput(Steinberg::int32 idx);
  // Editor views register while they exist (not owned); the first one
  // resizes and carries host context menus.
  void addDependentView(IPluginVST3ViewHooks* view);
  void removeDependentView(IPluginVST3ViewHooks* view);
  int NEditorViews() const { return mEditorViews.GetSize(); }

protected:
  int mSideChainChannels;
  bool mSideChainActive = false;
  Steinberg::Vst::ProcessContext mHostContext;
  Util_PtrList<IPluginVST3ViewHooks> mEditorViews;

private:
  // Copies the state and the bypass word into out, under the mutex.
  bool SnapshotState(ByteChunk* out);
  Steinberg::tresult SaveStateTo(Steinberg::IBStream* state);
  Steinberg::tresult RestoreStateFrom(Steinberg::IBStream* state);
  // Zeroes numSamples frames of every output channel the block carries.
  static void SilenceOutputs(Steinberg::Vst::ProcessData& data);
  Steinberg::Vst::Parameter* NewParameterObject(int paramIdx);
  int FindOrAddUnit(const char* group);
  template <class T>
  void ProcessBlock(Steinberg::Vst::ProcessData& data, int start, int nFrames);
  template <class T>
  void AttachBlock(Steinberg::Vst::ProcessData& data, int start, int nFrames);
  void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes);
  void DeliverMidi(Steinberg::Vst::IEventList* events);

  // Channel pointers of one chunk of a block longer than the set-up allowed;
  // sized by the constructor so process never allocates.
  Util_TypedBuf<void*> mChunkPtrs;
  // Between a successful initialize and terminate.
  bool mInitialized = false;
};

#endif

// One hosted plug-in instance: its component and audio processor, its edit
// controller (the component itself for single-component effects, otherwise the
// class the component names), busses, parameters, state and block processing.
// All calls come from the thread that owns the Plugin (the tool has one thread);
// the Plugin holds one reference to each plug-in interface it uses and drops
// them in Destroy(), which must run before the Module is unloaded.
// Like the hosts built on common host libraries, it keeps its own copy of the
// parameter values: taken at creation only when the component's getState
// succeeds, and refreshed only when the plug-in asks for it with
// restartComponent(kParamValuesChanged).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tools/host/eventlist.h"
#include "tools/host/hostobjects.h"

namespace vst3host {

struct BusRecord {
  std::string name;
  Steinberg::int32 channelCount = 0;
  Steinberg::int32 busType = 0;  // kMain or kAux
  Steinberg::uint32 flags = 0;
};

struct ParamRecord {
  Steinberg::Vst::ParamID id = 0;
  std::string title;
  std::string shortTitle;
  std::string units;
  Steinberg::int32 stepCount = 0;
  double defaultNormalized = 0.0;
  Steinberg::int32 unitId = 0;
  Steinberg::int32 flags = 0;
};

struct ProcessSettings {
  double sampleRate = 44100.0;
  int channels = 2;         // 1 or 2: the main input and output bus
  bool use64 = false;       // double instead of float samples
  int maxBlock = 512;       // largest frame count a Process call will carry
};

class Plugin {
 public:
  // hostName: what the plug-in reads as the host's name.
  explicit Plugin(const char* hostName = "quenbar") : mHostApp(hostName) {}
  ~Plugin() { Destroy(); }
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  // Creates and initialises class cid of factory and finds its controller.
  // False with *error set; nothing stays alive then.
  bool Create(Steinberg::IPluginFactory* factory, const char cid[16], std::string* error);
  // The same for a component made some other way (a plug-in linked into the
  // program): takes over the caller's reference, also on failure. A separate
  // controller can only be found through a factory.
  bool Adopt(Steinberg::Vst::IComponent* component, Steinberg::IPluginFactory* factory, std::string* error);
  void Destroy();

  bool HasSeparateController() const { return mSeparateController; }
  Steinberg::Vst::IEditController* Controller() const { return mController; }

  std::vector<BusRecord> Busses(Steinberg::Vst::MediaType type,
                                Steinberg::Vst::BusDirection dir) const;
  std::vector<ParamRecord> Parameters() const;
  // The first parameter with this exact title that is neither the host bypass
  // nor a program change. False if there is none.
  bool FindParameter(const std::string& title, Steinberg::Vst::ParamID* id) const;
  // The parameter flagged as the host bypass. False if there is none.
  bool FindHostBypass(Steinberg::Vst::ParamID* id) const;
  double PlainToNormalized(Steinberg::Vst::ParamID id, double plain) const;
  double NormalizedToPlain(Steinberg::Vst::ParamID id, double normalized) const;

  // Bus arrangement, sample size, rate and block size, then activation.
  bool Start(const ProcessSettings& settings, std::string* error);
  // Ends processing and deactivates; safe to repeat.
  void Stop();

  // The component's state, restored as hosts restore a project: the
  // component's setState, then the controller's setComponentState.
  bool LoadState(const std::vector<uint8_t>& bytes, std::string* error);
  bool SaveState(std::vector<uint8_t>* bytes, std::string* error);
  // The controller's own state pair.
  bool LoadControllerState(const std::vector<uint8_t>& bytes, std::string* error);
  bool SaveControllerState(std::vector<uint8_t>* bytes, std::string* error);

  // The host's copy of a parameter's normalised value (0 until synced).
  double HostValue(Steinberg::Vst::ParamID id) const;
  // Re-reads every value from the controller into the host's copy.
  void SyncHostValues();
  ComponentHandler& Handler() { return mHandler; }
  HostApplication& HostApp() { return mHostApp; }
  Steinberg::Vst::IComponent* Component() const { return mComponent; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return mProcessor; }

  // Runs one block between Start and Stop: in and out point to settings.channels
  // channel buffers of float (or double with use64) holding at least frames
  // samples; frames must not exceed settings.maxBlock. changes may be null.
  bool Process(void* const* in, void* const* out, int frames,
               Steinberg::Vst::IParameterChanges* changes, std::string* error);

 private:
  bool FindController(Steinberg::IPluginFactory* factory, std::string* error);
  bool PrepareBusBuffers(std::string* error);

  HostApplication mHostApp;
  ComponentHandler mHandler;
  EventList mEvents;
  Steinberg::Vst::IComponent* mComponent = nullptr;
  Steinberg::Vst::IAudioProcessor* mProcessor = nullptr;
  Steinberg::Vst::IEditController* mController = nullptr;
  Steinberg::Vst::IConnectionPoint* mComponentCP = nullptr;
  Steinberg::Vst::IConnectionPoint* mControllerCP = nullptr;
  bool mSeparateController = false;
  bool mActive = false;
  bool mProcessing = false;

  std::map<Steinberg::Vst::ParamID, double> mHostValues;
  ProcessSettings mSettings;
  Steinberg::Vst::ProcessContext mContext{};
  // Busses other than the main ones get silent inputs and scratch outputs.
  std::vector<Steinberg::Vst::AudioBusBuffers> mInputs;
  std::vector<Steinberg::Vst::AudioBusBuffers> mOutputs;
  std::vector<void*> mInPtrs;
  std::vector<void*> mOutPtrs;
  std::vector<double> mSilence;
  std::vector<double> mScratch;
};

}  // namespace vst3host

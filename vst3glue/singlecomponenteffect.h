#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg {
namespace Vst {

// IComponent and IEditController both declare setState/getState(IBStream*),
// so one override would answer for both faces. These two classes give each
// face its own answer; a derived class overrides setEditorState/
// getEditorState for the controller's state and setProcessorState/
// getProcessorState for the component's, and can no longer override
// setState/getState by accident (they are final).
class EditControllerStateFace : public EditControllerEx1
{
public:
	tresult PLUGIN_API setState (IBStream* state) SMTG_OVERRIDE final { return setEditorState (state); }
	tresult PLUGIN_API getState (IBStream* state) SMTG_OVERRIDE final { return getEditorState (state); }
	// Host main thread. kNotImplemented unless a derived class keeps a state.
	virtual tresult PLUGIN_API setEditorState (IBStream* /*state*/) { return kNotImplemented; }
	virtual tresult PLUGIN_API getEditorState (IBStream* /*state*/) { return kNotImplemented; }
};

class ComponentStateFace : public IComponent
{
public:
	tresult PLUGIN_API setState (IBStream* state) SMTG_OVERRIDE final { return setProcessorState (state); }
	tresult PLUGIN_API getState (IBStream* state) SMTG_OVERRIDE final { return getProcessorState (state); }
	// Host main thread. kNotImplemented unless a derived class keeps a state.
	virtual tresult PLUGIN_API setProcessorState (IBStream* /*state*/) { return kNotImplemented; }
	virtual tresult PLUGIN_API getProcessorState (IBStream* /*state*/) { return kNotImplemented; }
};

// One object that is component, audio processor and edit controller at once,
// so processor and controller share state without messaging.
// Contract: host main thread for everything except process (audio thread);
// no locks of its own. The object owns its busses and (through the
// controller part) its parameter objects; reference count starts at 1.
class SingleComponentEffect : public EditControllerStateFace,
                              public ComponentStateFace,
                              public IAudioProcessor
{
public:
	SingleComponentEffect ();
	~SingleComponentEffect () override;

	// Bus creation; the returned bus belongs to this object. A bus whose
	// flags carry kDefaultActive starts active.
	AudioBus* addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);
	AudioBus* addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                          int32 flags = BusInfo::kDefaultActive);
	EventBus* addEventInput (const TChar* name, int32 channels = 16, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);
	tresult removeAudioBusses ();
	tresult removeEventBusses ();

	//---IPluginBase (shared by the component and the controller face)
	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate () SMTG_OVERRIDE;

	//---IComponent
	tresult PLUGIN_API getControllerClassId (TUID classID) SMTG_OVERRIDE;
	tresult PLUGIN_API setIoMode (IoMode mode) SMTG_OVERRIDE;
	int32 PLUGIN_API getBusCount (MediaType type, BusDirection dir) SMTG_OVERRIDE;
	tresult PLUGIN_API getBusInfo (MediaType type, BusDirection dir, int32 index,
	                               BusInfo& info) SMTG_OVERRIDE;
	tresult PLUGIN_API getRoutingInfo (RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
	tresult PLUGIN_API activateBus (MediaType type, BusDirection dir, int32 index,
	                                TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API setActive (TBool state) SMTG_OVERRIDE;

	//---IEditController: the SDK's lookup throws on a bad index; refuse instead.
	tresult PLUGIN_API getParameterInfo (int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;

	//---IAudioProcessor
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
	tresult PLUGIN_API getBusArrangement (BusDirection dir, int32 index,
	                                      SpeakerArrangement& arr) SMTG_OVERRIDE;
	tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) SMTG_OVERRIDE;
	uint32 PLUGIN_API getLatencySamples () SMTG_OVERRIDE;
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
	tresult PLUGIN_API setProcessing (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;
	uint32 PLUGIN_API getTailSamples () SMTG_OVERRIDE;

	//---Interface
	OBJ_METHODS (SingleComponentEffect, EditControllerEx1)
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
	REFCOUNT_METHODS (EditControllerEx1)

protected:
	BusList* getBusList (MediaType type, BusDirection dir);
	Bus* getBus (MediaType type, BusDirection dir, int32 index);

	BusList audioInputs;
	BusList audioOutputs;
	BusList eventInputs;
	BusList eventOutputs;
	// Latest set-up accepted by setupProcessing; 32-bit realtime until then.
	ProcessSetup processSetup;
};

} // namespace Vst
} // namespace Steinberg

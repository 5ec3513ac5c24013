#include "vst3glue/singlecomponenteffect.h"

#include "pluginterfaces/vst/vstspeaker.h"

namespace Steinberg {
namespace Vst {

SingleComponentEffect::SingleComponentEffect ()
: audioInputs (kAudio, kInput)
, audioOutputs (kAudio, kOutput)
, eventInputs (kEvent, kInput)
, eventOutputs (kEvent, kOutput)
{
	processSetup.processMode = kRealtime;
	processSetup.symbolicSampleSize = kSample32;
	processSetup.maxSamplesPerBlock = 0;
	processSetup.sampleRate = 0.;
}

SingleComponentEffect::~SingleComponentEffect () = default;

AudioBus* SingleComponentEffect::addAudioInput (const TChar* name, SpeakerArrangement arr,
                                                BusType busType, int32 flags)
{
	auto* bus = new AudioBus (name, busType, flags, arr);
	bus->setActive ((flags & BusInfo::kDefaultActive) != 0);
	audioInputs.emplace_back (bus, false);
	return bus;
}

AudioBus* SingleComponentEffect::addAudioOutput (const TChar* name, SpeakerArrangement arr,
                                                 BusType busType, int32 flags)
{
	auto* bus = new AudioBus (name, busType, flags, arr);
	bus->setActive ((flags & BusInfo::kDefaultActive) != 0);
	audioOutputs.emplace_back (bus, false);
	return bus;
}

EventBus* SingleComponentEffect::addEventInput (const TChar* name, int32 channels,
                                                BusType busType, int32 flags)
{
	auto* bus = new EventBus (name, busType, flags, channels);
	bus->setActive ((flags & BusInfo::kDefaultActive) != 0);
	eventInputs.emplace_back (bus, false);
	return bus;
}

tresult SingleComponentEffect::removeAudioBusses ()
{
	audioInputs.clear ();
	audioOutputs.clear ();
	return kResultOk;
}

tresult SingleComponentEffect::removeEventBusses ()
{
	eventInputs.clear ();
	eventOutputs.clear ();
	return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::initialize (FUnknown* context)
{
	return EditControllerEx1::initialize (context);
}

tresult PLUGIN_API SingleComponentEffect::terminate ()
{
	removeAudioBusses ();
	removeEventBusses ();
	return EditControllerEx1::terminate ();
}

BusList* SingleComponentEffect::getBusList (MediaType type, BusDirection dir)
{
	if (type == kAudio)
		return dir == kInput ? &audioInputs : (dir == kOutput ? &audioOutputs : nullptr);
	if (type == kEvent)
		return dir == kInput ? &eventInputs : (dir == kOutput ? &eventOutputs : nullptr);
	return nullptr;
}

Bus* SingleComponentEffect::getBus (MediaType type, BusDirection dir, int32 index)
{
	BusList* list = getBusList (type, dir);
	if (list == nullptr || index < 0 || index >= static_cast<int32> (list->size ()))
		return nullptr;
	return list->at (index);
}

tresult PLUGIN_API SingleComponentEffect::getControllerClassId (TUID /*classID*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::setIoMode (IoMode /*mode*/)
{
	return kNotImplemented;
}

int32 PLUGIN_API SingleComponentEffect::getBusCount (MediaType type, BusDirection dir)
{
	BusList* list = getBusList (type, dir);
	return list ? static_cast<int32> (list->size ()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo (MediaType type, BusDirection dir,
                                                      int32 index, BusInfo& info)
{
	Bus* bus = getBus (type, dir, index);
	if (bus == nullptr)
		return kInvalidArgument;
	info.mediaType = type;
	info.direction = dir;
	return bus->getInfo (info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo (RoutingInfo& /*inInfo*/,
                                                          RoutingInfo& /*outInfo*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::activateBus (MediaType type, BusDirection dir,
                                                       int32 index, TBool state)
{
	Bus* bus = getBus (type, dir, index);
	if (bus == nullptr)
		return kInvalidArgument;
	bus->setActive (state);
	return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setActive (TBool /*state*/)
{
	return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::getParameterInfo (int32 paramIndex, ParameterInfo& info)
{
	if (paramIndex < 0 || paramIndex >= parameters.getParameterCount ())
		return kResultFalse;
	return EditControllerEx1::getParameterInfo (paramIndex, info);
}

tresult PLUGIN_API SingleComponentEffect::setBusArrangements (SpeakerArrangement* inputs,
                                                              int32 numIns,
                                                              SpeakerArrangement* outputs,
                                                              int32 numOuts)
{
	// Default: accept exactly one arrangement per existing audio bus.
	if (numIns != static_cast<int32> (audioInputs.size ()) ||
	    numOuts != static_cast<int32> (audioOutputs.size ()))
		return kResultFalse;
	if ((numIns > 0 && inputs == nullptr) || (numOuts > 0 && outputs == nullptr))
		return kInvalidArgument;
	for (int32 i = 0; i < numIns; ++i)
		if (auto* bus = FCast<AudioBus> (audioInputs.at (i).get ()))
			bus->setArrangement (inputs[i]);
	for (int32 i = 0; i < numOuts; ++i)
		if (auto* bus = FCast<AudioBus> (audioOutputs.at (i).get ()))
			bus->setArrangement (outputs[i]);
	return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement (BusDirection dir, int32 index,
                                                             SpeakerArrangement& arr)
{
	auto* bus = FCast<AudioBus> (getBus (kAudio, dir, index));
	if (bus == nullptr)
		return kInvalidArgument;
	arr = bus->getArrangement ();
	return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize (int32 symbolicSampleSize)
{
	return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API SingleComponentEffect::getLatencySamples ()
{
	return 0;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing (ProcessSetup& setup)
{
	if (canProcessSampleSize (setup.symbolicSampleSize) != kResultTrue)
		return kResultFalse;
	processSetup = setup;
	return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing (TBool /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::process (ProcessData& /*data*/)
{
	return kNotImplemented;
}

uint32 PLUGIN_API SingleComponentEffect::getTailSamples ()
{
	return kNoTail;
}

tresult PLUGIN_API SingleComponentEffect::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, IComponent::iid, IComponent)
	QUERY_INTERFACE (iid, obj, IAudioProcessor::iid, IAudioProcessor)
	return EditControllerEx1::queryInterface (iid, obj);
}

} // namespace Vst
} // namespace Steinberg

#include "testgain.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string narrow (const char16* s)
{
	std::string out;
	for (; *s; ++s)
		out += static_cast<char> (*s);
	return out;
}

// An initialised effect, released (and checked to be freed) after each test.
struct Vst3GlueEffect : ::testing::Test
{
	TestGain* fx = nullptr;
	void SetUp () override
	{
		fx = new TestGain;
		ASSERT_EQ (fx->initialize (nullptr), kResultOk);
	}
	void TearDown () override
	{
		fx->terminate ();
		EXPECT_EQ (fx->release (), 0u);
		EXPECT_EQ (TestGain::liveCount.load (), 0);
	}
};

} // namespace

TEST_F (Vst3GlueEffect, EveryFaceIsTheSameCountedObject)
{
	void* unknownA = nullptr;
	void* unknownB = nullptr;
	IComponent* component = fx;
	IEditController* controller = fx;
	ASSERT_EQ (component->queryInterface (FUnknown::iid, &unknownA), kResultOk);
	ASSERT_EQ (controller->queryInterface (FUnknown::iid, &unknownB), kResultOk);
	EXPECT_EQ (unknownA, unknownB) << "FUnknown identity differs between faces";
	static_cast<FUnknown*> (unknownA)->release ();
	static_cast<FUnknown*> (unknownB)->release ();

	for (const FUID* iid : {&IComponent::iid, &IAudioProcessor::iid, &IEditController::iid,
	                        &IEditController2::iid, &IUnitInfo::iid, &IConnectionPoint::iid,
	                        &IPluginBase::iid})
	{
		void* obj = nullptr;
		ASSERT_EQ (component->queryInterface (*iid, &obj), kResultOk);
		ASSERT_NE (obj, nullptr);
		// One count shared by all faces: the query's reference shows on the object.
		EXPECT_EQ (fx->getRefCount (), 2);
		static_cast<FUnknown*> (obj)->release ();
		EXPECT_EQ (fx->getRefCount (), 1);
	}
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (controller->queryInterface (IBStream::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	EXPECT_TRUE (fx->isTypeOf ("SingleComponentEffect"));
	EXPECT_TRUE (fx->isTypeOf ("EditController"));
}

TEST (Vst3GlueEffectLifetime, SecondInitializeIsRefusedAndTerminateDropsTheHost)
{
	auto* host = new FObject;
	auto* fx = new TestGain;
	ASSERT_EQ (fx->initialize (host), kResultOk);
	EXPECT_EQ (host->getRefCount (), 2) << "the effect holds the host context";
	EXPECT_EQ (fx->initialize (host), kResultFalse);
	EXPECT_EQ (fx->getBusCount (kAudio, kInput), 2) << "refused initialize added busses";
	EXPECT_EQ (fx->terminate (), kResultOk);
	EXPECT_EQ (host->getRefCount (), 1);
	EXPECT_EQ (fx->release (), 0u);
	EXPECT_EQ (host->release (), 0u);
}

TEST_F (Vst3GlueEffect, BusCountsAndInfo)
{
	EXPECT_EQ (fx->getBusCount (kAudio, kInput), 2);
	EXPECT_EQ (fx->getBusCount (kAudio, kOutput), 1);
	EXPECT_EQ (fx->getBusCount (kEvent, kInput), 1);
	EXPECT_EQ (fx->getBusCount (kEvent, kOutput), 0);
	EXPECT_EQ (fx->getBusCount (kAudio, 7), 0);
	EXPECT_EQ (fx->getBusCount (5, kInput), 0);

	BusInfo info {};
	ASSERT_EQ (fx->getBusInfo (kAudio, kInput, 0, info), kResultTrue);
	EXPECT_EQ (info.mediaType, kAudio);
	EXPECT_EQ (info.direction, kInput);
	EXPECT_EQ (info.channelCount, 2);
	EXPECT_EQ (narrow (info.name), "Stereo In");
	EXPECT_EQ (info.busType, kMain);
	EXPECT_EQ (info.flags, static_cast<uint32> (BusInfo::kDefaultActive));

	ASSERT_EQ (fx->getBusInfo (kAudio, kInput, 1, info), kResultTrue);
	EXPECT_EQ (info.channelCount, 1);
	EXPECT_EQ (info.busType, kAux);
	EXPECT_EQ (info.flags, 0u);

	ASSERT_EQ (fx->getBusInfo (kEvent, kInput, 0, info), kResultTrue);
	EXPECT_EQ (info.mediaType, kEvent);
	EXPECT_EQ (info.channelCount, 1);
	EXPECT_EQ (narrow (info.name), "MIDI In");

	EXPECT_EQ (fx->getBusInfo (kAudio, kInput, 2, info), kInvalidArgument);
	EXPECT_EQ (fx->getBusInfo (kAudio, kOutput, -1, info), kInvalidArgument);
	EXPECT_EQ (fx->getBusInfo (kEvent, kOutput, 0, info), kInvalidArgument);
}

TEST_F (Vst3GlueEffect, BusActivationFollowsDefaultFlagAndHost)
{
	EXPECT_TRUE (fx->inputs ().at (0)->isActive ()) << "kDefaultActive bus starts active";
	EXPECT_FALSE (fx->inputs ().at (1)->isActive ()) << "aux bus without the flag starts inactive";

	EXPECT_EQ (fx->activateBus (kAudio, kInput, 1, true), kResultTrue);
	EXPECT_TRUE (fx->inputs ().at (1)->isActive ());
	EXPECT_EQ (fx->activateBus (kAudio, kInput, 0, false), kResultTrue);
	EXPECT_FALSE (fx->inputs ().at (0)->isActive ());

	EXPECT_EQ (fx->activateBus (kAudio, kOutput, 1, true), kInvalidArgument);
	EXPECT_EQ (fx->activateBus (kEvent, kOutput, 0, true), kInvalidArgument);
	EXPECT_EQ (fx->activateBus (kAudio, kInput, -1, true), kInvalidArgument);
}

TEST_F (Vst3GlueEffect, BusRemovalAndRebuild)
{
	fx->removeAudioBusses ();
	EXPECT_EQ (fx->getBusCount (kAudio, kInput), 0);
	EXPECT_EQ (fx->getBusCount (kAudio, kOutput), 0);
	EXPECT_EQ (fx->getBusCount (kEvent, kInput), 1) << "event busses are separate";
	SpeakerArrangement arr = 0;
	EXPECT_EQ (fx->getBusArrangement (kInput, 0, arr), kInvalidArgument);

	fx->addAudioOutput (STR16 ("Mono Out"), SpeakerArr::kMono);
	EXPECT_EQ (fx->getBusCount (kAudio, kOutput), 1);
	ASSERT_EQ (fx->getBusArrangement (kOutput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::kMono);

	fx->removeEventBusses ();
	EXPECT_EQ (fx->getBusCount (kEvent, kInput), 0);

	// terminate drops whatever is left.
	fx->terminate ();
	EXPECT_EQ (fx->getBusCount (kAudio, kOutput), 0);
	EXPECT_EQ (fx->getParameterCount (), 0);
}

TEST_F (Vst3GlueEffect, DefaultBusArrangements)
{
	SpeakerArrangement ins[2] = {SpeakerArr::kMono, SpeakerArr::kStereo};
	SpeakerArrangement outs[1] = {SpeakerArr::kMono};
	// One arrangement per existing bus, no more and no fewer.
	EXPECT_EQ (fx->setBusArrangements (ins, 1, outs, 1), kResultFalse);
	EXPECT_EQ (fx->setBusArrangements (ins, 2, outs, 0), kResultFalse);
	EXPECT_EQ (fx->setBusArrangements (nullptr, 2, outs, 1), kInvalidArgument);
	SpeakerArrangement arr = 0;
	ASSERT_EQ (fx->getBusArrangement (kInput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::kStereo) << "refused request changed a bus";

	ASSERT_EQ (fx->setBusArrangements (ins, 2, outs, 1), kResultTrue);
	ASSERT_EQ (fx->getBusArrangement (kInput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::kMono);
	ASSERT_EQ (fx->getBusArrangement (kInput, 1, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::kStereo);
	ASSERT_EQ (fx->getBusArrangement (kOutput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::kMono);
	EXPECT_EQ (fx->getBusArrangement (kOutput, 1, arr), kInvalidArgument);
}

TEST_F (Vst3GlueEffect, ParametersComeFromRegisteredObjects)
{
	ASSERT_EQ (fx->getParameterCount (), 2);
	ParameterInfo info {};
	ASSERT_EQ (fx->getParameterInfo (0, info), kResultTrue);
	EXPECT_EQ (info.id, static_cast<ParamID> (TestGain::kGainTag));
	EXPECT_EQ (narrow (info.title), "Gain");
	EXPECT_EQ (narrow (info.units), "dB");
	EXPECT_DOUBLE_EQ (info.defaultNormalizedValue, 0.5);
	ASSERT_EQ (fx->getParameterInfo (1, info), kResultTrue);
	EXPECT_EQ (info.id, static_cast<ParamID> (TestGain::kFreqTag));
	EXPECT_EQ (fx->getParameterInfo (2, info), kResultFalse);
	EXPECT_EQ (fx->getParameterInfo (-1, info), kResultFalse);

	// Conversions go through the object that carries the tag.
	EXPECT_DOUBLE_EQ (fx->normalizedParamToPlain (TestGain::kFreqTag, 0.5), 10020.);
	EXPECT_DOUBLE_EQ (fx->normalizedParamToPlain (TestGain::kGainTag, 0.25), 0.25);
	EXPECT_DOUBLE_EQ (fx->normalizedParamToPlain (99, 0.25), 0.25) << "unknown tag unchanged";

	String128 text;
	UString (text, 128).fromAscii ("5020");
	ParamValue v = -1.;
	ASSERT_EQ (fx->getParamValueByString (TestGain::kFreqTag, text, v), kResultTrue);
	EXPECT_DOUBLE_EQ (v, 0.25);
	EXPECT_EQ (fx->getParamValueByString (99, text, v), kResultFalse);
	UString (text, 128).fromAscii ("abc");
	EXPECT_EQ (fx->getParamValueByString (TestGain::kGainTag, text, v), kResultFalse);
}

TEST_F (Vst3GlueEffect, UnsupportedCallsSayNotImplemented)
{
	TUID cid;
	EXPECT_EQ (fx->getControllerClassId (cid), kNotImplemented);
	EXPECT_EQ (fx->setIoMode (kSimple), kNotImplemented);
	RoutingInfo in {}, out {};
	EXPECT_EQ (fx->getRoutingInfo (in, out), kNotImplemented);
	MemoryStream stream;
	IComponent* component = fx;
	IEditController* controller = fx;
	EXPECT_EQ (component->getState (&stream), kNotImplemented);
	EXPECT_EQ (component->setState (&stream), kNotImplemented);
	EXPECT_EQ (controller->getState (&stream), kNotImplemented);
	EXPECT_EQ (controller->setComponentState (&stream), kNotImplemented);
	EXPECT_EQ (stream.getSize (), 0);
	EXPECT_EQ (fx->setProcessing (true), kNotImplemented);
	EXPECT_EQ (fx->setActive (true), kResultOk);
}

TEST_F (Vst3GlueEffect, ProcessingSetupIsStoredWhenSupported)
{
	EXPECT_EQ (fx->setup ().symbolicSampleSize, kSample32);
	EXPECT_EQ (fx->setup ().maxSamplesPerBlock, 0) << "no block size before set-up";

	EXPECT_EQ (fx->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (fx->canProcessSampleSize (kSample64), kResultFalse);

	ProcessSetup setup {kOffline, kSample32, 512, 48000.};
	ASSERT_EQ (fx->setupProcessing (setup), kResultOk);
	EXPECT_EQ (fx->setup ().processMode, kOffline);
	EXPECT_EQ (fx->setup ().maxSamplesPerBlock, 512);
	EXPECT_EQ (fx->setup ().sampleRate, 48000.);

	ProcessSetup wide {kRealtime, kSample64, 64, 96000.};
	EXPECT_EQ (fx->setupProcessing (wide), kResultFalse);
	EXPECT_EQ (fx->setup ().maxSamplesPerBlock, 512) << "refused set-up was stored";
	EXPECT_EQ (fx->getLatencySamples (), 0u);
	EXPECT_EQ (fx->getTailSamples (), 0u);
}

namespace {
// Keeps a one-byte controller state, to show the component face stays apart.
class StatefulGain : public TestGain
{
public:
	tresult PLUGIN_API getEditorState (IBStream* state) SMTG_OVERRIDE
	{
		char byte = 42;
		return state->write (&byte, 1, nullptr);
	}
};
} // namespace

TEST (Vst3GlueEffectLifetime, ControllerStateDoesNotLeakIntoTheComponentFace)
{
	auto* fx = new StatefulGain;
	MemoryStream stream;
	IComponent* component = fx;
	IEditController* controller = fx;
	EXPECT_EQ (component->getState (&stream), kNotImplemented);
	EXPECT_EQ (stream.getSize (), 0);
	EXPECT_EQ (controller->getState (&stream), kResultOk);
	EXPECT_EQ (stream.getSize (), 1);
	EXPECT_EQ (controller->setState (&stream), kNotImplemented) << "restore not overridden";
	EXPECT_EQ (fx->release (), 0u);
}

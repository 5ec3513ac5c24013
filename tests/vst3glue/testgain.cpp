#include "testgain.h"

#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

std::atomic<int> TestGain::liveCount {0};

const TUID kTestGainCid = {'\x12', '\x34', '\x56', '\x78', 0, 0, 0, 1,
                           'T', 'e', 's', 't', 'G', 'a', 'i', 'n'};

TestGain::TestGain ()
{
	++liveCount;
}

TestGain::~TestGain ()
{
	--liveCount;
}

tresult PLUGIN_API TestGain::initialize (FUnknown* context)
{
	tresult r = SingleComponentEffect::initialize (context);
	if (r != kResultOk)
		return r;
	addAudioInput (STR16 ("Stereo In"), SpeakerArr::kStereo);
	addAudioOutput (STR16 ("Stereo Out"), SpeakerArr::kStereo);
	addAudioInput (STR16 ("Side"), SpeakerArr::kMono, kAux, 0);
	addEventInput (STR16 ("MIDI In"), 1);
	parameters.addParameter (STR16 ("Gain"), STR16 ("dB"), 0, 0.5, ParameterInfo::kCanAutomate,
	                         kGainTag);
	parameters.addParameter (new RangeParameter (STR16 ("Freq"), kFreqTag, STR16 ("Hz"), 20.,
	                                             20020., 1000.));
	return kResultOk;
}

FUnknown* createTestGain (void* /*context*/)
{
	return static_cast<IAudioProcessor*> (new TestGain);
}

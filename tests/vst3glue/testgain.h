#pragma once

#include "vst3glue/singlecomponenteffect.h"

#include <atomic>

// A minimal effect on the glue: stereo in/out, a MIDI input, a plain
// "Gain" parameter and a "Freq" range parameter (so plain != normalised).
class TestGain : public Steinberg::Vst::SingleComponentEffect
{
public:
	enum { kGainTag = 0, kFreqTag = 7 };

	TestGain ();
	~TestGain () override;

	Steinberg::tresult PLUGIN_API initialize (Steinberg::FUnknown* context) SMTG_OVERRIDE;

	// Test access to protected state.
	Steinberg::Vst::BusList& inputs () { return audioInputs; }
	Steinberg::Vst::BusList& outputs () { return audioOutputs; }
	const Steinberg::Vst::ProcessSetup& setup () const { return processSetup; }

	static std::atomic<int> liveCount;
};

// The class identifier the test factory registers.
extern const Steinberg::TUID kTestGainCid;

// Factory creation function: returns the new effect's IAudioProcessor face.
Steinberg::FUnknown* createTestGain (void* context);

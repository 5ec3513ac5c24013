// Frequency response and level transfer of a hosted effect, measured with
// steady sines at the fundamental. Host main thread only; the meter owns the
// loaded module and plug-in instance until it is destroyed.
#pragma once

#include <string>
#include <vector>

#include "tools/host/session.h"

namespace quenbarresponse {

// count frequencies spaced evenly in log frequency from lo to hi, both included.
std::vector<double> LogFrequencies(int count, double lo, double hi);
// Levels lo, lo + step, … up to hi (included when a whole number of steps away).
std::vector<double> LevelSteps(double lo, double hi, double step);

struct MeterSettings {
  double sampleRate = 48000.0;
  double amplitude = 0.01;      // of the frequency-response sine, on both channels
  double settleSeconds = 0.5;   // per step, before measuring
  double measureSeconds = 0.25; // at least; rounded up to whole cycles
};

class ResponseMeter {
 public:
  // Loads the bundle and finds the Level, Mix, Tone and Snap parameters.
  // False with *error set.
  bool Open(const std::string& bundlePath, std::string* error);

  // Gain in dB of the left output at each frequency for the given Tone, with
  // Mix 1, Snap 0 dB and Level 0 dB. False with *error set.
  bool Measure(double tone, const std::vector<double>& freqs, const MeterSettings& settings,
               std::vector<double>* gainDb, std::string* error);

  // Level in dBFS of the left output's fundamental for a sine of hz at each
  // input peak level (dBFS, ascending or not), with Mix 1, Level 0 dB and the
  // given Tone and Snap (dB). The plug-in runs on between levels, so each
  // level settles from the one before. False with *error set.
  bool MeasureTransfer(double tone, double snapDb, double hz, const std::vector<double>& inputDb,
                       const MeterSettings& settings, std::vector<double>* outputDb,
                       std::string* error);

 private:
  struct Step {
    double hz, amplitude;
  };
  // Sets the parameters, then plays each step's sine in turn and stores the
  // amplitude of the output's fundamental over its measuring window.
  bool Run(double tone, double snapDb, const std::vector<Step>& steps, const MeterSettings& s,
           std::vector<double>* amplitudes, std::string* error);
  bool Normalized(const char* title, double plain, unsigned* id, double* norm,
                  std::string* error) const;
  vst3host::Session mSession;
  bool mOpen = false;
};

}  // namespace quenbarresponse

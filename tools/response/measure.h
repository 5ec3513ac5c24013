// Frequency response of a hosted effect, measured with low-level sines so the
// saturation stays linear. Host main thread only; the meter owns the loaded
// module and plug-in instance until it is destroyed.
#pragma once

#include <string>
#include <vector>

#include "tools/host/session.h"

namespace quenbarresponse {

// count frequencies spaced evenly in log frequency from lo to hi, both included.
std::vector<double> LogFrequencies(int count, double lo, double hi);

struct MeterSettings {
  double sampleRate = 48000.0;
  double amplitude = 0.01;      // of the test sine, on both channels
  double settleSeconds = 0.5;   // per frequency, before measuring
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

 private:
  bool Normalized(const char* title, double plain, unsigned* id, double* norm,
                  std::string* error) const;
  vst3host::Session mSession;
  bool mOpen = false;
};

}  // namespace quenbarresponse

#include "tools/response/measure.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "tools/host/paramchanges.h"

namespace quenbarresponse {

namespace {

constexpr int kBlock = 512;
constexpr double kTwoPi = 6.283185307179586;

}  // namespace

std::vector<double> LogFrequencies(int count, double lo, double hi) {
  std::vector<double> out;
  if (count <= 0) return out;
  if (count == 1) return {lo};
  const double step = std::log(hi / lo) / (count - 1);
  for (int i = 0; i < count; ++i) out.push_back(lo * std::exp(step * i));
  out.back() = hi;
  return out;
}

std::vector<double> LevelSteps(double lo, double hi, double step) {
  std::vector<double> out;
  // Counted rather than accumulated, so the top level lands exactly; a
  // non-finite or absurdly long range gives nothing.
  const double count = std::floor((hi - lo) / step + 1e-9);
  if (!(step > 0.0) || !(count >= 0.0 && count <= 100000.0) || !std::isfinite(lo)) return out;
  for (int i = 0; i <= static_cast<int>(count); ++i)
    out.push_back(lo + step * static_cast<double>(i));
  return out;
}

bool ResponseMeter::Open(const std::string& bundlePath, std::string* error) {
  if (!mSession.Open(bundlePath, error)) return false;
  for (const char* title : {"Level", "Mix", "Tone", "Snap"}) {
    Steinberg::Vst::ParamID id = 0;
    if (!mSession.plugin.FindParameter(title, &id)) {
      *error = bundlePath + ": the plug-in has no parameter titled \"" + title + "\"";
      return false;
    }
  }
  mOpen = true;
  return true;
}

bool ResponseMeter::Normalized(const char* title, double plain, unsigned* id, double* norm,
                               std::string* error) const {
  const vst3host::Plugin& plugin = mSession.plugin;
  Steinberg::Vst::ParamID pid = 0;
  if (!plugin.FindParameter(title, &pid)) {
    *error = std::string("the plug-in has no parameter titled \"") + title + "\"";
    return false;
  }
  double lo = plugin.NormalizedToPlain(pid, 0.0);
  double hi = plugin.NormalizedToPlain(pid, 1.0);
  if (lo > hi) std::swap(lo, hi);
  const double slack = 1e-9 * (hi - lo);
  if (!(plain >= lo - slack && plain <= hi + slack)) {
    *error = std::string(title) + " " + std::to_string(plain) + " is outside the plug-in's range " +
             std::to_string(lo) + " to " + std::to_string(hi);
    return false;
  }
  double n = plugin.PlainToNormalized(pid, plain);
  *norm = n < 0.0 ? 0.0 : (n > 1.0 ? 1.0 : n);
  *id = pid;
  return true;
}

bool ResponseMeter::Measure(double tone, const std::vector<double>& freqs,
                            const MeterSettings& s, std::vector<double>* gainDb,
                            std::string* error) {
  if (!mOpen) {
    *error = "no plug-in loaded";
    return false;
  }
  if (!(s.amplitude > 0.0)) {
    *error = "the test amplitude must be above zero";
    return false;
  }
  std::vector<Step> steps;
  for (double f : freqs) steps.push_back({f, s.amplitude});
  std::vector<double> amps;
  if (!Run(tone, 0.0, steps, s, &amps, error)) return false;
  gainDb->clear();
  for (double a : amps) gainDb->push_back(20.0 * std::log10(a / s.amplitude));
  return true;
}

bool ResponseMeter::MeasureTransfer(double tone, double snapDb, double hz,
                                    const std::vector<double>& inputDb, const MeterSettings& s,
                                    std::vector<double>* outputDb, std::string* error) {
  if (!mOpen) {
    *error = "no plug-in loaded";
    return false;
  }
  std::vector<Step> steps;
  for (double db : inputDb) {
    const double amp = std::pow(10.0, db / 20.0);
    if (!(amp > 0.0) || !std::isfinite(amp)) {
      *error = "input level " + std::to_string(db) + " dBFS is not a usable sine amplitude";
      return false;
    }
    steps.push_back({hz, amp});
  }
  std::vector<double> amps;
  if (!Run(tone, snapDb, steps, s, &amps, error)) return false;
  outputDb->clear();
  for (double a : amps) outputDb->push_back(20.0 * std::log10(a));
  return true;
}

bool ResponseMeter::Run(double tone, double snapDb, const std::vector<Step>& steps,
                        const MeterSettings& s, std::vector<double>* amplitudes,
                        std::string* error) {
  const double nyquist = 0.5 * s.sampleRate;
  for (const Step& st : steps) {
    if (!(st.hz > 0.0 && st.hz < nyquist)) {
      *error = "frequency " + std::to_string(st.hz) +
               " Hz is not between 0 and the Nyquist frequency";
      return false;
    }
  }

  const std::pair<const char*, double> wanted[] = {
      {"Level", 0.0}, {"Mix", 1.0}, {"Snap", snapDb}, {"Tone", tone}};
  vst3host::ParameterChanges changes;
  vst3host::Plugin& plugin = mSession.plugin;
  for (const auto& w : wanted) {
    unsigned id = 0;
    double norm = 0.0;
    if (!Normalized(w.first, w.second, &id, &norm, error)) return false;
    plugin.Controller()->setParamNormalized(id, norm);
    if (!changes.Add(id, 0, norm)) {
      *error = "internal: parameter queue full";
      return false;
    }
  }

  vst3host::ProcessSettings settings;
  settings.sampleRate = s.sampleRate;
  settings.channels = 2;
  settings.use64 = true;
  settings.maxBlock = kBlock;
  if (!plugin.Start(settings, error)) return false;

  std::vector<double> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
  void* inPtrs[2] = {inL.data(), inR.data()};
  void* outPtrs[2] = {outL.data(), outR.data()};
  bool first = true;
  amplitudes->clear();
  for (const Step& st : steps) {
    const int64_t settle = static_cast<int64_t>(std::ceil(s.settleSeconds * s.sampleRate));
    const double period = s.sampleRate / st.hz;
    const double cycles = std::ceil(s.measureSeconds * s.sampleRate / period);
    const int64_t measure = static_cast<int64_t>(std::llround(cycles * period));
    const int64_t total = settle + measure;
    const double w = kTwoPi * st.hz / s.sampleRate;
    double sumSin = 0.0, sumCos = 0.0;
    for (int64_t pos = 0; pos < total; pos += kBlock) {
      const int frames = static_cast<int>(std::min<int64_t>(kBlock, total - pos));
      for (int i = 0; i < frames; ++i) inL[i] = inR[i] = st.amplitude * std::sin(w * (pos + i));
      if (!plugin.Process(inPtrs, outPtrs, frames, first ? &changes : nullptr, error)) {
        plugin.Stop();
        return false;
      }
      first = false;
      for (int i = 0; i < frames; ++i) {
        const int64_t n = pos + i;
        if (n < settle) continue;
        sumSin += outL[i] * std::sin(w * n);
        sumCos += outL[i] * std::cos(w * n);
      }
    }
    // Amplitude of the fundamental over whole cycles.
    const double amp = 2.0 / static_cast<double>(measure) * std::hypot(sumSin, sumCos);
    if (!(amp > 0.0) || !std::isfinite(amp)) {
      plugin.Stop();
      *error = "the plug-in gave no output at " + std::to_string(st.hz) + " Hz";
      return false;
    }
    amplitudes->push_back(amp);
  }
  plugin.Stop();
  return true;
}

}  // namespace quenbarresponse

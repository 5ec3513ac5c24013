#pragma once
// Shared by the effect's tests: making an initialised instance, setting its
// controls the way the framework does, stereo test signals, block runners.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "Quenbar/Quenbar.h"
#include "quenbar_oracle.h"

namespace qtest
{

struct Release
{
  void operator()(Quenbar* p) const
  {
    p->terminate();
    p->release();
  }
};
using QuenbarPtr = std::unique_ptr<Quenbar, Release>;

// Constructed and initialised (preset 0 restored, so every internal value is
// set) at the given rate, without a set-up: for ProcessDoubleReplacing-level tests.
inline QuenbarPtr MakeQuenbar(double rate = 48000.0)
{
  QuenbarPtr plug(new Quenbar(IPluginInstanceInfo()));
  plug->initialize(nullptr);
  plug->SetSampleRate(rate);
  return plug;
}

// Sets a plain value and notifies the effect, as a parameter change does.
inline void SetParam(Quenbar& plug, int idx, double plain)
{
  plug.GetParam(idx)->SetValue(plain);
  plug.OnParamChange(idx);
}

inline void Apply(Quenbar& plug, const qref::Settings& s)
{
  SetParam(plug, Quenbar::kLevel, s.level);
  SetParam(plug, Quenbar::kMix, s.mix);
  SetParam(plug, Quenbar::kTone, s.tone);
  SetParam(plug, Quenbar::kSnap, s.snap);
  SetParam(plug, Quenbar::kBypass, s.bypass);
}

// The controls as the parameters now hold them.
inline qref::Settings Current(const Quenbar& plug)
{
  qref::Settings s;
  s.level = plug.GetParam(Quenbar::kLevel)->GetValue();
  s.mix = plug.GetParam(Quenbar::kMix)->GetValue();
  s.tone = plug.GetParam(Quenbar::kTone)->GetValue();
  s.snap = plug.GetParam(Quenbar::kSnap)->GetValue();
  s.bypass = plug.GetParam(Quenbar::kBypass)->GetValue();
  return s;
}

struct Stereo
{
  std::vector<double> l, r;
  explicit Stereo(int n = 0) : l(n), r(n) {}
  int size() const { return (int)l.size(); }
};

const double kPi = 3.14159265358979323846;

// Exponential sine sweep from 20 Hz to 0.45 * rate; right is the cosine.
inline Stereo Sweep(int n, double rate, double amp)
{
  Stereo s(n);
  const double f0 = 20.0, f1 = 0.45 * rate, T = n / rate, k = std::log(f1 / f0);
  for (int i = 0; i < n; ++i)
  {
    const double t = i / rate;
    const double phase = 2 * kPi * f0 * T / k * (std::exp(t / T * k) - 1.0);
    s.l[i] = amp * std::sin(phase);
    s.r[i] = amp * std::cos(phase);
  }
  return s;
}

// Uniform white noise, independent per channel.
inline Stereo Noise(int n, double amp, unsigned seed)
{
  Stereo s(n);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-amp, amp);
  for (int i = 0; i < n; ++i)
  {
    s.l[i] = u(rng);
    s.r[i] = u(rng);
  }
  return s;
}

// A sine far into the pre-shaping's and the snap curve's nonlinear range.
inline Stereo LoudSine(int n, double rate, double freq, double amp)
{
  Stereo s(n);
  for (int i = 0; i < n; ++i)
  {
    s.l[i] = amp * std::sin(2 * kPi * freq * i / rate);
    s.r[i] = -0.7 * amp * std::sin(2 * kPi * 1.5 * freq * i / rate);
  }
  return s;
}

// Impulses at the start (during the fade-in) and after it; opposite signs.
inline Stereo Impulses(int n, double amp)
{
  Stereo s(n);
  s.l[0] = amp;
  s.r[0] = -amp;
  s.l[n / 2] = amp;
  s.r[n / 2 + 1] = -amp;
  return s;
}

inline bool SameBits(double a, double b)
{
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// First index where the two runs differ in any bit, or -1.
inline int FirstDifference(const std::vector<double>& a, const std::vector<double>& b)
{
  if (a.size() != b.size())
    return 0;
  for (size_t i = 0; i < a.size(); ++i)
    if (!SameBits(a[i], b[i]))
      return (int)i;
  return -1;
}

// Runs in through the effect in blocks of blockSize frames (separate output buffers).
inline Stereo RunBlocks(Quenbar& plug, const Stereo& in, int blockSize)
{
  Stereo out(in.size());
  for (int start = 0; start < in.size(); start += blockSize)
  {
    const int n = std::min(blockSize, in.size() - start);
    double* ins[2] = {const_cast<double*>(in.l.data()) + start, const_cast<double*>(in.r.data()) + start};
    double* outs[2] = {out.l.data() + start, out.r.data() + start};
    plug.ProcessDoubleReplacing(ins, outs, n);
  }
  return out;
}

}  // namespace qtest

#include "Coeffs/Tilt.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "Coeffs/TiltStep.h"

namespace {

const double kExpStep = 0.004073836948085289;  // 0.007 / (e - 1)

// Denominator D_j: columns 1, P3, P3^2, P2, P2*P3, P2*P3^2.
const double kD[6][6] = {
  {1.9800486833307e-14, -1.79092681198507e-15, 0, 4.47731702996255e-16, 1.19130474372322e-30, 0},
  {1.80810237761262e-14, -1.60414454195004e-15, -1.57601559454686e-17, 4.34866026595172e-16,
   2.86548289917719e-18, 1.04834817447643e-32},
  {8.46536337187037e-16, -4.83903085275556e-17, -1.42068098536868e-17, 4.26706837092244e-17,
   2.58687234633677e-18, -6.87715895801323e-21},
  {7.93180872955293e-18, 2.89128836504038e-19, -5.07702668620608e-19, 1.08757722986638e-18,
   9.57755921861201e-20, -6.19440233250284e-21},
  {8.78318666705471e-21, 6.72568774912911e-22, -7.43012556103548e-22, 4.0544103345737e-21,
   2.80645509263828e-22, -2.1715963793545e-22},
  {2.28139304701584e-24, 2.28139304701584e-25, -2.18656867668347e-25, 2.62544964130344e-24,
   2.62544964130344e-25, -2.20212655946247e-25},
};

// Numerator N_j for j = 2..5, before the factor (1 - P4): columns 1, P3, P2, P2*P3.
const double kN[4][4] = {
  {7.64033082180657e-15, -7.23516176307441e-15, 1.8087904407686e-15, 4.81274972951113e-30},
  {5.05613478219161e-16, -4.77520676362908e-16, 1.25414294001131e-16, 3.17641482147733e-31},
  {8.92085026754128e-20, 7.58476477946615e-22, 3.98252244086665e-19, 3.38605570511882e-21},
  {0, 5.00594475444762e-23, 0, 2.23479676537841e-22},
};

// C(j, k): coefficient of z^-k in (1 - z^-1)^j (1 + z^-1)^(5-j).
constexpr int kC[6][6] = {
  {1, 5, 10, 10, 5, 1},
  {1, 3, 2, -2, -3, -1},
  {1, 1, -2, -2, 1, 1},
  {1, -1, -2, 2, 1, -1},
  {1, -3, 2, 2, -3, 1},
  {1, -5, 10, -10, 5, -1},
};

__attribute__((always_inline)) inline void Accumulate(double t, double& s, double& e)
{
  double err;
  TwoSum(s, t, s, err);
  e = e + err;
}

// s + e += c * t exactly term by term: c * t is split into power-of-two
// multiples of t, each exact.
__attribute__((always_inline)) inline void AddMultiple(int c, double t, double& s, double& e)
{
  if (c < 0)
  {
    c = -c;
    t = -t;
  }
  switch (c)
  {
    case 1: Accumulate(t, s, e); break;
    case 2: Accumulate(2.0 * t, s, e); break;
    case 3: Accumulate(2.0 * t, s, e); Accumulate(t, s, e); break;
    case 5: Accumulate(4.0 * t, s, e); Accumulate(t, s, e); break;
    case 10: Accumulate(8.0 * t, s, e); Accumulate(2.0 * t, s, e); break;
    default: break;
  }
}

inline void SetPair(Tilt::Pair& p, double v)
{
  p.v[0] = v;
  p.v[1] = v;
}

}  // namespace

Tilt::Tilt()
{
  // A rate is always set before the first block; start from a usable one so
  // that a Process call without Calc stays well defined.
  Calc(44100.0);
  SetFusedMultiplyAdd(true);
}

void Tilt::SetFusedMultiplyAdd(bool on)
{
  __builtin_cpu_init();
  mFused = on && __builtin_cpu_supports("fma");
}

void Tilt::Calc(double sampleRate)
{
  double f;
  if (!(sampleRate >= 1.0))  // also catches NaN
    f = 1.0;
  else if (sampleRate >= 192000.0)
    f = 192000.0;
  else
    f = (double)(int32_t)sampleRate;

  float ff = (float)f;
  float f2 = ff * ff;
  mS = 0.1 * (double)f2;
  if (f == mF)
    return;
  mF = f;
  mFPow[0] = 1.0;
  for (int j = 1; j < 6; ++j)
    mFPow[j] = mFPow[j - 1] * f;
  mCoValid = false;
}

void Tilt::UpdateTerms(double c1, double c3, double c4)
{
  if (!(c1 == mE1.in))
    mE1 = ExpTerm{c1, (std::exp(c1) - 1.0) * kExpStep};
  if (!(c3 == mE3.in))
    mE3 = ExpTerm{c3, (std::exp(c3) - 1.0) * kExpStep};
  if (!(c4 == mE4.in))
    mE4 = ExpTerm{c4, (std::exp(1.0 - c4) - 1.0) * kExpStep};
}

__attribute__((always_inline)) inline void Tilt::Smooth(double c1, double c2, double c3, double c4)
{
  if (!(c1 == mE1.in && c3 == mE3.in && c4 == mE4.in))
    UpdateTerms(c1, c3, c4);
  const double inc[4] = {mE1.term, c2 * kLinStep, mE3.term, mE4.term};
  SmoothStep(mP, inc);
}

void Tilt::UpdateCoeffs()
{
  // The coefficients depend only on P2, P3, P4 and F; settled controls stop
  // changing bit for bit, and then this is all the work there is.
  if (KeyMatches(mCoValid, mKey, mP))
    return;
  const double p2 = mP[1], p3 = mP[2], p4 = mP[3];

  const double p33 = p3 * p3;
  const double p23 = p2 * p3;
  const double mono[6] = {1.0, p3, p33, p2, p23, p2 * p33};
  const double g = 1.0 - p4;

  double t[6], u[6] = {};
#pragma GCC unroll 6
  for (int j = 0; j < 6; ++j)
  {
    double d = kD[j][0] * mono[0];
#pragma GCC unroll 6
    for (int m = 1; m < 6; ++m)
      d = d + kD[j][m] * mono[m];
    t[j] = d * mFPow[j];
  }
#pragma GCC unroll 4
  for (int j = 2; j < 6; ++j)
  {
    const double* n = kN[j - 2];
    double sum = ((n[0] + n[1] * p3) + n[2] * p2) + n[3] * p23;
    u[j] = (sum * g) * mFPow[j - 2];
  }

#pragma GCC unroll 6
  for (int k = 0; k < 6; ++k)
  {
    double s = 0.0, e = 0.0, hi, lo, hh, hl;
#pragma GCC unroll 6
    for (int j = 0; j < 6; ++j)
      AddMultiple(kC[j][k], t[j], s, e);
    FastTwoSum(s, e, hi, lo);
    Split(hi, hh, hl);
    SetPair(mCo.ah[k], hi);
    SetPair(mCo.al[k], lo);
    SetPair(mCo.ahh[k], hh);
    SetPair(mCo.ahl[k], hl);

    s = e = 0.0;
#pragma GCC unroll 4
    for (int j = 2; j < 6; ++j)
      AddMultiple(kC[j][k], u[j], s, e);
    FastTwoSum(s, e, hi, lo);
    Split(hi, hh, hl);
    SetPair(mCo.bh[k], hi);
    SetPair(mCo.bl[k], lo);
    SetPair(mCo.bhh[k], hh);
    SetPair(mCo.bhl[k], hl);
  }
  SetPair(mCo.inv, 1.0 / mCo.ah[0].v[0]);
  mKey[0] = p2;
  mKey[1] = p3;
  mKey[2] = p4;
  mCoValid = true;
}

double Tilt::Run(double x)
{
  if (!KeyMatches(mCoValid, mKey, mP))
    UpdateCoeffs();
  return mFused ? RunFused(x) : RunPlain(x);
}

double Tilt::RunPlain(double x)
{
  return RunMono<DekkerMul>(mLine, x, mP[0], mS, mCo);
}

void Tilt::StereoPlain(Tilt& l, Tilt& r, double xl, double xr, double& yl, double& yr)
{
  RunStereo<DekkerMul>(l.mLine, r.mLine, xl, xr, l.mP[0], r.mP[0], l.mS, l.mCo, yl, yr);
}

double Tilt::Process(double x, double c1, double c2, double c3, double c4)
{
  Smooth(c1, c2, c3, c4);
  return Run(x);
}

void Tilt::ProcessStereo(Tilt& l, Tilt& r, double xl, double xr, double c1, double c2,
                         double c3, double c4, double& yl, double& yr)
{
  // Equal smoothed controls stay equal under equal inputs: smooth once.
  const bool sameP = std::memcmp(l.mP, r.mP, sizeof l.mP) == 0;
  l.Smooth(c1, c2, c3, c4);
  if (sameP)
    std::memcpy(r.mP, l.mP, sizeof l.mP);
  else
    r.Smooth(c1, c2, c3, c4);
  if (l.mF != r.mF || (!sameP && std::memcmp(l.mP, r.mP, sizeof l.mP) != 0))
  {
    yl = l.Run(xl);
    yr = r.Run(xr);
    return;
  }

  if (!KeyMatches(l.mCoValid, l.mKey, l.mP))
    l.UpdateCoeffs();

  if (l.mFused && r.mFused)
    StereoFused(l, r, xl, xr, yl, yr);
  else
    StereoPlain(l, r, xl, xr, yl, yr);
}

void Tilt::StereoRunPlain(Tilt& l, Tilt& r, const double* xl, const double* xr, double* yl,
                          double* yr, int n, double c2)
{
  StereoRun<DekkerMul>(l, r, xl, xr, yl, yr, n, c2);
}

void Tilt::ProcessStereoBlock(Tilt& l, Tilt& r, const double* xl, const double* xr, double* yl,
                              double* yr, int n, double c1, double c2, double c3, double c4)
{
  // Sample by sample until the pair runs together; from then on it stays
  // together to the end of the block (equal controls under equal inputs stay
  // equal, and the rate only changes between blocks).
  int i = 0;
  for (; i < n && !(l.mF == r.mF && std::memcmp(l.mP, r.mP, sizeof l.mP) == 0); ++i)
    ProcessStereo(l, r, xl[i], xr[i], c1, c2, c3, c4, yl[i], yr[i]);
  if (i >= n)
    return;

  l.UpdateTerms(c1, c3, c4);
  if (l.mFused && r.mFused)
    StereoRunFused(l, r, xl + i, xr + i, yl + i, yr + i, n - i, c2);
  else
    StereoRunPlain(l, r, xl + i, xr + i, yl + i, yr + i, n - i, c2);
}

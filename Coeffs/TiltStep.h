#pragma once
// The tilt equaliser's per-sample recursion, shared by the plain build and the
// build for processors with fused multiply-add. Everything here has internal
// linkage, so each instruction-set variant keeps its own copy.

#include "Coeffs/DoubleDouble.h"
#include "Coeffs/Tilt.h"

namespace {

typedef double V2 __attribute__((vector_size(16)));
typedef long long M2 __attribute__((vector_size(16)));

// A non-finite or absurdly large new value is dropped instead of poisoning the
// state for ever. After long silence the state decays toward subnormals, which
// are slow on x86: once every value of a line is below kTiny, the line is
// cleared, so silence ends in an exact zero state.
const double kTiny = 1e-50;
const double kHuge = 1e150;

// Rounding error of a product by Dekker's method; bit-identical to a fused
// multiply-add, which also gives it exactly.
struct DekkerMul
{
  template <class T>
  static T Err(T /*a*/, T ah, T al, T b, T p)
  {
    return ProductErrorSplit(ah, al, b, p);
  }
};

template <class T>
inline T Load(const Tilt::Pair& p);
template <>
inline double Load<double>(const Tilt::Pair& p)
{
  return p.v[0];
}
template <>
inline V2 Load<V2>(const Tilt::Pair& p)
{
  V2 v;
  __builtin_memcpy(&v, p.v, sizeof v);
  return v;
}

template <class T>
inline T Zero()
{
  return T{};
}

inline double Abs(double v)
{
  return __builtin_fabs(v);
}
inline V2 Abs(V2 v)
{
  const M2 absMask = {0x7fffffffffffffffLL, 0x7fffffffffffffffLL};
  return (V2)((M2)v & absMask);
}

inline double KeepIf(bool keep, double v)
{
  return keep ? v : 0.0;
}
inline V2 KeepIf(M2 keep, V2 v)
{
  return (V2)((M2)v & keep);
}

inline bool NotHuge(double v)
{
  return Abs(v) <= kHuge;  // false for NaN
}
inline M2 NotHuge(V2 v)
{
  const V2 huge = {kHuge, kHuge};
  return (M2)(Abs(v) <= huge);
}

inline bool NotTiny(double v)
{
  return Abs(v) >= kTiny;
}
inline M2 NotTiny(V2 v)
{
  const V2 tiny = {kTiny, kTiny};
  return (M2)(Abs(v) >= tiny);
}

inline bool AllSet(bool m)
{
  return m;
}
inline bool AllSet(M2 m)
{
  return (m[0] & m[1]) != 0;
}

// Clears every lane whose whole line is below kTiny.
template <class T>
inline void ClearQuietLanes(Tilt::Line<T>& v)
{
  auto keep = NotTiny(v.h[0]);
  for (int k = 1; k < 6; ++k)
    keep = keep | NotTiny(v.h[k]);
  for (int k = 0; k < 6; ++k)
  {
    v.h[k] = KeepIf(keep, v.h[k]);
    v.l[k] = KeepIf(keep, v.l[k]);
  }
}

// (s, c) += coefficient k * delay-line slot k, compensated.
template <class Mul, class T>
inline void DotTerm(const Tilt::Pair* h, const Tilt::Pair* l, const Tilt::Pair* hh,
                    const Tilt::Pair* hl, const Tilt::Line<T>& v, int k, T& s, T& c)
{
  T ch = Load<T>(h[k]);
  T p = ch * v.h[k];
  T pe = Mul::Err(ch, Load<T>(hh[k]), Load<T>(hl[k]), v.h[k], p);
  T cross = ch * v.l[k] + Load<T>(l[k]) * v.h[k];
  T se;
  TwoSum(s, p, s, se);
  c = c + ((pe + se) + cross);
}

// Forms v(n) in slot 0 from x and slots 1..5; returns the output sample.
// Oldest terms first, so the newest value joins the sum last.
template <class Mul, class T>
inline T Step(Tilt::Line<T>& v, T x, T p1, T scale, const Tilt::Coeffs& co)
{
  T s = Zero<T>(), c = Zero<T>();
#pragma GCC unroll 8
  for (int k = 5; k >= 1; --k)
    DotTerm<Mul>(co.ah, co.al, co.ahh, co.ahl, v, k, s, c);
  T sh, sl;
  FastTwoSum(s, c, sh, sl);

  // q = (sh + sl) / a0: a first quotient from the reciprocal, corrected by one
  // remainder step (the remainder is exact, so q1 + q2 is as good as a
  // double-double division and keeps two divisions off the recursion's path).
  T a0h = Load<T>(co.ah[0]);
  T inv = Load<T>(co.inv);
  T q1 = sh * inv;
  T p = a0h * q1;
  T pe = Mul::Err(a0h, Load<T>(co.ahh[0]), Load<T>(co.ahl[0]), q1, p);
  T r = (((sh - p) - pe) + sl) - q1 * Load<T>(co.al[0]);
  T q2 = r * inv;

  // v(n) = 2x - q1 - q2.
  T h, e, vh, vl;
  TwoSum(2.0 * x, -q1, h, e);
  e = e - q2;
  FastTwoSum(h, e, vh, vl);
  auto finite = NotHuge(vh);
  v.h[0] = KeepIf(finite, vh);
  v.l[0] = KeepIf(finite, vl);
  if (__builtin_expect(!AllSet(NotTiny(v.h[0])), 0))
    ClearQuietLanes(v);

  s = Zero<T>();
  c = Zero<T>();
#pragma GCC unroll 8
  for (int k = 5; k >= 0; --k)
    DotTerm<Mul>(co.bh, co.bl, co.bhh, co.bhl, v, k, s, c);
  return (((s + c) * p1) / a0h) * scale;
}

template <class Mul>
inline double RunMono(Tilt::Line<double>& line, double x, double p1, double scale,
                      const Tilt::Coeffs& co)
{
  Tilt::Line<double> v;
#pragma GCC unroll 8
  for (int k = 1; k < 6; ++k)
  {
    v.h[k] = line.h[k];
    v.l[k] = line.l[k];
  }
  double y = Step<Mul>(v, x, p1, scale, co);
#pragma GCC unroll 8
  for (int k = 1; k < 6; ++k)
  {
    line.h[k] = v.h[k - 1];
    line.l[k] = v.l[k - 1];
  }
  return y;
}

// Two channels with the same coefficients, one in each vector lane.
template <class Mul>
inline void RunStereo(Tilt::Line<double>& lineL, Tilt::Line<double>& lineR, double xl, double xr,
                      double p1l, double p1r, double scale, const Tilt::Coeffs& co, double& yl,
                      double& yr)
{
  Tilt::Line<V2> v;
#pragma GCC unroll 8
  for (int k = 1; k < 6; ++k)
  {
    v.h[k] = V2{lineL.h[k], lineR.h[k]};
    v.l[k] = V2{lineL.l[k], lineR.l[k]};
  }
  V2 y = Step<Mul>(v, V2{xl, xr}, V2{p1l, p1r}, V2{scale, scale}, co);
#pragma GCC unroll 8
  for (int k = 1; k < 6; ++k)
  {
    lineL.h[k] = v.h[k - 1][0];
    lineR.h[k] = v.h[k - 1][1];
    lineL.l[k] = v.l[k - 1][0];
    lineR.l[k] = v.l[k - 1][1];
  }
  yl = y[0];
  yr = y[1];
}

}  // namespace

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

// Control smoothing: p = kSmooth * p + increment, per sample.
const double kSmooth = 0.993;
const double kLinStep = 0.007000000000000006;

// Whether coefficients formed for key (P2, P3, P4) serve smoothed controls p.
inline bool KeyMatches(bool valid, const double key[3], const double p[4])
{
  return valid && p[1] == key[0] && p[2] == key[1] && p[3] == key[2];
}

// inc: the four increments, which are fixed while the controls are.
inline void SmoothStep(double p[4], const double inc[4])
{
  for (int k = 0; k < 4; ++k)
    p[k] = kSmooth * p[k] + inc[k];
}

// Rounding error of a product by Dekker's method; bit-identical to a fused
// multiply-add, which also gives it exactly.
struct DekkerMul
{
  static const bool kPaired = false;
  typedef V2 Wide;
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

// Clears every lane whose whole line is below kTiny. vh[k], vl[k]: slot k.
template <class T>
inline void ClearQuietLanes(T* vh, T* vl)
{
  auto keep = NotTiny(vh[0]);
  for (int k = 1; k < 6; ++k)
    keep = keep | NotTiny(vh[k]);
  for (int k = 0; k < 6; ++k)
  {
    vh[k] = KeepIf(keep, vh[k]);
    vl[k] = KeepIf(keep, vl[k]);
  }
}

// (s, c) += coefficient k * delay-line slot k, compensated.
template <class Mul, class T>
inline void DotTerm(const Tilt::Pair* h, const Tilt::Pair* l, const Tilt::Pair* hh,
                    const Tilt::Pair* hl, const T* vh, const T* vl, int k, T& s, T& c)
{
  T ch = Load<T>(h[k]);
  T p = ch * vh[k];
  T pe = Mul::Err(ch, Load<T>(hh[k]), Load<T>(hl[k]), vh[k], p);
  T cross = ch * vl[k] + Load<T>(l[k]) * vh[k];
  T se;
  TwoSum(s, p, s, se);
  c = c + ((pe + se) + cross);
}

// From the denominator's sum (s, c) over slots 1..5, forms v(n) in slot 0 of
// the line vh, vl (slot k at index k, wherever the caller keeps it). Returns
// true when quiet lanes were cleared, which changes older slots too.
template <class Mul, class T>
__attribute__((always_inline)) inline bool NewValue(T* vh, T* vl, T s, T c, T x,
                                                    const Tilt::Coeffs& co)
{
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
  T h, e, nh, nl;
  TwoSum(2.0 * x, -q1, h, e);
  e = e - q2;
  FastTwoSum(h, e, nh, nl);
  auto finite = NotHuge(nh);
  vh[0] = KeepIf(finite, nh);
  vl[0] = KeepIf(finite, nl);
  if (__builtin_expect(!AllSet(NotTiny(vh[0])), 0))
  {
    ClearQuietLanes(vh, vl);
    return true;
  }
  return false;
}

// The output sample from the numerator's sum (s + c).
template <class T>
inline T Output(T s, T c, T p1, T scale, const Tilt::Coeffs& co)
{
  return (((s + c) * p1) / Load<T>(co.ah[0])) * scale;
}

// Forms v(n) in slot 0 from x and slots 1..5; returns the output sample.
// Oldest terms first, so the newest value joins the sum last.
template <class Mul, class T>
__attribute__((always_inline)) inline T Step(T* vh, T* vl, T x, T p1, T scale,
                                             const Tilt::Coeffs& co)
{
  T s = Zero<T>(), c = Zero<T>();
#pragma GCC unroll 8
  for (int k = 5; k >= 1; --k)
    DotTerm<Mul>(co.ah, co.al, co.ahh, co.ahl, vh, vl, k, s, c);
  NewValue<Mul>(vh, vl, s, c, x, co);

  s = Zero<T>();
  c = Zero<T>();
#pragma GCC unroll 8
  for (int k = 5; k >= 0; --k)
    DotTerm<Mul>(co.bh, co.bl, co.bhh, co.bhl, vh, vl, k, s, c);
  return Output(s, c, p1, scale, co);
}

// Coefficient k of the denominator beside that of the numerator, for a wide
// vector holding (left, right, left, right).
template <class W>
struct PairedCoeffs
{
  W h[6], l[6];
  void Set(const Tilt::Coeffs& co)
  {
    for (int k = 1; k < 6; ++k)
    {
      h[k] = __builtin_shufflevector(Load<V2>(co.ah[k]), Load<V2>(co.bh[k]), 0, 1, 2, 3);
      l[k] = __builtin_shufflevector(Load<V2>(co.al[k]), Load<V2>(co.bl[k]), 0, 1, 2, 3);
    }
  }
};

// Step for processors with fused multiply-add and wide vectors: the
// denominator's and the numerator's terms for slots 5..1 run side by side,
// each lane doing exactly what Step does, so the bits are the same. Only for
// a Mul whose Err ignores the Dekker halves (none are passed).
template <class Mul>
__attribute__((always_inline)) inline V2 StepPaired(V2* vh, V2* vl, V2 x, V2 p1, V2 scale,
                                                    const PairedCoeffs<typename Mul::Wide>& pc,
                                                    const Tilt::Coeffs& co)
{
  typedef typename Mul::Wide W;
  W s = {}, c = {};
#pragma GCC unroll 8
  for (int k = 5; k >= 1; --k)
  {
    const W h = __builtin_shufflevector(vh[k], vh[k], 0, 1, 0, 1);
    const W l = __builtin_shufflevector(vl[k], vl[k], 0, 1, 0, 1);
    const W p = pc.h[k] * h;
    const W pe = Mul::Err(pc.h[k], pc.h[k], pc.h[k], h, p);
    const W cross = pc.h[k] * l + pc.l[k] * h;
    W se;
    TwoSum(s, p, s, se);
    c = c + ((pe + se) + cross);
  }
  V2 sn = __builtin_shufflevector(s, s, 2, 3), cn = __builtin_shufflevector(c, c, 2, 3);
  if (NewValue<Mul>(vh, vl, __builtin_shufflevector(s, s, 0, 1), __builtin_shufflevector(c, c, 0, 1),
                    x, co))
  {
    // Older slots were cleared: the numerator starts again on the cleared line.
    sn = cn = Zero<V2>();
    for (int k = 5; k >= 1; --k)
      DotTerm<Mul>(co.bh, co.bl, co.bhh, co.bhl, vh, vl, k, sn, cn);
  }
  DotTerm<Mul>(co.bh, co.bl, co.bhh, co.bhl, vh, vl, 0, sn, cn);
  return Output(sn, cn, p1, scale, co);
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
  double y = Step<Mul>(v.h, v.l, x, p1, scale, co);
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
  V2 y = Step<Mul>(v.h, v.l, V2{xl, xr}, V2{p1l, p1r}, V2{scale, scale}, co);
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

// Defined here so that each instruction-set variant builds its own copy: Mul
// has internal linkage, so every instance of this template has it too.
template <class Mul>
void Tilt::StereoRun(Tilt& l, Tilt& r, const double* xl, const double* xr, double* yl,
                     double* yr, int n, double c2)
{
  // The pair's delay line sits in a window that walks down a buffer: slot k
  // of the current sample is at base + k, so each sample stores only its new
  // value. At the bottom, slots 1..5 move back to the top.
  const int kTop = 64;
  V2 vh[kTop + 6], vl[kTop + 6];
  int base = kTop;
  for (int k = 1; k < 6; ++k)
  {
    vh[base + k] = V2{l.mLine.h[k], r.mLine.h[k]};
    vl[base + k] = V2{l.mLine.l[k], r.mLine.l[k]};
  }

  double p[4];
  __builtin_memcpy(p, l.mP, sizeof p);
  const double inc[4] = {l.mE1.term, c2 * kLinStep, l.mE3.term, l.mE4.term};
  const V2 scale = {l.mS, l.mS};
  [[maybe_unused]] PairedCoeffs<typename Mul::Wide> pc;
  if constexpr (Mul::kPaired)
    pc.Set(l.mCo);
  for (int i = 0; i < n; ++i)
  {
    SmoothStep(p, inc);
    if (__builtin_expect(!KeyMatches(l.mCoValid, l.mKey, p), 0))
    {
      __builtin_memcpy(l.mP, p, sizeof p);
      l.UpdateCoeffs();
      if constexpr (Mul::kPaired)
        pc.Set(l.mCo);
    }
    const V2 x = {xl[i], xr[i]}, p1 = {p[0], p[0]};
    V2 y;
    if constexpr (Mul::kPaired)
      y = StepPaired<Mul>(vh + base, vl + base, x, p1, scale, pc, l.mCo);
    else
      y = Step<Mul>(vh + base, vl + base, x, p1, scale, l.mCo);
    yl[i] = y[0];
    yr[i] = y[1];
    if (--base < 0)
    {
      for (int k = 1; k < 6; ++k)
      {
        vh[kTop + k] = vh[k - 1];
        vl[kTop + k] = vl[k - 1];
      }
      base = kTop;
    }
  }

  __builtin_memcpy(l.mP, p, sizeof p);
  __builtin_memcpy(r.mP, p, sizeof p);
  for (int k = 1; k < 6; ++k)
  {
    l.mLine.h[k] = vh[base + k][0];
    r.mLine.h[k] = vh[base + k][1];
    l.mLine.l[k] = vl[base + k][0];
    r.mLine.l[k] = vl[base + k][1];
  }
}

#pragma once

// Fifth-order tilt equaliser: the bilinear transform of an analog network
// whose coefficients are polynomials in four smoothed controls. The
// recursion is ill-conditioned in plain double (the denominator's DC sum is a
// few ulps of its largest coefficient), so the coefficients and the delay
// line are kept as double-double pairs.
// One instance per channel; audio thread only; no allocation.
class Tilt
{
public:
  Tilt();

  // Once per block: F = rate truncated and clamped to 1 ... 192000, S = 0.1 * F^2
  // (F^2 in float32). Keeps the smoothed controls and the delay line.
  void Calc(double sampleRate);

  // One sample. c1: gain (exp taper), c2: P2 (linear), c3: P3 (exp taper),
  // c4: numerator factor (reversed exp taper).
  double Process(double x, double c1, double c2, double c3, double c4);

  // Both channels of a stereo pair with the same controls. Bit-identical to
  // l.Process(xl, ...) followed by r.Process(xr, ...); when the two instances'
  // smoothed controls and rates agree they share the coefficient work and run
  // their recursions side by side.
  static void ProcessStereo(Tilt& l, Tilt& r, double xl, double xr,
                            double c1, double c2, double c3, double c4,
                            double& yl, double& yr);

  // n samples of both channels, bit-identical to n ProcessStereo calls with
  // these controls. While the pair runs together its delay line stays in
  // two-lane form for the whole run. y may be the same memory as x.
  static void ProcessStereoBlock(Tilt& l, Tilt& r, const double* xl, const double* xr,
                                 double* yl, double* yr, int n, double c1, double c2,
                                 double c3, double c4);

  double GetSampleRate() const { return mF; }
  double GetOutputScale() const { return mS; }

  // Products' rounding errors come from fused multiply-adds where the processor
  // has them (the default), else from Dekker's method; the output is the same
  // bit for bit. Switching is for tests; a request the processor cannot honour
  // is ignored.
  void SetFusedMultiplyAdd(bool on);
  bool GetFusedMultiplyAdd() const { return mFused; }

  // Each value stored twice so the stereo path loads it as a two-lane vector.
  struct alignas(16) Pair
  {
    double v[2];
  };
  // a_k and b_k as (hi, lo) pairs, with the Dekker halves of each hi part.
  struct Coeffs
  {
    Pair ah[6], al[6], ahh[6], ahl[6];
    Pair bh[6], bl[6], bhh[6], bhl[6];
    Pair inv;  // 1 / hi part of a_0
  };
  // Delay line as (hi, lo) pairs: slot 0 is v(n) while a sample is formed,
  // slots 1..5 are v(n-1) ... v(n-5).
  template <class T>
  struct Line
  {
    T h[6], l[6];
  };

private:
  // (e^arg - 1) * 0.007 / (e - 1), recomputed only when the input changes.
  struct ExpTerm
  {
    double in;
    double term;
  };

  void UpdateTerms(double c1, double c3, double c4);
  void Smooth(double c1, double c2, double c3, double c4);
  void UpdateCoeffs();
  double Run(double x);
  double RunPlain(double x);
  double RunFused(double x);
  static void StereoPlain(Tilt& l, Tilt& r, double xl, double xr, double& yl, double& yr);
  static void StereoFused(Tilt& l, Tilt& r, double xl, double xr, double& yl, double& yr);
  // A pair that runs together (same rate, same smoothed controls), n > 0.
  template <class Mul>
  static void StereoRun(Tilt& l, Tilt& r, const double* xl, const double* xr, double* yl,
                        double* yr, int n, double c2);
  static void StereoRunPlain(Tilt& l, Tilt& r, const double* xl, const double* xr, double* yl,
                             double* yr, int n, double c2);
  static void StereoRunFused(Tilt& l, Tilt& r, const double* xl, const double* xr, double* yl,
                             double* yr, int n, double c2);

  double mF = 0.0;
  double mS = 0.0;
  double mFPow[6] = {};
  double mP[4] = {};  // smoothed P1 ... P4
  Line<double> mLine = {};
  ExpTerm mE1 = {__builtin_nan(""), 0.0};  // NaN input: never matches
  ExpTerm mE3 = {__builtin_nan(""), 0.0};
  ExpTerm mE4 = {__builtin_nan(""), 0.0};
  Coeffs mCo = {};
  double mKey[3] = {};  // P2, P3, P4 that mCo was formed for
  bool mCoValid = false;
  bool mFused = false;
};

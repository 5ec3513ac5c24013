// The recursion for processors with fused multiply-add; this file alone is
// built with -mfma and is only entered after a run-time processor check. Use
// nothing here that the linker could share with the plain build (inline
// functions with external linkage): their -mfma copies could end up serving it.
#include <immintrin.h>

#include "Coeffs/TiltStep.h"

namespace {

// The rounding error of p = a * b, exact in one fused operation.
struct FusedMul
{
  static const bool kPaired = true;
  typedef double Wide __attribute__((vector_size(32)));
  static Wide Err(Wide a, Wide, Wide, Wide b, Wide p)
  {
    return (Wide)_mm256_fmsub_pd((__m256d)a, (__m256d)b, (__m256d)p);
  }
  static double Err(double a, double, double, double b, double p) { return __builtin_fma(a, b, -p); }
  static V2 Err(V2 a, V2, V2, V2 b, V2 p) { return (V2)_mm_fmsub_pd((__m128d)a, (__m128d)b, (__m128d)p); }
};

}  // namespace

double Tilt::RunFused(double x)
{
  return RunMono<FusedMul>(mLine, x, mP[0], mS, mCo);
}

void Tilt::StereoFused(Tilt& l, Tilt& r, double xl, double xr, double& yl, double& yr)
{
  RunStereo<FusedMul>(l.mLine, r.mLine, xl, xr, l.mP[0], r.mP[0], l.mS, l.mCo, yl, yr);
}

void Tilt::StereoRunFused(Tilt& l, Tilt& r, const double* xl, const double* xr, double* yl,
                          double* yr, int n, double c2)
{
  StereoRun<FusedMul>(l, r, xl, xr, yl, yr, n, c2);
}

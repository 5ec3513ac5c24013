#pragma once
// Reference tilt equaliser evaluated in quad precision (__float128): the same
// control smoothing (in double, as the filter defines it) and the same analog
// prototype, bilinear map and output scale, with the coefficients, the
// recursion and the output formed in 113-bit arithmetic. Slow; for tests.

#include <cmath>
#include <cstdint>
#include <cstring>

class TiltOracle
{
public:
  typedef __float128 Q;

  void Calc(double rate)
  {
    double f = !(rate >= 1.0) ? 1.0 : rate >= 192000.0 ? 192000.0 : (double)(int32_t)rate;
    float ff = (float)f;
    mS = 0.1 * (double)(ff * ff);
    if (f != mF)
      mValid = false;
    mF = f;
  }

  double Process(double x, double c1, double c2, double c3, double c4)
  {
    const double k = 0.004073836948085289;
    mP[0] = 0.993 * mP[0] + (std::exp(c1) - 1.0) * k;
    mP[1] = 0.993 * mP[1] + c2 * 0.007000000000000006;
    mP[2] = 0.993 * mP[2] + (std::exp(c3) - 1.0) * k;
    mP[3] = 0.993 * mP[3] + (std::exp(1.0 - c4) - 1.0) * k;
    if (!mValid || mP[1] != mKey[0] || mP[2] != mKey[1] || mP[3] != mKey[2])
      Coefficients();

    Q acc = 0;
    for (int i = 1; i < 6; ++i)
      acc += mA[i] * mV[i - 1];
    Q v = 2 * (Q)x - acc / mA[0];
    Q out = mB[0] * v;
    for (int i = 1; i < 6; ++i)
      out += mB[i] * mV[i - 1];
    for (int i = 4; i >= 1; --i)
      mV[i] = mV[i - 1];
    mV[0] = v;
    return (double)(out * (Q)mP[0] / mA[0] * (Q)mS);
  }

private:
  void Coefficients()
  {
    static const double kD[6][6] = {
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
    static const double kN[4][4] = {
      {7.64033082180657e-15, -7.23516176307441e-15, 1.8087904407686e-15, 4.81274972951113e-30},
      {5.05613478219161e-16, -4.77520676362908e-16, 1.25414294001131e-16, 3.17641482147733e-31},
      {8.92085026754128e-20, 7.58476477946615e-22, 3.98252244086665e-19, 3.38605570511882e-21},
      {0, 5.00594475444762e-23, 0, 2.23479676537841e-22},
    };
    const Q p2 = mP[1], p3 = mP[2], g = 1 - (Q)mP[3], f = mF;
    const Q mono[6] = {1, p3, p3 * p3, p2, p2 * p3, p2 * p3 * p3};
    Q d[6], n[6] = {0, 0, 0, 0, 0, 0}, fp[6];
    fp[0] = 1;
    for (int j = 1; j < 6; ++j)
      fp[j] = fp[j - 1] * f;  // exact: 192000^5 < 2^113
    for (int j = 0; j < 6; ++j)
    {
      d[j] = 0;
      for (int m = 0; m < 6; ++m)
        d[j] += (Q)kD[j][m] * mono[m];
    }
    for (int j = 2; j < 6; ++j)
    {
      const double* c = kN[j - 2];
      n[j] = g * ((Q)c[0] + (Q)c[1] * p3 + (Q)c[2] * p2 + (Q)c[3] * p2 * p3);
    }
    // Binomial rows of (1 - z^-1)^j (1 + z^-1)^(5-j), built by polynomial products.
    for (int k = 0; k < 6; ++k)
      mA[k] = mB[k] = 0;
    for (int j = 0; j < 6; ++j)
    {
      Q row[6] = {1, 0, 0, 0, 0, 0};
      for (int m = 0; m < 5; ++m)
      {
        Q sign = m < j ? -1 : 1;
        for (int i = 5; i >= 1; --i)
          row[i] += sign * row[i - 1];
      }
      for (int k = 0; k < 6; ++k)
      {
        mA[k] += row[k] * d[j] * fp[j];
        if (j >= 2)
          mB[k] += row[k] * n[j] * fp[j - 2];
      }
    }
    mKey[0] = mP[1];
    mKey[1] = mP[2];
    mKey[2] = mP[3];
    mValid = true;
  }

  double mF = 0, mS = 0;
  double mP[4] = {0, 0, 0, 0};
  double mKey[3] = {0, 0, 0};
  bool mValid = false;
  Q mA[6] = {}, mB[6] = {}, mV[5] = {};
};

#pragma once

#include <cmath>

#include "Coeffs/Tilt_Pre.h"

// The per-sample stages of the effect that do not keep state. Written out in
// the exact order of evaluation the output depends on.
namespace quenbar
{

// Gentle fixed pre-shaping of the input sample.
inline double PreShape(double in)
{
  const double x = in * 0.01;
  const double x2 = x * x;
  const double x3 = x * x2;
  const double x7 = x3 * x * x * x * x;
  return (std::sin(std::tanh(x2) * 0.01 + std::tanh(x3) * 0.1) + std::tanh(x)) - std::atan(x7) * 0.01;
}

// The saturation curve at drive-scaled input v, with v's sign. A NaN gives a
// signed zero: it is recognised before any integer conversion.
inline double SnapCurve(double v)
{
  const double s = std::fabs(v) * 142.14300537109375;
  double c;
  if (std::isnan(s))
    c = 0.0;
  else if (s >= 199.0)  // index past 198: the flat end of the curve
    c = 0.8333333134651184;
  else
  {
    const int n = int(s);
    const double f = s - n;
    c = double(tiltpre_table.entries[n]) * (1.0 - f) + double(tiltpre_table.entries[n + 1]) * f;
  }
  return std::copysign(c, v);
}

// Make-up gain after the tilt equaliser: sqrt(100000).
constexpr double kTiltMakeUp = 316.22776601683796;

// The bypass switch's value truncated toward zero, safe for any stored double.
inline int BypassState(double value)
{
  if (!(value > -2147483648.0 && value < 2147483648.0))
    return 0;
  return int(value);
}

}  // namespace quenbar

#include "framework/IPluginParameter.h"
#include "util/asciiutf16.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

void AsciiToString128(const char* text, TChar* out, int size)
{
  Util_AsciiToUtf16(text, out, size, UTIL_HIGH_BYTES_LATIN1);
}

void String128ToAscii(const TChar* text, char* out, int outSize)
{
  Util_Utf16ToAscii(text, out, outSize);
}

namespace
{
// A normalised value that is not a number would reach pow() and come back as
// one; clamp it to 0.
double FiniteOrZero(double v) { return std::isfinite(v) ? v : 0.; }
} // namespace

IPluginParameter::IPluginParameter(IParam* param, ParamID tag, UnitID unitID) : mParam(param)
{
  info.id = tag;
  AsciiToString128(param->GetNameForHost(), info.title);
  info.shortTitle[0] = 0;
  AsciiToString128(param->GetLabelForHost(), info.units);
  // An int range can be wider than int32: converting that would be undefined.
  const double steps = param->GetMax() - param->GetMin();
  if (param->GetKind() == kParamDouble)
    info.stepCount = 0;
  else
    info.stepCount = steps < (double)INT32_MAX ? (int32)steps : INT32_MAX;
  info.defaultNormalizedValue = FiniteOrZero(param->GetDefaultNormalized());
  info.unitId = unitID;
  info.flags = param->CanAutomate() ? ParameterInfo::kCanAutomate : 0;
  valueNormalized = info.defaultNormalizedValue;
  precision = param->GetPrecision();
}

IPluginParameter::~IPluginParameter() = default;

void IPluginParameter::toString(ParamValue valueNormalized, String128 string) const
{
  char text[kParamDisplayMax];
  mParam->GetDisplayForHost(valueNormalized, true, text, true);
  AsciiToString128(text, string);
}

bool IPluginParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
  char text[128];
  String128ToAscii(string, text, sizeof(text));
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;

  // A display text the parameter shows reads back as its value.
  int mapped = 0;
  if (mParam->MapDisplayText(p, &mapped))
  {
    valueNormalized = mParam->GetNormalized((double)mapped);
    return true;
  }

  // Locale-independent: a host that switched the C locale must not turn
  // "0.5" into 0. Text that is no finite number (or none at all: "nan",
  // "-1e999", "abc") is refused rather than read as some value.
  if (*p == '+') ++p;
  double plain = 0.;
  const auto res = std::from_chars(p, text + strlen(text), plain);
  if (res.ec != std::errc() || !std::isfinite(plain)) return false;
  valueNormalized = mParam->GetNormalized(plain);
  return true;
}

ParamValue IPluginParameter::toPlain(ParamValue valueNormalized) const
{
  return mParam->GetNonNormalized(valueNormalized);
}

ParamValue IPluginParameter::toNormalized(ParamValue plainValue) const
{
  return mParam->GetNormalized(plainValue);
}

#include "framework/IParam.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "util/utilcstring.h"

IParam::IParam() : mDisplayTexts(4096) {}

void IParam::SetTexts(const char* name, const char* label, const char* group)
{
  Util_StrCopy(mName, name, sizeof(mName));
  Util_StrCopy(mLabel, label, sizeof(mLabel));
  Util_StrCopy(mParamGroup, group, sizeof(mParamGroup));
}

void IParam::SetKindOnce(EParamKind kind)
{
  if (mKind == kParamNone) mKind = kind;
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group)
{
  SetKindOnce(kParamBool);
  SetTexts(name, label, group);
  mValue = mDefault = defaultVal ? 1. : 0.;
  mMin = 0.;
  mMax = 1.;
  mStep = 1.;
  mShape = 1.;
  mDisplayPrecision = 0;
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label, const char* group)
{
  SetKindOnce(kParamEnum);
  SetTexts(name, label, group);
  mValue = mDefault = defaultVal;
  mMin = 0.;
  // In double so that nEnums = INT_MIN cannot overflow.
  mMax = std::fmax((double)nEnums - 1., 1.);
  mStep = 1.;
  mShape = 1.;
  mDisplayPrecision = 0;
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group)
{
  SetKindOnce(kParamInt);
  SetTexts(name, label, group);
  mValue = mDefault = defaultVal;
  mMin = minVal;
  mMax = std::fmax((double)maxVal, (double)minVal + 1.);
  mStep = 1.;
  mShape = 1.;
  mDisplayPrecision = 0;
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, const char* group, double shape)
{
  SetKindOnce(kParamDouble);
  SetTexts(name, label, group);
  mValue = mDefault = defaultVal;
  mMin = minVal;
  mMax = maxVal > minVal + step ? maxVal : minVal + step;
  mStep = step;

  // Decimals needed to show one step: multiply by ten until whole, at most 6.
  // A NaN step never becomes whole and so gives 6.
  int precision = 0;
  for (double t = step; std::floor(t) != t && precision < 6; t *= 10.) ++precision;
  mDisplayPrecision = precision;

  SetShape(shape);
}

void IParam::SetShape(double shape)
{
  if (shape != 0.) mShape = shape;
}

void IParam::SetDisplayText(int value, const char* text)
{
  const int n = mDisplayTexts.GetSize();
  DisplayText* texts = mDisplayTexts.Resize(n + 1, false);
  if (!texts) return;
  texts[n].mValue = value;
  Util_StrCopy(texts[n].mText, text, sizeof(texts[n].mText));
}

void IParam::SetValue(double value)
{
  if (value < mMin) mValue = mMin;
  else if (value > mMax) mValue = mMax;
  else mValue = value;
}

void IParam::SetNormalized(double normalizedValue)
{
  double v = GetNonNormalized(normalizedValue);
  if (mKind != kParamDouble) v = std::floor(v / mStep + 0.5) * mStep;
  mValue = v < mMax ? v : mMax;
}

double IParam::GetNormalized(double nonNormalizedValue) const
{
  double p = nonNormalizedValue;
  if (p < mMin) p = mMin;
  else if (p > mMax) p = mMax;
  return std::pow((p - mMin) / (mMax - mMin), 1. / mShape);
}

double IParam::GetNonNormalized(double normalizedValue) const
{
  return mMin + (mMax - mMin) * std::pow(normalizedValue, mShape);
}

double IParam::GetDefaultNormalized() const
{
  return std::pow((mDefault - mMin) / (mMax - mMin), 1. / mShape);
}

double IParam::DBToAmp() const
{
  // The 13-digit constant is part of the contract (not the exact ln(10)/20).
  return std::exp(mValue * 0.1151292546497);
}

void IParam::GetBounds(double* pMin, double* pMax) const
{
  if (pMin) *pMin = mMin;
  if (pMax) *pMax = mMax;
}

// Truncation towards zero as an int, without undefined behaviour for values
// outside the int range (they match no display text anyway).
static bool TruncToInt(double v, int* out)
{
  if (!(v > -2147483649.0 && v < 2147483648.0)) return false;
  *out = (int)v;
  return true;
}

const IParam::DisplayText* IParam::FindDisplayText(int value) const
{
  const DisplayText* texts = mDisplayTexts.Get();
  const int n = mDisplayTexts.GetSize();
  for (int i = 0; i < n; ++i)
    if (texts[i].mValue == value) return &texts[i];
  return nullptr;
}

const char* IParam::GetLabelForHost() const
{
  int iv;
  if (TruncToInt(mValue, &iv))
  {
    const DisplayText* dt = FindDisplayText(iv);
    if (dt && dt->mText[0]) return "";
  }
  return mLabel;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* out, bool withDisplayText) const
{
  if (!out) return;
  if (normalized) value = GetNonNormalized(value);

  int iv;
  if (withDisplayText && mDisplayTexts.GetSize() && TruncToInt(value, &iv))
  {
    const DisplayText* dt = FindDisplayText(iv);
    if (dt && dt->mText[0])
    {
      Util_StrCopy(out, dt->mText, kParamDisplayMax);
      return;
    }
  }

  if (mNegateDisplay) value = -value;

  if (mDisplayPrecision)
    snprintf(out, kParamDisplayMax, "%.*f", mDisplayPrecision, value);
  else if (TruncToInt(value, &iv))
    snprintf(out, kParamDisplayMax, "%d", iv);
  else
    snprintf(out, kParamDisplayMax, "%.0f", std::trunc(value)); // beyond int: still the truncated value
}

const char* IParam::GetDisplayText(int value) const
{
  const DisplayText* dt = FindDisplayText(value);
  return dt ? dt->mText : "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* value) const
{
  if (idx < 0 || idx >= mDisplayTexts.GetSize()) return "";
  const DisplayText* dt = mDisplayTexts.Get() + idx;
  if (value) *value = dt->mValue;
  return dt->mText;
}

bool IParam::MapDisplayText(const char* text, int* value) const
{
  if (!text) return false;
  const DisplayText* texts = mDisplayTexts.Get();
  const int n = mDisplayTexts.GetSize();
  for (int i = 0; i < n; ++i)
  {
    if (!strcmp(texts[i].mText, text))
    {
      if (value) *value = texts[i].mValue;
      return true;
    }
  }
  return false;
}

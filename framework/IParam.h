#ifndef QUENBAR_FRAMEWORK_IPARAM_H
#define QUENBAR_FRAMEWORK_IPARAM_H

#include "util/heapbuf.h"

enum EParamKind : int
{
  kParamNone = 0,
  kParamBool = 1,
  kParamInt = 2,
  kParamEnum = 3,
  kParamDouble = 4
};

// Room that GetDisplayForHost needs: "%.6f" of the most negative finite
// double is 317 characters; the text is cut to fit, never overruns.
constexpr int kParamDisplayMax = 400;
// Fixed text fields (name, label, group, display texts): 31 characters + NUL.
constexpr int kParamTextMax = 32;

// One automatable parameter. No lock of its own: the plug-in base writes it
// under the plug-in mutex; the audio thread reads the doubles without one.
// Over-long texts are cut to 31 characters. Returned texts belong to the
// parameter and live as long as it.
class IParam
{
public:
  struct DisplayText
  {
    int mValue;
    char mText[kParamTextMax];
  };

  IParam();

  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "", const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.);

  void SetShape(double shape);
  void SetDisplayText(int value, const char* text);
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }
  void SetDisplayNegated() { mNegateDisplay = true; }

  double GetValue() const { return mValue; }
  bool GetBool() const { return mValue >= 0.5; }
  int GetInt() const { return int(mValue); }
  void SetValue(double value);
  void SetNormalized(double normalizedValue);
  double GetNormalized() const { return GetNormalized(mValue); }
  double GetNormalized(double nonNormalizedValue) const;
  double GetNonNormalized(double normalizedValue) const;
  double GetDefaultNormalized() const;
  double DBToAmp() const;
  void GetBounds(double* pMin, double* pMax) const;

  EParamKind GetKind() const { return mKind; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  double GetDefault() const { return mDefault; }
  int GetPrecision() const { return mDisplayPrecision; }
  bool CanAutomate() const { return mCanAutomate; }
  bool IsDisplayNegated() const { return mNegateDisplay; }

  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mParamGroup; }

  // Writes the text that shows value; out must hold kParamDisplayMax bytes.
  void GetDisplayForHost(double value, bool normalized, char* out, bool withDisplayText = true) const;
  void GetDisplayForHost(char* out, bool withDisplayText = true) const
  {
    GetDisplayForHost(mValue, false, out, withDisplayText);
  }

  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  const char* GetDisplayText(int value) const;
  // "" and *value untouched for an index outside the table.
  const char* GetDisplayTextAtIdx(int idx, int* value = nullptr) const;
  bool MapDisplayText(const char* text, int* value) const;

private:
  void SetTexts(const char* name, const char* label, const char* group);
  void SetKindOnce(EParamKind kind);
  const DisplayText* FindDisplayText(int value) const;

  EParamKind mKind = kParamNone;
  double mValue = 0.;
  double mMin = 0.;
  double mMax = 1.;
  double mStep = 1.;
  double mShape = 1.;
  double mDefault = 0.;
  int mDisplayPrecision = 0;
  char mName[kParamTextMax] = {};
  char mLabel[kParamTextMax] = {};
  char mParamGroup[kParamTextMax] = {};
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  Util_TypedBuf<DisplayText> mDisplayTexts;
};

#endif

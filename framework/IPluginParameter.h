#ifndef QUENBAR_FRAMEWORK_IPLUGINPARAMETER_H
#define QUENBAR_FRAMEWORK_IPLUGINPARAMETER_H

#include "framework/IParam.h"
#include "public.sdk/source/vst/vstparameters.h"

// The VST3 parameter object describing one framework parameter. Made by the
// adapter's initialize, owned by the SDK's parameter container; the IParam it
// points at belongs to the plug-in and outlives it. Conversions run on the
// host's main thread and only read the parameter's fixed description.
class IPluginParameter : public Steinberg::Vst::Parameter
{
public:
  IPluginParameter(IParam* param, Steinberg::Vst::ParamID tag, Steinberg::Vst::UnitID unitID);
  ~IPluginParameter() override;

  // The parameter's host text; a number never overruns the 128-character string.
  void toString(Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string) const SMTG_OVERRIDE;
  // Reads a leading decimal number (none reads as 0); always succeeds.
  bool fromString(const Steinberg::Vst::TChar* string, Steinberg::Vst::ParamValue& valueNormalized) const SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue valueNormalized) const SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const SMTG_OVERRIDE;

  OBJ_METHODS(IPluginParameter, Parameter)

protected:
  IParam* mParam;
};

// ASCII text into a UTF-16 string of size characters, cut to leave room for
// the terminator; null text gives "".
void AsciiToString128(const char* text, Steinberg::Vst::TChar* out, int size = 128);
// UTF-16 into ASCII (non-ASCII characters become '?'), cut to outSize - 1.
void String128ToAscii(const Steinberg::Vst::TChar* text, char* out, int outSize);

#endif

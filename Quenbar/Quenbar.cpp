#include "Quenbar/Quenbar.h"
#include "Quenbar/QuenbarEditor.h"
#include "Quenbar/QuenbarIdentity.h"

#include <cmath>

Quenbar::Quenbar(IPluginInstanceInfo instanceInfo)
  : IPluginVST3(instanceInfo, kNumParams, "1-1 2-2", 1, QuenbarIdentity::kEffectName, "", QuenbarIdentity::kVendor,
                QuenbarIdentity::kVendorVersion, QuenbarIdentity::kUniqueID, QuenbarIdentity::kMfrID, 0, false,
                false, false, 0)
{
  GetParam(kLevel)->InitDouble("Level", 0.0, -15.0, 15.0, 0.01, "%", "", 1.0);
  GetParam(kMix)->InitDouble("Mix", 1.0, 0.0, 1.0, 0.01, "%", "", 1.0);
  GetParam(kTone)->InitDouble("Tone", 0.75, 0.25, 1.25, 0.01, "%", "", 1.0);
  GetParam(kSnap)->InitDouble("Snap", 0.0, 0.0, 30.0, 0.01, "%", "", 1.0);
  GetParam(kBypass)->InitInt("Bypass", 0, 0, 1, "", "");

  AttachQuenbarEditor(this);
  MakeDefaultPreset("-", 1);
}

Quenbar::~Quenbar() = default;

void Quenbar::Reset()
{
  // The tilt equalisers keep their state across resets on purpose.
  Util_MutexLock lock(mMutex);
}

void Quenbar::OnParamChange(int paramIdx)
{
  Util_MutexLock lock(mMutex);
  IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  const double value = param->GetValue();
  switch (paramIdx)
  {
    case kLevel: mLevelGain = std::pow(10.0, value / 20.0); break;
    case kMix: mMix = value; break;
    case kTone: mTone = value; break;
    case kSnap: mSnapGain = std::pow(10.0, value / 20.0); break;
    default: break;
  }
}

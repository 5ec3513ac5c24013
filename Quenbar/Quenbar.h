#pragma once

#include "Coeffs/Tilt.h"
#include "framework/IPluginVST3.h"

// The Quenbar effect: pre-shaping, the snap saturation curve, the tilt
// equaliser, dry/wet mix, output level and bypass, on one or two channels.
class Quenbar : public IPluginVST3
{
public:
  enum EParams
  {
    kLevel = 0,
    kMix,
    kTone,
    kSnap,
    kBypass,
    kNumParams
  };

  explicit Quenbar(IPluginInstanceInfo instanceInfo);
  ~Quenbar() override;

  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // Internal values, read by tests and the processing routine.
  double LevelGain() const { return mLevelGain; }
  double MixAmount() const { return mMix; }
  double ToneValue() const { return mTone; }
  double SnapGain() const { return mSnapGain; }
  const Tilt& LeftTilt() const { return mTiltL; }
  const Tilt& RightTilt() const { return mTiltR; }

private:
  double mLevelGain = 1.0;
  double mMix = 1.0;
  double mTone = 0.75;
  double mSnapGain = 1.0;
  Tilt mTiltL;
  Tilt mTiltR;
};

// Constructs one effect under the module's creation lock. Host main thread (or
// any thread the host creates instances from); the caller owns the result.
Quenbar* MakePlug();

#include "Quenbar/Quenbar.h"
#include "Quenbar/SignalPath.h"

using namespace quenbar;

// Runs under the plug-in mutex held by the adapter; no lock, no allocation.
// Input and output may share memory: each output sample is written only after
// both channels' inputs at that index have been read.
void Quenbar::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  const double rate = GetSampleRate();
  mTiltL.Calc(rate);
  mTiltR.Calc(rate);

  double* inL = inputs[0];
  double* inR = inputs[1];
  double* outL = outputs[0];
  double* outR = outputs[1];
  const IParam* bypass = GetParam(kBypass);
  const double g = mSnapGain;
  const double m = mMix;
  const double L = mLevelGain;
  const double tone = mTone;

  for (int i = 0; i < nFrames; ++i)
  {
    const double l = inL[i];
    const double r = inR[i];

    const double pL = PreShape(l);
    const double pR = PreShape(r);

    const double vL = pL * g;
    const double yL = SnapCurve(vL) / g;
    const double vR = pR * g;
    const double yR = SnapCurve(vR) / g;

    double tL, tR;
    Tilt::ProcessStereo(mTiltL, mTiltR, yL, yR, 0.55, tone, tone, 0.25, tL, tR);
    const double wL = tL * kTiltMakeUp;
    const double wR = tR * kTiltMakeUp;

    const double outSampleL = (l * (1.0 - m) + wL * m) * L;
    const double outSampleR = (wR * m + (1.0 - m) * r) * L;

    outL[i] = BypassState(bypass->GetValue()) == 1 ? l : outSampleL;
    outR[i] = BypassState(bypass->GetValue()) == 1 ? r : outSampleR;
  }
}

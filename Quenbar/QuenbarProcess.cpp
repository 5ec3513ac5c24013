#include "Quenbar/Quenbar.h"
#include "Quenbar/SignalPath.h"

using namespace quenbar;

// Runs under the plug-in mutex held by the adapter; no lock, no allocation.
// Works in chunks so that the tilt equaliser runs a whole chunk per call:
// the snap stage fills the chunk, the equaliser filters it, then mix, level
// and bypass write it out. Input and output may share memory: each output
// sample is written only after both channels' inputs at that index have been
// read.
void Quenbar::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  const double rate = GetSampleRate();
  mTiltL.Calc(rate);
  mTiltR.Calc(rate);

  const double* inL = inputs[0];
  const double* inR = inputs[1];
  double* outL = outputs[0];
  double* outR = outputs[1];
  const IParam* bypass = GetParam(kBypass);
  const double g = mSnapGain;
  const double m = mMix;
  const double L = mLevelGain;
  const double tone = mTone;

  const int kChunk = 64;
  double yL[kChunk], yR[kChunk];
  for (int start = 0; start < nFrames; start += kChunk)
  {
    const int n = nFrames - start < kChunk ? nFrames - start : kChunk;
    const double* l = inL + start;
    const double* r = inR + start;

    for (int i = 0; i < n; ++i)
    {
      const double pL = PreShape(l[i]);
      const double pR = PreShape(r[i]);
      const double vL = pL * g;
      yL[i] = SnapCurve(vL) / g;
      const double vR = pR * g;
      yR[i] = SnapCurve(vR) / g;
    }

    // In place: the filtered chunk replaces the snap output.
    Tilt::ProcessStereoBlock(mTiltL, mTiltR, yL, yR, yL, yR, n, 0.55, tone, tone, 0.25);

    for (int i = 0; i < n; ++i)
    {
      const double dryL = l[i];
      const double dryR = r[i];
      const double wL = yL[i] * kTiltMakeUp;
      const double wR = yR[i] * kTiltMakeUp;
      const double outSampleL = (dryL * (1.0 - m) + wL * m) * L;
      const double outSampleR = (wR * m + (1.0 - m) * dryR) * L;
      outL[start + i] = BypassState(bypass->GetValue()) == 1 ? dryL : outSampleL;
      outR[start + i] = BypassState(bypass->GetValue()) == 1 ? dryR : outSampleR;
    }
  }
}

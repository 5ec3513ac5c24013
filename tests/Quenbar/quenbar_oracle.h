#pragma once
// The effect's signal path written out from its definition, sample by sample,
// without any of the plug-in's code. The tilt stage is a template parameter:
// TiltOracle (quad precision) checks accuracy; with the plug-in's own Tilt the
// result must agree bit for bit, because every other stage is defined exactly
// in double arithmetic.

#include <cmath>

namespace qref
{

// The snap curve's 200 entries, as float32.
inline const float kSnapTable[200] = {
    0.0f, 0.00200533122f, 0.00777343661f, 0.0165874995f, 0.0278873499f, 0.041237276f, 0.0562994108f, 0.0728121921f, 0.0905732661f, 0.109426036f,
    0.129249096f, 0.149948105f, 0.171449333f, 0.193694815f, 0.216638356f, 0.240242645f, 0.264476806f, 0.289314479f, 0.314732403f, 0.34070906f,
    0.36722368f, 0.394255251f, 0.421781659f, 0.449778765f, 0.47821936f, 0.507071853f, 0.536298811f, 0.565854371f, 0.59568131f, 0.625705659f,
    0.655829012f, 0.685914516f, 0.715755224f, 0.743117154f, 0.748632312f, 0.739205182f, 0.733322322f, 0.729084849f, 0.727006972f, 0.726377189f,
    0.727184415f, 0.729061306f, 0.73189038f, 0.735442698f, 0.739595413f, 0.744192243f, 0.749129176f, 0.754295468f, 0.75960952f, 0.764991999f,
    0.770381331f, 0.775720835f, 0.780965567f, 0.786075652f, 0.79101944f, 0.795769751f, 0.800305426f, 0.804609418f, 0.808668971f, 0.812474966f,
    0.816022038f, 0.819307685f, 0.822332621f, 0.825100422f, 0.827617109f, 0.829891205f, 0.83193326f, 0.833755672f, 0.835372269f, 0.836797833f,
    0.838047862f, 0.839137971f, 0.840083659f, 0.840900004f, 0.841601253f, 0.842200696f, 0.842710555f, 0.843141973f, 0.843504906f, 0.843808234f,
    0.844059765f, 0.844266355f, 0.844433904f, 0.844567657f, 0.844672024f, 0.844750941f, 0.844807744f, 0.844845235f, 0.844865918f, 0.844871879f,
    0.844865024f, 0.844846845f, 0.84481883f, 0.844781995f, 0.84473753f, 0.84468621f, 0.84462887f, 0.844566107f, 0.844498575f, 0.844426811f,
    0.844351172f, 0.844272137f, 0.844189942f, 0.844105005f, 0.844017565f, 0.84392786f, 0.843836129f, 0.84374249f, 0.843647182f, 0.843550324f,
    0.843452036f, 0.843352437f, 0.843251646f, 0.843149841f, 0.843046963f, 0.842943192f, 0.842838585f, 0.842733204f, 0.842627108f, 0.842520297f,
    0.842412889f, 0.842304945f, 0.842196405f, 0.842087388f, 0.841977954f, 0.841868043f, 0.841757715f, 0.841647029f, 0.841535985f, 0.841424644f,
    0.841313004f, 0.841201007f, 0.841088772f, 0.840976298f, 0.840863585f, 0.840750635f, 0.840637445f, 0.840524077f, 0.840410531f, 0.840296805f,
    0.8401829f, 0.840068877f, 0.839954674f, 0.839840293f, 0.839725792f, 0.839611232f, 0.839496493f, 0.839381635f, 0.839266658f, 0.839151621f,
    0.839036465f, 0.838921249f, 0.838805914f, 0.83869046f, 0.838575006f, 0.838459432f, 0.838343799f, 0.838228047f, 0.838112295f, 0.837996423f,
    0.837880552f, 0.837764561f, 0.837648571f, 0.83753252f, 0.83741641f, 0.837300241f, 0.837184072f, 0.837067783f, 0.836951554f, 0.836835206f,
    0.836718857f, 0.836602449f, 0.836486042f, 0.836369574f, 0.836253047f, 0.83613652f, 0.836019993f, 0.835903406f, 0.83578676f, 0.835670173f,
    0.835553467f, 0.835436821f, 0.835320115f, 0.83520335f, 0.835086644f, 0.834969878f, 0.834853053f, 0.834736288f, 0.834619462f, 0.834502578f,
    0.834385753f, 0.834268868f, 0.834151983f, 0.834035099f, 0.833918154f, 0.83380121f, 0.833684266f, 0.833567321f, 0.833450317f, 0.833333313f,
};
constexpr double kPerUnit = 142.14300537109375;
constexpr double kPastEnd = 0.8333333134651184;
constexpr double kMakeUp = 316.22776601683796;

inline double PreShape(double in)
{
  const double x = in * 0.01;
  const double x2 = x * x;
  const double x3 = x * x2;
  const double x7 = x3 * x * x * x * x;
  const double inner = std::tanh(x2) * 0.01 + std::tanh(x3) * 0.1;
  return (std::sin(inner) + std::tanh(x)) - std::atan(x7) * 0.01;
}

// Snap stage including the drive compensation: c(p * g) / g.
inline double Snap(double p, double g)
{
  const double v = p * g;
  const double s = std::fabs(v) * kPerUnit;
  const double n = std::trunc(s);
  double c;
  if (!(n >= 0.0))
    c = 0.0;
  else if (n > 198.0)
    c = kPastEnd;
  else
  {
    const int k = (int)n;
    const double f = s - k;
    c = (double)kSnapTable[k] * (1.0 - f) + (double)kSnapTable[k + 1] * f;
  }
  return std::copysign(c, v) / g;
}

// Plain control values, as the parameters hold them.
struct Settings
{
  double level = 0.0;
  double mix = 1.0;
  double tone = 0.75;
  double snap = 0.0;
  double bypass = 0.0;
};

template <class TiltT>
class Effect
{
public:
  void Set(const Settings& s)
  {
    mLevelGain = std::pow(10.0, s.level / 20.0);
    mMix = s.mix;
    mTone = s.tone;
    mSnapGain = std::pow(10.0, s.snap / 20.0);
    mBypass = s.bypass;
  }

  // One block; out may alias in.
  void Block(double rate, const double* inL, const double* inR, double* outL, double* outR, int n)
  {
    mTiltL.Calc(rate);
    mTiltR.Calc(rate);
    for (int i = 0; i < n; ++i)
    {
      const double l = inL[i], r = inR[i];
      const double pl = PreShape(l), pr = PreShape(r);
      const double yl = Snap(pl, mSnapGain), yr = Snap(pr, mSnapGain);
      const double wl = mTiltL.Process(yl, 0.55, mTone, mTone, 0.25) * kMakeUp;
      const double wr = mTiltR.Process(yr, 0.55, mTone, mTone, 0.25) * kMakeUp;
      const double m = mMix, L = mLevelGain;
      const double ol = (l * (1.0 - m) + wl * m) * L;
      const double orr = (wr * m + (1.0 - m) * r) * L;
      const bool bypassed = std::trunc(mBypass) == 1.0;
      outL[i] = bypassed ? l : ol;
      outR[i] = bypassed ? r : orr;
    }
  }

private:
  double mLevelGain = 1.0, mMix = 1.0, mTone = 0.75, mSnapGain = 1.0, mBypass = 0.0;
  TiltT mTiltL, mTiltR;
};

}  // namespace qref

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "framework/IParam.h"

namespace
{
std::string Display(const IParam& p, double v, bool normalized, bool withText = true)
{
  char out[kParamDisplayMax];
  memset(out, 'x', sizeof(out));
  p.GetDisplayForHost(v, normalized, out, withText);
  return out;
}
} // namespace

TEST(IParamInit, ConstructedStateMapsLinearlyOverZeroToOne)
{
  IParam p;
  EXPECT_EQ(p.GetKind(), kParamNone);
  EXPECT_EQ(p.GetValue(), 0.);
  EXPECT_EQ(p.GetMin(), 0.);
  EXPECT_EQ(p.GetMax(), 1.);
  EXPECT_EQ(p.GetStep(), 1.);
  EXPECT_EQ(p.GetShape(), 1.);
  EXPECT_TRUE(p.CanAutomate());
  EXPECT_FALSE(p.IsDisplayNegated());
  EXPECT_STREQ(p.GetNameForHost(), "");
  EXPECT_EQ(p.GetNDisplayTexts(), 0);
  EXPECT_DOUBLE_EQ(p.GetNonNormalized(0.25), 0.25);
  // kParamNone rounds like the integer kinds.
  p.SetNormalized(0.6);
  EXPECT_EQ(p.GetValue(), 1.);
}

TEST(IParamInit, IntMaximumRaisedAndDefaultNotClamped)
{
  IParam p;
  p.InitInt("n", 3, 5, 5, "", "");
  EXPECT_EQ(p.GetKind(), kParamInt);
  EXPECT_EQ(p.GetMin(), 5.);
  EXPECT_EQ(p.GetMax(), 6.);
  EXPECT_EQ(p.GetValue(), 3.);
  EXPECT_EQ(p.GetDefault(), 3.);
  p.SetValue(p.GetValue());
  EXPECT_EQ(p.GetValue(), 5.);
}

TEST(IParamInit, IntExtremesDoNotOverflow)
{
  IParam p;
  p.InitInt("n", 0, INT_MAX, INT_MIN, "", "");
  EXPECT_EQ(p.GetMax(), (double)INT_MAX + 1.);
  IParam e;
  e.InitEnum("e", 0, INT_MIN, "", "");
  EXPECT_EQ(e.GetMax(), 1.);
}

TEST(IParamInit, EnumWithOneEntryHasMaximumOne)
{
  IParam p;
  p.InitEnum("e", 0, 1, "", "");
  EXPECT_EQ(p.GetMax(), 1.);
  EXPECT_EQ(p.GetNDisplayTexts(), 0);
  IParam q;
  q.InitEnum("e", 2, 4, "", "");
  EXPECT_EQ(q.GetMax(), 3.);
}

TEST(IParamInit, BoolAddsOffOnTexts)
{
  IParam p;
  p.InitBool("b", true, "lbl", "grp");
  EXPECT_EQ(p.GetKind(), kParamBool);
  EXPECT_EQ(p.GetValue(), 1.);
  ASSERT_EQ(p.GetNDisplayTexts(), 2);
  int v = -5;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(0, &v), "off");
  EXPECT_EQ(v, 0);
  EXPECT_STREQ(p.GetDisplayTextAtIdx(1, &v), "on");
  EXPECT_EQ(v, 1);
  EXPECT_STREQ(p.GetParamGroupForHost(), "grp");
}

TEST(IParamInit, KindIsSetOnlyOnce)
{
  IParam p;
  p.InitInt("n", 1, 0, 10, "", "");
  p.InitDouble("d", 0.5, 0., 1., 0.1, "", "", 1.);
  EXPECT_EQ(p.GetKind(), kParamInt);
  // The other fields follow the second initialisation.
  EXPECT_EQ(p.GetMax(), 1.);
  EXPECT_EQ(p.GetPrecision(), 1);
}

TEST(IParamInit, DoubleShapeZeroKeepsShapeAndRangeNeverEmpty)
{
  IParam p;
  p.InitDouble("d", 0., 0., 10., 1., "", "", 0.);
  EXPECT_EQ(p.GetShape(), 1.);
  p.SetShape(2.);
  p.InitDouble("d", 0., 0., 10., 1., "", "", 0.);
  EXPECT_EQ(p.GetShape(), 2.);

  IParam q;
  q.InitDouble("d", 0., 2., 2., 0.5, "", "", 1.);
  EXPECT_EQ(q.GetMax(), 2.5);
}

TEST(IParamInit, OverlongTextsAreCut)
{
  const std::string longName(100, 'n');
  IParam p;
  p.InitDouble(longName.c_str(), 0., 0., 1., 0.1, longName.c_str(), longName.c_str(), 1.);
  EXPECT_EQ(strlen(p.GetNameForHost()), 31u);
  EXPECT_EQ(strlen(p.GetLabelForHost()), 31u);
  EXPECT_EQ(strlen(p.GetParamGroupForHost()), 31u);
  p.SetDisplayText(0, longName.c_str());
  EXPECT_EQ(std::string(p.GetDisplayText(0)), std::string(31, 'n'));
}

TEST(IParamPrecision, DerivedFromStep)
{
  const struct
  {
    double step;
    int precision;
  } cases[] = {{1., 0},      {0.5, 1},     {0.1, 1},    {0.25, 2},    {0.01, 2},
               {0.05, 2},    {0.125, 3},   {0.001, 3},  {0.0001, 4},  {0.00001, 5},
               {0.000001, 6}, {1e-9, 6},   {std::numeric_limits<double>::quiet_NaN(), 6}};
  for (const auto& c : cases)
  {
    IParam p;
    p.InitDouble("d", 0., 0., 100., c.step, "", "", 1.);
    EXPECT_EQ(p.GetPrecision(), c.precision) << "step " << c.step;
  }
}

TEST(IParamMapping, ShapeTwoRoundTripsAndClamps)
{
  IParam p;
  p.InitDouble("d", 0., 0., 10., 0.01, "", "", 2.);
  EXPECT_DOUBLE_EQ(p.GetNonNormalized(0.5), 2.5);
  EXPECT_DOUBLE_EQ(p.GetNormalized(2.5), 0.5);
  EXPECT_EQ(p.GetNormalized(-3.), 0.);
  EXPECT_EQ(p.GetNormalized(12.), 1.);
}

TEST(IParamMapping, DefaultNormalizedIsNotClamped)
{
  IParam p;
  p.InitInt("n", 3, 5, 5, "", "");   // default 3 below the range 5 ... 6
  EXPECT_DOUBLE_EQ(p.GetDefaultNormalized(), -2.);
  EXPECT_EQ(p.GetNormalized(3.), 0.);
}

TEST(IParamMapping, IntRoundsHalfUpAndCapsOnlyAtTop)
{
  IParam p;
  p.InitInt("n", 0, 0, 10, "", "");
  p.SetNormalized(0.44);
  EXPECT_EQ(p.GetValue(), 4.);
  p.SetNormalized(0.45);
  EXPECT_EQ(p.GetValue(), 5.);
  p.SetNormalized(1.2);
  EXPECT_EQ(p.GetValue(), 10.);
  p.SetNormalized(-0.2);
  EXPECT_EQ(p.GetValue(), -2.);

  IParam q;
  q.InitInt("n", 0, -10, 10, "", "");
  q.SetNormalized(0.375);   // -2.5: half goes up, towards +infinity
  EXPECT_EQ(q.GetValue(), -2.);
}

TEST(IParamMapping, IntegerKindsRoundThePlainValue)
{
  IParam q;
  q.InitEnum("e", 0, 3, "", "");
  q.SetNormalized(0.74);   // 1.48 -> 1
  EXPECT_EQ(q.GetValue(), 1.);
  IParam r;
  r.InitInt("n", 0, 1, 4, "", "");
  r.SetNormalized(0.5);    // 2.5 -> 3 (half up)
  EXPECT_EQ(r.GetValue(), 3.);
}

TEST(IParamMapping, DoubleIsNotQuantised)
{
  IParam p;
  p.InitDouble("d", 0., 0., 1., 0.1, "", "", 1.);
  p.SetNormalized(0.123);
  EXPECT_EQ(p.GetValue(), 0.123);
  EXPECT_EQ(Display(p, p.GetValue(), false), "0.1");
}

TEST(IParamMapping, SetValueClamps)
{
  IParam p;
  p.InitDouble("d", 0., -1., 1., 0.1, "", "", 1.);
  p.SetValue(-5.);
  EXPECT_EQ(p.GetValue(), -1.);
  p.SetValue(5.);
  EXPECT_EQ(p.GetValue(), 1.);
  p.SetValue(0.3);
  EXPECT_EQ(p.GetValue(), 0.3);
  double lo = 0., hi = 0.;
  p.GetBounds(&lo, &hi);
  EXPECT_EQ(lo, -1.);
  EXPECT_EQ(hi, 1.);
}

TEST(IParamMapping, BoolAndIntReaders)
{
  IParam p;
  p.InitDouble("d", 0., -10., 10., 0.1, "", "", 1.);
  p.SetValue(0.5);
  EXPECT_TRUE(p.GetBool());
  p.SetValue(0.49);
  EXPECT_FALSE(p.GetBool());
  p.SetValue(-2.7);
  EXPECT_EQ(p.GetInt(), -2);
}

TEST(IParamMapping, DBToAmpUsesThirteenDigitConstant)
{
  IParam p;
  p.InitDouble("d", -6., -60., 12., 0.1, "", "", 1.);
  EXPECT_EQ(p.DBToAmp(), std::exp(-6. * 0.1151292546497));
  EXPECT_NEAR(p.DBToAmp(), 0.501187, 1e-6);
}

TEST(IParamDisplay, PrecisionFromStep)
{
  IParam p;
  p.InitDouble("d", 0., -15., 15., 0.01, "", "", 1.);
  EXPECT_EQ(p.GetPrecision(), 2);
  EXPECT_EQ(Display(p, 0.5, true), "0.00");
  IParam q;
  q.InitDouble("d", 0., 0., 1., 0.001, "", "", 1.);
  EXPECT_EQ(Display(q, 0.1234, false), "0.123");
}

TEST(IParamDisplay, StepOneTruncates)
{
  IParam p;
  p.InitDouble("d", 0., 0., 10., 1., "", "", 1.);
  EXPECT_EQ(Display(p, 2.7, false), "2");
  EXPECT_EQ(Display(p, -2.7, false), "-2");
}

TEST(IParamDisplay, BoolTextsAndLabel)
{
  IParam p;
  p.InitBool("b", true, "lbl", "");
  EXPECT_EQ(Display(p, 1., false), "on");
  EXPECT_EQ(Display(p, 0.7, false), "off");
  EXPECT_EQ(Display(p, 1., false, false), "1");
  EXPECT_STREQ(p.GetLabelForHost(), "");
  p.SetValue(0.);
  EXPECT_STREQ(p.GetLabelForHost(), "");   // "off" applies too
}

TEST(IParamDisplay, EmptyTextFallsThroughToNumberAndLabel)
{
  IParam p;
  p.InitEnum("e", 0, 3, "unit", "");
  p.SetDisplayText(0, "");
  p.SetDisplayText(1, "one");
  EXPECT_EQ(Display(p, 0., false), "0");
  EXPECT_STREQ(p.GetLabelForHost(), "unit");
  p.SetValue(1.);
  EXPECT_STREQ(p.GetLabelForHost(), "");
  p.SetValue(2.);
  EXPECT_STREQ(p.GetLabelForHost(), "unit");
}

TEST(IParamDisplay, FirstDuplicateWins)
{
  IParam p;
  p.InitEnum("e", 0, 3, "", "");
  p.SetDisplayText(1, "first");
  p.SetDisplayText(1, "second");
  EXPECT_STREQ(p.GetDisplayText(1), "first");
  EXPECT_STREQ(p.GetDisplayText(2), "");
  EXPECT_EQ(Display(p, 1., false), "first");
  int v = 0;
  EXPECT_TRUE(p.MapDisplayText("second", &v));
  EXPECT_EQ(v, 1);
}

TEST(IParamDisplay, NegatedDisplay)
{
  IParam p;
  p.InitDouble("d", 0., -10., 10., 0.5, "", "", 1.);
  p.SetDisplayText(3, "three");
  p.SetDisplayNegated();
  EXPECT_EQ(Display(p, 3.5, false), "three");   // a display text is shown unchanged
  EXPECT_EQ(Display(p, 4.5, false), "-4.5");
  EXPECT_EQ(Display(p, 3.5, false, false), "-3.5");
}

TEST(IParamDisplay, HugeAndNonFiniteValuesFitTheBuffer)
{
  IParam p;
  p.InitDouble("d", 0., -DBL_MAX, DBL_MAX, 0.000001, "", "", 1.);
  const std::string big = Display(p, -DBL_MAX, false);
  EXPECT_EQ(big.size(), 317u);   // '-', 309 digits, '.', 6 decimals
  EXPECT_LT(big.size(), (size_t)kParamDisplayMax);
  IParam q;
  q.InitDouble("d", 0., 0., 1., 1., "", "", 1.);
  EXPECT_EQ(Display(q, 1e300, false).substr(0, 4), "1000");
  EXPECT_EQ(Display(q, std::numeric_limits<double>::quiet_NaN(), false), "nan");
}

TEST(IParamDisplay, MapDisplayTextIsCaseSensitive)
{
  IParam p;
  p.InitBool("b", false, "", "");
  int v = 42;
  EXPECT_FALSE(p.MapDisplayText("On", &v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(p.MapDisplayText("on", &v));
  EXPECT_EQ(v, 1);
  IParam empty;
  v = 7;
  EXPECT_FALSE(empty.MapDisplayText("on", &v));
  EXPECT_EQ(v, 7);
}

TEST(IParamDisplay, TextAtIndexOutOfRange)
{
  IParam p;
  p.InitBool("b", false, "", "");
  int v = 9;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(2, &v), "");
  EXPECT_STREQ(p.GetDisplayTextAtIdx(-1, &v), "");
  EXPECT_EQ(v, 9);
  EXPECT_STREQ(p.GetDisplayTextAtIdx(1, nullptr), "on");
}

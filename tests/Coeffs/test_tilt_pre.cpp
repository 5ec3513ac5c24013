#include <gtest/gtest.h>

#include <cmath>

#include "Coeffs/Tilt_Pre.h"

namespace {

const float* const e = tiltpre_table.entries;

double SecondDifference(int i)
{
  return std::fabs((double)e[i - 1] - 2.0 * e[i] + e[i + 1]);
}

}  // namespace

TEST(TiltPre, HeaderHoldsTheLookupConstants)
{
  EXPECT_EQ(tiltpre_table.inputMin, 0.0f);
  EXPECT_EQ(tiltpre_table.count, 200);
  EXPECT_EQ((double)tiltpre_table.perUnit, 142.14300537109375);
  EXPECT_EQ((double)tiltpre_table.pastEnd, 0.8333333134651184);
  EXPECT_EQ(tiltpre_table.pastEnd, e[199]);
}

TEST(TiltPre, CurveHasItsPeaksAndDipWhereExpected)
{
  EXPECT_EQ(e[0], 0.0f);
  for (int i = 1; i <= 34; ++i)
    EXPECT_GT(e[i], e[i - 1]) << i;
  for (int i = 35; i <= 39; ++i)
    EXPECT_LT(e[i], e[i - 1]) << i;
  for (int i = 40; i <= 89; ++i)
    EXPECT_GT(e[i], e[i - 1]) << i;
  for (int i = 90; i < 200; ++i)
    EXPECT_LT(e[i], e[i - 1]) << i;
  EXPECT_EQ(e[34], 0.748632312f);
  EXPECT_EQ(e[39], 0.726377189f);
  EXPECT_EQ(e[89], 0.844871879f);
}

TEST(TiltPre, CurveIsSmoothBetweenItsFeatures)
{
  // Quadratic start: entries 2..4 are about 3.88, 8.27 and 13.9 times entry 1.
  EXPECT_NEAR(e[2] / e[1], 3.88, 0.01);
  EXPECT_NEAR(e[3] / e[1], 8.27, 0.01);
  EXPECT_NEAR(e[4] / e[1], 13.9, 0.01);
  // A mistyped digit shows as a kink.
  for (int i = 1; i <= 31; ++i)
    EXPECT_LT(SecondDifference(i), 5e-3) << i;
  for (int i = 45; i < 100; ++i)
    EXPECT_LT(SecondDifference(i), 1e-3) << i;
  for (int i = 100; i < 199; ++i)  // the almost linear fall
    EXPECT_LT(SecondDifference(i), 1e-5) << i;
}

#include <limits>

#include <gtest/gtest.h>

#include "framework/plugin/Param.h"

namespace velmora {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class ParamPrecisionTest : public ::testing::TestWithParam<std::pair<double, int>> {};

TEST_P(ParamPrecisionTest, DisplayPrecisionFollowsTheStep) {
  Param param;
  param.DefineDouble("Gain", 0.0, 0.0, 10.0, GetParam().first);
  EXPECT_EQ(param.DisplayPrecision(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Steps, ParamPrecisionTest,
                         ::testing::Values(std::make_pair(0.5, 1), std::make_pair(0.01, 2),
                                           std::make_pair(1.0, 0), std::make_pair(1.0 / 3.0, 6),
                                           std::make_pair(kNaN, 6)));

TEST(ParamTest, MaximumIsAtLeastMinimumPlusStep) {
  Param param;
  param.DefineDouble("Gain", 0.0, 0.0, 0.0, 1.0);
  EXPECT_EQ(param.Max(), 1.0);
}

TEST(ParamTest, BoolShowsOffOnByTruncationWithoutUnit) {
  Param param;
  param.DefineBool("Record", false);
  EXPECT_EQ(param.FormatValue(0.0, false, true), "off");
  EXPECT_EQ(param.FormatValue(0.9, false, true), "off");
  EXPECT_EQ(param.FormatValue(1.0, false, true), "on");
  EXPECT_EQ(param.FormatValue(0.99, true, true), "off");  // normalised: no rounding
  EXPECT_STREQ(param.UnitLabel(), "");
  double v = -5.0;
  ASSERT_TRUE(param.ValueFromText("on", &v));
  EXPECT_EQ(v, 1.0);
  EXPECT_FALSE(param.ValueFromText("On", &v));
}

TEST(ParamTest, IntSnapsHalfUpFromNormalised) {
  Param param;
  param.DefineInt("LooseMatches", 0, 0, 4);
  EXPECT_EQ(param.SetFromNormalized(0.62), 2.0);
  EXPECT_EQ(param.SetFromNormalized(0.63), 3.0);
  EXPECT_EQ(param.SetFromNormalized(1.5), 4.0);
  EXPECT_EQ(param.SetFromNormalized(kNaN), 0.0);
}

TEST(ParamTest, FormatTruncatesTowardZeroWithoutNegativeZero) {
  Param param;
  param.DefineDouble("Transpose", 0.0, -10.0, 10.0, 1.0);
  EXPECT_EQ(param.FormatValue(-1.7, false, true), "-1");
  EXPECT_EQ(param.FormatValue(-0.7, false, true), "0");
  EXPECT_EQ(param.FormatValue(1e12, false, true), "1000000000000");
  param.DefineDouble("Transpose", 0.0, -10.0, 10.0, 0.01);
  EXPECT_EQ(param.FormatValue(0.5, true, true), "0.00");
  double v = 0.0;
  ASSERT_TRUE(param.ValueFromText("  2.5 st", &v));
  EXPECT_EQ(v, 2.5);
}

TEST(ParamTest, ClampAndNormaliseAreDefinedForAnyValue) {
  Param param;
  param.DefineDouble("Gain", -1.0, 0.0, 10.0, 1.0);
  EXPECT_EQ(param.ToNormalized(), 0.0);
  EXPECT_EQ(param.Clamp(kNaN), 0.0);
  EXPECT_EQ(param.Clamp(kInf), 10.0);
  EXPECT_EQ(param.Clamp(-kInf), 0.0);
  EXPECT_EQ(param.ToNormalized(kNaN), 0.0);
  param.DefineDouble("Gain", 0.0, 0.0, 4.0, 1.0, "", 2.0);
  EXPECT_DOUBLE_EQ(param.ToNormalized(1.0), 0.5);
  param.DefineDouble("Gain", 0.0, 0.0, 0.0, 0.0);  // empty range
  EXPECT_EQ(param.ToNormalized(0.0), 0.0);
}

}  // namespace
}  // namespace velmora

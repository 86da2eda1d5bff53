#include "core/values.h"

#include <gtest/gtest.h>

namespace rd {
namespace {

TEST(Values, StoringIntoALongRoundsHalvesToEven) {
  EXPECT_EQ(toLong(2.5), 2);
  EXPECT_EQ(toLong(3.5), 4);
  EXPECT_EQ(toLong(-2.5), -2);
  EXPECT_EQ(toLong(-3.5), -4);
  EXPECT_EQ(toLong(46.64), 47);
  EXPECT_EQ(toLong(359.5), 360);  // a bearing can round up to 360
  EXPECT_EQ(toLong(0.49999997f), 0);
  // Out of range values saturate instead of overflowing; NaN gives 0.
  EXPECT_EQ(toLong(1e20), 2147483647);
  EXPECT_EQ(toLong(-1e20), -2147483647 - 1);
  EXPECT_EQ(toLong(std::numeric_limits<double>::quiet_NaN()), 0);
}

// The readouts scenario pins the usual forms; these are the ends a readout rarely meets.
TEST(Values, SpokenTextFormsAtTheEnds) {
  EXPECT_EQ(flooredText(-0.0f), "0");
  EXPECT_EQ(plainText(-0.0f), "0");
  EXPECT_EQ(plainText(123456789.0f), "123456800");  // seven significant digits, no exponent
  EXPECT_EQ(plainText(0.0001f), "0.0001");
  EXPECT_EQ(plainText(42LL), "42");
}

TEST(Values, ExactTextReadsBackToTheSameFloat) {
  for (float v : {0.1f, 5000.0f, -19.0f, 1.05f, 0.949999988f, 1e-7f, 3.4e38f, 1.0f / 3.0f}) {
    std::string text = exactText(v);
    EXPECT_EQ(text.find('e'), std::string::npos) << text;
    EXPECT_EQ(std::stof(text), v) << text;
  }
}

TEST(Values, RndIsUniformInUnitIntervalAndReseedsDeterministically) {
  RandomSource a, b;
  a.randomize(1234);
  b.randomize(1234);
  double sum = 0;
  for (int i = 0; i < 10000; ++i) {
    Single x = a();
    ASSERT_EQ(x, b());
    ASSERT_GE(x, 0.0f);
    ASSERT_LT(x, 1.0f);
    sum += x;
  }
  EXPECT_NEAR(sum / 10000, 0.5, 0.02);
  b.randomize(1235);
  EXPECT_NE(a(), b());
}

TEST(Values, ForcedRndValuesComeFirstAlsoAcrossAReseed) {
  RandomSource r;
  r.force(0.25f);
  r.force(0.75f);
  r.randomize(7);
  EXPECT_EQ(r(), 0.25f);
  r.randomize(8);
  EXPECT_EQ(r(), 0.75f);
  EXPECT_LT(r(), 1.0f);
}

}  // namespace
}  // namespace rd

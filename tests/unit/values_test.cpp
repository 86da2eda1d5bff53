#include "base/values.h"

#include <gtest/gtest.h>

namespace rd {
namespace {

TEST(Values, StoringIntoALongRoundsHalvesToEvenAndSaturates) {
  // A bearing of 359.5 rounds up to 360; out of range values saturate and NaN gives 0.
  const double in[] = {2.5,   3.5,         -2.5, -3.5,  46.64,
                       359.5, 0.49999997f, 1e20, -1e20, std::numeric_limits<double>::quiet_NaN()};
  const Long out[] = {2, 4, -2, -4, 47, 360, 0, 2147483647, -2147483647 - 1, 0};
  for (size_t i = 0; i < std::size(in); ++i) EXPECT_EQ(toLong(in[i]), out[i]) << in[i];
}

// The readouts scenario pins the usual forms; these are the ends a readout rarely meets.
TEST(Values, TextFormsAtTheEndsAndExactTextReadsBack) {
  EXPECT_EQ(flooredText(-0.0f), "0");
  EXPECT_EQ(plainText(-0.0f), "0");
  EXPECT_EQ(plainText(123456789.0f), "123456800");  // seven significant digits, no exponent
  EXPECT_EQ(plainText(0.0001f), "0.0001");
  for (float v : {0.1f, -19.0f, 0.949999988f, 1e-7f, 3.4e38f, 1.0f / 3.0f}) {
    std::string text = exactText(v);
    EXPECT_EQ(text.find('e'), std::string::npos) << text;
    EXPECT_EQ(std::stof(text), v) << text;
  }
}

// The same seed draws the same numbers, all in [0, 1), evenly spread (the soak replays by seed).
TEST(Values, RndIsUniformInUnitIntervalAndReseedsDeterministically) {
  RandomSource a, b;
  a.randomize(1234);
  b.randomize(1234);
  double sum = 0;
  for (int i = 0; i < 10000; ++i) {
    Single x = a();
    ASSERT_EQ(x, b());
    ASSERT_TRUE(x >= 0.0f && x < 1.0f) << x;
    sum += x;
  }
  EXPECT_NEAR(sum / 10000, 0.5, 0.02);
}

}  // namespace
}  // namespace rd

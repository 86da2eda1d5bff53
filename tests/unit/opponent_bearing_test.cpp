// The bearing routine and the relative-bearing rule: the compass convention, the whole-degree
// rounding the callers apply, and the side effects the weapon and the enemy rely on.
#include <gtest/gtest.h>

#include "fake_game.h"

namespace rd {
namespace {

struct Bearing : ::testing::Test {
  testing::FakeGame g;
  Game& game = g.game;
  Long rounded(Single x1, Single z1, Single x2, Single z2) {
    return toLong(game.getBearing(x1, z1, x2, z2));
  }
};

TEST_F(Bearing, CompassPointsFromTheOrigin) {
  EXPECT_EQ(rounded(0, 0, 1, 1), 45);
  EXPECT_EQ(rounded(0, 0, 1, -1), 135);
  EXPECT_EQ(rounded(0, 0, -1, -1), 225);
  EXPECT_EQ(rounded(0, 0, -1, 1), 315);
  EXPECT_EQ(rounded(0, 0, 0, 5), 0);
  EXPECT_EQ(rounded(0, 0, 3, 0), 90);
  EXPECT_EQ(rounded(0, 0, 0, -2), 180);
  EXPECT_EQ(rounded(0, 0, -4, 0), 270);
  // The same spot has no direction: 0.
  EXPECT_EQ(game.getBearing(7.5f, -3, 7.5f, -3), 0.0f);
  // Just west of due +z the bearing is under 360 but rounds up to it.
  Single b = game.getBearing(0, 0, -0.001f, 1000);
  EXPECT_LT(b, 360.0f);
  EXPECT_EQ(toLong(b), 360);
}

TEST_F(Bearing, RangeFlagFollowsTheRangeAtTheMomentOfTheCall) {
  game.enemyRange = 10;
  game.getBearing(0, 0, 1, 1);
  EXPECT_TRUE(game.inRange);
  game.enemyRange = 11;
  game.getBearing(0, 0, 1, 1);
  EXPECT_FALSE(game.inRange);
}

TEST_F(Bearing, RelativeToTheHeadingWrapsThrough360) {
  game.playerHeading = 90;
  EXPECT_EQ(game.relativeBearing(90), 0);
  EXPECT_EQ(game.relativeBearing(100), 10);
  EXPECT_EQ(game.relativeBearing(80), 350);
  EXPECT_EQ(game.relativeBearing(0), 270);
  game.playerHeading = 0;
  EXPECT_EQ(game.relativeBearing(360), 360);  // rounds to 360: still dead ahead for the lock
  game.playerHeading = 360;
  EXPECT_EQ(game.relativeBearing(0), 0);
  EXPECT_EQ(game.relativeBearing(5), 5);
}

}  // namespace
}  // namespace rd

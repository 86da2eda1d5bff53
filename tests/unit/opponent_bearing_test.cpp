// The bearing routine and the relative-bearing rule: the compass convention, the whole-degree
// rounding the callers apply, and the range flag the weapon and the enemy rely on.
#include <gtest/gtest.h>

#include "support/fake_game.h"

namespace rd {
namespace {

TEST(Bearing, CompassPointsAndTheRangeFlagAtTheMomentOfTheCall) {
  testing::FakeGame g;
  Game& game = g.game;
  // From the origin towards (x, z): +z is 0, +x is 90.
  const Single to[][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}, {0, 5}, {3, 0}, {0, -2}, {-4, 0}};
  const Long want[] = {45, 135, 225, 315, 0, 90, 180, 270};
  for (size_t i = 0; i < std::size(want); ++i)
    EXPECT_EQ(toLong(game.getBearing(0, 0, to[i][0], to[i][1])), want[i]) << i;
  // The same spot has no direction: 0. Just west of due +z the bearing is under 360 but rounds
  // up to it.
  EXPECT_EQ(game.getBearing(7.5f, -3, 7.5f, -3), 0.0f);
  Single b = game.getBearing(0, 0, -0.001f, 1000);
  EXPECT_LT(b, 360.0f);
  EXPECT_EQ(toLong(b), 360);

  game.enemyRange = 10;
  game.getBearing(0, 0, 1, 1);
  EXPECT_TRUE(game.inRange);
  game.enemyRange = 11;
  game.getBearing(0, 0, 1, 1);
  EXPECT_FALSE(game.inRange);
}

// Relative to the heading it wraps through 360; 360 itself stays 360, still dead ahead for the
// lock.
TEST(Bearing, RelativeToTheHeadingWrapsThrough360) {
  testing::FakeGame g;
  const Long cases[][3] = {{90, 90, 0},   {90, 100, 10}, {90, 80, 350}, {90, 0, 270},
                           {0, 360, 360}, {360, 0, 0},   {360, 5, 5}};
  for (auto [heading, bearing, want] : cases) {
    g.game.playerHeading = heading;
    EXPECT_EQ(g.game.relativeBearing(bearing), want) << heading << " " << bearing;
  }
}

}  // namespace
}  // namespace rd

// The target finder: twice a second it works out where the enemy and the television lie from
// the player's nose and turns the enemy's place into tones. The bearing tone's pitch says how far
// the enemy is off the nose, the height tone (heard from the enemy's side) how far apart the two
// whole heights are, and the lock tone loops while the enemy is dead ahead at the same height.
#include <cmath>

#include "base/rules.h"
#include "game/game.h"

namespace rd {

namespace {

// Pi and degrees per radian are single-precision numbers used in double arithmetic, like the
// radians factor; the bearings the players hear were tuned with exactly these.
constexpr double kPi = 3.1415927f;
constexpr double kDegreesPerRadian = 57.295776f;

// Whole-number position: floorOf a coordinate, kept as a Single.
Single whole(Single v) { return static_cast<Single>(floorOf(v)); }

}  // namespace

Single Game::getBearing(Single x1, Single z1, Single x2, Single z2) {
  bearingDx = static_cast<Single>(static_cast<double>(x1) - x2);
  bearingDz = static_cast<Single>(static_cast<double>(z1) - z2);
  double a = 0;
  if (bearingDz < 0) a = std::atan(static_cast<double>(bearingDx) / bearingDz);
  if (bearingDz > 0) a = std::atan(static_cast<double>(bearingDx) / bearingDz) + kPi;
  a = a * kDegreesPerRadian;
  if (a < 0) a = a + 360;
  // Straight across the room the arctangent has nothing to divide by: due +x or due -x. Two
  // points on the same spot keep the bearing 0.
  if (z1 == z2) {
    if (x2 > x1) a = 90;
    if (x2 < x1) a = 270;
  }
  // The range flag comes from the range worked out by the last full pass of the finder.
  inRange = enemyRange <= 10;
  return static_cast<Single>(a);
}

// 0 dead ahead, growing clockwise; a bearing behind the nose's number wraps round through 360.
Long Game::relativeBearing(Long bearing) const {
  if (bearing == playerHeading) return 0;
  if (bearing > playerHeading) return longDifference(bearing, playerHeading);
  return longDifference(360, longDifference(playerHeading, bearing));
}

void Game::targetCycle() {
  const Single wholePlayerX = whole(playerX);
  const Single wholePlayerZ = whole(playerZ);
  const Single wholeEnemyX = whole(enemyX);
  const Single wholeEnemyZ = whole(enemyZ);
  const bool sameHeight = floorOf(playerY) == floorOf(enemyY);

  // Where the enemy lies off the nose, by whole positions.
  enemyRelBearing =
      relativeBearing(toLong(getBearing(wholePlayerX, wholePlayerZ, wholeEnemyX, wholeEnemyZ)));

  const double radians = enemyRelBearing * rules::kRadiansPerDegree;

  // The bearing tone: 60000 Hz dead ahead, 50 Hz lower per degree off the nose either side.
  if (enemyRelBearing <= 180) {
    sounds.sndTargetX->setFrequency(longDifference(60000, longProduct(50, enemyRelBearing)));
  } else {
    sounds.sndTargetX->setFrequency(longSum(42000, longProduct(50, enemyRelBearing)));
  }

  // The height tone, heard from the enemy's side: 10000 Hz lower per whole unit of gap. A gap of
  // 9 or more asks for less than nothing; the voice clamps it to its lowest pitch.
  if (!sameHeight) {
    heightGap = toLong(std::fabs(floorOf(playerY) - floorOf(enemyY)));
    sounds.sndTargetY->setFrequency(toLong(84100.0 - 10000.0 * heightGap));
    cueZ = static_cast<Single>(3 * std::cos(radians));
    cueX = static_cast<Single>(3 * std::sin(radians));
    sounds.sndTargetY3D->setPosition(cueX, 0, cueZ);
    sounds.sndTargetY->play();
  }

  // Where a hit enemy will blow up: 2 units from the room's centre toward the enemy's bearing.
  enemyCueZ = static_cast<Single>(2 * std::cos(radians));
  enemyCueX = static_cast<Single>(2 * std::sin(radians));

  // The range is the larger of the two signed differences, made positive afterwards: an enemy
  // far off toward -x but close along z counts as close.
  getBearing(wholeEnemyX, wholeEnemyZ, wholePlayerX, wholePlayerZ);
  enemyRange = toLong(std::fabs(bearingDx > bearingDz ? bearingDx : bearingDz));

  cueZ = static_cast<Single>(3 * std::cos(radians));
  cueX = static_cast<Single>(3 * std::sin(radians));
  sounds.sndTargetX3D->setPosition(cueX, 0, cueZ);

  // The blip: level with the enemy, in range, but not yet dead ahead. The range flag here is
  // still the one from the previous pass.
  if (sameHeight && inRange && enemyRelBearing != 0 && enemyRelBearing != 360) {
    sounds.sndTargetX->play();
  }

  // The lock: dead ahead and level. It holds while the enemy stays within 10 degrees of the nose.
  if ((enemyRelBearing == 0 || enemyRelBearing == 360) && sameHeight) {
    sounds.sndAcquired->loop();
    lockedOn = true;
  }
  if (enemyRelBearing > 10 && enemyRelBearing < 350 && lockedOn) {
    lockedOn = false;
    sounds.sndAcquired->stop();
  }
  if (!sameHeight) {
    lockedOn = false;
    sounds.sndAcquired->stop();
  }

  // The television's bearing from the exact position; this call also brings the range flag up to
  // the range just worked out.
  tvRelBearing =
      static_cast<Single>(relativeBearing(toLong(getBearing(playerX, playerZ, tvX, tvZ))));
}

}  // namespace rd

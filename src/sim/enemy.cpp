// The enemy's flight: the computer's helicopter, flown one step of the tick at a time. It pursues
// the player or, with the player's nose on it from close by at its own height, dodges; it turns
// towards the player a degree a tick; its rotor is heard at its place, pitched by its height; and
// it fires when the player lies nearly straight along +z from it.
#include "game/game.h"

namespace rd {

// One step of the enemy along an axis, at its speed of the moment.
static Single enemyStep(Single enemySpeed) { return enemySpeed / 1000.0f; }

// A low enemy is lifted back to height 1 at the start of every tick; pursuit can still take it
// below 1 later in the same tick.
void Game::enemyAltitudeFloor() {
  if (enemyY < 1) enemyY = 1;
}

void Game::enemyDodgeOrPursue() {
  if (enemyRelBearing > 340 || enemyRelBearing < 20) {
    // The player's nose is on the enemy: it dodges, but only in the player's whole height band
    // and within range.
    if (floorOf(playerY) != floorOf(enemyY) || !inRange) return;
    if (enemyY < 5) {
      enemyY = enemyY + enemyStep(enemySpeed);
    } else {
      enemyY = enemyY - enemyStep(enemySpeed);
    }
    if (!enemyBoosted) {
      // Double the speed and side-step away from the player on each axis where it is less than
      // 2 away (and not exactly level).
      enemyBoosted = true;
      enemySpeed = enemySpeed * 2;
      if (playerX - 2.0f < enemyX && enemyX < playerX) enemyX = enemyX - enemyStep(enemySpeed);
      if (playerX < enemyX && enemyX < playerX + 2.0f) enemyX = enemyX + enemyStep(enemySpeed);
      if (playerZ - 2.0f < enemyZ && enemyZ < playerZ) enemyZ = enemyZ - enemyStep(enemySpeed);
      if (playerZ < enemyZ && enemyZ < playerZ + 2.0f) enemyZ = enemyZ + enemyStep(enemySpeed);
    } else if (enemyRange > 2) {
      // Further off than 2 the boost is let go on the next dodging tick; closer, it holds.
      enemyBoosted = false;
      enemySpeed = enemySpeed / 2;
    }
    return;
  }

  // Pursuit: close in along x and z to within 1 of the player; along y there is no dead band.
  if (enemyX > playerX + 1.0f) enemyX = enemyX - enemyStep(enemySpeed);
  if (enemyX < playerX - 1.0f) enemyX = enemyX + enemyStep(enemySpeed);
  if (enemyY > playerY) enemyY = enemyY - enemyStep(enemySpeed);
  if (enemyY < playerY) enemyY = enemyY + enemyStep(enemySpeed);
  if (enemyZ > playerZ + 1.0f) enemyZ = enemyZ - enemyStep(enemySpeed);
  if (enemyZ < playerZ - 1.0f) enemyZ = enemyZ + enemyStep(enemySpeed);
}

void Game::enemyBearingTurn() {
  enemyAimBearing = toLong(getBearing(enemyX, enemyZ, playerX, playerZ));

  // The heading turns a degree towards the bearing by plain comparison of the two numbers: from
  // 350 towards 10 it turns down through 349, the long way round.
  if (enemyHeading < enemyAimBearing) enemyHeading = longSum(enemyHeading, 1);
  if (enemyHeading > enemyAimBearing) enemyHeading = longDifference(enemyHeading, 1);

  // The heading is the enemy's facing only: the enemy moves by pursuit and dodging alone, so no
  // step along its heading is worked out here.
  if (enemyHeading > 360) enemyHeading = 0;
  if (enemyHeading < 0) enemyHeading = 360;

  sounds.sndEnemy3D->setPosition(enemyX, enemyY, enemyZ);
}

// The rotor's pitch steps up 28000 Hz for every 2 units of height. High up it jumps to that pitch
// on every tick; at 3 and below it glides there 1 Hz a tick. Pitches the voice cannot play (very
// high, or towards 0 below height 2) are clamped by the voice.
void Game::enemyVoicePitch() {
  const Long target = toLong(floorOf(enemyY / 2.0f) * 28000);
  if (enemyY > 3) sounds.sndEnemy->setFrequency(target);
  sounds.sndEnemy3D->setPosition(enemyX, enemyY, enemyZ);
  if (target > sounds.sndEnemy->getFrequency()) {
    sounds.sndEnemy->setFrequency(sounds.sndEnemy->getFrequency() + 1);
  }
  if (target < sounds.sndEnemy->getFrequency()) {
    sounds.sndEnemy->setFrequency(sounds.sndEnemy->getFrequency() - 1);
  }
}

// The enemy fires with the player nearly due +z of it. Just left of due +z (above 350) it fires
// whatever the heights and distance; just right (below 10) only level to the exact height and in
// range. It fires again on every tick the condition still holds.
void Game::enemyFires() {
  if (enemyAimBearing > 350 || (enemyAimBearing < 10 && enemyY == playerY && inRange)) {
    sounds.sndEnemyLaser3D->setPosition(enemyX, enemyY, enemyZ);
    sounds.sndEnemyLaser->play();
    playerShotDown();
  }
}

// Momentum builds by 1 a tick (up to 100) while a coordinate keeps changing and dies away by 1 a
// tick (down to 1) while it stays.
void Game::enemyMomentum() {
  if (enemyVelX < 100 && enemyX != lastEnemyX) {
    enemyVelX = enemyVelX + 1;
  } else if (enemyVelX > 1 && enemyX == lastEnemyX) {
    enemyVelX = enemyVelX - 1;
  }
  if (enemyVelY < 100 && enemyY != lastEnemyY) {
    enemyVelY = enemyVelY + 1;
  } else if (enemyVelY > 1 && enemyY == lastEnemyY) {
    enemyVelY = enemyVelY - 1;
  }
  if (enemyVelZ < 100 && enemyZ != lastEnemyZ) {
    enemyVelZ = enemyVelZ + 1;
  } else if (enemyVelZ > 1 && enemyZ == lastEnemyZ) {
    enemyVelZ = enemyVelZ - 1;
  }
}

}  // namespace rd

// The simulation tick and the player's flight. Each tick carries on what goes on without a key
// being pressed: the knob turns an airborne helicopter, the momentum builds up while the player
// keeps moving and dies away when it stops, the enemy flies, every contact in the room is tested,
// and the voices that follow the player (listener or rotor, wind) are re-placed and re-tuned.
#include <cmath>

#include "base/rules.h"
#include "game/game.h"

namespace rd {

void Game::tick() {
  // Nothing happens until the sound bank exists, not even the yield.
  if (!sounds.sndRotor) return;
  window.yield();
  enemyAltitudeFloor();
  // The knob adds its rate every tick while airborne; orientListener wraps the sum later.
  if (playerY > 1) playerHeading = longSum(playerHeading, knob);
  enemyDodgeOrPursue();
  enemyBearingTurn();
  enemyAtWalls();
  enemyVoicePitch();
  enemyFires();
  enemyAndTelevision();
  helicoptersCollide();
  enemyAndFan();
  enemyAtFanCentre();
  enemyMomentum();
  playerMomentum();
  overallSpeed();
  rememberPositions();
  orientListener();
  listeningPosition();
  playerAndFan();
  windVoice();
  dogWanders();
  dogAndPlayer();
  dogAndEnemy();
}

void Game::playerMomentum() {
  // An axis that moved since the last tick builds momentum up to about its cap; one that stayed
  // lets it die away to 1. Moving at or above the cap leaves it as it is.
  if (playerY / 5 + 2 > playerVelX && playerX != lastPlayerX) {
    playerVelX = playerVelX + 3;
  } else if (playerVelX > 1 && playerX == lastPlayerX) {
    playerVelX = playerVelX - 0.5f;
  }
  if (playerY / 5 + 10 > playerVelY && playerY != lastPlayerY) {
    playerVelY = playerVelY + 2;
  } else if (playerVelY > 1 && playerY == lastPlayerY) {
    playerVelY = playerVelY - 0.5f;
  }
  if (playerY / 5 + 2 > playerVelZ && playerZ != lastPlayerZ) {
    playerVelZ = playerVelZ + 3;
  } else if (playerVelZ > 1 && playerZ == lastPlayerZ) {
    playerVelZ = playerVelZ - 0.5f;
  }
}

void Game::overallSpeed() {
  // With equal momentum along x and z the speed keeps its last value.
  if (playerVelX > playerVelZ) {
    playerSpeed = 200 * playerVelX;
  } else if (playerVelZ > playerVelX) {
    playerSpeed = 200 * playerVelZ;
  }
}

void Game::rememberPositions() {
  lastEnemyX = enemyX;
  lastEnemyY = enemyY;
  lastEnemyZ = enemyZ;
  lastPlayerX = playerX;
  lastPlayerY = playerY;
  lastPlayerZ = playerZ;
}

void Game::orientListener() {
  if (!sounds.listener) return;
  // Not a remainder: below 0 is 360 and above 360 is 0, so -5 gives 360 and 365 gives 0.
  if (playerHeading < 0) playerHeading = 360;
  if (playerHeading > 360) playerHeading = 0;
  lookX = static_cast<Single>(3 * std::sin(playerHeading * rules::kRadiansPerDegree));
  lookZ = static_cast<Single>(3 * std::cos(playerHeading * rules::kRadiansPerDegree));
  // In the cockpit the listener looks along the heading, level, with its top straight up, so the
  // room turns round the player's head as the helicopter turns. (Tilting the front up by the height
  // with the top along +z would leave the right ear on -x at every heading: the room mirrored and
  // never turning.)
  if (playerY > 1 && !fixedListener) {
    sounds.listener->setOrientation(lookX, 0, lookZ, 0, 1, 0);
  }
}

void Game::headingStep() {
  stepX = static_cast<Single>(std::sin(playerHeading * rules::kRadiansPerDegree));
  stepZ = static_cast<Single>(std::cos(playerHeading * rules::kRadiansPerDegree));
  // Steps are half as long near the room's centre lines.
  if (-1 < playerX && playerX < 1) {
    stepDivX = 10;
  } else {
    stepDivX = 5;
  }
  if (-1 < playerZ && playerZ < 1) {
    stepDivZ = 10;
  } else {
    stepDivZ = 5;
  }
}

void Game::listeningPosition() {
  // In the cockpit the listener rides with the player; in the room the rotor sounds from there.
  if (!fixedListener) {
    sounds.listener->setPosition(playerX, playerY, playerZ);
  } else {
    sounds.sndRotor3D->setPosition(playerX, playerY, playerZ);
  }
}

void Game::windVoice() {
  // The wind climbs 600 Hz a tick towards twice the target and drops back 2000 Hz once past it.
  Single target = playerSpeed * 10 + 5000;
  if (target > windLevel) {
    windLevel = windLevel + 300;
  } else {
    windLevel = windLevel - 1000;
  }
  sounds.sndWind->setFrequency(toLong(2 * windLevel));
  sounds.sndWind->setVolume(toLong(playerSpeed / 2 - 2500));
  sounds.sndWind3D->setPosition(playerX, playerY, playerZ);
  if (!fixedListener) {
    sounds.sndWind3D->setMode(Mode3D::off);
  } else {
    sounds.sndWind3D->setMode(Mode3D::normal);
  }
}

}  // namespace rd

// The laser. Every shot sounds at the helicopter; there is no cooldown and no ammunition. The
// aiming values (bearings, range, the explosion's spot) are the target finder's latest.
#include "game/game.h"

namespace rd {

namespace {

// Within 20 degrees either side of the nose; 20 and 340 themselves are outside.
bool ahead(double bearing) { return bearing < 20 || bearing > 340; }

}  // namespace

void Game::fireLaser() {
  sounds.sndPlayerLaser3D->setPosition(playerX, playerY, playerZ);
  sounds.sndPlayerLaser->play();

  // The enemy: level by whole heights, ahead and in range.
  if (floorOf(playerY) == floorOf(enemyY) && ahead(enemyRelBearing) && inRange) {
    sounds.sndExplode3D->setPosition(enemyCueX, 0, enemyCueZ);
    sounds.sndExplode->play();
    enemyShotDown();
    enemySpeed = enemySpeed + 1;
  }

  // The television, whatever became of the enemy: fired low at a set that is playing. Switching it
  // off means starting its timer; it stays whole.
  if (playerY <= 3 && !window.timerEnabled(TimerId::television) && tvOn &&
      ahead(floorOf(tvRelBearing))) {
    window.setTimerEnabled(TimerId::television, true);
    sounds.sndExplode3D->setPosition(tvX, 0, tvZ);
    sounds.sndExplode->play();
    sounds.sndTv->stop();
    playSoundFile("TVOff");
    enemySpeed = enemySpeed + 5;
  }
}

}  // namespace rd

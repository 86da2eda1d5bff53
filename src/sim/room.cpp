// The room's hazards and the dog: the walls, the television, the other helicopter, the ceiling
// fan and the dog, tested on every tick in the tick's order. Each test reads the state as the
// steps before it (and the outcomes they called) left it.
#include "base/rules.h"
#include "game/game.h"

namespace rd {

using rules::kWall;
using rules::kWallCrashMomentum;

namespace {

// The dog's roll is 1 to 1000; above this (1 in 20) it changes course.
constexpr Single kDogTurnRoll = 950;

}  // namespace

// Beyond a wall the enemy scrapes, and crashes first when it came in fast.
void Game::enemyAtWalls() {
  if (enemyX > kWall || enemyZ > kWall || enemyX < -kWall || enemyZ < -kWall) {
    if (enemyVelX > kWallCrashMomentum || enemyVelZ > kWallCrashMomentum) enemyCrash();
    scraped();
  }
}

// The enemy flies low into the playing television at whole cell (-5, 12).
void Game::enemyAndTelevision() {
  if (floorOf(enemyX) == -5 && enemyY < 5 && floorOf(enemyZ) == 12 && tvOn) {
    sounds.sndTv->stop();
    tvOn = false;
    enemySmash();
  }
}

// The helicopters meet in the same whole cell along x at exactly the same height and z.
void Game::helicoptersCollide() {
  if (floorOf(enemyX) == floorOf(playerX) && enemyY == playerY && enemyZ == playerZ) collide();
}

// The running fan's blades reach 2 units from the centre, from height 8 up.
void Game::enemyAndFan() {
  if (-2 < enemyX && enemyX < 2 && enemyY >= 8 && -2 < enemyZ && enemyZ < 2 && fanOn) {
    sounds.sndFanHit3D->setPosition(enemyX, enemyY, enemyZ);
    sounds.sndFanHit->play();
    enemyCrash();
  }
}

// The fan's hub smashes the enemy, running or not, on every tick it stays there.
void Game::enemyAtFanCentre() {
  if (floorOf(enemyX) == 0 && enemyY >= 9 && floorOf(enemyZ) == 0) enemySmash();
}

// The fan catches the player within 3 units of the centre and throws it to a whole place
// away from the centre lines, facing a new way. Its height stays.
void Game::playerAndFan() {
  if (playerY >= 8 && fanOn && -3 < playerX && playerX < 3 && -3 < playerZ && playerZ < 3) {
    sounds.sndFanHit3D->setPosition(playerX, playerY, playerZ);
    sounds.sndFanHit->play();
    newPlayerX = static_cast<Single>(floorOf(19 * randomDraw() + 1));
    newPlayerZ = static_cast<Single>(floorOf(19 * randomDraw() + 1));
    playerX = newPlayerX;
    playerZ = newPlayerZ;
    playerCrash();
    randomHeading = static_cast<Single>(floorOf(359 * randomDraw() + 1));
    playerHeading = toLong(randomHeading);
  }
}

// The dog trots on its course, now and then picks a new one (drifting towards -x and -z,
// five of the ten speeds being negative), and is put back inside when it wanders through a wall.
// Its bark is placed before that, so for one tick it may sound beyond the wall.
void Game::dogWanders() {
  dogRoll = static_cast<Single>(floorOf(1000 * randomDraw() + 1));
  if (dogRoll > kDogTurnRoll) {
    dogVelX = static_cast<Single>(floorOf(10 * randomDraw() + 1) - 6) / 60;
    dogVelZ = static_cast<Single>(floorOf(10 * randomDraw() + 1) - 6) / 60;
  }
  dogX = dogX + dogVelX;
  dogZ = dogZ + dogVelZ;
  sounds.sndDogBark3D->setPosition(dogX, 0, dogZ);
  putInsideWalls(dogX);
  putInsideWalls(dogZ);
}

// The dog bites a player on the floor in its whole cell.
void Game::dogAndPlayer() {
  if (playerY < 1 && floorOf(dogX) == floorOf(playerX) && floorOf(dogZ) == floorOf(playerZ))
    playerCrunch();
}

// The dog bites a low enemy only on exactly its own spot.
void Game::dogAndEnemy() {
  if (enemyY < 1 && enemyX == dogX && enemyZ == dogZ) enemyCrunch();
}

}  // namespace rd

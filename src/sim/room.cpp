// The room's hazards and the dog: the walls, the television, the other helicopter, the ceiling
// fan and the dog, tested on every tick in the tick's order. Each test reads the state as the
// steps before it (and the outcomes they called) left it.
#include "core/config.h"
#include "core/form1.h"

namespace rd {

using config::kWall;
using config::kWallCrashMomentum;

namespace {

// The dog's roll is 1 to 1000; above this (1 in 20) it changes course.
constexpr Single kDogTurnRoll = 950;

}  // namespace

// Beyond a wall the enemy scrapes, and crashes first when it came in fast.
void Form1::enemyAtWalls() {
  if (enemyX > kWall || enemyZ > kWall || enemyX < -kWall || enemyZ < -kWall) {
    if (enemyVelX > kWallCrashMomentum || enemyVelZ > kWallCrashMomentum) enemycrash();
    scraped();
  }
}

// The enemy flies low into the playing television at whole cell (-5, 12).
void Form1::enemyAndTelevision() {
  if (Int(enemyX) == -5 && enemyY < 5 && Int(enemyZ) == 12 && tvOn) {
    snd.sndTv->stop();
    tvOn = false;
    EnemySmash();
  }
}

// The helicopters meet in the same whole cell along x at exactly the same height and z.
void Form1::helicoptersCollide() {
  if (Int(enemyX) == Int(playerX) && enemyY == playerY && enemyZ == playerZ) collide();
}

// The running fan's blades reach 2 units from the centre, from height 8 up.
void Form1::enemyAndFan() {
  if (-2 < enemyX && enemyX < 2 && enemyY >= 8 && -2 < enemyZ && enemyZ < 2 && fanOn) {
    snd.sndFanHit3D->setPosition(enemyX, enemyY, enemyZ);
    snd.sndFanHit->play();
    enemycrash();
  }
}

// The fan's hub smashes the enemy, running or not, on every tick it stays there.
void Form1::enemyAtFanCentre() {
  if (Int(enemyX) == 0 && enemyY >= 9 && Int(enemyZ) == 0) EnemySmash();
}

// The fan catches the player within 3 units of the centre and throws it to a whole place
// away from the centre lines, facing a new way. Its height stays.
void Form1::playerAndFan() {
  if (playerY >= 8 && fanOn && -3 < playerX && playerX < 3 && -3 < playerZ && playerZ < 3) {
    snd.sndFanHit3D->setPosition(playerX, playerY, playerZ);
    snd.sndFanHit->play();
    newPlayerX = static_cast<Single>(Int(19 * Rnd() + 1));
    newPlayerZ = static_cast<Single>(Int(19 * Rnd() + 1));
    playerX = newPlayerX;
    playerZ = newPlayerZ;
    Playercrash();
    randomHeading = static_cast<Single>(Int(359 * Rnd() + 1));
    playerHeading = toLong(randomHeading);
  }
}

// The dog trots on its course, now and then picks a new one (drifting towards -x and -z,
// five of the ten speeds being negative), and is put back inside when it wanders through a wall.
// Its bark is placed before that, so for one tick it may sound beyond the wall.
void Form1::dogWanders() {
  dogRoll = static_cast<Single>(Int(1000 * Rnd() + 1));
  if (dogRoll > kDogTurnRoll) {
    dogVelX = static_cast<Single>(Int(10 * Rnd() + 1) - 6) / 60;
    dogVelZ = static_cast<Single>(Int(10 * Rnd() + 1) - 6) / 60;
  }
  dogX = dogX + dogVelX;
  dogZ = dogZ + dogVelZ;
  snd.sndDogBark3D->setPosition(dogX, 0, dogZ);
  putInsideWalls(dogX);
  putInsideWalls(dogZ);
}

// The dog bites a player on the floor in its whole cell.
void Form1::dogAndPlayer() {
  if (playerY < 1 && Int(dogX) == Int(playerX) && Int(dogZ) == Int(playerZ)) playerCrunch();
}

// The dog bites a low enemy only on exactly its own spot.
void Form1::dogAndEnemy() {
  if (enemyY < 1 && enemyX == dogX && enemyZ == dogZ) EnemyCrunch();
}

}  // namespace rd

// The new game: start values, the sound device and listener, the bank, the room's looping voices
// at their places, and the three timers. Stops at the first failing step.
#include "base/rules.h"
#include "game/game.h"

namespace rd {

void Game::newGame() {
  enemySpeed = 1.0f;
  enemyY = 1.0f;
  tvOn = true;
  fanOn = true;
  lockedOn = false;
  inRange = false;
  enemyHeading = 0;
  enemyLives = 10;
  tvX = -5.0f;
  tvY = 0;
  tvZ = 12.0f;
  fanX = 0;
  fanY = 9.0f;
  fanZ = 0;
  playerLives = 10;
  enemyX = 18.0f;
  enemyZ = 18.0f;

  reseedRandom();
  knob = toLong(floorOf(randomDraw() * 30 + 1) - 5);
  enemyRange = 1;

  playerX = 0.1f;
  playerZ = 1.0f;
  playerY = 0;

  sounds.device = soundSystem.createDevice();
  sounds.listener = &sounds.device->createListener();

  loadSounds();

  sounds.listener->setOrientation(0, 0, 1, 0, 1, 0);
  sounds.listener->setPosition(0, 4, 0);

  sounds.sndRotor3D->setConeAngles(5, 10);
  sounds.sndRotor3D->setConeOutsideVolume(-1000);
  sounds.sndAcquired3D->setMode(Mode3D::off);
  sounds.sndWind3D->setConeAngles(5, 30);
  sounds.sndWind3D->setConeOutsideVolume(-2000);

  sounds.sndRotor3D->setPosition(playerX, playerY, playerZ);
  sounds.sndTargetX3D->setMode(Mode3D::headRelative);
  sounds.sndTargetY3D->setMode(Mode3D::headRelative);

  playerVelX = 1.0f;
  playerVelY = 1.0f;
  playerVelZ = 1.0f;

  sounds.listener->setDopplerFactor(10.0f);
  sounds.sndEnemy3D->setMinDistance(1.0f);
  sounds.sndEnemy3D->setMaxDistance(10.0f);
  sounds.sndRotor3D->setMinDistance(1.0f);
  sounds.sndRotor3D->setMaxDistance(10.0f);
  sounds.sndDogBark3D->setMinDistance(0.7f);
  sounds.sndDogBark3D->setMaxDistance(20.0f);
  sounds.sndFan3D->setMinDistance(1.0f);
  sounds.sndFan3D->setMaxDistance(8.0f);
  sounds.listener->setRolloffFactor(1.0f);

  sounds.sndRotor->setFrequency(rules::kIdleRotorHz);
  sounds.sndRotor->loop();

  sounds.sndWind3D->setPosition(playerX, playerY, playerZ);
  sounds.sndWind->setVolume(-4000);
  sounds.sndWind->loop();

  // The enemy's rotor sounds 2 units above its recorded height until the tick first moves it.
  sounds.sndEnemy3D->setPosition(enemyX, 3.0f, enemyZ);
  sounds.sndEnemy->loop();

  sounds.sndTv3D->setPosition(-5.0f, 0, 12.0f);
  sounds.sndTv->loop();

  sounds.sndFan3D->setPosition(fanX, fanY, fanZ);
  sounds.sndFan->loop();

  sounds.sndDogBark3D->setPosition(13.0f, 0, 13.0f);
  dogX = 13.0f;
  dogZ = 13.0f;
  sounds.sndDogBark->loop();

  window.setTimerInterval(TimerId::simulation, 1);
  window.setTimerInterval(TimerId::targetFinder, 500);
  window.setTimerEnabled(TimerId::targetFinder, true);
  finderOn = true;
  window.setTimerInterval(TimerId::television, 9000);
  window.setTimerEnabled(TimerId::television, false);
  window.setTimerEnabled(TimerId::simulation, true);
}

void Game::loadSounds() { rd::loadSounds(sounds, window); }

// The end of the program: the sounds go quiet and are let go, then the program ends with 0.
void Game::shutDown() {
  releaseSounds(sounds);
  window.endProgram(0);
}

}  // namespace rd

// The new game: start values, the sound device and listener, the bank, the room's looping voices
// at their places, and the three timers. Stops at the first failing step.
#include "core/config.h"
#include "core/form1.h"

namespace rd {

void Form1::StartGame() {
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

  Randomize();
  knob = toLong(Int(Rnd() * 30 + 1) - 5);
  enemyRange = 1;

  playerX = 0.1f;
  playerZ = 1.0f;
  playerY = 0;

  snd.dx = soundSystem.createDevice();
  snd.listener = &snd.dx->createListener();

  loadSounds();

  snd.listener->setOrientation(0, 0, 1, 0, 1, 0);
  snd.listener->setPosition(0, 4, 0);

  snd.sndRotor3D->setConeAngles(5, 10);
  snd.sndRotor3D->setConeOutsideVolume(-1000);
  snd.sndAcquired3D->setMode(Mode3D::off);
  snd.sndWind3D->setConeAngles(5, 30);
  snd.sndWind3D->setConeOutsideVolume(-2000);

  snd.sndRotor3D->setPosition(playerX, playerY, playerZ);
  snd.sndTargetX3D->setMode(Mode3D::headRelative);
  snd.sndTargetY3D->setMode(Mode3D::headRelative);

  playerVelX = 1.0f;
  playerVelY = 1.0f;
  playerVelZ = 1.0f;

  snd.listener->setDopplerFactor(10.0f);
  snd.sndEnemy3D->setMinDistance(1.0f);
  snd.sndEnemy3D->setMaxDistance(10.0f);
  snd.sndRotor3D->setMinDistance(1.0f);
  snd.sndRotor3D->setMaxDistance(10.0f);
  snd.sndDogBark3D->setMinDistance(0.7f);
  snd.sndDogBark3D->setMaxDistance(20.0f);
  snd.sndFan3D->setMinDistance(1.0f);
  snd.sndFan3D->setMaxDistance(8.0f);
  snd.listener->setRolloffFactor(1.0f);

  snd.sndRotor->setFrequency(config::kIdleRotorHz);
  snd.sndRotor->loop();

  snd.sndWind3D->setPosition(playerX, playerY, playerZ);
  snd.sndWind->setVolume(-4000);
  snd.sndWind->loop();

  // The enemy's rotor sounds 2 units above its recorded height until the tick first moves it.
  snd.sndEnemy3D->setPosition(enemyX, 3.0f, enemyZ);
  snd.sndEnemy->loop();

  snd.sndTv3D->setPosition(-5.0f, 0, 12.0f);
  snd.sndTv->loop();

  snd.sndFan3D->setPosition(fanX, fanY, fanZ);
  snd.sndFan->loop();

  snd.sndDogBark3D->setPosition(13.0f, 0, 13.0f);
  dogX = 13.0f;
  dogZ = 13.0f;
  snd.sndDogBark->loop();

  window.setTimerInterval(TimerId::CheckThings, 1);
  window.setTimerInterval(TimerId::targetTimer, 500);
  window.setTimerEnabled(TimerId::targetTimer, true);
  finderOn = true;
  window.setTimerInterval(TimerId::TVTimer, 9000);
  window.setTimerEnabled(TimerId::TVTimer, false);
  window.setTimerEnabled(TimerId::CheckThings, true);
}

void Form1::loadSounds() { rd::loadSounds(snd, window); }

void Form1::shutDown() { rd::shutDown(snd, window); }

}  // namespace rd

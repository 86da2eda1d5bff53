// Crashes, scrapes, smashes, collisions and the falls. A helicopter that goes down is heard
// sinking: each step of a fall holds the game a moment, lowers the height by 0.05 and the rotor
// by 54 Hz. A crash takes one spare helicopter from its side; the player's crash with none left
// ends the game.
#include "core/config.h"
#include "core/form1.h"

namespace rd {

namespace {

// One step down. A height so large that 0.05 no longer changes it falls the rest of the way in
// this step, so that every fall ends.
Single fallStep(Single y) {
  const Single lower = y - config::kFallStep;
  return lower < y ? lower : 1.0f;
}

}  // namespace

void Form1::busyWait(Long counts) {
  // The whole game holds still between two steps of a fall while the sound device keeps mixing,
  // so the sinking rotor is heard step by step. The counter ends one past the last count.
  window.hold(counts * config::kMsPerBusyCount);
  delayCount = static_cast<Single>(counts + 1);
}

void Form1::playerFall(Long counts) {
  fallY = playerY;
  while (fallY >= 1) {
    busyWait(counts);
    playerY = fallY;
    if (!fixedListener) {
      snd.listener->setPosition(playerX, playerY, playerZ);
    } else {
      snd.sndRotor3D->setPosition(playerX, playerY, playerZ);
    }
    snd.sndRotor->setFrequency(snd.sndRotor->getFrequency() - config::kFallPitchStepHz);
    fallY = fallStep(fallY);
  }
}

void Form1::enemyFall(Long counts, bool pitchFloor) {
  fallY = enemyY;
  while (fallY >= 1) {
    busyWait(counts);
    enemyY = fallY;
    snd.sndEnemy3D->setPosition(enemyX, enemyY, enemyZ);
    if (!pitchFloor) {
      snd.sndEnemy->setFrequency(snd.sndEnemy->getFrequency() - config::kFallPitchStepHz);
    } else if (snd.sndEnemy->getFrequency() > 5100) {
      // A shot-down enemy's rotor never sinks below its idle pitch.
      snd.sndEnemy->setFrequency(snd.sndEnemy->getFrequency() - config::kFallPitchStepHz);
    }
    fallY = fallStep(fallY);
  }
}

void Form1::impactSound(Single x, Single y, Single z) {
  // The crash voice gets a fresh 3D control at each impact; the previous one goes.
  snd.sndCrash3D = snd.sndCrash->take3D();
  snd.sndCrash3D->setPosition(x, y, z);
  snd.sndCrash->play();
}

void Form1::smash() {
  snd.sndBreak3D->setPosition(playerX, playerY, playerZ);
  snd.sndBreak->play();
}

void Form1::EnemySmash() {
  // The breaking is heard where the player is, wherever the enemy broke something.
  snd.sndBreak3D->setPosition(playerX, playerY, playerZ);
  snd.sndBreak->play();
  speak("Aha!  I nailed it.  Beatcha to it punk!");
}

void Form1::resetPlayerMomentum() {
  playerVelX = 1.0f;
  playerVelY = 1.0f;
  playerVelZ = 1.0f;
}

void Form1::resetEnemyMomentum() {
  enemyVelX = 1.0f;
  enemyVelY = 1.0f;
  enemyVelZ = 1.0f;
}

bool Form1::playerLosesLife() {
  if (playerLives == 0) return false;
  playerLives = longDifference(playerLives, 1);
  snd.sndRotor->setFrequency(config::kIdleRotorHz);
  return true;
}

void Form1::Playercrash() {
  playerFall(config::kCrashFallCounts);
  impactSound(playerX, playerY, playerZ);
  playerSpeed = 0;
  resetPlayerMomentum();
  if (!playerLosesLife()) {
    playSoundFile("PlayerSmash");
    endGame();
  }
}

void Form1::scraped() {
  {
    std::unique_ptr<Voice3D> scrape3D = snd.sndScrape->take3D();
    scrape3D->setPosition(playerX, playerY, playerZ);
    snd.sndScrape->play();
  }
  // Back inside, with the momentum into the wall gone.
  if (putInsideWalls(playerX)) playerVelX = 1.0f;
  if (putInsideWalls(playerZ)) playerVelZ = 1.0f;
}

void Form1::collide() {
  playSoundFile("collide");
  // Only the player goes down; the enemy stays where it is.
  playerFall(config::kCrashFallCounts);
  impactSound(playerX, playerY, playerZ);
  resetPlayerMomentum();
  resetEnemyMomentum();
  if (!playerLosesLife()) {
    snd.sndEnemy->stop();
    snd.sndRotor->stop();
    playSoundFile("PlayerSmash");
    endGame();
  }
}

void Form1::enemycrash() {
  enemyFall(config::kCrashFallCounts, false);
  impactSound(enemyX, enemyY, enemyZ);
  resetEnemyMomentum();
  if (enemyLives != 0) {
    enemyLives = longDifference(enemyLives, 1);
    snd.sndEnemy->setFrequency(config::kIdleRotorHz);
  } else {
    // The enemy's last helicopter: it falls silent for good, and the game goes on.
    snd.sndEnemy->stop();
    playSoundFile("EnemySmash");
  }
}

}  // namespace rd

// Crashes, scrapes, smashes, collisions and the falls. A helicopter that goes down is heard
// sinking: each step of a fall holds the game a moment, lowers the height by 0.05 and the rotor
// by 54 Hz. A crash takes one spare helicopter from its side; the player's crash with none left
// ends the game.
#include "base/rules.h"
#include "game/game.h"

namespace rd {

namespace {

// One step down. A height so large that 0.05 no longer changes it falls the rest of the way in
// this step, so that every fall ends.
Single fallStep(Single y) {
  const Single lower = y - rules::kFallStep;
  return lower < y ? lower : 1.0f;
}

}  // namespace

void Game::busyWait(Long counts) {
  // The whole game holds still between two steps of a fall while the sound device keeps mixing,
  // so the sinking rotor is heard step by step. The counter ends one past the last count.
  window.hold(counts * rules::kMsPerBusyCount);
  delayCount = static_cast<Single>(counts + 1);
}

void Game::playerFall(Long counts) {
  fallY = playerY;
  while (fallY >= 1) {
    busyWait(counts);
    playerY = fallY;
    listeningPosition();
    sounds.sndRotor->setFrequency(sounds.sndRotor->getFrequency() - rules::kFallPitchStepHz);
    fallY = fallStep(fallY);
  }
}

void Game::enemyFall(Long counts, bool pitchFloor) {
  fallY = enemyY;
  while (fallY >= 1) {
    busyWait(counts);
    enemyY = fallY;
    sounds.sndEnemy3D->setPosition(enemyX, enemyY, enemyZ);
    if (!pitchFloor) {
      sounds.sndEnemy->setFrequency(sounds.sndEnemy->getFrequency() - rules::kFallPitchStepHz);
    } else if (sounds.sndEnemy->getFrequency() > 5100) {
      // A shot-down enemy's rotor never sinks below its idle pitch.
      sounds.sndEnemy->setFrequency(sounds.sndEnemy->getFrequency() - rules::kFallPitchStepHz);
    }
    fallY = fallStep(fallY);
  }
}

void Game::impactSound(Single x, Single y, Single z) {
  // The crash voice gets a fresh 3D control at each impact; the previous one goes.
  sounds.sndCrash3D = sounds.sndCrash->take3D();
  sounds.sndCrash3D->setPosition(x, y, z);
  sounds.sndCrash->play();
}

void Game::smash() {
  sounds.sndBreak3D->setPosition(playerX, playerY, playerZ);
  sounds.sndBreak->play();
}

void Game::enemySmash() {
  // The breaking is heard where the player is, wherever the enemy broke something.
  sounds.sndBreak3D->setPosition(playerX, playerY, playerZ);
  sounds.sndBreak->play();
  speak("Aha!  I nailed it.  Beatcha to it punk!");
}

void Game::resetPlayerMomentum() {
  playerVelX = 1.0f;
  playerVelY = 1.0f;
  playerVelZ = 1.0f;
}

void Game::resetEnemyMomentum() {
  enemyVelX = 1.0f;
  enemyVelY = 1.0f;
  enemyVelZ = 1.0f;
}

bool Game::playerLosesLife() {
  if (playerLives == 0) return false;
  playerLives = longDifference(playerLives, 1);
  sounds.sndRotor->setFrequency(rules::kIdleRotorHz);
  return true;
}

void Game::playerCrash() {
  playerFall(rules::kCrashFallCounts);
  impactSound(playerX, playerY, playerZ);
  playerSpeed = 0;
  resetPlayerMomentum();
  if (!playerLosesLife()) {
    playSoundFile("PlayerSmash");
    endGame();
  }
}

void Game::scraped() {
  {
    std::unique_ptr<Voice3D> scrape3D = sounds.sndScrape->take3D();
    scrape3D->setPosition(playerX, playerY, playerZ);
    sounds.sndScrape->play();
  }
  // Back inside, with the momentum into the wall gone.
  if (putInsideWalls(playerX)) playerVelX = 1.0f;
  if (putInsideWalls(playerZ)) playerVelZ = 1.0f;
}

void Game::collide() {
  playSoundFile("collide");
  // Only the player goes down; the enemy stays where it is.
  playerFall(rules::kCrashFallCounts);
  impactSound(playerX, playerY, playerZ);
  resetPlayerMomentum();
  resetEnemyMomentum();
  if (!playerLosesLife()) {
    sounds.sndEnemy->stop();
    sounds.sndRotor->stop();
    playSoundFile("PlayerSmash");
    endGame();
  }
}

void Game::enemyCrash() {
  enemyFall(rules::kCrashFallCounts, false);
  impactSound(enemyX, enemyY, enemyZ);
  resetEnemyMomentum();
  if (enemyLives != 0) {
    enemyLives = longDifference(enemyLives, 1);
    sounds.sndEnemy->setFrequency(rules::kIdleRotorHz);
  } else {
    // The enemy's last helicopter: it falls silent for good, and the game goes on.
    sounds.sndEnemy->stop();
    playSoundFile("EnemySmash");
  }
}

}  // namespace rd

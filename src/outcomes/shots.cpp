// Shots and the dog's crunches. A shot-down helicopter sinks to about height 1 and flies on while
// the other side scores; it costs no spare helicopter. The dog catching either helicopter on the
// floor ends the game.
#include "base/rules.h"
#include "game/game.h"

namespace rd {

void Game::enemyShotDown() {
  randomizeHeading();
  enemyFall(rules::kShotDownFallCounts, true);
  impactSound(enemyX, enemyY, enemyZ);
  playSoundFile("EnemyShotDown");
  playerScore = longSum(playerScore, 1);
  resetEnemyMomentum();
  sounds.sndEnemy->setFrequency(rules::kIdleRotorHz);
}

// Every enemy shot down leaves the player facing somewhere new, 1 to 359, never exactly 0.
void Game::randomizeHeading() {
  reseedRandom();
  randomHeading = static_cast<Single>(floorOf(randomDraw() * 359.0 + 1));
  playerHeading = toLong(randomHeading);
}

void Game::playerShotDown() {
  playerFall(rules::kShotDownFallCounts);
  impactSound(playerX, playerY, playerZ);
  playSoundFile("PlayerShotDown");
  enemyScore = longSum(enemyScore, 1);
  resetPlayerMomentum();
  sounds.sndRotor->setFrequency(rules::kIdleRotorHz);
  scatterPlayer();
}

// The shot-down player drifts by a whole -1, 0, 1 or 2 on each of x and z. A player that drifts
// beyond a wall is put back 1 unit inside it, as at every other wall of the room; keeping -19 as
// the lower limit matters, since a limit of 1 would throw a player shot down anywhere in the
// negative half clear across the room. The draw is scaled in double: in single precision the
// largest draw would round up to a drift of 3.
void Game::scatterPlayer() {
  playerX = static_cast<Single>(floorOf(randomDraw() * 4.0 + 1) + playerX - 2);
  playerZ = static_cast<Single>(floorOf(randomDraw() * 4.0 + 1) + playerZ - 2);
  putInsideWalls(playerX);
  putInsideWalls(playerZ);
}

void Game::enemyCrunch() {
  sounds.sndCrunch3D->setPosition(dogX, dogY, dogZ);
  sounds.sndCrunch->play();
  speak("Damn!  The dog ate my helicopter!  All right you friggin dog, you're dead!");
  endGame();
}

void Game::playerCrunch() {
  sounds.sndCrunch3D->setPosition(dogX, dogY, dogZ);
  sounds.sndCrunch->play();
  speak(
      "Yes!  Oh yes!  That was brilliant!  I win!  Ha ha!  The dog just crunched your copter!  I "
      "love it!");
  endGame();
}

}  // namespace rd

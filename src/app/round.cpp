#include "app/round.h"

#include <cmath>
#include <cstdlib>

#include "base/game_error.h"

namespace rd::app {

Round::Round(Game& game, int lesson, sdl::SdlWindow& window, NotedSpeech& speech, int number)
    : game_(game), window_(window), speech_(speech), number_(number) {
  if (lesson < 0) return;
  LessonHooks hooks;
  hooks.say = [this](const std::string& text) { say(text); };
  hooks.end = [this](const std::string& text) {
    words_ = text;
    done_ = true;
    window_.endProgram(0);
  };
  hooks.setPractice = [this](bool enemyHoldsFire, bool dogStays) {
    holdFire_ = enemyHoldsFire;
    dogStays_ = dogStays;
    dog_ = {game_.dogX, game_.dogZ};
    enemy_ = {game_.enemyX, game_.enemyY, rules::kWall};
    keepPractice();
  };
  lesson_.emplace(lesson, std::move(hooks));
}

void Round::start() {
  game_.start();
  if (onStarted) onStarted();
  // A test hook: from the round it names (1 for the first), the dog waits in the player's cell,
  // so the round ends at its first tick.
  const char* hook = std::getenv("ROTORDUEL_TEST_DOG_BITES");
  if (hook && number_ >= std::atoi(hook)) {
    game_.dogX = std::floor(game_.playerX) + 0.5f;
    game_.dogZ = std::floor(game_.playerZ) + 0.5f;
    game_.dogVelX = game_.dogVelZ = 0;
  }
  if (lesson_) lesson_->begin(game_);
}

void Round::onTimer(TimerId id) {
  game_.onTimer(id);
  if (id != TimerId::simulation) return;
  keepPractice();
  if (lesson_) lesson_->watch(game_, 0);
}

void Round::onKeyDown(int16_t code) {
  game_.onKeyDown(code);
  if (lesson_) lesson_->watch(game_, code);
}

void Round::say(const std::string& text) {
  try {
    if (!voice_) voice_ = speech_.createOwnVoice();
    voice_->speak(text);
  } catch (const GameError& e) {
    window_.reportError(e.what(), false);
  }
}

// Put back after every tick: the dog where it stood, the enemy against the +z wall at its height,
// from where every bearing to the player points away from its line of fire.
void Round::keepPractice() {
  if (dogStays_) {
    game_.dogX = dog_[0];
    game_.dogZ = dog_[1];
    game_.dogVelX = game_.dogVelZ = 0;
    if (game_.sounds.sndDogBark3D) game_.sounds.sndDogBark3D->setPosition(dog_[0], 0, dog_[1]);
  }
  if (holdFire_) {
    game_.enemyX = game_.lastEnemyX = enemy_[0];
    game_.enemyY = game_.lastEnemyY = enemy_[1];
    game_.enemyZ = game_.lastEnemyZ = enemy_[2];
    game_.enemyVelX = game_.enemyVelY = game_.enemyVelZ = 1;
    if (game_.sounds.sndEnemy3D)
      game_.sounds.sndEnemy3D->setPosition(enemy_[0], enemy_[1], enemy_[2]);
  }
}

// The side with helicopters left when the other lost its last; else the dog ended it, and the
// side it caught on the floor lost; else the points.
int winnerOf(const Game& g) {
  if (g.playerLives == 0 || g.enemyLives == 0) return g.playerLives == 0 ? -1 : 1;
  const bool playerCaught = g.playerY < 1 && std::floor(g.dogX) == std::floor(g.playerX) &&
                            std::floor(g.dogZ) == std::floor(g.playerZ);
  const bool enemyCaught = g.enemyY < 1 && g.enemyX == g.dogX && g.enemyZ == g.dogZ;
  if (playerCaught != enemyCaught) return playerCaught ? -1 : 1;
  return g.playerScore > g.enemyScore ? 1 : (g.playerScore < g.enemyScore ? -1 : 0);
}

}  // namespace rd::app

// The game's procedures without arguments, by name, so that scripts can run any of them.
#include <map>

#include "game/game.h"

namespace rd {

Game::Procedure Game::procedureByName(const std::string& name) {
#define RD_PROC(p) {#p, &Game::p},
  // clang-format off
  static const std::map<std::string, Procedure> procedures = {
      RD_PROC(start) RD_PROC(newGame) RD_PROC(loadSounds) RD_PROC(shutDown)
      RD_PROC(playKnobClick) RD_PROC(endGame) RD_PROC(flyForward) RD_PROC(flyBackward)
      RD_PROC(turnLeft) RD_PROC(turnRight) RD_PROC(climb) RD_PROC(descend) RD_PROC(fireLaser)
      RD_PROC(tick) RD_PROC(orientListener) RD_PROC(headingStep)
      RD_PROC(playerMomentum) RD_PROC(overallSpeed) RD_PROC(rememberPositions)
      RD_PROC(listeningPosition) RD_PROC(windVoice) RD_PROC(enemyAltitudeFloor)
      RD_PROC(enemyDodgeOrPursue) RD_PROC(enemyBearingTurn) RD_PROC(enemyVoicePitch)
      RD_PROC(enemyFires) RD_PROC(enemyMomentum) RD_PROC(enemyAtWalls) RD_PROC(enemyAndTelevision)
      RD_PROC(helicoptersCollide) RD_PROC(enemyAndFan) RD_PROC(enemyAtFanCentre)
      RD_PROC(playerAndFan) RD_PROC(dogWanders) RD_PROC(dogAndPlayer) RD_PROC(dogAndEnemy)
      RD_PROC(targetCycle) RD_PROC(televisionResumes) RD_PROC(smash) RD_PROC(enemySmash)
      RD_PROC(playerCrash) RD_PROC(scraped) RD_PROC(collide) RD_PROC(enemyCrash)
      RD_PROC(enemyShotDown) RD_PROC(playerShotDown) RD_PROC(enemyCrunch) RD_PROC(playerCrunch)
      RD_PROC(scatterPlayer) RD_PROC(randomizeHeading) RD_PROC(score)};
  // clang-format on
#undef RD_PROC
  auto it = procedures.find(name);
  return it == procedures.end() ? nullptr : it->second;
}

}  // namespace rd

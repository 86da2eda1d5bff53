// The game record: every variable of the game window, in its order of declaration. Every value
// starts as 0, False or an empty reference when the window is made; start-up and the new game
// give the start values.
#pragma once

#include <memory>
#include <string_view>

#include "core/values.h"
#include "platform/speech.h"

namespace rd {

// B Boolean (a bool; scripts print and set it as -1 and 0), L Long, S Single, O object reference
// (the speech voice).
// clang-format off
#define RD_GAME_RECORD(B, L, S, O)                                                                 \
  L(EventHandle)                                                                                   \
  L(heightGap) S(bearingDx) S(bearingDz) S(randomHeading) B(lockedOn) B(enemyBoosted) S(stepDivX)  \
      S(stepDivZ) S(dogVelX) S(dogRoll) S(dogVelZ) S(dogX) S(dogY) S(dogZ) B(fixedListener)        \
          S(windLevel) S(delayCount) S(fallY) B(inRange) L(enemyAimBearing) L(playerScore)         \
              L(enemyScore) L(enemyHeading) L(enemyLives) B(finderOn) S(tvX) S(tvY) S(tvZ) S(fanX) \
                  S(fanY) S(fanZ) L(enemyRelBearing) S(tvRelBearing) L(playerLives) S(playerSpeed) \
                      S(enemyVelX) S(enemyVelY) S(enemyVelZ) S(lastPlayerX) S(lastPlayerY)         \
                          S(lastPlayerZ) S(lastEnemyX) S(lastEnemyY) S(lastEnemyZ) S(enemySpeed)   \
                              B(tvOn) B(fanOn) S(enemyX) S(enemyY) S(enemyZ) B(landed) S(cueX)     \
                                  S(cueZ) O(voice) S(playerX) S(playerY) S(playerZ) S(newPlayerX)  \
                                      S(newPlayerZ) S(knobX) S(knobZ) S(lookZ) S(lookX)            \
                                          L(playerHeading) S(playerVelX) S(playerVelY)             \
                                              S(playerVelZ) L(knob) L(enemyRange) S(stepX)         \
                                                  S(stepZ) S(enemyCueX) S(enemyCueZ)
// clang-format on

struct GameRecord {
#define RD_DECLARE_B(name) bool name = false;
#define RD_DECLARE_L(name) Long name = 0;
#define RD_DECLARE_S(name) Single name = 0.0f;
#define RD_DECLARE_O(name) std::unique_ptr<SpeechVoice> name;
  RD_GAME_RECORD(RD_DECLARE_B, RD_DECLARE_L, RD_DECLARE_S, RD_DECLARE_O)
#undef RD_DECLARE_B
#undef RD_DECLARE_L
#undef RD_DECLARE_S
#undef RD_DECLARE_O
};

// A variable of the record found by its name, for scripts and tests.
struct FieldRef {
  enum class Type { none, boolean, long_, single, object } type = Type::none;
  void* ptr = nullptr;
};
FieldRef findField(GameRecord& record, std::string_view name);
// Every variable name, in the order of declaration.
const std::string_view* fieldNames(size_t* count);

}  // namespace rd

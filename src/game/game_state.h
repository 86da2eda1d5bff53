// The game record: every value the game keeps between two events, grouped by what it describes.
// Each starts as 0 or false when the game is made; start-up and the new game give the start
// values. A Boolean is a bool (scripts print and set it as -1 and 0), a Long a whole number, a
// Single a number. Positions are room units, headings and bearings whole degrees.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/values.h"

namespace rd {

struct GameRecord {
  // The player's helicopter: where it is and how it moves, the knob that turns it, what is left
  // of it, and where the listener sits while it flies.
  Single playerX = 0;
  Single playerY = 0;
  Single playerZ = 0;
  Single playerVelX = 0;
  Single playerVelY = 0;
  Single playerVelZ = 0;
  Single playerSpeed = 0;
  Long playerHeading = 0;
  Long knob = 0;
  Single knobX = 0;
  Single knobZ = 0;
  bool landed = false;
  Long playerLives = 0;
  Long playerScore = 0;
  Single lastPlayerX = 0;
  Single lastPlayerY = 0;
  Single lastPlayerZ = 0;
  Single stepX = 0;
  Single stepZ = 0;
  Single stepDivX = 0;
  Single stepDivZ = 0;
  Single lookX = 0;
  Single lookZ = 0;
  bool fixedListener = false;
  Single windLevel = 0;

  // The enemy's helicopter: where it is and how it moves, the heading it aims for, and what is
  // left of it.
  Single enemyX = 0;
  Single enemyY = 0;
  Single enemyZ = 0;
  Single enemyVelX = 0;
  Single enemyVelY = 0;
  Single enemyVelZ = 0;
  Single enemySpeed = 0;
  Long enemyHeading = 0;
  Long enemyAimBearing = 0;
  bool enemyBoosted = false;
  Long enemyLives = 0;
  Long enemyScore = 0;
  Single lastEnemyX = 0;
  Single lastEnemyY = 0;
  Single lastEnemyZ = 0;

  // The dog: where it trots and how.
  Single dogX = 0;
  Single dogY = 0;
  Single dogZ = 0;
  Single dogVelX = 0;
  Single dogVelZ = 0;
  Single dogRoll = 0;

  // The room: the television and the fan, where they stand and whether they run.
  Single tvX = 0;
  Single tvY = 0;
  Single tvZ = 0;
  bool tvOn = false;
  Single fanX = 0;
  Single fanY = 0;
  Single fanZ = 0;
  bool fanOn = false;

  // The target finder: whether it runs and has locked on, the enemy's range and bearings, and
  // where its tones and the enemy's cues sound around the head.
  bool finderOn = false;
  bool lockedOn = false;
  bool inRange = false;
  Long enemyRange = 0;
  Long enemyRelBearing = 0;
  Single tvRelBearing = 0;
  Long heightGap = 0;
  Single cueX = 0;
  Single cueZ = 0;
  Single enemyCueX = 0;
  Single enemyCueZ = 0;

  // Scratch values the procedures share: the last bearing's steps, random draws, a fall's height
  // and its busy-wait count.
  Single bearingDx = 0;
  Single bearingDz = 0;
  Single randomHeading = 0;
  Single newPlayerX = 0;
  Single newPlayerZ = 0;
  Single fallY = 0;
  Single delayCount = 0;
};

// A value of the record found by its name, for scripts and tests.
struct FieldRef {
  enum class Type { none, boolean, long_, single } type = Type::none;
  void* ptr = nullptr;
};
FieldRef findField(GameRecord& record, std::string_view name);
// Every value's name, in the order of the record.
const std::string_view* fieldNames(size_t* count);

}  // namespace rd

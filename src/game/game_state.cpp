#include "game/game_state.h"

#include <array>
#include <type_traits>

namespace rd {

namespace {

struct Field {
  std::string_view name;
  FieldRef::Type type;
  size_t offset;
};

template <typename T>
constexpr FieldRef::Type typeOf() {
  if constexpr (std::is_same_v<T, bool>) return FieldRef::Type::boolean;
  if constexpr (std::is_same_v<T, Long>) return FieldRef::Type::long_;
  if constexpr (std::is_same_v<T, Single>) return FieldRef::Type::single;
}

#define RD_FIELD(name) \
  Field { #name, typeOf < decltype(GameRecord::name)>(), offsetof(GameRecord, name) }

// Every value of the record, in its order.
constexpr std::array kFields = {
    RD_FIELD(playerX),
    RD_FIELD(playerY),
    RD_FIELD(playerZ),
    RD_FIELD(playerVelX),
    RD_FIELD(playerVelY),
    RD_FIELD(playerVelZ),
    RD_FIELD(playerSpeed),
    RD_FIELD(playerHeading),
    RD_FIELD(knob),
    RD_FIELD(knobX),
    RD_FIELD(knobZ),
    RD_FIELD(landed),
    RD_FIELD(playerLives),
    RD_FIELD(playerScore),
    RD_FIELD(lastPlayerX),
    RD_FIELD(lastPlayerY),
    RD_FIELD(lastPlayerZ),
    RD_FIELD(stepX),
    RD_FIELD(stepZ),
    RD_FIELD(stepDivX),
    RD_FIELD(stepDivZ),
    RD_FIELD(lookX),
    RD_FIELD(lookZ),
    RD_FIELD(fixedListener),
    RD_FIELD(windLevel),
    RD_FIELD(enemyX),
    RD_FIELD(enemyY),
    RD_FIELD(enemyZ),
    RD_FIELD(enemyVelX),
    RD_FIELD(enemyVelY),
    RD_FIELD(enemyVelZ),
    RD_FIELD(enemySpeed),
    RD_FIELD(enemyHeading),
    RD_FIELD(enemyAimBearing),
    RD_FIELD(enemyBoosted),
    RD_FIELD(enemyLives),
    RD_FIELD(enemyScore),
    RD_FIELD(lastEnemyX),
    RD_FIELD(lastEnemyY),
    RD_FIELD(lastEnemyZ),
    RD_FIELD(dogX),
    RD_FIELD(dogY),
    RD_FIELD(dogZ),
    RD_FIELD(dogVelX),
    RD_FIELD(dogVelZ),
    RD_FIELD(dogRoll),
    RD_FIELD(tvX),
    RD_FIELD(tvY),
    RD_FIELD(tvZ),
    RD_FIELD(tvOn),
    RD_FIELD(fanX),
    RD_FIELD(fanY),
    RD_FIELD(fanZ),
    RD_FIELD(fanOn),
    RD_FIELD(finderOn),
    RD_FIELD(lockedOn),
    RD_FIELD(inRange),
    RD_FIELD(enemyRange),
    RD_FIELD(enemyRelBearing),
    RD_FIELD(tvRelBearing),
    RD_FIELD(heightGap),
    RD_FIELD(cueX),
    RD_FIELD(cueZ),
    RD_FIELD(enemyCueX),
    RD_FIELD(enemyCueZ),
    RD_FIELD(bearingDx),
    RD_FIELD(bearingDz),
    RD_FIELD(randomHeading),
    RD_FIELD(newPlayerX),
    RD_FIELD(newPlayerZ),
    RD_FIELD(fallY),
    RD_FIELD(delayCount),
};

#undef RD_FIELD

const auto kNames = [] {
  std::array<std::string_view, kFields.size()> names{};
  for (size_t i = 0; i < kFields.size(); ++i) names[i] = kFields[i].name;
  return names;
}();

}  // namespace

FieldRef findField(GameRecord& record, std::string_view name) {
  for (const Field& f : kFields)
    if (f.name == name) return {f.type, reinterpret_cast<char*>(&record) + f.offset};
  return {};
}

const std::string_view* fieldNames(size_t* count) {
  *count = kNames.size();
  return kNames.data();
}

}  // namespace rd

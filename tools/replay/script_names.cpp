#include "script_names.h"

#include <array>
#include <utility>

namespace rd::replay {

namespace {

// An old name scripts may still use, and the game's name for it.
constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kNames{{
    // Entry points and the new game.
    {"Form_Load", "start"},
    {"StartGame", "newGame"},
    {"Form_KeyDown", "onKeyDown"},
    {"Form_KeyUp", "onKeyUp"},
    {"DirectXEvent8_DXCallback", "onMouse"},
    // The timers and their procedures.
    {"CheckThings", "simulation"},
    {"targetTimer", "targetFinder"},
    {"TVTimer", "television"},
    {"CheckThings_timer", "tick"},
    {"targetTimer_timer", "targetCycle"},
    {"tvTimer_timer", "televisionResumes"},
    // Outcomes.
    {"Playercrash", "playerCrash"},
    {"enemycrash", "enemyCrash"},
    {"EnemySmash", "enemySmash"},
    {"PlayerShotDown", "playerShotDown"},
    {"EnemyCrunch", "enemyCrunch"},
    // Service calls.
    {"mouse.getDeviceData", "mouse.take"},
}};

}  // namespace

std::string_view gameName(std::string_view name) {
  for (const auto& [script, game] : kNames)
    if (name == script) return game;
  return name;
}

}  // namespace rd::replay

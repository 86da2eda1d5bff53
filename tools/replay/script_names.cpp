#include "script_names.h"

#include <array>
#include <utility>

namespace rd::replay {

namespace {

// Script name, game name.
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

std::string_view scriptName(std::string_view name) {
  for (const auto& [script, game] : kNames)
    if (name == game) return script;
  return name;
}

std::string toScriptNames(const std::string& text) {
  if (text.find(": ") == std::string::npos) return std::string(scriptName(text));
  // "start: newGame: sndFan.create failed: ..." names the entry point, then the procedure.
  std::string out;
  size_t from = 0;
  for (int names = 0; names < 2; ++names) {
    size_t colon = text.find(": ", from);
    if (colon == std::string::npos) break;
    std::string_view name(text.data() + from, colon - from);
    std::string_view script = scriptName(name);
    if (script == name) break;
    out += script;
    out += ": ";
    from = colon + 2;
  }
  return out + text.substr(from);
}

}  // namespace rd::replay

// Start-up: the window's load event. Every step that fails is skipped and the next one runs, so a
// missing mouse or speech voice leaves a keyboard game, or a silent one. The new game is the
// exception: if it cannot start, the player is told why and the program ends.
#include <functional>

#include "game/game.h"

namespace rd {

namespace {

// Runs one step of start-up; a failing step is skipped.
void step(const std::function<void()>& action) {
  try {
    action();
  } catch (const GameError&) {
  }
}

}  // namespace

void Game::start() {
  step([&] { window.changeToProgramFolder(); });
  step([&] { window.show(); });
  step([&] { mouse = inputService.openMouse(rules::kMouseBufferItems); });
  stepDivX = 10.0f;
  stepDivZ = 10.0f;
  fixedListener = true;
  playerSpeed = 0;
  step([&] { voice = speechSystem.createVoice(); });

  try {
    newGame();
    checkSoundCalls();
  } catch (const GameError& e) {
    // A game that cannot start must not leave a silent window: say what failed, then end.
    std::string spoken = "Rotor Duel cannot start. ";
    if (!e.file().empty()) {
      std::string file = e.file().substr(e.file().find_last_of("/\\") + 1);
      spoken += "The sound file " + file + " is missing or cannot be read.";
    } else {
      spoken += "The call " + e.call() + " failed.";
    }
    if (voice) step([&] { voice->speak(spoken); });
    window.reportError("start: newGame: " + std::string(e.what()), true);
    window.endProgram(1);
  }
}

}  // namespace rd

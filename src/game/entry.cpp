// The entry points of the window. A failure that reaches a key or timer handler ends the program
// with an error report; the mouse handler returns it as its status and the game goes on.
#include "base/rules.h"
#include "game/game.h"

namespace rd {

Game::Game(Platform platform)
    : window(platform.window),
      soundSystem(platform.sound),
      speechSystem(platform.speech),
      inputService(platform.input) {}

Game::~Game() = default;

void Game::fatal(const std::string& entry, const GameError& error) {
  // Many players cannot read a message box: the voice says it too, if it still can.
  if (voice) {
    try {
      voice->speak("Rotor Duel has to stop. The call " + error.call() + " failed.");
    } catch (const GameError&) {
    }
  }
  window.reportError(entry + ": " + error.what(), true);
  window.endProgram(1);
}

void Game::onTimer(TimerId id) {
  switch (id) {
    case TimerId::simulation:
      runAsEntry("tick", &Game::tick);
      break;
    case TimerId::targetFinder:
      runAsEntry("targetCycle", &Game::targetCycle);
      break;
    case TimerId::television:
      runAsEntry("televisionResumes", &Game::televisionResumes);
      break;
  }
}

// Handlers name themselves with a string_view: a tick builds no string unless it fails.
void Game::runAsEntry(std::string_view what, Procedure procedure) {
  try {
    (this->*procedure)();
    checkSoundCalls();
  } catch (const GameError& e) {
    fatal(std::string(what), e);
  }
}

void Game::checkSoundCalls() {
  if (sounds.device) sounds.device->checkCalls();
}

void Game::speak(const std::string& text) {
  if (!voice) throw GameError("speech.speak", "there is no speech voice");
  voice->speak(text);
}

}  // namespace rd

// The score, read out in five pieces, each spoken to its end before the next.
#include "game/game.h"

namespace rd {

void Game::score() {
  speak("the score is: you got");
  speak(plainText(static_cast<long long>(playerScore)));
  speak(".  I got");
  speak(plainText(static_cast<long long>(enemyScore)));
  speak(" points.");
}

}  // namespace rd

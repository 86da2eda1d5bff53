// The television. A shot switches it off by starting its 9-second timer; when the timer fires the
// set plays on where it stopped, unless it was smashed meanwhile. The timer fires once per shot.
#include "game/game.h"

namespace rd {

void Game::televisionResumes() {
  if (tvOn) sounds.sndTv->loop();
  window.setTimerEnabled(TimerId::television, false);
}

}  // namespace rd

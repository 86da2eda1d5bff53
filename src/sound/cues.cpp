// Named one-shot sounds, the knob click and the end of a game.
#include "game/game.h"

namespace rd {

void Game::playSoundFile(const std::string& name) {
  std::string path = window.soundFile(name + ".wav");
  // Made into a local first: a missing or unreadable file leaves the previous sound in the slot.
  std::unique_ptr<Voice> cue = sounds.device->createVoice("oneShotVoice", path);
  // The old control goes before its voice; the old sound stops as its voice is discarded.
  sounds.oneShotVoice3D.reset();
  sounds.oneShotVoice = std::move(cue);
  sounds.oneShotVoice3D = sounds.oneShotVoice->take3D();
  // One unit along x from the player, on the floor, on the line z = 0, whatever the player's
  // height and z.
  sounds.oneShotVoice3D->setPosition(playerX + 1, 0, 0);
  sounds.oneShotVoice->play();
}

void Game::clickKnob(Single x, Single z, bool centre, bool audible) {
  std::unique_ptr<Voice3D> knob3D = sounds.sndKnob->take3D();
  knob3D->setMode(Mode3D::headRelative);
  knob3D->setPosition(x, 0, z);
  // The recording's own speed, or nearly twice as high.
  sounds.sndKnob->setFrequency(centre ? 80000 : 44100);
  if (audible) sounds.sndKnob->play();
}

void Game::playKnobClick() {
  // Three units from the listener's head, 9 degrees round per knob step; the centre clicks higher.
  clickKnob(knobX, knobZ, knob == 0, true);
}

void Game::endGame() {
  score();
  shutDown();
}

}  // namespace rd

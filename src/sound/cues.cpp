// Named one-shot sounds, the knob click and the end of a game.
#include "core/form1.h"

namespace rd {

void Form1::playSoundFile(const std::string& name) {
  std::string path = window.soundFile(name + ".wav");
  // Made into a local first: a missing or unreadable file leaves the previous sound in the slot.
  std::unique_ptr<Voice> cue = snd.dx->createVoice("oneShotVoice", path);
  // The old control goes before its voice; the old sound stops as its voice is discarded.
  snd.oneShotVoice3D.reset();
  snd.oneShotVoice = std::move(cue);
  snd.oneShotVoice3D = snd.oneShotVoice->take3D();
  // One unit along x from the player, on the floor, on the line z = 0, whatever the player's
  // height and z.
  snd.oneShotVoice3D->setPosition(playerX + 1, 0, 0);
  snd.oneShotVoice->play();
}

void Form1::playKnobClick() {
  std::unique_ptr<Voice3D> knob3D = snd.sndKnob->take3D();
  knob3D->setMode(Mode3D::headRelative);
  // Three units from the listener's head, 9 degrees round per knob step.
  knob3D->setPosition(knobX, 0, knobZ);
  // The centre position clicks higher.
  if (knob == 0) {
    snd.sndKnob->setFrequency(80000);
  } else {
    snd.sndKnob->setFrequency(44100);
  }
  snd.sndKnob->play();
}

void Form1::endGame() {
  speak("the score is: you got");
  speak(plainText(static_cast<long long>(playerScore)));
  speak(".  I got");
  speak(plainText(static_cast<long long>(enemyScore)));
  speak(" points.");
  shutDown();
}

}  // namespace rd

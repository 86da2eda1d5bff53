// The keyboard: every key-down event is one action (a manoeuvre, a shot, a readout, a switch or
// the end of the program); a key-up only hands the player's momentum to the rotor voice.
#include <cmath>

#include "base/rules.h"
#include "game/game.h"
#include "platform/keys.h"

namespace rd {

namespace {

// The knob's limits, in degrees of turn per tick.
constexpr Long kKnobMin = -30;
constexpr Long kKnobMax = 30;

std::string wholeText(Long v) { return plainText(static_cast<long long>(v)); }

// The knob clicks where it points: three units around the head, 9 degrees of angle per step,
// straight ahead at 0 and to the right for small positive values. The product is formed in
// double, where it is exact for every knob value.
void knobClick(Game& game) {
  const double angle = static_cast<double>(game.knob) * 36 * rules::kRadiansPerDegree / 4;
  game.knobZ = static_cast<Single>(3 * std::cos(angle));
  game.knobX = static_cast<Single>(3 * std::sin(angle));
  game.playKnobClick();
}

// T stops the target cycle, the next T starts it again.
void targetingSwitch(Game& game) {
  if (!game.finderOn) {
    game.finderOn = true;
    game.window.setTimerEnabled(TimerId::targetFinder, true);
  } else {
    game.finderOn = false;
    game.window.setTimerEnabled(TimerId::targetFinder, false);
  }
}

// P moves the player's ears: standing in the room with the rotor heard where the helicopter is,
// or riding on board with the rotor quieter and inside the head.
void listeningPositionSwitch(Game& game) {
  SoundBank& sounds = game.sounds;
  if (!game.fixedListener) {
    game.fixedListener = true;
    sounds.sndRotor->setVolume(0);
    sounds.sndRotor3D->setMode(Mode3D::normal);
    sounds.listener->setPosition(0, 2, 0);
    sounds.sndRotor3D->setPosition(game.playerX, game.playerY, game.playerZ);
    sounds.listener->setOrientation(0, 0, 1, 0, 1, 0);
  } else {
    game.fixedListener = false;
    sounds.sndRotor->setVolume(-2500);
    sounds.sndRotor3D->setMode(Mode3D::off);
    // On the ground the listener keeps facing the way it faced; in the air it faces the heading,
    // level, top straight up (as each tick orients it).
    if (game.playerY > 1) sounds.listener->setOrientation(game.lookX, 0, game.lookZ, 0, 1, 0);
    sounds.listener->setPosition(game.playerX, game.playerY, game.playerZ);
    sounds.listener->setVelocity(game.playerVelX, game.playerVelY, game.playerVelZ);
  }
}

}  // namespace

void Game::onKeyDown(int16_t keyCode) try {
  // Whatever is waiting (a tick, the target cycle, the mouse, another key) runs first.
  window.yield();

  // Each key is its own test; a key that is in no row does nothing.
  if (keyCode == Key::Escape) shutDown();
  if (keyCode == Key::PageDown) climb();
  if (keyCode == Key::PageUp) descend();
  if (keyCode == Key::End) {
    if (knob > kKnobMin) knob = knob - 1;
    knobClick(*this);
  }
  if (keyCode == Key::Home) {
    if (knob < kKnobMax) knob = knob + 1;
    knobClick(*this);
  }
  if (keyCode == Key::Left) turnLeft();
  if (keyCode == Key::Up) flyForward();
  if (keyCode == Key::Right) turnRight();
  if (keyCode == Key::Down) flyBackward();
  if (keyCode == Key::Space) fireLaser();
  if (keyCode == Key::X) speak(flooredText(playerX));
  // Y is the second floor coordinate; Z is the height.
  if (keyCode == Key::Y) speak(flooredText(playerZ));
  if (keyCode == Key::Z) speak(flooredText(playerY));
  if (keyCode == Key::A) {
    speak(wholeText(playerHeading));
    speak(wholeText(enemyRelBearing));
  }
  if (keyCode == Key::D) {
    speak(flooredText(dogX));
    speak(flooredText(dogZ));
  }
  if (keyCode == Key::R) speak(wholeText(enemyRange));
  if (keyCode == Key::T) targetingSwitch(*this);
  if (keyCode == Key::S) score();
  if (keyCode == Key::V) {
    speak(flooredText(playerVelX));
    speak(flooredText(playerVelY));
    speak(flooredText(playerVelZ));
    speak(flooredText(enemyVelX));
  }
  if (keyCode == Key::H) speak(plainText(playerSpeed));
  // The enemy's floor coordinates first, its height last.
  if (keyCode == Key::E) {
    speak(flooredText(enemyX));
    speak(flooredText(enemyZ));
    speak(flooredText(enemyY));
  }
  if (keyCode == Key::P) listeningPositionSwitch(*this);
  checkSoundCalls();
} catch (const GameError& e) {
  fatal("onKeyDown", e);
}

void Game::onKeyUp(int16_t keyCode) try {
  if (!sounds.sndRotor) return;
  // Letting go of an engine or a movement key gives the rotor its momentum for the Doppler shift.
  if (keyCode == Key::PageUp || keyCode == Key::PageDown || keyCode == Key::Up ||
      keyCode == Key::Down)
    sounds.sndRotor3D->setVelocity(playerVelX, playerVelY, playerVelZ);
  checkSoundCalls();
} catch (const GameError& e) {
  fatal("onKeyUp", e);
}

}  // namespace rd

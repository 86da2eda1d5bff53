// The keyboard: every key-down event is one action (a manoeuvre, a shot, a readout, a switch or
// the end of the program); a key-up only hands the player's momentum to the rotor voice.
#include <cmath>

#include "core/form1.h"

namespace rd {

namespace {

// The window's virtual-key codes. Letters arrive upper case whatever Shift or Caps Lock say.
constexpr Integer vbKeyEscape = 27;
constexpr Integer vbKeyPageDown = 34;
constexpr Integer vbKeyPageUp = 33;
constexpr Integer vbKeyEnd = 35;
constexpr Integer vbKeyHome = 36;
constexpr Integer vbKeyLeft = 37;
constexpr Integer vbKeyUp = 38;
constexpr Integer vbKeyRight = 39;
constexpr Integer vbKeyDown = 40;
constexpr Integer vbKeySpace = 32;
constexpr Integer vbKeyX = 88;
constexpr Integer vbKeyY = 89;
constexpr Integer vbKeyZ = 90;
constexpr Integer vbKeyA = 65;
constexpr Integer vbKeyD = 68;
constexpr Integer vbKeyR = 82;
constexpr Integer vbKeyT = 84;
constexpr Integer vbKeyS = 83;
constexpr Integer vbKeyV = 86;
constexpr Integer vbKeyH = 72;
constexpr Integer vbKeyE = 69;
constexpr Integer vbKeyP = 80;

// The knob's limits, in degrees of turn per tick.
constexpr Long kKnobMin = -30;
constexpr Long kKnobMax = 30;

// Degrees to radians as the game has always held the factor: pi/180 rounded to a Single.
constexpr double kRadiansPerDegree = 0.017453292f;

std::string wholeText(Long v) { return plainText(static_cast<long long>(v)); }

// The knob clicks where it points: three units around the head, 9 degrees of angle per step,
// straight ahead at 0 and to the right for small positive values. The product is formed in
// double, where it is exact for every knob value.
void knobClick(Form1& game) {
  const double angle = static_cast<double>(game.knob) * 36 * kRadiansPerDegree / 4;
  game.knobZ = static_cast<Single>(3 * std::cos(angle));
  game.knobX = static_cast<Single>(3 * std::sin(angle));
  game.playKnobClick();
}

// T stops the target cycle, the next T starts it again.
void targetingSwitch(Form1& game) {
  if (game.finderOn == vbFalse) {
    game.finderOn = vbTrue;
    game.window.setTimerEnabled(TimerId::targetTimer, true);
  } else {
    game.finderOn = vbFalse;
    game.window.setTimerEnabled(TimerId::targetTimer, false);
  }
}

// P moves the player's ears: standing in the room with the rotor heard where the helicopter is,
// or riding on board with the rotor quieter and inside the head.
void listeningPositionSwitch(Form1& game) {
  ModDXSound& snd = game.snd;
  if (game.fixedListener == vbFalse) {
    game.fixedListener = vbTrue;
    snd.sndRotor->setVolume(0);
    snd.sndRotor3D->setMode(Mode3D::normal);
    snd.listener->setPosition(0, 2, 0);
    snd.sndRotor3D->setPosition(game.playerX, game.playerY, game.playerZ);
    snd.listener->setOrientation(0, 0, 1, 0, 1, 0);
  } else {
    game.fixedListener = vbFalse;
    snd.sndRotor->setVolume(-2500);
    snd.sndRotor3D->setMode(Mode3D::off);
    // On the ground the listener keeps facing the way it faced; in the air it faces the heading,
    // level, top straight up (as each tick orients it).
    if (game.playerY > 1) snd.listener->setOrientation(game.lookX, 0, game.lookZ, 0, 1, 0);
    snd.listener->setPosition(game.playerX, game.playerY, game.playerZ);
    snd.listener->setVelocity(game.playerVelX, game.playerVelY, game.playerVelZ);
  }
}

}  // namespace

void Form1::Form_KeyDown(Integer keyCode, Integer /*shift*/) {
  // Whatever is waiting (a tick, the target cycle, the mouse, another key) runs first.
  window.doEvents();

  // Each key is its own test; a key that is in no row does nothing.
  if (keyCode == vbKeyEscape) shutDown();
  if (keyCode == vbKeyPageDown) climb();
  if (keyCode == vbKeyPageUp) descend();
  if (keyCode == vbKeyEnd) {
    if (knob > kKnobMin) knob = knob - 1;
    knobClick(*this);
  }
  if (keyCode == vbKeyHome) {
    if (knob < kKnobMax) knob = knob + 1;
    knobClick(*this);
  }
  if (keyCode == vbKeyLeft) turnLeft();
  if (keyCode == vbKeyUp) flyForward();
  if (keyCode == vbKeyRight) turnRight();
  if (keyCode == vbKeyDown) flyBackward();
  if (keyCode == vbKeySpace) fireLaser();
  if (keyCode == vbKeyX) speak(flooredText(playerX));
  // Y is the second floor coordinate; Z is the height.
  if (keyCode == vbKeyY) speak(flooredText(playerZ));
  if (keyCode == vbKeyZ) speak(flooredText(playerY));
  if (keyCode == vbKeyA) {
    speak(wholeText(playerHeading));
    speak(wholeText(enemyRelBearing));
  }
  if (keyCode == vbKeyD) {
    speak(flooredText(dogX));
    speak(flooredText(dogZ));
  }
  if (keyCode == vbKeyR) speak(wholeText(enemyRange));
  if (keyCode == vbKeyT) targetingSwitch(*this);
  if (keyCode == vbKeyS) score();
  if (keyCode == vbKeyV) {
    speak(flooredText(playerVelX));
    speak(flooredText(playerVelY));
    speak(flooredText(playerVelZ));
    speak(flooredText(enemyVelX));
  }
  if (keyCode == vbKeyH) speak(plainText(playerSpeed));
  // The enemy's floor coordinates first, its height last.
  if (keyCode == vbKeyE) {
    speak(flooredText(enemyX));
    speak(flooredText(enemyZ));
    speak(flooredText(enemyY));
  }
  if (keyCode == vbKeyP) listeningPositionSwitch(*this);
}

void Form1::Form_KeyUp(Integer keyCode, Integer /*shift*/) {
  if (!snd.sndRotor) return;
  // Letting go of an engine or a movement key gives the rotor its momentum for the Doppler shift.
  if (keyCode == vbKeyPageUp || keyCode == vbKeyPageDown || keyCode == vbKeyUp ||
      keyCode == vbKeyDown)
    snd.sndRotor3D->setVelocity(playerVelX, playerVelY, playerVelZ);
}

}  // namespace rd

// Stepping forward and back and turning. A step is sized by the player's momentum and halved near
// the room's centre lines; stepping also finds the walls, the television, the fan's wall switch
// and the "Ouch" spot. A turn is 5 degrees and clicks the knob voice in the room listening
// position.
#include "base/rules.h"
#include "game/game.h"

namespace rd {

namespace {

enum class Direction { forward = 1, backward = -1 };

// One step along the heading, sized by the momentum on each axis and halved near the centre
// lines. Beyond a wall the player crashes when going fast and scrapes in any case; the new
// position is stored before the walls are tested.
void step(Game& game, Direction direction) {
  game.headingStep();
  const Single sign = static_cast<Single>(direction);
  Single x = game.playerX + sign * (game.stepX * game.playerVelX / game.stepDivX);
  Single z = game.playerZ + sign * (game.stepZ * game.playerVelZ / game.stepDivZ);
  game.playerX = x;
  game.playerZ = z;
  if (x > rules::kWall || z > rules::kWall || x < -rules::kWall || z < -rules::kWall) {
    if (game.playerVelX > rules::kWallCrashMomentum || game.playerVelZ > rules::kWallCrashMomentum)
      game.playerCrash();
    game.scraped();
  }
}

// The switch clicks where it is, puts the helicopter back inside the wall and turns the fan on or
// off.
void pressFanSwitch(Game& game, bool on) {
  game.sounds.sndSwitch3D->setPosition(0, 5, 19);
  game.sounds.sndSwitch->play();
  game.playerZ = rules::kInsideWall;
  if (on) {
    game.sounds.sndFan->loop();
  } else {
    game.sounds.sndFan->stop();
  }
  game.fanOn = on;
}

}  // namespace

void Game::flyForward() {
  if (playerY > 0.5) step(*this, Direction::forward);

  // The television: a slow touch scrapes it, enough speed along x smashes it (both can happen).
  if (floorOf(playerX) == -5 && playerY < 5 && floorOf(playerZ) == 12 && tvOn) {
    if (playerVelX < 4 || playerVelZ < 4) scraped();
    if (playerVelX >= 4) {
      sounds.sndTv->stop();
      smash();
      playSoundFile("TVSmash");
      tvOn = false;
      enemySpeed = enemySpeed + 50;
    }
  }

  // The fan's wall switch by the wall z = 20: the upper half switches the fan on, the lower half
  // off, the middle only stops the helicopter.
  if (floorOf(playerX) == 0 && floorOf(playerY) == 6 && playerZ > 19.5) pressFanSwitch(*this, true);
  if (floorOf(playerX) == 0 && floorOf(playerY) == 4 && playerZ > 19.5)
    pressFanSwitch(*this, false);
  if (floorOf(playerX) == 0 && floorOf(playerY) == 5 && playerZ > 19.5) {
    playerZ = rules::kInsideWall;
  }

  if (floorOf(playerX) == 8 && floorOf(playerZ) == 8 && playerY < 3) {
    playSoundFile("Ouch");
  }
}

void Game::flyBackward() {
  if (playerY > 1 && playerX > -21 && playerZ > -21) step(*this, Direction::backward);

  // Backing into the television always smashes it.
  if (floorOf(playerX) == -5 && playerY < 5 && floorOf(playerZ) == 12 && tvOn) {
    sounds.sndTv->stop();
    tvOn = false;
    playSoundFile("TVSmash");
    smash();
  }

  if (floorOf(playerX) == 8 && floorOf(playerZ) == 8 && playerY < 2) {
    playSoundFile("Ouch");
  }
}

namespace {

enum class Turn { left = -5, right = 5 };

// Both turns: 5 degrees, then a click round the listener's head in the new direction, higher
// when facing straight along +z.
void turn(Game& game, Turn direction) {
  if (!(game.playerY > 1)) return;
  game.playerHeading = longSum(game.playerHeading, static_cast<Long>(direction));
  game.orientListener();
  game.clickKnob(game.lookX + 1, game.lookZ + 1,
                 game.playerHeading == 0 || game.playerHeading == 360, game.fixedListener);
}

}  // namespace

void Game::turnLeft() { turn(*this, Turn::left); }

void Game::turnRight() { turn(*this, Turn::right); }

}  // namespace rd

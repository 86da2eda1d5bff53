// Climbing, descending and landing. The engine speed is the rotor voice's frequency: it rises and
// falls 100 Hz a command, the helicopter lifts 0.1 a climb once the rotor runs above 10000 Hz,
// and lands (or crashes, coming down too hard) when the rotor drops below it.
#include "base/rules.h"
#include "game/game.h"

namespace rd {

void Game::climb() {
  // The limit is tested before the raise, so the engine can end at 70050 Hz.
  if (sounds.sndRotor->getFrequency() < 70000) {
    sounds.sndRotor->setFrequency(sounds.sndRotor->getFrequency() + 100);
    if (sounds.sndRotor->getFrequency() > 10000) {
      playerY = playerY + 0.1;
      sounds.sndRotor3D->setVelocity(playerVelX, playerVelY, playerVelZ);
      // Nothing caps the height: every climb above the ceiling scrapes it again.
      if (playerY > 10) {
        {
          std::unique_ptr<Voice3D> scrape3D = sounds.sndScrape->take3D();
          scrape3D->setPosition(playerX, playerY, playerZ);
          sounds.sndScrape->play();
        }
        if (playerVelY > 5) playerCrash();
      }
    }
  }
  if (sounds.sndRotor->getFrequency() > 10000) landed = false;
  // Whatever hangs in the cell at the room's centre under the ceiling breaks.
  if (floorOf(playerX) == 0 && floorOf(playerY) == 10 && floorOf(playerZ) == 0) smash();
}

void Game::descend() {
  if (sounds.sndRotor->getFrequency() <= rules::kIdleRotorHz) return;
  sounds.sndRotor->setFrequency(sounds.sndRotor->getFrequency() - 100);
  if (playerY > 1) playerY = playerY - 0.1;
  sounds.sndRotor3D->setVelocity(playerVelX, playerVelY, playerVelZ);
  // The landing depends on the engine alone: below 10000 Hz the helicopter lands where it is.
  if (sounds.sndRotor->getFrequency() >= 10000) return;
  if (landed) return;
  if (playerVelY > 5) {
    playerCrash();
    return;
  }
  {
    std::unique_ptr<Voice3D> land3D = sounds.sndLand->take3D();
    land3D->setPosition(playerX, playerY, playerZ);
    landed = true;
    sounds.sndLand->play();
  }
  if (-0.4 < playerX && playerX < 0.4 && floorOf(playerZ) == 0) {
    playSoundFile("LandedOnYourHead");
  }
  if (7 < playerX && playerX < 8 && floorOf(playerZ) == 0) {
    playSoundFile("LandedOnMyHead");
  }
}

}  // namespace rd

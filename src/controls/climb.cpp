// Climbing, descending and landing. The engine speed is the rotor voice's frequency: it rises and
// falls 100 Hz a command, the helicopter lifts 0.1 a climb once the rotor runs above 10000 Hz,
// and lands (or crashes, coming down too hard) when the rotor drops below it.
#include "core/config.h"
#include "core/form1.h"

namespace rd {

void Form1::climb() {
  // The limit is tested before the raise, so the engine can end at 70050 Hz.
  if (snd.sndRotor->getFrequency() < 70000) {
    snd.sndRotor->setFrequency(snd.sndRotor->getFrequency() + 100);
    if (snd.sndRotor->getFrequency() > 10000) {
      playerY = playerY + 0.1;
      snd.sndRotor3D->setVelocity(playerVelX, playerVelY, playerVelZ);
      // Nothing caps the height: every climb above the ceiling scrapes it again.
      if (playerY > 10) {
        {
          std::unique_ptr<Voice3D> scrape3D = snd.sndScrape->take3D();
          scrape3D->setPosition(playerX, playerY, playerZ);
          snd.sndScrape->play();
        }
        if (playerVelY > 5) Playercrash();
      }
    }
  }
  if (snd.sndRotor->getFrequency() > 10000) landed = false;
  // Whatever hangs in the cell at the room's centre under the ceiling breaks.
  if (Int(playerX) == 0 && Int(playerY) == 10 && Int(playerZ) == 0) smash();
}

void Form1::descend() {
  if (snd.sndRotor->getFrequency() <= config::kIdleRotorHz) return;
  snd.sndRotor->setFrequency(snd.sndRotor->getFrequency() - 100);
  if (playerY > 1) playerY = playerY - 0.1;
  snd.sndRotor3D->setVelocity(playerVelX, playerVelY, playerVelZ);
  // The landing depends on the engine alone: below 10000 Hz the helicopter lands where it is.
  if (snd.sndRotor->getFrequency() >= 10000) return;
  if (landed) return;
  if (playerVelY > 5) {
    Playercrash();
    return;
  }
  {
    std::unique_ptr<Voice3D> land3D = snd.sndLand->take3D();
    land3D->setPosition(playerX, playerY, playerZ);
    landed = true;
    snd.sndLand->play();
  }
  if (-0.4 < playerX && playerX < 0.4 && Int(playerZ) == 0) {
    playSoundFile("LandedOnYourHead");
  }
  if (7 < playerX && playerX < 8 && Int(playerZ) == 0) {
    playSoundFile("LandedOnMyHead");
  }
}

}  // namespace rd

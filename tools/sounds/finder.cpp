// The target finder's three tones. The game tunes the first two by setting their frequency, so
// only their pitch at the recorded speed is fixed here; the lock-on tone plays at its own speed.
#include <cmath>

#include "recipes.h"

namespace rd::sounds {

Samples heightTone(Studio&, int rate) {
  // A short "bong": a square-edged 900 Hz tone struck and fading, so it sounds unlike the soft
  // bearing blip. The game plays it faster for a small height gap (1512 Hz for one unit) and
  // slower for a large one (84 Hz for eight); its odd harmonics keep the low ones audible.
  Samples s = tone(rate, 0.11, [](double) { return 900.0; }, {1.0, 0, 0.33, 0, 0.2, 0, 0.14});
  shape(s, rate, [](double t) { return hit(t, 0.002, 0.04); });
  fadeOut(s, frames(rate, 0.01));
  // Short and close to the head: heard over the room, under the speech.
  scaleToPeak(s, -14);
  return s;
}

Samples bearingBlip(Studio&, int rate) {
  // A soft, pure 1000 Hz blip of 70 ms (1160 to 1360 Hz as the game plays it).
  Samples s = tone(rate, 0.07, [](double) { return 1000.0; }, {1.0, 0.2});
  fadeIn(s, frames(rate, 0.005));
  fadeOut(s, frames(rate, 0.025));
  scaleToPeak(s, -14);
  return s;
}

Samples lockOnTone(Studio&, int rate) {
  // A steady 880 Hz tone with a little edge, sounding inside the head for as long as the lock
  // holds: half a second holds exactly 440 cycles, so it loops without a seam.
  Samples s = tone(rate, 0.5, [](double) { return 880.0; }, {1.0, 0.25, 0.12});
  // It sounds inside the head at full level, with no distance to soften it, for as long as the
  // lock holds: kept well under the room's loops as recorded, so it stands out without drowning
  // them or the speech.
  scaleToRms(s, -31, -6);
  return s;
}

}  // namespace rd::sounds

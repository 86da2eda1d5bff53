// The menu's three sounds: short, soft and unlike anything in the room, so a move, the edge of a
// list and an item opening are told apart at once, under the voice that reads the item.
#include "recipes.h"

namespace rd::sounds {

namespace {

// A soft sine tick gliding from one pitch to another.
Samples tick(int rate, double seconds, double fromHz, double toHz, double peakDb) {
  Samples s = tone(rate, seconds, [=](double t) { return fromHz + (toHz - fromHz) * t / seconds; },
                   {1.0, 0.1});
  shape(s, rate, [](double t) { return hit(t, 0.003, 0.025); });
  fadeOut(s, frames(rate, 0.008));
  scaleToPeak(s, peakDb);
  return s;
}

}  // namespace

Samples menuMove(Studio&, int rate) { return tick(rate, 0.05, 1320, 1180, -16); }

Samples menuEdge(Studio&, int rate) {
  // A dull knock, low and blunt: there is nothing further that way.
  Samples s = tone(rate, 0.09, [](double) { return 220.0; }, {1.0, 0.5, 0.25});
  shape(s, rate, [](double t) { return hit(t, 0.002, 0.03); });
  fadeOut(s, frames(rate, 0.01));
  scaleToPeak(s, -14);
  return s;
}

Samples menuOpen(Studio&, int rate) {
  // Two rising notes, a fifth apart: something opens.
  Samples s;
  mixAt(s, tick(rate, 0.07, 660, 680, -16), 0);
  mixAt(s, tick(rate, 0.09, 990, 1010, -16), frames(rate, 0.06));
  fadeOut(s, frames(rate, 0.01));
  scaleToPeak(s, -14);
  return s;
}

}  // namespace rd::sounds

// The two helicopters. The player's is a two-bladed rotor heard as a chop of blade slaps over an
// engine; the enemy's is a small, fast, electric machine: a buzzing motor with a flutter and a
// thin tail whine. Both loop, and every part of them repeats a whole number of times per loop.
#include <cmath>

#include "recipes.h"

namespace rd::sounds {

namespace {

// Keeps what is heard below the limit where high playback speeds would push it past hearing and
// into aliasing: at 6.4x a 3 kHz recording reaches 19 kHz.
Samples lowPassedLoop(const Samples& loop, int rate, double hz) {
  Biquad a = Biquad::lowPass(rate, hz), b = Biquad::lowPass(rate, hz);
  return loopThrough(loop, [&](float x, std::size_t) { return b(a(x)); });
}

// How much a slap lifts the sound around it, from sample `at` of a beat of `beat` samples: a
// quick rise (a twentieth of the beat) and a fall over the rest of it, so nothing steps.
double afterSlap(std::size_t at, std::size_t beat) {
  const double phase = static_cast<double>(at) / static_cast<double>(beat);
  return (1.0 - std::exp(-phase / 0.02)) * std::exp(-phase * 5.0);
}

}  // namespace

Samples playerRotor(Studio&, int rate) {
  // A blade passes every 900 samples: 12.25 slaps a second as recorded, and 24 of them (two
  // seconds) make the loop.
  constexpr std::size_t kBeat = 900;
  constexpr std::size_t kBeats = 24;
  const std::size_t n = kBeat * kBeats;
  const double beatHz = static_cast<double>(rate) / kBeat;
  Rng rng = seeded("zelkar");
  Samples loop(n, 0.0f);

  for (std::size_t k = 0; k < kBeats; ++k) {
    // The slap: a burst of air noise, sharp at the front, one blade a little heavier than the
    // other so the chop has the "whup-whup" of a two-bladed rotor.
    Samples slap = whiteNoise(frames(rate, 0.13), rng);
    shape(slap, rate, [](double t) { return hit(t, 0.003, 0.03); });
    Biquad body = Biquad::bandPass(rate, 520, 1.1), top = Biquad::lowPass(rate, 2200);
    filter(slap, [&](float x) { return top(body(x)); });
    fadeOut(slap, frames(rate, 0.02));
    const double blade = (k % 2 == 0) ? 1.0 : 0.78;
    mixAround(loop, slap, k * kBeat, 2.2 * blade * (1.0 + 0.08 * rng.bipolar()));

    // The thump of the pressure wave under the blade.
    Samples thump = ring(rate, 110, 0.035, 0.13);
    fadeIn(thump, frames(rate, 0.002));
    fadeOut(thump, frames(rate, 0.02));
    mixAround(loop, thump, k * kBeat, 0.45 * blade);
  }

  // The engine under the chop: a growl on 8 times the beat (98 Hz as recorded, 44 Hz at idle)
  // that swells with each slap and sinks between them, and a steady turbine whine on 60 times the
  // beat (735 Hz, 333 Hz at idle) that becomes the scream at the top.
  const double growlHz = 8 * beatHz;
  const double whineHz = 60 * beatHz;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double swell = 0.35 + 0.65 * afterSlap(i % kBeat, kBeat);
    double growl = 0;
    for (int h = 1; h <= 10; ++h) {
      growl += std::sin(kTwoPi * h * growlHz * t) / std::pow(h, 1.3);
    }
    const double whine =
        std::sin(kTwoPi * whineHz * t) + 0.35 * std::sin(kTwoPi * 2 * whineHz * t + 0.7);
    loop[i] += static_cast<float>(0.1 * swell * growl + 0.06 * whine);
  }

  // The wash of air around the rotor, a soft hiss pushed out by every slap.
  Samples wash = whiteNoise(n, rng);
  Biquad washTone = Biquad::lowPass(rate, 900);
  wash = loopThrough(wash, [&](float x, std::size_t i) {
    return static_cast<float>(washTone(x) * (0.25 + 0.75 * afterSlap(i % kBeat, kBeat)));
  });
  mixAround(loop, wash, 0, 0.2);

  loop = lowPassedLoop(loop, rate, 3000);
  // The player's own engine is the loudest loop of the room, as near as the rotor is. The slaps
  // are rounded off a little (the same curve for every sample, so the loop stays seamless) to
  // let the whole chop be louder under the same peak.
  scaleToPeak(loop, 0);
  saturate(loop, 1.8);
  scaleToRms(loop, -15, -1);
  // The chop's slaps held a little further down, so the rotor stands level with the room's
  // other loops though its cone is turned away from the listener.
  louden(loop, rate, 4, -1, true);
  scaleToRms(loop, -15.6, -1);
  return loop;
}

Samples enemyRotor(Studio&, int rate) {
  // Two seconds; every frequency below is a whole number of half-hertz, so each repeats a whole
  // number of times in the loop.
  const std::size_t n = frames(rate, 2.0);
  Rng rng = seeded("enemy");

  // A motor buzz of 150 Hz, square-edged (odd harmonics strong), wavering 6 times a second.
  constexpr double kMotorHz = 150, kWaverHz = 6, kWaverDepthHz = 2;
  // Four small blades beat the air 36 times a second: a fast "brrr" flutter, nothing like the
  // player's slow chop.
  constexpr double kFlutterHz = 36;
  Samples loop(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double cycles =
        kMotorHz * t + (kWaverDepthHz / (kTwoPi * kWaverHz)) * std::sin(kTwoPi * kWaverHz * t);
    double buzz = 0;
    for (int h = 1; h * kMotorHz < 4000; ++h) {
      buzz += ((h % 2 == 1) ? 1.0 : 0.45) * std::sin(kTwoPi * h * cycles) / h;
    }
    const double flutter = 0.45 + 0.55 * std::pow(0.5 + 0.5 * std::cos(kTwoPi * kFlutterHz * t), 3);
    // A tail rotor's whine, two close tones beating 6 times a second.
    const double whine = std::sin(kTwoPi * 1850 * t) + std::sin(kTwoPi * 1856 * t);
    loop[i] = static_cast<float>(0.5 * flutter * buzz + 0.05 * whine);
  }

  // A hiss of air, fluttering with the blades.
  Samples hiss = whiteNoise(n, rng);
  Biquad hissTone = Biquad::bandPass(rate, 2400, 0.8);
  hiss = loopThrough(hiss, [&](float x, std::size_t i) {
    const double t = static_cast<double>(i) / rate;
    const double flutter = std::pow(0.5 + 0.5 * std::cos(kTwoPi * kFlutterHz * t), 2);
    return static_cast<float>(hissTone(x) * (0.3 + 0.7 * flutter));
  });
  mixAround(loop, hiss, 0, 0.35);

  loop = lowPassedLoop(loop, rate, 4000);
  scaleToRms(loop, -15, -1.5);
  // The flutter's peaks held down, so the enemy's rotor keeps its edge at the level of the
  // room's other loops: 25 units off at the start, 8 dB down.
  louden(loop, rate, 3, -1.5, true);
  scaleToRms(loop, -23.3, -1.5);
  return loop;
}

}  // namespace rd::sounds

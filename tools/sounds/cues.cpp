// The named cues of the game's big moments. Most are spoken: the enemy pilot over his radio,
// gloating or groaning, or the person who shares the room with the helicopters, with the sound
// of what happened underneath. A cue that the game follows at once with speech of its own has no
// words, so the two never talk over each other.
#include <cmath>
#include <string_view>

#include "recipes.h"

namespace rd::sounds {

namespace {

// The cues sound beside the player, usually near the listener at full level and over the room:
// their peaks stay this far under full scale, so what the listener's head adds keeps the sum under
// it.
constexpr double kCuePeakDb = -6.0;

// The enemy pilot: a low, rough voice through a radio, a narrow band pushed into distortion,
// with the squelch of the receiver when he lets go of the button.
Samples pilotSays(Studio& studio, int rate, std::string_view text) {
  Rng rng = seeded(text);
  Samples s = studio.speech().say(text, {"en-us+m3", 165, 35, 65}, rate);
  Biquad low = Biquad::highPass(rate, 320), high = Biquad::lowPass(rate, 3200),
         presence = Biquad::peaking(rate, 1800, 1.0, 5);
  filter(s, [&](float x) { return presence(high(low(x))); });
  scaleToPeak(s, 0);
  saturate(s, 2.2);
  fadeIn(s, frames(rate, 0.005));
  fadeOut(s, frames(rate, 0.02));
  Biquad band = Biquad::bandPass(rate, 2000, 0.7);
  Samples squelch = whiteNoise(frames(rate, 0.12), rng);
  filter(squelch, band);
  shape(squelch, rate, [](double t) { return hit(t, 0.004, 0.04); });
  mixAt(s, squelch, s.size() + frames(rate, 0.03), 0.5);
  return s;
}

// The person in the room: a clear, higher voice, close by and unprocessed.
Samples personSays(Studio& studio, int rate, std::string_view text) {
  Samples s = studio.speech().say(text, {"en+f3", 165, 62, 75}, rate);
  scaleToPeak(s, 0);
  fadeIn(s, frames(rate, 0.005));
  fadeOut(s, frames(rate, 0.02));
  return s;
}

// An event under words: the effect first, then the voice over it, with the effect held down.
Samples wordsOver(Samples effect, double effectGain, const Samples& words, int rate,
                  double wordsAt) {
  Samples s;
  mixAt(s, effect, 0, effectGain);
  mixAt(s, words, frames(rate, wordsAt), 1.0);
  fadeOut(s, frames(rate, 0.01));
  scaleToPeak(s, kCuePeakDb);
  return s;
}

}  // namespace

Samples collide(Studio&, int rate) {
  // The two helicopters meeting: two heavy clangs, then the rotors chewing each other, a
  // clatter of blade on blade that runs down.
  Rng rng = seeded("collide");
  Samples s = crashImpact(rate, rng, 1.3);
  for (double at : {0.0, 0.05}) {
    mixAt(s, metalClang(rate, rng, rng.between(300, 420), 1.2), frames(rate, at), 0.8);
  }
  double t = 0.08;
  for (int k = 0; t < 0.85; ++k) {
    const double gain = 0.5 * std::exp(-(t - 0.08) / 0.3);
    mixAt(s, metalClang(rate, rng, rng.between(700, 900), 0.25), frames(rate, t), gain);
    t += 0.035 + 0.004 * k;  // the blades slowing as they break
  }
  s.resize(frames(rate, 1.3));
  fadeOut(s, frames(rate, 0.1));
  scaleToPeak(s, kCuePeakDb);
  return s;
}

Samples playerSmash(Studio&, int rate) {
  // The player's last helicopter wrecked. The game reads out the final score the moment this
  // starts, so it has no words of its own: the crash, a burst of flame, and the broken rotor
  // thrashing on, slower and slower, until it stops.
  Rng rng = seeded("PlayerSmash");
  Samples s = crashImpact(rate, rng, 2.6);
  mixAt(s, explosion(rate, rng, 2.0), frames(rate, 0.08), 0.5);
  double t = 0.15, beat = 0.075;
  while (t < 2.3) {
    Samples slap = whiteNoise(frames(rate, 0.12), rng);
    Biquad body = Biquad::bandPass(rate, 420, 1.2);
    filter(slap, body);
    shape(slap, rate, [](double u) { return hit(u, 0.003, 0.03); });
    fadeOut(slap, frames(rate, 0.02));
    mixAt(s, slap, frames(rate, t), 1.4 * std::exp(-(t - 0.15) / 0.9));
    mixAt(s, metalClang(rate, rng, rng.between(650, 800), 0.15), frames(rate, t),
          0.15 * std::exp(-(t - 0.15) / 0.6));
    t += beat;
    beat *= 1.12;  // the rotor running down
  }
  s.resize(frames(rate, 2.6));
  fadeOut(s, frames(rate, 0.2));
  scaleToPeak(s, kCuePeakDb);
  return s;
}

Samples enemySmash(Studio& studio, int rate) {
  Rng rng = seeded("EnemySmash");
  return wordsOver(crashImpact(rate, rng, 2.0), 0.45,
                   pilotSays(studio, rate, "No! Not my last helicopter!"), rate, 0.45);
}

Samples enemyShotDown(Studio& studio, int rate) {
  Rng rng = seeded("EnemyShotDown");
  return wordsOver(explosion(rate, rng, 1.8), 0.4, pilotSays(studio, rate, "Aargh! You got me!"),
                   rate, 0.5);
}

Samples playerShotDown(Studio& studio, int rate) {
  Rng rng = seeded("PlayerShotDown");
  return wordsOver(crashImpact(rate, rng, 1.5), 0.4,
                   pilotSays(studio, rate, "Gotcha! Down you go!"), rate, 0.4);
}

Samples tvSmash(Studio& studio, int rate) {
  // The picture tube imploding: a hollow boom, the glass bursting, the set spitting sparks.
  Rng rng = seeded("TVSmash");
  Samples s = bump(rate, rng, 70);
  mixAt(s, glassShatter(rate, rng, 1.2, 60), frames(rate, 0.01), 0.9);
  for (int k = 0; k < 25; ++k) {
    const double at = 0.05 + rng.uniform() * 0.8;
    Samples spark = tone(rate, 0.03, [](double) { return 100.0; }, {0.3, 0.2, 0.2, 0.15, 0.1});
    Biquad fizz = Biquad::highPass(rate, 2500);
    Samples crackle = whiteNoise(spark.size(), rng);
    filter(crackle, fizz);
    mixAt(spark, crackle, 0, 0.6);
    shape(spark, rate, [](double t) { return hit(t, 0.0005, 0.006); });
    mixAt(s, spark, frames(rate, at), rng.between(0.15, 0.4) * std::exp(-at / 0.5));
  }
  scaleToPeak(s, 0);
  return wordsOver(s, 0.55, personSays(studio, rate, "Hey! My television!"), rate, 0.7);
}

Samples ouch(Studio& studio, int rate) {
  // Someone in the room, hit by a low-flying helicopter.
  Rng rng = seeded("Ouch");
  Samples thump = bump(rate, rng, 140);
  return wordsOver(thump, 0.5, personSays(studio, rate, "Ouch!"), rate, 0.06);
}

Samples landedOnYourHead(Studio& studio, int rate) {
  // The enemy pilot laughing at the player, who has come down on the spot where they sit.
  Rng rng = seeded("LandedOnYourHead");
  return wordsOver(bump(rate, rng, 160), 0.55,
                   pilotSays(studio, rate, "Ha ha! You landed on your own head!"), rate, 0.25);
}

Samples landedOnMyHead(Studio& studio, int rate) {
  Rng rng = seeded("LandedOnMyHead");
  return wordsOver(bump(rate, rng, 160), 0.55,
                   personSays(studio, rate, "Ow! You landed on my head!"), rate, 0.2);
}

Samples tvOff(Studio& studio, int rate) {
  // The set switched off by a shot: a click, the picture's whine collapsing, a last crackle of
  // static, then the viewer complaining.
  Rng rng = seeded("TVOff");
  Samples s;
  Samples whine =
      tone(rate, 0.35,
           [](double t) { return 7500 * std::pow(1000.0 / 7500, std::min(t / 0.35, 1.0)); }, {1.0});
  shape(whine, rate, [](double t) { return hit(t, 0.002, 0.12); });
  mixAt(s, whine, 0, 0.25);
  Biquad hiss = Biquad::bandPass(rate, 3000, 0.6);
  Samples statics = whiteNoise(frames(rate, 0.25), rng);
  filter(statics, hiss);
  shape(statics, rate, [](double t) { return hit(t, 0.001, 0.05); });
  mixAt(s, statics, 0, 0.6);
  Samples click = ring(rate, 1500, 0.006, 0.04);
  fadeIn(click, frames(rate, 0.0005));
  mixAt(s, click, 0, 0.8);
  Samples thunk = ring(rate, 90, 0.05, 0.25);
  fadeIn(thunk, frames(rate, 0.002));
  mixAt(s, thunk, 0, 0.5);
  scaleToPeak(s, 0);
  return wordsOver(s, 0.6, personSays(studio, rate, "Hey! I was watching that!"), rate, 0.45);
}

}  // namespace rd::sounds

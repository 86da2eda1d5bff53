// The room's own loops: the wind of the player's flight, the television, the ceiling fan and the
// dog. Each is heard from its place for the whole game, so each must loop without a seam.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "recipes.h"

namespace rd::sounds {

Samples wind(Studio&, int rate) {
  // Four seconds of a band of noise around 480 Hz whose centre and strength drift in slow gusts
  // (periods of 4, 4/3 and 2 seconds, so the gusts repeat with the loop), over a low rumble.
  const std::size_t n = frames(rate, 4.0);
  Rng rng = seeded("wind");
  const Samples noise = whiteNoise(n, rng);
  Biquad band, rumble = Biquad::lowPass(rate, 220), edge = Biquad::lowPass(rate, 3500);
  Samples loop = loopThrough(noise, [&](float x, std::size_t i) {
    const double t = static_cast<double>(i) / rate;
    const double centre =
        480 * (1 + 0.35 * std::sin(kTwoPi * t / 4) + 0.15 * std::sin(kTwoPi * 3 * t / 4 + 1));
    band.setBandPass(rate, centre, 1.3);
    const double gust = 0.7 + 0.3 * std::sin(kTwoPi * t / 2 + 0.5);
    return edge(static_cast<float>(gust * (band(x) + 0.5 * rumble(x))));
  });
  // The game plays the wind 40 dB down, so the recording itself is loud.
  scaleToRms(loop, -11, -1);
  return loop;
}

namespace {

// Long enough that its return is not heard as one: four verses of the tune, a whole chat.
constexpr double kTvLoopSeconds = 32.0;
constexpr double kTvFadeSeconds = 0.3;

double noteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A bright electric-piano note: a few harmonics that fade, struck at a time in seconds.
void addNote(Samples& music, int rate, double at, int midi, double gain, double decay) {
  const double f = noteHz(midi);
  Samples note = tone(rate, 4 * decay, [f](double) { return f; }, {1.0, 0.5, 0.25, 0.12});
  shape(note, rate, [decay](double t) { return hit(t, 0.004, decay); });
  fadeOut(note, frames(rate, 0.05));
  mixAt(music, note, frames(rate, at), gain);
}

// A light pop tune: C, A minor, F, G, two seconds each, comped on every half second, a bass on
// the beat, a hi-hat on every quarter and a little melody, a different one in each of four
// 8-second verses. It repeats exactly every 32 seconds.
Samples televisionMusic(int rate, Rng& rng) {
  const double total = kTvLoopSeconds + kTvFadeSeconds + 1.0;
  Samples music = silence(rate, total);
  constexpr std::array<std::array<int, 4>, 4> kChords{{
      {48, 60, 64, 67},  // C
      {45, 57, 60, 64},  // A minor
      {41, 57, 60, 65},  // F
      {43, 59, 62, 67},  // G
  }};
  constexpr std::array<std::array<int, 16>, 4> kMelodies{{
      {76, 79, 81, 79, 76, 72, 74, 76, 77, 76, 74, 72, 74, 71, 72, 74},
      {72, 76, 79, 76, 69, 72, 76, 72, 69, 72, 77, 76, 71, 74, 79, 74},
      {79, 79, 81, 84, 81, 79, 76, 72, 77, 77, 76, 74, 74, 76, 77, 79},
      {76, 74, 72, 71, 72, 74, 76, 79, 81, 79, 77, 76, 74, 72, 71, 72},
  }};
  for (int beat = 0; beat * 0.5 < total - 0.5; ++beat) {
    const double at = beat * 0.5;
    const auto& chord = kChords[static_cast<std::size_t>((beat / 4) % 4)];
    addNote(music, rate, at, chord[0], 0.5, 0.4);
    for (std::size_t v = 1; v < chord.size(); ++v) addNote(music, rate, at, chord[v], 0.16, 0.3);
    const auto& melody = kMelodies[static_cast<std::size_t>((beat / 16) % 4)];
    addNote(music, rate, at, melody[static_cast<std::size_t>(beat % 16)], 0.22, 0.25);
    for (int q = 0; q < 2; ++q) {
      Samples hat = whiteNoise(frames(rate, 0.08), rng);
      Biquad hiss = Biquad::highPass(rate, 6000);
      filter(hat, hiss);
      shape(hat, rate, [](double t) { return hit(t, 0.001, 0.018); });
      mixAt(music, hat, frames(rate, at + 0.25 * q), 0.12);
    }
  }
  return music;
}

}  // namespace

Samples television(Studio& studio, int rate) {
  Rng rng = seeded("tv");
  Samples tv = televisionMusic(rate, rng);
  // The music stays under the talk.
  scaleToPeak(tv, -9);

  // A chat show: a host and two guests talking over one another above the music.
  const Speaker host{"en+m1", 185, 45, 70};
  const Speaker guest{"en-us+f2", 195, 62, 80};
  const Speaker other{"en-gb-scotland+m7", 180, 35, 60};
  struct Line {
    const Speaker& who;
    const char* text;
    double at;
  };
  const std::array<Line, 15> lines{{
      {host, "Good evening, and welcome back to the show.", 0.35},
      {guest, "Thank you, it is lovely to be here.", 2.1},
      {other, "Oh yes, lovely.", 3.5},
      {host, "So, tell us all about the new film.", 4.3},
      {guest, "Well, it is about a little dog and a helicopter!", 5.3},
      {other, "A helicopter? Indoors?", 8.4},
      {guest, "Indoors. In a living room, with a ceiling fan.", 9.9},
      {host, "That sounds dangerous.", 12.2},
      {guest, "Oh, it is. The dog bites anything that lands.", 13.6},
      {other, "I had a dog like that once.", 16.1},
      {host, "Did you really?", 17.9},
      {other, "He ate my slippers, and then the remote.", 19.0},
      {guest, "And the television gets smashed, twice!", 22.3},
      {host, "Not this one, I hope.", 24.6},
      {host, "We will be right back after the break.", 27.8},
  }};
  const std::size_t speechEnd = frames(rate, kTvLoopSeconds - 0.15);
  for (const Line& line : lines) {
    Samples words = studio.speech().say(line.text, line.who, rate);
    const std::size_t at = frames(rate, line.at);
    // Keep the crossfade at the loop's seam free of speech, so only the music is blended.
    if (at + words.size() > speechEnd) words.resize(speechEnd > at ? speechEnd - at : 0);
    fadeIn(words, frames(rate, 0.005));
    fadeOut(words, frames(rate, 0.05));
    mixAt(tv, words, at, 0.8);
  }

  // Through a small television speaker: no bass, no sparkle, a honk in the upper middle, pushed
  // a little too hard.
  Biquad low = Biquad::highPass(rate, 180), high = Biquad::lowPass(rate, 5000),
         honk = Biquad::peaking(rate, 2500, 1.0, 4);
  filter(tv, [&](float x) { return honk(high(low(x))); });
  scaleToPeak(tv, 0);
  saturate(tv, 1.6);

  tv.resize(frames(rate, kTvLoopSeconds + kTvFadeSeconds));
  crossfadeIntoLoop(tv, frames(rate, kTvFadeSeconds));
  // The television stands 14 units from the middle of the room, 4 dB down there: a background
  // the helicopters, the events and the speech stand out from.
  scaleToRms(tv, -28.8, -1);
  return tv;
}

Samples fan(Studio&, int rate) {
  // Four seconds: three blades turning 30 times a minute sweep past 1.5 times a second.
  const std::size_t n = frames(rate, 4.0);
  Rng rng = seeded("fan");
  constexpr double kSweepHz = 1.5;

  // The whoosh of each blade, a soft swell of air.
  const Samples noise = whiteNoise(n, rng);
  Biquad air = Biquad::bandPass(rate, 550, 0.6), soft = Biquad::lowPass(rate, 1500);
  Samples loop = loopThrough(noise, [&](float x, std::size_t i) {
    const double t = static_cast<double>(i) / rate;
    const double sweep = 0.5 - 0.5 * std::cos(kTwoPi * kSweepHz * t);
    return static_cast<float>(soft(air(x)) * (0.2 + 0.8 * sweep * sweep));
  });

  // The motor's hum: mains at 100 Hz and its overtones, steady.
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    loop[i] += static_cast<float>(0.05 * std::sin(kTwoPi * 100 * t) +
                                  0.03 * std::sin(kTwoPi * 200 * t + 0.3) +
                                  0.012 * std::sin(kTwoPi * 300 * t + 1.1));
  }

  // A loose mount ticks once a turn.
  for (double at : {0.3, 2.3}) {
    Samples tick = impulse(rate, rng, 0.0004);
    Biquad rattle = Biquad::bandPass(rate, 2200, 6);
    tick.resize(frames(rate, 0.05), 0.0f);
    filter(tick, rattle);
    mixAround(loop, tick, frames(rate, at), 0.5);
  }

  // The fan hangs five units over the listener in the middle of the room, at full level: a
  // steady hum, the quietest of the room's main loops.
  scaleToRms(loop, -32.0, -1.5);
  return loop;
}

namespace {

// One bark: a rough, breathy burst whose pitch leaps up and falls, through a mouth that opens
// and closes ("wuf"), hardest at the start and dying away quickly.
Samples bark(int rate, Rng& rng, double seconds, double peakHz) {
  const std::size_t n = frames(rate, seconds);
  // The throat never holds a pitch steady: a slow random wander of a few percent.
  Samples wander = whiteNoise(n, rng);
  Biquad slow = Biquad::lowPass(rate, 30);
  filter(wander, [&](float x) { return slow(x) * 6.0f; });
  auto pitch = [&](double t) {
    const double x = t / seconds;
    const double contour = x < 0.2 ? 0.75 + 0.25 * x / 0.2 : 1.0 - 0.45 * (x - 0.2) / 0.8;
    const auto i = std::min(n - 1, static_cast<std::size_t>(t * rate));
    return peakHz * contour * (1.0 + 0.05 * wander[i]);
  };
  Samples voiced = tone(rate, seconds, pitch, {1.0, 0.8, 0.6, 0.5, 0.4, 0.3, 0.25, 0.2, 0.15, 0.1});
  Samples breath = whiteNoise(n, rng);
  Samples source(n);
  double growl = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    // A rough throat: the voice wobbles at half its pitch.
    growl += pitch(t) * 0.5 / rate;
    const double rough = 1.0 + 0.45 * std::sin(kTwoPi * growl);
    const double breathiness = 0.45 + 0.9 * std::exp(-t / 0.025);
    source[i] = static_cast<float>(rough * voiced[i] + breathiness * breath[i]);
  }
  Biquad f1, f2, f3 = Biquad::bandPass(rate, 2700, 4);
  Samples out(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i) / static_cast<double>(n);
    const double open = std::sin(kPi * std::min(1.0, x * 1.6));
    f1.setBandPass(rate, 500 + 500 * open, 3);
    f2.setBandPass(rate, 1100 + 700 * open, 4);
    out[i] = 1.6f * f1(source[i]) + 1.0f * f2(source[i]) + 0.45f * f3(source[i]);
  }
  shape(out, rate, [seconds](double t) {
    const double x = t / seconds;
    return x < 0.05 ? x / 0.05 : std::exp(-(x - 0.05) * 3.0) * std::min(1.0, (1 - x) / 0.15);
  });
  // The chest behind it.
  Samples chest = ring(rate, 160, 0.03, seconds);
  fadeIn(chest, frames(rate, 0.004));
  mixAt(out, chest, 0, 0.25);
  fadeOut(out, frames(rate, 0.02));
  return out;
}

}  // namespace

Samples dogBark(Studio&, int rate) {
  // Sixteen seconds that start and end in silence, long enough that the pattern is not heard
  // coming round: "woof-woof", "woof", a run of three, long pauses, each bark a little different.
  Rng rng = seeded("dog");
  Samples loop = silence(rate, 16.0);
  struct Bark {
    double at, seconds, peakHz, gain;
  };
  for (const Bark& b :
       {Bark{0.10, 0.17, 520, 1.0}, Bark{0.40, 0.15, 560, 0.85}, Bark{2.15, 0.19, 480, 1.0},
        Bark{4.90, 0.16, 540, 0.9}, Bark{5.20, 0.15, 580, 0.8}, Bark{5.48, 0.18, 500, 0.95},
        Bark{8.30, 0.20, 470, 1.0}, Bark{10.60, 0.16, 550, 0.9}, Bark{10.92, 0.17, 530, 0.85},
        Bark{13.40, 0.19, 490, 1.0}}) {
    mixAt(loop, bark(rate, rng, b.seconds, b.peakHz), frames(rate, b.at), b.gain);
  }
  // The dog ends games, so it is heard from the far corners: its barks dense, their peaks held,
  // and over the room's other loops at its start, 19 units off.
  scaleToPeak(loop, -1.5);
  louden(loop, rate, 6, -1.5, true);
  scaleToPeak(loop, -8.7);
  return loop;
}

}  // namespace rd::sounds

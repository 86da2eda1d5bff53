// One-shot sounds of things happening: impacts, weapons, clicks and the alarm. Each is played
// once at its own speed.
#include <algorithm>
#include <cmath>
#include <vector>

#include "recipes.h"

namespace rd::sounds {

namespace {

// A crash, a scrape, a landing, the fan's blows or the dog's bite happen anywhere up to the far
// walls, 20 units from the listener, while the room's loops go on: each is made this much louder
// than its peak alone allows, its loudest instants held down by the limiter, so it stands out from
// the room.
constexpr double kWallEventLiftDb = 19.0;
// A scrape and a landing are thinner than a crash, and mostly high: heard from behind, past the
// far walls, the listener's head shades them. They are held harder still.
constexpr double kThinEventLiftDb = 23.0;

}  // namespace

namespace {

// Noise through a filter, shaped by a strike envelope.
template <typename Filter>
Samples burst(int rate, Rng& rng, double seconds, double attack, double decay, Filter&& f) {
  Samples s = whiteNoise(frames(rate, seconds), rng);
  filter(s, f);
  shape(s, rate, [attack, decay](double t) { return hit(t, attack, decay); });
  fadeOut(s, frames(rate, std::min(0.1, seconds / 4)));
  return s;
}

// A few modes scattered around given frequencies, as no two struck pieces ring alike.
Samples struckPiece(int rate, Rng& rng, const std::vector<Mode>& around) {
  std::vector<Mode> modes;
  for (const Mode& m : around) {
    modes.push_back({m.hz * rng.between(0.94, 1.06), m.gain, m.decaySeconds});
  }
  return strike(rate, modes);
}

// A tone falling (or rising) from one frequency to another along an exponential curve.
auto glide(double fromHz, double toHz, double seconds) {
  return [=](double t) { return fromHz * std::pow(toHz / fromHz, std::min(t / seconds, 1.0)); };
}

}  // namespace

Samples metalClang(int rate, Rng& rng, double baseHz, double ring) {
  // Inharmonic partials of a bent metal panel; `ring` stretches how long they sound.
  return struckPiece(rate, rng,
                     {{baseHz, 1.0, 0.35 * ring},
                      {baseHz * 2.76, 0.7, 0.25 * ring},
                      {baseHz * 4.95, 0.5, 0.18 * ring},
                      {baseHz * 7.79, 0.35, 0.12 * ring},
                      {baseHz * 11.1, 0.25, 0.08 * ring}});
}

Samples bump(int rate, Rng& rng, double hz) {
  // A soft body landing: a low thud with a little noise on top.
  Samples s = tone(rate, 0.35, glide(hz, hz * 0.6, 0.2), {1.0, 0.2});
  shape(s, rate, [](double t) { return hit(t, 0.003, 0.07); });
  Biquad dull = Biquad::lowPass(rate, 400);
  mixAt(s, burst(rate, rng, 0.12, 0.001, 0.03, dull), 0, 0.8);
  fadeOut(s, frames(rate, 0.05));
  return s;
}

Samples crashImpact(int rate, Rng& rng, double seconds) {
  Samples s = silence(rate, seconds);
  // The heavy thud of the body hitting the floor.
  Samples thud = tone(rate, 0.6, glide(80, 45, 0.3), {1.0, 0.3});
  shape(thud, rate, [](double t) { return hit(t, 0.002, 0.12); });
  mixAt(s, thud, 0, 1.0);
  Biquad low = Biquad::lowPass(rate, 300);
  mixAt(s, burst(rate, rng, 0.4, 0.001, 0.08, low), 0, 1.2);
  // Metal crumpling: gritty noise in bursts.
  Biquad crumple = Biquad::bandPass(rate, 1800, 0.9);
  Samples grit = burst(rate, rng, 0.5, 0.002, 0.15, crumple);
  double grain = 1;
  for (std::size_t i = 0; i < grit.size(); ++i) {
    if (i % 60 == 0) grain = rng.uniform() < 0.6 ? rng.between(0.5, 1.0) : 0.15;
    grit[i] = static_cast<float>(grit[i] * grain);
  }
  mixAt(s, grit, 0, 1.4);
  // Panels and the rotor ringing as they buckle.
  for (double at : {0.0, 0.03, 0.11, 0.24}) {
    const double gain = 0.45 * std::exp(-at / 0.2);
    mixAt(s, metalClang(rate, rng, rng.between(380, 520), 1.0), frames(rate, at), gain);
  }
  // Debris settling: small pieces landing ever more rarely.
  for (int k = 0; k < 26; ++k) {
    const double at = 0.12 + std::min(1.0, -0.3 * std::log(1 - rng.uniform()));
    if (at > seconds - 0.1) continue;
    Samples bit = struckPiece(
        rate, rng, {{rng.between(1800, 5200), 1.0, 0.04}, {rng.between(2500, 7000), 0.6, 0.03}});
    mixAt(s, bit, frames(rate, at), 0.12 * std::exp(-at / 0.5) * rng.between(0.4, 1.0));
  }
  s.resize(frames(rate, seconds));
  fadeOut(s, frames(rate, 0.15));
  return s;
}

Samples explosion(int rate, Rng& rng, double seconds) {
  Samples s = silence(rate, seconds);
  // The crack of the blast.
  Biquad bright = Biquad::highPass(rate, 800);
  mixAt(s, burst(rate, rng, 0.03, 0.0005, 0.006, bright), 0, 0.8);
  // The fireball: noise whose brightness falls away as it spreads.
  Samples body = whiteNoise(frames(rate, seconds), rng);
  Biquad darkening;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    darkening.setLowPass(rate, 180 + 3500 * std::exp(-t / 0.18), 0.8);
    body[i] = static_cast<float>(darkening(body[i]) * hit(t, 0.003, 0.45));
  }
  mixAt(s, body, 0, 1.2);
  // The rumble that rolls on.
  Biquad rumbleTone = Biquad::lowPass(rate, 90, 1.0);
  Samples rumble = burst(rate, rng, seconds, 0.03, 0.8, rumbleTone);
  mixAt(s, rumble, 0, 3.0);
  // The pressure wave felt in the chest.
  Samples sub = tone(rate, 1.0, glide(60, 32, 0.8), {1.0, 0.15});
  shape(sub, rate, [](double t) { return hit(t, 0.004, 0.25); });
  mixAt(s, sub, 0, 0.7);
  // Burning fragments crackling.
  for (int k = 0; k < 40; ++k) {
    const double at = 0.05 + -0.35 * std::log(1 - rng.uniform());
    if (at > seconds - 0.2) continue;
    Biquad crackle = Biquad::bandPass(rate, rng.between(1500, 5000), 3);
    Samples c = burst(rate, rng, 0.03, 0.0005, 0.004, crackle);
    mixAt(s, c, frames(rate, at), 0.35 * std::exp(-at / 0.6));
  }
  s.resize(frames(rate, seconds));
  scaleToPeak(s, 0);
  saturate(s, 1.5);
  fadeOut(s, frames(rate, 0.2));
  return s;
}

Samples glassShatter(int rate, Rng& rng, double seconds, int shards) {
  Samples s = silence(rate, seconds);
  // The pane giving way: a bright rush.
  Biquad sharp = Biquad::highPass(rate, 3500);
  mixAt(s, burst(rate, rng, 0.25, 0.001, 0.06, sharp), 0, 0.7);
  // Shards ringing, thick at first, then the last pieces tinkling down.
  for (int k = 0; k < shards; ++k) {
    const double at = std::min(seconds - 0.15, -0.22 * std::log(1 - rng.uniform()));
    Samples shard = struckPiece(rate, rng,
                                {{rng.between(2500, 5500), 1.0, rng.between(0.02, 0.12)},
                                 {rng.between(5000, 9500), 0.6, rng.between(0.015, 0.06)},
                                 {rng.between(3500, 8000), 0.4, rng.between(0.02, 0.08)}});
    mixAt(s, shard, frames(rate, at), rng.between(0.15, 0.4) * std::exp(-at / 0.45));
  }
  s.resize(frames(rate, seconds));
  fadeOut(s, frames(rate, 0.1));
  return s;
}

Samples alarm(Studio&, int rate) {
  // Three rising whoops of a siren, 550 to 1450 Hz, square-edged.
  Samples s;
  for (int k = 0; k < 3; ++k) {
    Samples whoop = tone(rate, 0.5, glide(550, 1450, 0.5), {1.0, 0, 0.33, 0, 0.2, 0, 0.14});
    fadeIn(whoop, frames(rate, 0.01));
    fadeOut(whoop, frames(rate, 0.03));
    mixAt(s, whoop, frames(rate, 0.6 * k));
  }
  scaleToPeak(s, -4);
  return s;
}

Samples breakGlassAndWood(Studio&, int rate) {
  Rng rng = seeded("break");
  Samples s = silence(rate, 1.4);
  // Wood splitting: a quick run of cracks through a wooden body's resonances.
  for (int k = 0; k < 10; ++k) {
    const double at = 0.045 * k / 10.0 + rng.between(0, 0.004);
    Samples crack = struckPiece(
        rate, rng, {{190, 0.6, 0.05}, {460, 1.0, 0.04}, {820, 0.7, 0.03}, {1350, 0.4, 0.02}});
    mixAt(crack, impulse(rate, rng, 0.0005), 0, 2.0);
    mixAt(s, crack, frames(rate, at), rng.between(0.4, 0.8) * (k == 0 ? 1.6 : 1.0));
  }
  Biquad splinter = Biquad::bandPass(rate, 900, 0.8);
  mixAt(s, burst(rate, rng, 0.2, 0.001, 0.04, splinter), 0, 1.0);
  // And the glass in it shattering.
  mixAt(s, glassShatter(rate, rng, 1.35, 70), frames(rate, 0.015), 1.0);
  s.resize(frames(rate, 1.4));
  scaleToPeak(s, -2);
  return s;
}

Samples crunch(Studio&, int rate) {
  Rng rng = seeded("crunch");
  Samples s = silence(rate, 1.2);
  // A growl under the chewing.
  Samples growl = tone(rate, 1.1, [](double t) { return 85 + 8 * std::sin(kTwoPi * 3 * t); },
                       {1.0, 0.7, 0.5, 0.4, 0.3, 0.25, 0.2, 0.15});
  Biquad throat = Biquad::bandPass(rate, 450, 2.5);
  filter(growl, throat);
  shape(growl, rate, [](double t) { return std::sin(kPi * std::min(1.0, t / 1.1)); });
  mixAt(s, growl, 0, 0.5);
  // Three bites of the jaws, each cracking plastic.
  const double bites[] = {0.0, 0.36, 0.7};
  for (int b = 0; b < 3; ++b) {
    const double gain = b == 2 ? 0.7 : 1.0;
    const std::size_t at = frames(rate, bites[b]);
    Biquad chomp = Biquad::lowPass(rate, 700);
    Samples jaw = burst(rate, rng, 0.3, 0.005, 0.07, chomp);
    shape(jaw, rate, [](double t) { return 1.0 + 0.5 * std::sin(kTwoPi * 32 * t); });
    mixAt(s, jaw, at, 1.2 * gain);
    // Teeth meeting.
    mixAt(s, struckPiece(rate, rng, {{1800, 1.0, 0.008}, {3100, 0.6, 0.006}}), at, 0.5 * gain);
    // The plastic giving: a snap and a crackle of small breaks.
    const std::size_t snapAt = at + frames(rate, rng.between(0.02, 0.06));
    mixAt(s, struckPiece(rate, rng, {{1250, 1.0, 0.025}, {2150, 0.7, 0.02}, {3400, 0.5, 0.015}}),
          snapAt, 0.6 * gain);
    for (int k = 0; k < 30; ++k) {
      Biquad crack = Biquad::bandPass(rate, rng.between(1500, 4500), 4);
      Samples c = impulse(rate, rng, 0.0003);
      c.resize(frames(rate, 0.02), 0.0f);
      filter(c, crack);
      const std::size_t crackAt = at + frames(rate, rng.between(0, 0.15));
      mixAt(s, c, crackAt, rng.between(0.5, 1.4) * gain);
    }
  }
  s.resize(frames(rate, 1.2));
  fadeOut(s, frames(rate, 0.1));
  scaleToPeak(s, -1);
  louden(s, rate, kWallEventLiftDb, -1, false);
  return s;
}

Samples fanHit(Studio&, int rate) {
  Rng rng = seeded("fanhit");
  Samples s = silence(rate, 1.1);
  // The blades strike the helicopter one after another, slowing and weakening.
  const double whacks[] = {0.0, 0.075, 0.16, 0.26, 0.38, 0.52};
  for (int k = 0; k < 6; ++k) {
    const double gain = std::pow(0.8, k);
    Samples blade = struckPiece(rate, rng,
                                {{310, 1.0, 0.09},
                                 {780, 0.8, 0.07},
                                 {1460, 0.6, 0.05},
                                 {2380, 0.4, 0.04},
                                 {3550, 0.3, 0.03}});
    Biquad slap = Biquad::bandPass(rate, 1200, 1.0);
    mixAt(blade, burst(rate, rng, 0.06, 0.0005, 0.015, slap), 0, 1.5);
    mixAt(s, blade, frames(rate, whacks[k]), gain);
  }
  // The motor straining and dropping in pitch.
  Samples groan = tone(rate, 1.0, glide(100, 60, 1.0), {1.0, 0.5, 0.3});
  shape(groan, rate, [](double t) { return hit(t, 0.01, 0.4); });
  mixAt(s, groan, 0, 0.2);
  s.resize(frames(rate, 1.1));
  fadeOut(s, frames(rate, 0.15));
  scaleToPeak(s, -1);
  louden(s, rate, kWallEventLiftDb, -1, false);
  return s;
}

Samples wallSwitch(Studio&, int rate) {
  Rng rng = seeded("switch");
  Samples s = silence(rate, 0.12);
  // The lever leaving its rest, then the snap of the contact, with the plastic plate's thunk.
  mixAt(s, struckPiece(rate, rng, {{2700, 1.0, 0.004}, {4300, 0.7, 0.003}, {6900, 0.4, 0.002}}), 0,
        0.35);
  const std::size_t snap = frames(rate, 0.009);
  mixAt(
      s,
      struckPiece(rate, rng,
                  {{1100, 1.0, 0.008}, {2600, 0.8, 0.006}, {4300, 0.5, 0.004}, {7200, 0.3, 0.003}}),
      snap, 1.0);
  mixAt(s, impulse(rate, rng, 0.0004), snap, 0.6);
  Samples thunk = ring(rate, 180, 0.012, 0.08);
  fadeIn(thunk, frames(rate, 0.001));
  mixAt(s, thunk, snap, 0.5);
  s.resize(frames(rate, 0.12));
  fadeOut(s, frames(rate, 0.02));
  scaleToPeak(s, -6);
  return s;
}

Samples knob(Studio&, int rate) {
  Rng rng = seeded("knob");
  Samples s = silence(rate, 0.03);
  // A small detent: a light tick of a little metal spring, higher and shorter than the switch.
  Samples tick =
      struckPiece(rate, rng, {{3400, 1.0, 0.0025}, {5600, 0.6, 0.0018}, {8100, 0.4, 0.0012}});
  mixAt(s, tick, 0, 1.0);
  mixAt(s, impulse(rate, rng, 0.00015), 0, 0.5);
  mixAt(s, tick, frames(rate, 0.004), 0.3);
  s.resize(frames(rate, 0.03));
  fadeOut(s, frames(rate, 0.005));
  scaleToPeak(s, -8);
  return s;
}

Samples playerLaser(Studio&, int rate) {
  // A clean "pew": a bright tone diving from 2600 to 300 Hz, with a shadow an octave below.
  constexpr double kSeconds = 0.32;
  Samples s = tone(rate, kSeconds, glide(2600, 300, kSeconds), {1.0, 0.45, 0.3, 0.15});
  Samples shadow = tone(rate, kSeconds, glide(1313, 150, kSeconds), {1.0, 0.3});
  mixAt(s, shadow, 0, 0.3);
  shape(s, rate, [](double t) { return hit(t, 0.002, 0.12); });
  fadeOut(s, frames(rate, 0.02));
  scaleToPeak(s, -5);
  return s;
}

Samples enemyLaser(Studio&, int rate) {
  // The enemy's gun is another thing altogether: a harsh buzz that climbs from 300 to 1400 Hz,
  // stuttering 28 times a second, with a crackle of sparks.
  constexpr double kSeconds = 0.5;
  Rng rng = seeded("EnemyLaser");
  std::vector<double> saw;
  for (int h = 1; h <= 30; ++h) saw.push_back(1.0 / h);
  Samples s = tone(rate, kSeconds, glide(300, 1400, kSeconds), saw);
  Biquad sparkTone = Biquad::bandPass(rate, 3000, 1.5);
  mixAt(s, burst(rate, rng, kSeconds, 0.005, 0.3, sparkTone), 0, 1.5);
  shape(s, rate, [](double t) {
    const double stutter = 0.35 + 0.65 * std::pow(0.5 + 0.5 * std::cos(kTwoPi * 28 * t), 2);
    return stutter * hit(t, 0.01, 0.35);
  });
  fadeOut(s, frames(rate, 0.08));
  scaleToPeak(s, -3);
  return s;
}

Samples explode(Studio&, int rate) {
  Rng rng = seeded("explode");
  Samples s = explosion(rate, rng, 2.2);
  // It sounds where the enemy falls, often close, on top of the laser that brought it down.
  scaleToPeak(s, -4);
  return s;
}

Samples crash(Studio&, int rate) {
  Rng rng = seeded("crash");
  Samples s = crashImpact(rate, rng, 1.5);
  // Heard from any wall over the whole room: the crumpling metal brought forward, since the thud
  // alone carries little across the room, its peaks held and its body brought up. Most crashes
  // happen where the helicopter took off, under the listener at full level, on top of the room
  // and often of speech: held lower than the other events so the sum stays under full scale.
  Biquad crumple = Biquad::peaking(rate, 2000, 0.6, 9);
  filter(s, crumple);
  scaleToPeak(s, -4.5);
  louden(s, rate, kThinEventLiftDb + 4, -4.5, false);
  return s;
}

Samples land(Studio&, int rate) {
  // Touch-down: a firm thump of the body, the skids clicking on the floor and a light rattle. The
  // clicks and the rattle carry it across the room: a thump alone is lost at the far walls.
  Rng rng = seeded("land");
  Samples s = bump(rate, rng, 95);
  for (double at : {0.0, 0.018}) {
    mixAt(s, struckPiece(rate, rng, {{1450, 1.0, 0.025}, {2900, 0.6, 0.015}, {4100, 0.4, 0.01}}),
          frames(rate, at), 1.0);
  }
  for (double at : {0.04, 0.07, 0.095}) {
    mixAt(s, metalClang(rate, rng, rng.between(600, 900), 0.2), frames(rate, at), 0.4);
  }
  s.resize(frames(rate, 0.5));
  fadeOut(s, frames(rate, 0.05));
  scaleToPeak(s, -1);
  louden(s, rate, kThinEventLiftDb, -1, false);
  return s;
}

Samples scrape(Studio&, int rate) {
  // Metal dragged along a wall: it sticks and slips 60 to 100 times a second, every slip ringing
  // the skid, over a hiss of friction.
  constexpr double kSeconds = 1.0;
  Rng rng = seeded("scrape");
  Samples slips = silence(rate, kSeconds);
  for (double t = 0; t < kSeconds - 0.01;) {
    const Samples slip = impulse(rate, rng, 0.0006);
    mixAt(slips, slip, frames(rate, t), rng.between(0.5, 1.0));
    t += 1.0 / (80 + 20 * std::sin(kTwoPi * 2.3 * t) + rng.between(-8, 8));
  }
  slips.resize(frames(rate, kSeconds));
  Samples s(slips.size());
  Biquad r1 = Biquad::bandPass(rate, 1900, 12), r2 = Biquad::bandPass(rate, 3300, 14),
         r3 = Biquad::bandPass(rate, 5200, 16);
  Biquad rasp = Biquad::bandPass(rate, 2600, 1.2), grind = Biquad::bandPass(rate, 700, 1.5),
         follow = Biquad::lowPass(rate, 60);
  const Samples noise = whiteNoise(slips.size(), rng);
  for (std::size_t i = 0; i < s.size(); ++i) {
    // The friction noise comes and goes with the slips.
    const float grip = std::min(1.5f, follow(std::fabs(slips[i]) * 25));
    const float x = slips[i];
    s[i] = 6.0f * r1(x) + 4.0f * r2(x) + 2.5f * r3(x) +
           grip * (0.25f * rasp(noise[i]) + 1.8f * grind(noise[i]));
  }
  fadeIn(s, frames(rate, 0.03));
  fadeOut(s, frames(rate, 0.25));
  scaleToPeak(s, -1);
  louden(s, rate, kThinEventLiftDb, -1, false);
  return s;
}

}  // namespace rd::sounds

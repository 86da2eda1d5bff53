#include "recordings.h"

#include <array>
#include <cstdint>

#include "recipes.h"

namespace rd::sounds {

SpeechSynth& Studio::speech() {
  if (!speech_) speech_ = std::make_unique<SpeechSynth>();
  return *speech_;
}

Rng seeded(std::string_view name) {
  std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a of the name
  for (char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ull;
  }
  return Rng(h);
}

namespace {

// A voice plays at (frequency set by the game) / (its file's rate) times its recorded speed.
// Where the game sets a frequency, the rate is chosen so the pitches it asks for sound right and
// stay at most 10 times the recorded speed. Every other recording plays at its own speed and is
// made at 22050 Hz, the rate the speech synthesiser works at: enough for everything in the room.
constexpr std::array kRecordings{
    // The bank, in load order.
    Recording{"EnemyAlarm.wav", 22050, false, alarm},  // never re-pitched (and never started)
    // The player's rotor, 11025 Hz: the game sets 5000 Hz at idle, lifts off above 10000 Hz and
    // climbs to 70100 Hz, so 0.45x (a slow idle chop of 5.6 beats a second), 0.91x (a working
    // beat of 11 a second at lift-off) and 6.4x (a 78 Hz scream) of the recorded 12.25 beats.
    Recording{"zelkar.wav", 11025, true, playerRotor},
    Recording{"break.wav", 22050, false, breakGlassAndWood},  // never re-pitched
    Recording{"tv.wav", 22050, true, television},             // never re-pitched
    Recording{"crunch.wav", 22050, false, crunch},            // never re-pitched
    Recording{"DogBark.wav", 22050, true, dogBark},           // never re-pitched
    // The wind, 11025 Hz: the game sets twice its wind level, about 600 Hz on the first tick,
    // about 10000 Hz at rest and up to about 40000 Hz at speed: a low rumble (0.05x) as it starts,
    // the band of noise near its recorded place at rest (0.9x) and a howl (3.6x) at speed.
    Recording{"wind.wav", 11025, true, wind},
    Recording{"fan.wav", 22050, true, fan},                   // never re-pitched
    Recording{"fanhit.wav", 22050, false, fanHit},            // never re-pitched
    Recording{"switch.wav", 22050, false, wallSwitch},        // never re-pitched
    Recording{"EnemyLaser.wav", 22050, false, enemyLaser},    // never re-pitched
    Recording{"PlayerLaser.wav", 22050, false, playerLaser},  // never re-pitched
    Recording{"explode.wav", 22050, false, explode},          // never re-pitched
    // The height tone, 44100 Hz: 84100 Hz less 10000 Hz per whole unit of height between the
    // helicopters, 74100 Hz (1.68x) for a gap of one down to 4100 Hz (0.09x) for eight: the
    // highest well within reach, the lowest still a tone (84 Hz, about a second long).
    Recording{"TargetY.wav", 44100, false, heightTone},
    // The bearing blip, 44100 Hz: 60000 Hz dead ahead to 51000 Hz behind, 1.36x to 1.16x.
    Recording{"TargetX.wav", 44100, false, bearingBlip},
    Recording{"acquired.wav", 22050, true, lockOnTone},  // never re-pitched
    // The enemy's rotor, 22050 Hz: it starts at its own speed and, low down, glides 1 Hz a tick
    // towards 0 (the device stops at 100 Hz); higher up the game sets 28000, 56000, 84000 or
    // 112000 Hz (1.27x to 5.1x); a lost helicopter sets it to 5000 Hz (0.23x), and a fall sinks
    // it in 54 Hz steps.
    Recording{"enemy.wav", 22050, true, enemyRotor},
    Recording{"crash.wav", 22050, false, crash},    // never re-pitched
    Recording{"land.wav", 22050, false, land},      // never re-pitched
    Recording{"scrape.wav", 22050, false, scrape},  // never re-pitched
    // The knob, 44100 Hz: it clicks at 44100 Hz (its own speed) and, in the centre, at 80000 Hz
    // (1.8x, higher).
    Recording{"KNOB.wav", 44100, false, knob},

    // The named cues: none is re-pitched.
    Recording{"collide.wav", 22050, false, collide},
    Recording{"PlayerSmash.wav", 22050, false, playerSmash},
    Recording{"EnemySmash.wav", 22050, false, enemySmash},
    Recording{"EnemyShotDown.wav", 22050, false, enemyShotDown},
    Recording{"PlayerShotDown.wav", 22050, false, playerShotDown},
    Recording{"TVSmash.wav", 22050, false, tvSmash},
    Recording{"Ouch.wav", 22050, false, ouch},
    Recording{"LandedOnYourHead.wav", 22050, false, landedOnYourHead},
    Recording{"LandedOnMyHead.wav", 22050, false, landedOnMyHead},
    Recording{"TVOff.wav", 22050, false, tvOff},
};

}  // namespace

std::span<const Recording> recordings() { return kRecordings; }

}  // namespace rd::sounds

// Every constant that more than one part of the game, or the game and its platforms, share, each
// with its reason. A number used in one place stays beside its use.
#pragma once

#include <cstdint>

namespace rd::config {

// The simulation timer asks for 1 ms; a desktop window timer fires at most every 15.625 ms
// (64 times a second), and every per-tick amount of the game was tuned to that rate: momentum
// builds between two auto-repeated key presses, one knob step turns 64 degrees a second, the dog
// trots at up to 5 units a second. Timer intervals are rounded up to whole periods of this length.
inline constexpr int64_t kTimerPeriodMicros = 15625;
inline constexpr double kTickPeriodMs = kTimerPeriodMicros / 1000.0;

// A fall's busy wait counts to 100000 (crash) or 120000 (shot down) between steps. The count holds
// the game 0.1 microseconds a turn, so a crash step holds it 10 ms and a shot-down step 12 ms while
// the sound device keeps mixing and the sinking rotor is heard.
inline constexpr double kMsPerBusyCount = 0.0001;

// A voice keeps the frequency it is given, clamped to what it can play; values out of range never
// fail. The game asks for 0 Hz (enemy glide) up to 112000 Hz (enemy high up) and negative values
// (the height tone for a large gap).
inline constexpr int32_t kMinFrequencyHz = 100;
inline constexpr int32_t kMaxFrequencyHz = 200000;

// Volumes are hundredths of a decibel; the device takes -100 dB (silence) to 0 dB (full level).
inline constexpr int32_t kMinVolume = -10000;
inline constexpr int32_t kMaxVolume = 0;

// The player's speech rate, in words a minute: the range the settings take and the comfort keys
// reach, and that the desktop's speech service is asked for.
inline constexpr int kSlowestSpeechRate = 80;
inline constexpr int kFastestSpeechRate = 900;

// The sound's output latency the player may ask for, in milliseconds, and the value that leaves it
// to OpenAL Soft and its own configuration.
inline constexpr int32_t kMinLatencyMs = 3;
inline constexpr int32_t kMaxLatencyMs = 500;
inline constexpr int32_t kAutoLatency = -1;

// The status the mouse handler returns when a call inside it failed (a generic failure code).
inline constexpr int32_t kFailStatus = static_cast<int32_t>(0x80004005u);

// Mouse items waiting in the buffer at most; the handler reads them into an array of this size.
inline constexpr int32_t kMouseBufferItems = 100;

// ---- The room

// The walls stand at -20 and 20 along x and z. Whatever is found beyond one (the player, the
// dog) is put back at 19, one unit inside, so the next step does not find it beyond again.
inline constexpr float kWall = 20;
inline constexpr float kInsideWall = 19;
// A helicopter that reaches a wall with more momentum than this along x or z crashes; with less
// it only scrapes.
inline constexpr float kWallCrashMomentum = 5;

// Degrees to radians: pi/180 rounded to single precision and used in double arithmetic. The
// knob's click, the listener's facing, the steps and the target finder all turn by this factor,
// so a heading sounds and moves the same everywhere.
inline constexpr double kRadiansPerDegree = static_cast<double>(0.017453292f);

// ---- Engines and falls

// The rotor's idle frequency: where the player's engine starts, the lowest it can be turned down
// to, and where either rotor restarts after a lost helicopter.
inline constexpr int32_t kIdleRotorHz = 5000;

// A falling helicopter sinks 0.05 a step until it is below height 1, its rotor 54 Hz lower each
// step: a fall from the ceiling is about 180 steps, heard as a rotor winding down.
inline constexpr float kFallStep = 0.05f;
inline constexpr int32_t kFallPitchStepHz = 54;
// The busy-wait counts between two steps of a fall (see kMsPerBusyCount): a crash sinks faster
// than a helicopter shot down, which the enemy follows on its radio.
inline constexpr int32_t kCrashFallCounts = 100000;
inline constexpr int32_t kShotDownFallCounts = 120000;

// ---- Speech

// espeak-ng's English voice, at its own default rate and volume: the clearest of its voices for
// numbers read fast, and the one every espeak-ng installation has.
inline constexpr const char* kSpeechVoice = "en";

}  // namespace rd::config

// What the platforms can do, each limit with its reason: the window's timer period, what a voice
// can play, the player's speech rate and the sound's latency, and the built-in voice.
#pragma once

#include <cstdint>

namespace rd::limits {

// The simulation timer asks for 1 ms; a desktop window timer fires at most every 15.625 ms
// (64 times a second), and every per-tick amount of the game was tuned to that rate: momentum
// builds between two auto-repeated key presses, one knob step turns 64 degrees a second, the dog
// trots at up to 5 units a second. Timer intervals are rounded up to whole periods of this length.
inline constexpr int64_t kTimerPeriodMicros = 15625;

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

// espeak-ng's English voice, at its own default rate and volume: the clearest of its voices for
// numbers read fast, and the one every espeak-ng installation has.
inline constexpr const char* kSpeechVoice = "en";

}  // namespace rd::limits

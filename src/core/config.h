// Every constant of time, rate and limit that the game and its platforms share, with its reason.
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

// The status the mouse handler returns when a call inside it failed (a generic failure code).
inline constexpr int32_t kFailStatus = static_cast<int32_t>(0x80004005u);

// Mouse items waiting in the buffer at most; the handler reads them into an array of this size.
inline constexpr int32_t kMouseBufferItems = 100;

}  // namespace rd::config

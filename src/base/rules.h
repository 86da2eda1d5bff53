// The game's rules: every constant that more than one part of the game shares, each with its
// reason. A number used in one place stays beside its use; the platforms' limits are in
// platform/limits.h.
#pragma once

#include <cstdint>

namespace rd::rules {

// A fall's busy wait counts to 100000 (crash) or 120000 (shot down) between steps. The count holds
// the game 0.1 microseconds a turn, so a crash step holds it 10 ms and a shot-down step 12 ms while
// the sound device keeps mixing and the sinking rotor is heard.
inline constexpr double kMsPerBusyCount = 0.0001;

// Mouse items waiting in the buffer at most; the handler takes them into an array of this size.
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

}  // namespace rd::rules

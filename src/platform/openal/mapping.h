// How the game's sound values become OpenAL's: hundredths of a decibel become gains, frequencies
// become pitches against the recording's own rate, and the room's left-handed coordinates become
// OpenAL's right-handed ones.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/sound_device.h"

namespace rd::openal {

// OpenAL Soft plays a voice at most ten times faster than its recording (newer releases cap the
// pitch there). Every recording's own rate is chosen so that the game's frequencies stay below;
// a frequency beyond it still sets the voice to the highest pitch instead of failing.
inline constexpr float kMaxPitch = 10.0f;

// Hundredths of a decibel to a linear gain: 0 is 1, -600 about 0.5, -10000 (the floor) 0.00001.
inline float gainFromVolume(int32_t hundredthsDb) {
  return static_cast<float>(std::pow(10.0, clampVolume(hundredthsDb) / 2000.0));
}

// The pitch that plays a recording made at `recordingRate` at `hz`.
inline float pitchFor(int32_t hz, int32_t recordingRate) {
  double pitch = static_cast<double>(clampFrequency(hz)) / recordingRate;
  return static_cast<float>(std::min(pitch, static_cast<double>(kMaxPitch)));
}

struct AlVector {
  float x = 0, y = 0, z = 0;
};

// The room has x to the right, y up and z ahead (left-handed); OpenAL has z pointing back at the
// listener. Positions, velocities and directions all flip z on the way in.
inline AlVector toAl(float x, float y, float z) { return {x, y, -z}; }

}  // namespace rd::openal

// What the benchmarks share: the recordings beside the program, the bank, and the room as the new
// game leaves it (the listener and the six looping voices at their places), so that the game's
// device and the bare OpenAL Soft calls are measured on the same sound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/limits.h"
#include "sound/sound_bank.h"

namespace rd::bench {

// The recordings are in sounds/ beside the program.
inline std::string soundsDir() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (exe.parent_path() / "sounds").string();
}

inline std::string soundFile(const std::string& name) { return soundsDir() + "/" + name; }

// The bank's 21 voices, in load order: voice name and file.
inline const std::vector<std::pair<std::string, std::string>>& bank() {
  static const std::vector<std::pair<std::string, std::string>> voices = {
#define RD_VOICE(voice, file, rate, loops, recipe) {#voice, file},
#define RD_CUE(file, rate, loops, recipe)
#include "sound/recordings.def"
  };
  return voices;
}

// One looping voice as the new game places it, in the game's units: room coordinates (z ahead),
// frequencies in Hz, volumes in hundredths of a decibel. Zero frequency or distance: the voice
// keeps its default; 360-degree cone angles: no cone.
struct LoopPlace {
  const char* voice;
  float x, y, z;
  int32_t frequency;
  int32_t volume;
  int32_t coneInside, coneOutside, coneOutsideVolume;
  float minDistance, maxDistance;
};

// In the order the new game starts them.
inline constexpr LoopPlace kRoomLoops[] = {
    {"sndRotor", 0.1f, 0, 1, 5000, 0, 5, 10, -1000, 1, 10},
    {"sndWind", 0.1f, 0, 1, 0, -4000, 5, 30, -2000, 0, 0},
    {"sndEnemy", 18, 3, 18, 0, 0, 360, 360, 0, 1, 10},
    {"sndTv", -5, 0, 12, 0, 0, 360, 360, 0, 0, 0},
    {"sndFan", 0, 9, 0, 0, 0, 360, 360, 0, 1, 8},
    {"sndDogBark", 13, 0, 13, 0, 0, 360, 360, 0, 0.7f, 20},
};

// The listener of the new game: looking along +z from above the room's centre.
struct ListenerPlace {
  float front[3], top[3], position[3];
  float doppler, rolloff;
};
inline constexpr ListenerPlace kRoomListener = {{0, 0, 1}, {0, 1, 0}, {0, 4, 0}, 10, 1};

// One second of sound at `rate` mixed the way a playback device mixes it, in periods of 256
// frames. The game moves its voices once a tick (15.625 ms): `move(t)` runs before the period in
// which a tick falls due, t growing by 0.01 a tick; `render(frames)` mixes one period. The beat
// carries on from one second to the next.
class TickedPeriods {
 public:
  static constexpr int32_t kPeriod = 256;
  explicit TickedPeriods(int32_t rate) : rate_(rate) {}

  template <class Move, class Render>
  void second(Move&& move, Render&& render) {
    const int32_t periods = rate_ / kPeriod;
    for (int32_t p = 0; p < periods; ++p) {
      if (p * kPeriod >= nextTick_) {
        nextTick_ += static_cast<int32_t>(rate_ * limits::kTimerPeriodMicros / 1000000);
        move(t_ += 0.01f);
      }
      render(kPeriod);
    }
    nextTick_ -= periods * kPeriod;
  }
  // How much sound one second() mixes, in seconds.
  double mixedSeconds() const { return static_cast<double>(rate_ / kPeriod * kPeriod) / rate_; }

 private:
  int32_t rate_;
  int32_t nextTick_ = 0;
  float t_ = 0;
};

}  // namespace rd::bench

// The sound's output watched between events, in a round and in the menu: a lost output is found
// within a tenth of a second and opened again every second until it plays.
#pragma once

#include <chrono>
#include <functional>

#include "platform/openal/openal_sound.h"

namespace rd::app {

class SoundWatch {
 public:
  enum class Change { none, lost, back };

  // `changed` hears of each change (false: lost, true: back), for the trace.
  SoundWatch(openal::SoundBackend& sound, std::function<void(bool back)> changed)
      : sound_(sound), changed_(std::move(changed)) {}

  // What changed since the last look; a look more often than ten times a second does nothing.
  Change look() {
    const auto now = Clock::now();
    if (now < nextLook_) return Change::none;
    nextLook_ = now + std::chrono::milliseconds(100);
    if (!lost_) {
      if (sound_.connected()) return Change::none;
      lost_ = true;
      nextTry_ = now + std::chrono::seconds(1);
    } else {
      if (now < nextTry_) return Change::none;
      const bool back = sound_.reopen();
      nextTry_ = Clock::now() + std::chrono::seconds(1);
      if (!back) return Change::none;
      lost_ = false;
    }
    if (changed_) changed_(!lost_);
    return lost_ ? Change::lost : Change::back;
  }

 private:
  using Clock = std::chrono::steady_clock;
  openal::SoundBackend& sound_;
  std::function<void(bool)> changed_;
  bool lost_ = false;
  Clock::time_point nextLook_{}, nextTry_{};
};

}  // namespace rd::app

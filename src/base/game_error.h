// The game's one error type: a call that failed and why. The services the game calls (the sound
// device, the speech voice, the mouse, the window and its timers) fail with it, naming the call
// ("sndFan.create", "speech.speak"); the game's own arithmetic fails with it too ("Overflow").
// Game procedures never catch it; only the entry points do.
#pragma once

#include <stdexcept>
#include <string>

namespace rd {

class GameError : public std::runtime_error {
 public:
  // `file` is set when the call failed on a file (a recording that is missing or unreadable).
  GameError(std::string call, std::string reason, std::string file = {})
      : std::runtime_error(call + " failed: " + reason),
        call_(std::move(call)),
        reason_(std::move(reason)),
        file_(std::move(file)) {}

  const std::string& call() const { return call_; }
  const std::string& reason() const { return reason_; }
  const std::string& file() const { return file_; }

 private:
  std::string call_;
  std::string reason_;
  std::string file_;
};

}  // namespace rd

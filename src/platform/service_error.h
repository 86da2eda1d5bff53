// The one error type of every service the game calls: the sound device, the speech voice, the
// mouse, the window and its timers. It names the call that failed ("sndFan.create",
// "speech.speak") and why. Game procedures never catch it; only the entry points do.
#pragma once

#include <stdexcept>
#include <string>

namespace rd {

class ServiceError : public std::runtime_error {
 public:
  // `file` is set when the call failed on a file (a recording that is missing or unreadable).
  ServiceError(std::string call, std::string reason, std::string file = {})
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

// Thrown by Window::endProgram: unwinds every handler (also nested ones) to the event loop,
// which then ends the program with `code`. It is not a ServiceError, so no entry point stops it.
struct ProgramEnd {
  int code;
};

}  // namespace rd

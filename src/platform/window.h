// The game's window: its timers, the event loop the game yields to, the program's folder, and
// the end of the program.
#pragma once

#include <cstdint>
#include <string>

#include "platform/service_error.h"

namespace rd {

enum class TimerId { simulation = 0, targetFinder = 1, television = 2 };
inline constexpr int kTimerCount = 3;
inline const char* timerName(TimerId id) {
  switch (id) {
    case TimerId::simulation:
      return "simulation";
    case TimerId::targetFinder:
      return "targetFinder";
    case TimerId::television:
      return "television";
  }
  return "?";
}

// What the window delivers to the game. Each entry point runs to its end on the window's thread;
// the platform never re-enters an entry point that is still running.
class GameEvents {
 public:
  virtual ~GameEvents() = default;
  virtual void start() = 0;
  virtual void onTimer(TimerId id) = 0;
  virtual void onKeyDown(int16_t keyCode) = 0;
  virtual void onKeyUp(int16_t keyCode) = 0;
  // The mouse's buffered items are waiting; returns 0 or the failure status.
  virtual int32_t onMouse(int32_t eventId) = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual void setScaleMode(int32_t mode) = 0;  // "window.setScaleMode"
  virtual void show() = 0;                      // "window.show"
  virtual void changeToProgramFolder() = 0;     // "window.chdir"
  // The file `name` in the folder of recordings beside the program or, for an installed program,
  // in the recordings' installed folder ("sounds.find" when neither holds it).
  virtual std::string soundFile(const std::string& name) = 0;

  virtual void setTimerInterval(TimerId id, int32_t ms) = 0;   // "<timer>.setInterval"
  virtual void setTimerEnabled(TimerId id, bool enabled) = 0;  // "<timer>.setEnabled"
  virtual bool timerEnabled(TimerId id) = 0;
  virtual int32_t timerInterval(TimerId id) = 0;

  // Lets every pending event (timers, keys, mouse) run to its end now.
  virtual void doEvents() = 0;
  // Holds the game's thread for `ms` milliseconds; the sound device keeps playing meanwhile.
  virtual void hold(double ms) = 0;
  // A number from the clock, to reseed the random sequence.
  virtual uint32_t clockSeed() = 0;

  // Tells the player (and whoever reads stderr) that something failed.
  virtual void reportError(const std::string& text, bool fatal) = 0;
  // Ends the program at once with `code`: after the platform's last word (programEnding), throws
  // ProgramEnd, which unwinds every handler to the event loop.
  [[noreturn]] void endProgram(int code) {
    programEnding(code);
    throw ProgramEnd{code};
  }

 protected:
  virtual void programEnding(int code) = 0;
};

}  // namespace rd

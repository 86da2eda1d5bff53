// The game's window: its timers, the events the game yields to, holding the game's thread, and
// the end of the program; beside them the program's folder and the player's error reports.
#pragma once

#include <cstdint>
#include <string>

#include "base/game_error.h"

namespace rd {

// Thrown by Window::endProgram: unwinds every handler (also nested ones) to the event loop,
// which then ends the program with `code`. It is not a GameError, so no entry point stops it.
struct ProgramEnd {
  int code;
};

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
  // Items wait in the mouse's buffer.
  virtual void onMouse() = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual void show() = 0;                   // "window.show"
  virtual void changeToProgramFolder() = 0;  // "window.chdir"
  // The file `name` in the folder of recordings beside the program or, for an installed program,
  // in the recordings' installed folder ("sounds.find" when neither holds it).
  virtual std::string soundFile(const std::string& name) = 0;

  virtual void setTimerInterval(TimerId id, int32_t ms) = 0;   // "<timer>.setInterval"
  virtual void setTimerEnabled(TimerId id, bool enabled) = 0;  // "<timer>.setEnabled"
  virtual bool timerEnabled(TimerId id) = 0;
  virtual int32_t timerInterval(TimerId id) = 0;

  // Yields to the window: every pending event (timers, keys, mouse) runs to its end now.
  virtual void yield() = 0;
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

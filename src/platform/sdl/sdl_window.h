// The game's window on SDL2: one black window titled "Rotor Duel" that takes the keyboard, its
// timers, and the event loop that hands the game its keys, mouse signals and timer events.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "platform/dispatcher.h"
#include "platform/window.h"

struct SDL_Window;
union SDL_Event;

namespace rd::sdl {

class SdlWindow : public Window {
 public:
  // Opens the display and makes the window, hidden until the game shows it ("window.create").
  SdlWindow();
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  void show() override;
  void changeToProgramFolder() override;
  std::string soundFile(const std::string& name) override;

  void setTimerInterval(TimerId id, int32_t ms) override;
  void setTimerEnabled(TimerId id, bool enabled) override;
  bool timerEnabled(TimerId id) override;
  int32_t timerInterval(TimerId id) override;

  void yield() override;
  // Looks at the desktop and ends the program at once if it was asked to end (Esc, closing the
  // window, a signal) while the game is busy: every wait of the game's thread calls it.
  void endIfAsked();
  void hold(double ms) override;
  uint32_t clockSeed() override;
  void reportError(const std::string& text, bool fatal) override;
  // From now on SIGINT and SIGTERM end the program at once with status 1, whatever it is doing:
  // for a failure's last words, which no event loop waits on.
  static void endOnSignals();

  // Runs the game: its load event, then every event as it comes, until the program ends.
  // Returns the program's exit status.
  int run(GameEvents& game);

  // The mouse's buffer, which this window fills from its mouse events.
  MouseBuffer& mouseBuffer() { return dispatcher_.mouse(); }
  // An open mouse is the game's while the window is in the foreground: hidden, held in relative
  // mode, every movement and button an item in a buffer of `capacity` items.
  void openMouse(int32_t capacity);
  void closeMouse();

  // Answers a key (a virtual-key code, down or up) before the game sees it; true when it took it.
  std::function<bool(int16_t code, bool down)> comfortKey;
  // While paused the timers stop and the game hears no key but Esc, and no mouse.
  void setPaused(bool paused) { dispatcher_.setPaused(paused); }
  bool paused() const { return dispatcher_.paused(); }
  int64_t timerEvents() const { return dispatcher_.timerEvents(); }

  // ---- Between rounds: the shell's menus.
  // While on, the keys are the shell's, not the game's: each key-down waits in the shell's own
  // queue (a held Esc only once), the comfort keys are not answered, and closing the window or a
  // signal ends the program at the next look.
  void setShellKeys(bool on);
  // Waits up to `ms` for a key; returns it, or 0 when none came. Ends the program when asked.
  int16_t nextKey(int ms);
  // Whether a key is waiting for the shell (after a look at the desktop).
  bool shellKeyWaiting();
  // Whether the window was closed or a signal came: the program must end.
  bool closeAsked() const { return closeAsked_; }
  // Whether the round was asked to end (Esc, or closing the window) rather than ending by itself.
  bool quitRequested() const { return dispatcher_.quitRequested(); }
  // Keeps the window shown when a round ends, for the next one.
  void keepBetweenRounds() { keepShown_ = true; }
  // Before each round: nothing of the last one is left (keys, quit, pause, timers, mouse).
  void newRound();
  // Called by run() between the game's events, while none of its handlers runs.
  std::function<void()> betweenEvents;

 protected:
  void programEnding(int code) override;

 private:
  int64_t nowMicros() const;
  void collectEvents();
  void translate(const SDL_Event& event);
  void setFocused(bool focused);
  void applyMouseMode();
  void paint();

  SDL_Window* window_ = nullptr;
  std::chrono::steady_clock::time_point start_;
  Dispatcher dispatcher_;
  std::string folder_;
  bool focused_ = false;
  bool relativeMode_ = false;
  bool shellKeysOn_ = false;
  std::deque<int16_t> shellKeys_;
  bool closeAsked_ = false;
  bool keepShown_ = false;
};

}  // namespace rd::sdl

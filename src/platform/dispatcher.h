// What a window holds for the game between two looks at the desktop: key events in the order
// they came, the mouse's buffered items with their signal, and the three timers. runPending() hands
// the game everything that is due, on the calling thread, and keeps the one rule of the game's
// handlers: no handler runs inside itself. It takes its clock from outside: the SDL window runs it
// on the steady clock, the recording window on the script's virtual clock, so the replays time
// the timers exactly as the player's window does.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>

#include "platform/input.h"
#include "platform/window.h"

namespace rd {

// The mouse's buffer. Items are queued only while the mouse is open, at most `capacity` of them;
// further items are lost until the game takes them.
class MouseBuffer {
 public:
  // Opens the buffer for `capacity` items, or closes it (and drops what waits).
  void open(int32_t capacity);
  void close();
  bool isOpen() const { return open_; }

  void push(MouseItem item);
  // Takes up to `capacity` items, oldest first; returns how many.
  int32_t take(MouseItem* items, int32_t capacity);
  size_t waiting() const { return items_.size(); }

  // Every item that arrives while the buffer is open signals the game; the signal resets when
  // the game's handler is called for it.
  bool signalled() const { return signalled_ && open_; }
  void resetSignal() { signalled_ = false; }

 private:
  std::deque<MouseItem> items_;
  int32_t capacity_ = 0;
  bool open_ = false;
  bool signalled_ = false;
};

class Dispatcher {
 public:
  // Microseconds from any fixed point; only differences matter.
  using Clock = std::function<int64_t()>;
  explicit Dispatcher(Clock clock) : clock_(std::move(clock)) {}

  // The game that the events are handed to; until then they wait.
  void attach(GameEvents* game) { game_ = game; }
  // Everything of the last game gone, for the next one: its keys, quit, pause, timers and mouse.
  void reset();
  // Pulls in what the desktop has waiting (keys, mouse, close); called first by runPending().
  std::function<void()> collect;
  // Called when the game let a close request pass without ending the program.
  std::function<void()> closeUnanswered;

  // A key-down the desktop repeats for a held key waits at most once: while one for the same key
  // is still waiting, the repeat is dropped, so a held key never builds a backlog behind a long
  // handler (a readout) and acts again as soon as the game is free.
  void keyDown(int16_t code, bool repeat = false);
  void keyUp(int16_t code) {
    if (!quitPending_) keys_.push_back({false, false, code});
  }
  // Closing the window is pressing Esc; one request waits at a time.
  void closeRequest();
  // Ending the program (Esc, closing the window, a signal) goes before everything: the keys still
  // waiting are dropped, and so are those that come after, and the Esc is handed to the game next.
  // A handler that is running when the request comes is cut short by quitNow at its next look at
  // the desktop.
  void quitRequest();
  // Whether a quit was asked for (Esc, closing the window, a signal) since the last reset.
  bool quitRequested() const { return quitPending_; }
  // Whether a quit is waiting that the game's Esc handler has not taken yet.
  bool quitWaiting() const { return quitPending_ && !quitRunning_; }
  // ... while another handler runs, which must end for it.
  bool quitOverdue() const { return quitWaiting() && handlerRunning(); }
  // Called from runPending() when a quit is overdue; ends the program (it must not return).
  std::function<void()> quitNow;

  void setTimerInterval(TimerId id, int32_t ms);
  void setTimerEnabled(TimerId id, bool enabled);
  bool timerEnabled(TimerId id) const { return timers_[index(id)].enabled; }
  int32_t timerInterval(TimerId id) const { return timers_[index(id)].interval; }

  MouseBuffer& mouse() { return mouse_; }

  // While paused no timer fires; on resuming each starts a whole interval afresh.
  void setPaused(bool paused);
  bool paused() const { return paused_; }
  // How many timer events the game has been handed.
  int64_t timerEvents() const { return timerEvents_; }

  // Hands the game every key event, the mouse signal and every timer that is due now, each once
  // and each only if its handler is not already running. A key event whose handler is running
  // stays queued, and the key events behind it with it, so keys keep their order.
  void runPending();
  // Whether runPending() would hand the game anything now, from the event loop.
  bool ready() const;
  // Microseconds from now until the next enabled timer falls due (0 when one is due), or -1
  // when no timer runs.
  int64_t untilNextTimer() const;
  // The clock's time at which the next enabled timer falls due, or -1 when no timer runs.
  int64_t nextTimerDue() const;

 private:
  struct KeyEvent {
    bool down;
    bool close;
    int16_t code;
  };
  struct Timer {
    int32_t interval = 0;
    int64_t period = 0;  // the interval rounded up to whole timer periods; 0 = never set
    bool enabled = false;
    bool running = false;
    int64_t due = 0;
  };
  static size_t index(TimerId id) { return static_cast<size_t>(id); }
  void runKeys();
  void runMouse();
  void runTimers();
  bool handlerRunning() const;

  Clock clock_;
  GameEvents* game_ = nullptr;
  std::deque<KeyEvent> keys_;
  bool keyDownRunning_ = false;
  bool keyUpRunning_ = false;
  bool mouseRunning_ = false;
  bool closeQueued_ = false;
  bool paused_ = false;
  int64_t timerEvents_ = 0;
  bool quitPending_ = false;
  bool quitRunning_ = false;
  std::array<Timer, kTimerCount> timers_{};
  MouseBuffer mouse_;
};

}  // namespace rd

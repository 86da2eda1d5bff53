#include "platform/dispatcher.h"

#include <algorithm>

#include "platform/keys.h"
#include "platform/limits.h"

namespace rd {

namespace {

// Marks a handler as running for as long as it runs, also when it ends by an exception.
class Running {
 public:
  explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
  ~Running() { flag_ = false; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void MouseBuffer::open(int32_t capacity) {
  capacity_ = std::max(0, capacity);
  while (static_cast<int32_t>(items_.size()) > capacity_) items_.pop_back();
  open_ = true;
}

void MouseBuffer::close() {
  open_ = false;
  signalled_ = false;
  items_.clear();
}

void MouseBuffer::push(MouseItem item) {
  if (!open_) return;
  // An item that finds the buffer full is lost, but it still signals, so a game that has not
  // read for a while is told to.
  signalled_ = true;
  if (static_cast<int32_t>(items_.size()) >= capacity_) return;
  items_.push_back(item);
}

int32_t MouseBuffer::take(MouseItem* items, int32_t capacity) {
  int32_t n = 0;
  while (n < capacity && !items_.empty()) {
    items[n++] = items_.front();
    items_.pop_front();
  }
  return n;
}

void Dispatcher::keyDown(int16_t code, bool repeat) {
  if (code == Key::Escape) {
    quitRequest();
    return;
  }
  if (quitPending_) return;
  if (repeat && std::any_of(keys_.begin(), keys_.end(), [code](const KeyEvent& k) {
        return k.down && !k.close && k.code == code;
      }))
    return;
  keys_.push_back({true, false, code});
}

void Dispatcher::closeRequest() { quitRequest(); }

void Dispatcher::reset() {
  keys_.clear();
  keyDownRunning_ = keyUpRunning_ = mouseRunning_ = false;
  closeQueued_ = paused_ = quitPending_ = quitRunning_ = false;
  timerEvents_ = 0;
  timers_ = {};
  mouse_ = MouseBuffer{};
}

void Dispatcher::quitRequest() {
  if (quitPending_) return;
  quitPending_ = true;
  keys_.clear();
  closeQueued_ = true;
  keys_.push_back({true, true, Key::Escape});
}

bool Dispatcher::handlerRunning() const {
  if (keyDownRunning_ || keyUpRunning_ || mouseRunning_) return true;
  return std::any_of(timers_.begin(), timers_.end(), [](const Timer& t) { return t.running; });
}

void Dispatcher::setTimerInterval(TimerId id, int32_t ms) {
  Timer& t = timers_[index(id)];
  t.interval = ms;
  // A desktop timer fires on whole periods of its clock: at least one, however short the ask.
  int64_t micros = std::max<int64_t>(1, static_cast<int64_t>(ms) * 1000);
  t.period = (micros + limits::kTimerPeriodMicros - 1) / limits::kTimerPeriodMicros *
             limits::kTimerPeriodMicros;
  // A new interval starts the count afresh.
  t.due = clock_() + t.period;
}

void Dispatcher::setTimerEnabled(TimerId id, bool enabled) {
  Timer& t = timers_[index(id)];
  if (enabled && !t.enabled) t.due = clock_() + t.period;
  t.enabled = enabled;
}

void Dispatcher::setPaused(bool paused) {
  if (paused_ && !paused) {
    const int64_t now = clock_();
    for (Timer& t : timers_) t.due = now + t.period;
  }
  paused_ = paused;
}

void Dispatcher::runPending() {
  if (collect) collect();
  // Before the game's load event and after the end everything waits.
  if (!game_) return;
  if (quitOverdue() && quitNow) quitNow();
  runKeys();
  runMouse();
  runTimers();
}

void Dispatcher::runKeys() {
  // Only the events that were waiting when we began; a handler's own nested look at the queue
  // takes care of anything that comes meanwhile.
  for (size_t n = keys_.size(); n > 0 && !keys_.empty(); --n) {
    KeyEvent key = keys_.front();
    bool& running = key.down ? keyDownRunning_ : keyUpRunning_;
    if (running) return;
    keys_.pop_front();
    if (key.close) closeQueued_ = false;
    {
      Running guard(running);
      if (key.close) quitRunning_ = true;
      if (key.down) {
        game_->onKeyDown(key.code);
      } else {
        game_->onKeyUp(key.code);
      }
    }
    if (key.close && closeUnanswered) closeUnanswered();
  }
}

void Dispatcher::runMouse() {
  if (mouseRunning_ || !mouse_.signalled()) return;
  mouse_.resetSignal();
  Running guard(mouseRunning_);
  game_->onMouse();
}

void Dispatcher::runTimers() {
  const int64_t now = clock_();
  for (int i = 0; i < kTimerCount; ++i) {
    Timer& t = timers_[static_cast<size_t>(i)];
    // A pause may come in the middle, from a handler's own look at the desktop.
    if (paused_) return;
    if (!t.enabled || t.period == 0 || t.running || t.due > now) continue;
    // A timer that fell behind fires once and keeps its beat: the periods missed while the
    // game was held are dropped, not made up in a burst.
    t.due += t.period;
    if (t.due <= now) t.due += ((now - t.due) / t.period + 1) * t.period;
    Running guard(t.running);
    ++timerEvents_;
    game_->onTimer(static_cast<TimerId>(i));
  }
}

bool Dispatcher::ready() const {
  return !keys_.empty() || (!mouseRunning_ && mouse_.signalled()) || untilNextTimer() == 0;
}

int64_t Dispatcher::untilNextTimer() const {
  const int64_t due = nextTimerDue();
  return due < 0 ? -1 : std::max<int64_t>(0, due - clock_());
}

int64_t Dispatcher::nextTimerDue() const {
  // A paused game has no timer coming.
  if (paused_) return -1;
  int64_t best = -1;
  for (const Timer& t : timers_) {
    if (!t.enabled || t.period == 0 || t.running) continue;
    if (best < 0 || t.due < best) best = t.due;
  }
  return best;
}

}  // namespace rd

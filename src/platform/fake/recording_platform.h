// The recording platform: deterministic services for tests and the replay tool. Every call is
// logged and can be made to fail by name; voices, the listener, timers and the mouse keep their
// state so that scripts can print it. Sound and speech can wrap a real device (rendering to a
// file) so that the same trace and state come with real sound.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dispatcher.h"
#include "platform/platform.h"

namespace rd::fake {

// The log of service calls and the lines a replay prints, with failures to inject.
class Trace {
 public:
  using Out = std::function<void(const std::string&)>;
  explicit Trace(Out out = {}) : out_(std::move(out)) {}

  // A service call: logged, then failed if a failure is waiting for its name.
  void call(const std::string& name);
  // A line of the replay's own output ("sound: sndTv play").
  void line(const std::string& text);
  // A call whose failure, like a value the sound device refuses, is found only at the end of the
  // handler: logged, and when a failure is waiting for its name it has no effect (returns false)
  // and its failure is kept for checkCalls().
  bool deferredCall(const std::string& name);
  // The end of a handler: throws the first kept failure since the last check.
  void checkCalls();
  // The next `count` calls named `name` fail.
  void failNext(const std::string& name, int count = 1);

  // Long runs (a soak of a million ticks) keep no log of calls and lines, only the counts.
  void keepLog(bool keep) { keepLog_ = keep; }
  long long callCount() const { return callCount_; }

  const std::vector<std::string>& calls() const { return calls_; }
  const std::vector<std::string>& lines() const { return lines_; }
  void clear() {
    calls_.clear();
    lines_.clear();
  }

 private:
  // Logs a call; true when a failure was waiting for it.
  bool record(const std::string& name);
  Out out_;
  std::vector<std::string> calls_;
  std::vector<std::string> lines_;
  std::map<std::string, int> failures_;
  std::string kept_;
  bool keepLog_ = true;
  long long callCount_ = 0;
};

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

enum class PlayState { stopped, once, looping };

// What a voice was last told.
struct VoiceState {
  std::string name;
  int32_t sampleRate = 0;
  int32_t frequency = 0;
  int32_t volume = 0;
  PlayState state = PlayState::stopped;
  Mode3D mode = Mode3D::normal;
  Vec3 position, velocity;
  // As heard: at the room's scale.
  float minDistance = room::kMinDistance, maxDistance = room::kMaxDistance;
  int32_t coneInside = 360, coneOutside = 360, coneOutsideVolume = 0;
  int controlsHeld = 0;
};

struct ListenerState {
  Vec3 position, velocity;
  Vec3 front{0, 0, 1}, top{0, 1, 0};
  float doppler = 1.0f, rolloff = 1.0f;
};

class RecordingSound : public SoundSystem {
 public:
  // With `inner`, every call is also made on that real device; without it, files are still read
  // through the real decoder, so a missing or corrupt file fails as it would in play.
  RecordingSound(Trace& trace, SoundSystem* inner = nullptr) : trace_(trace), inner_(inner) {}
  std::unique_ptr<SoundDevice> createDevice() override;

  // The last voice made under a name, and the listener; nullptr before they exist.
  const VoiceState* voice(const std::string& name) const;
  const ListenerState* listener() const;
  bool deviceOpen() const { return devices_ > 0; }

 private:
  friend class RecordingDevice;
  Trace& trace_;
  SoundSystem* inner_;
  std::map<std::string, std::shared_ptr<VoiceState>> voices_;
  std::shared_ptr<ListenerState> listener_;
  int devices_ = 0;
};

class RecordingSpeech : public SpeechSystem {
 public:
  RecordingSpeech(Trace& trace, SpeechSystem* inner = nullptr) : trace_(trace), inner_(inner) {}
  std::unique_ptr<SpeechVoice> createVoice() override;

 private:
  Trace& trace_;
  SpeechSystem* inner_;
};

class FakeInput : public InputService {
 public:
  explicit FakeInput(Trace& trace) : trace_(trace) {}
  std::unique_ptr<Mouse> openMouse(int32_t capacity) override;

  // Queues one item as the mouse would buffer it; beyond the buffer's size items are lost.
  void push(MouseItem item);
  size_t waiting() const { return queue_.size(); }

 private:
  friend class FakeMouse;
  Trace& trace_;
  std::deque<MouseItem> queue_;
  int32_t bufferSize_ = 0;
};

// The window with a virtual clock. Its timers are the real window's Dispatcher: the same
// rounding to whole timer periods, the same beat kept after a held game, the same rule that no
// handler runs inside itself. Nothing fires by itself: the clock runs only when the driver runs
// it, and only while it runs do the game's yields hand it the timers that fell due.
class FakeWindow : public Window {
 public:
  FakeWindow(Trace& trace, std::string soundsDir)
      : trace_(trace), soundsDir_(std::move(soundsDir)), events_([this] { return now_; }) {}

  void show() override;
  void changeToProgramFolder() override;
  std::string soundFile(const std::string& name) override;
  void setTimerInterval(TimerId id, int32_t ms) override;
  void setTimerEnabled(TimerId id, bool enabled) override;
  bool timerEnabled(TimerId id) override { return events_.timerEnabled(id); }
  int32_t timerInterval(TimerId id) override { return events_.timerInterval(id); }
  void yield() override;
  void hold(double ms) override;
  uint32_t clockSeed() override;
  void reportError(const std::string& text, bool fatal) override;
  void programEnding(int code) override;

  // The game that the timers are handed to.
  void attach(GameEvents* game);
  // The names the log uses for the timers and in error reports; unset, the game's own.
  std::function<std::string(const std::string&)> logNames;

  // The virtual clock, in microseconds since the program started.
  int64_t now() const { return now_; }
  // Moves the clock on without firing anything; `onAdvance` hears every stretch (the renderer
  // writes that much sound).
  void advance(int64_t micros);
  std::function<void(int64_t)> onAdvance;
  // Runs the clock `micros` on, handing the game every enabled timer as it falls due.
  void runClock(int64_t micros);

  int yieldCount() const { return yields_; }

 private:
  std::string logName(const std::string& name) const;
  Trace& trace_;
  std::string soundsDir_;
  int64_t now_ = 0;
  Dispatcher events_;
  bool attached_ = false;
  bool clockRunning_ = false;
  int yields_ = 0;
};

}  // namespace rd::fake

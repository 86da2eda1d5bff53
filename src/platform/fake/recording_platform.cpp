#include "platform/fake/recording_platform.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/wav/wav_file.h"

namespace rd::fake {

bool Trace::record(const std::string& name) {
  ++callCount_;
  if (keepLog_) calls_.push_back(name);
  auto it = failures_.find(name);
  if (it == failures_.end() || it->second <= 0) return false;
  if (--it->second == 0) failures_.erase(it);
  return true;
}

void Trace::call(const std::string& name) {
  if (record(name)) throw GameError(name, "failure injected");
}

bool Trace::deferredCall(const std::string& name) {
  if (!record(name)) return true;
  if (kept_.empty()) kept_ = name;
  return false;
}

void Trace::checkCalls() {
  if (kept_.empty()) return;
  std::string name = std::move(kept_);
  kept_.clear();
  throw GameError(name, "failure injected");
}

void Trace::line(const std::string& text) {
  if (keepLog_) lines_.push_back(text);
  if (out_) out_(text);
}

void Trace::failNext(const std::string& name, int count) {
  // Counts add up to at most the largest int: more failures than any run can make.
  int& waiting = failures_[name];
  waiting = count > std::numeric_limits<int>::max() - waiting ? std::numeric_limits<int>::max()
                                                              : waiting + count;
}

namespace {

std::string stem(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = file.rfind('.');
  return dot == std::string::npos ? file : file.substr(0, dot);
}

class RecordingVoice3D : public Voice3D {
 public:
  RecordingVoice3D(Trace& trace, std::shared_ptr<VoiceState> state, std::unique_ptr<Voice3D> inner)
      : trace_(trace), state_(std::move(state)), inner_(std::move(inner)) {
    ++state_->controlsHeld;
  }
  ~RecordingVoice3D() override { --state_->controlsHeld; }

  void setPosition(float x, float y, float z) override {
    if (!call("setPosition")) return;
    if (inner_) inner_->setPosition(x, y, z);
    state_->position = {x, y, z};
  }
  void setVelocity(float x, float y, float z) override {
    if (!call("setVelocity")) return;
    if (inner_) inner_->setVelocity(x, y, z);
    state_->velocity = {x, y, z};
  }
  void setMinDistance(float d) override {
    if (!call("setMinDistance")) return;
    if (inner_) inner_->setMinDistance(d);
    state_->minDistance = room::heardMinDistance(d);
  }
  void setMaxDistance(float d) override {
    if (!call("setMaxDistance")) return;
    if (inner_) inner_->setMaxDistance(d);
    state_->maxDistance = room::heardMaxDistance(d);
  }
  void setMode(Mode3D mode) override {
    if (!call("setMode")) return;
    if (inner_) inner_->setMode(mode);
    state_->mode = mode;
  }
  void setConeAngles(int32_t inside, int32_t outside) override {
    if (!call("setConeAngles")) return;
    if (inner_) inner_->setConeAngles(inside, outside);
    state_->coneInside = inside;
    state_->coneOutside = outside;
  }
  void setConeOutsideVolume(int32_t v) override {
    if (!call("setConeOutsideVolume")) return;
    if (inner_) inner_->setConeOutsideVolume(v);
    state_->coneOutsideVolume = clampVolume(v);
  }

 private:
  bool call(const char* op) { return trace_.deferredCall(state_->name + "." + op); }
  Trace& trace_;
  std::shared_ptr<VoiceState> state_;
  std::unique_ptr<Voice3D> inner_;
};

class RecordingVoice : public Voice {
 public:
  RecordingVoice(Trace& trace, std::shared_ptr<VoiceState> state, std::unique_ptr<Voice> inner)
      : trace_(trace), state_(std::move(state)), inner_(std::move(inner)) {}
  ~RecordingVoice() override {
    // A voice that is discarded falls silent.
    state_->state = PlayState::stopped;
  }

  void play() override {
    if (!deferred("play")) return;
    if (inner_) inner_->play();
    state_->state = PlayState::once;
    trace_.line("sound: " + state_->name + " play");
  }
  void loop() override {
    if (!deferred("loop")) return;
    if (inner_) inner_->loop();
    state_->state = PlayState::looping;
    trace_.line("sound: " + state_->name + " loop");
  }
  void stop() override {
    if (!deferred("stop")) return;
    if (inner_) inner_->stop();
    state_->state = PlayState::stopped;
    trace_.line("sound: " + state_->name + " stop");
  }
  void setVolume(int32_t v) override {
    if (!deferred("setVolume")) return;
    if (inner_) inner_->setVolume(v);
    state_->volume = clampVolume(v);
  }
  void setFrequency(int32_t hz) override {
    if (!deferred("setFrequency")) return;
    if (inner_) inner_->setFrequency(hz);
    state_->frequency = clampFrequency(hz);
  }
  int32_t getFrequency() override {
    call("getFrequency");
    return state_->frequency;
  }
  std::unique_ptr<Voice3D> take3D() override {
    call("get3D");
    std::unique_ptr<Voice3D> inner;
    if (inner_) inner = inner_->take3D();
    return std::make_unique<RecordingVoice3D>(trace_, state_, std::move(inner));
  }

 private:
  void call(const char* op) { trace_.call(state_->name + "." + op); }
  bool deferred(const char* op) { return trace_.deferredCall(state_->name + "." + op); }
  Trace& trace_;
  std::shared_ptr<VoiceState> state_;
  std::unique_ptr<Voice> inner_;
};

class RecordingListener : public Listener {
 public:
  RecordingListener(Trace& trace, std::shared_ptr<ListenerState> state, Listener* inner)
      : trace_(trace), state_(std::move(state)), inner_(inner) {}

  void setOrientation(float fx, float fy, float fz, float tx, float ty, float tz) override {
    if (!trace_.deferredCall("listener.setOrientation")) return;
    if (inner_) inner_->setOrientation(fx, fy, fz, tx, ty, tz);
    state_->front = {fx, fy, fz};
    state_->top = {tx, ty, tz};
  }
  void setPosition(float x, float y, float z) override {
    if (!trace_.deferredCall("listener.setPosition")) return;
    if (inner_) inner_->setPosition(x, y, z);
    state_->position = {x, y, z};
  }
  void setVelocity(float x, float y, float z) override {
    if (!trace_.deferredCall("listener.setVelocity")) return;
    if (inner_) inner_->setVelocity(x, y, z);
    state_->velocity = {x, y, z};
  }
  void setDopplerFactor(float f) override {
    if (!trace_.deferredCall("listener.setDopplerFactor")) return;
    if (inner_) inner_->setDopplerFactor(f);
    state_->doppler = f;
  }
  void setRolloffFactor(float f) override {
    if (!trace_.deferredCall("listener.setRolloffFactor")) return;
    if (inner_) inner_->setRolloffFactor(f);
    state_->rolloff = f;
  }

 private:
  Trace& trace_;
  std::shared_ptr<ListenerState> state_;
  Listener* inner_;
};

}  // namespace

class RecordingDevice : public SoundDevice {
 public:
  RecordingDevice(RecordingSound& owner, std::unique_ptr<SoundDevice> inner)
      : owner_(owner), inner_(std::move(inner)) {
    ++owner_.devices_;
  }
  ~RecordingDevice() override { --owner_.devices_; }

  Listener& createListener() override {
    owner_.trace_.call("listener.create");
    Listener* inner = inner_ ? &inner_->createListener() : nullptr;
    owner_.listener_ = std::make_shared<ListenerState>();
    listener_ = std::make_unique<RecordingListener>(owner_.trace_, owner_.listener_, inner);
    return *listener_;
  }

  std::unique_ptr<Voice> createVoice(const std::string& name, const std::string& path) override {
    std::string call = name + ".create";
    owner_.trace_.call(call);
    // The real decoder reads the file in any case, so a bad file fails here as it would in play.
    WavData wav = bank_.read(call, path);
    std::unique_ptr<Voice> inner;
    if (inner_) inner = inner_->createVoice(name, path);
    auto state = std::make_shared<VoiceState>();
    state->name = name;
    state->sampleRate = wav.sampleRate;
    state->frequency = clampFrequency(wav.sampleRate);
    owner_.voices_[name] = state;
    if (name == "oneShotVoice") owner_.trace_.line("cue: " + stem(path));
    return std::make_unique<RecordingVoice>(owner_.trace_, state, std::move(inner));
  }

  void checkCalls() override {
    owner_.trace_.checkCalls();
    if (inner_) inner_->checkCalls();
  }

 private:
  RecordingSound& owner_;
  std::unique_ptr<SoundDevice> inner_;
  std::unique_ptr<RecordingListener> listener_;
  WavBank bank_;
};

std::unique_ptr<SoundDevice> RecordingSound::createDevice() {
  trace_.call("device.create");
  std::unique_ptr<SoundDevice> inner;
  if (inner_) inner = inner_->createDevice();
  return std::make_unique<RecordingDevice>(*this, std::move(inner));
}

const VoiceState* RecordingSound::voice(const std::string& name) const {
  auto it = voices_.find(name);
  return it == voices_.end() ? nullptr : it->second.get();
}

const ListenerState* RecordingSound::listener() const { return listener_.get(); }

namespace {

class RecordingSpeechVoice : public SpeechVoice {
 public:
  RecordingSpeechVoice(Trace& trace, std::unique_ptr<SpeechVoice> inner)
      : trace_(trace), inner_(std::move(inner)) {}
  void speak(const std::string& text) override {
    trace_.call("speech.speak");
    trace_.line("speak: " + text);
    if (inner_) inner_->speak(text);
  }

 private:
  Trace& trace_;
  std::unique_ptr<SpeechVoice> inner_;
};

}  // namespace

std::unique_ptr<SpeechVoice> RecordingSpeech::createVoice() {
  trace_.call("speech.create");
  std::unique_ptr<SpeechVoice> inner;
  if (inner_) inner = inner_->createVoice();
  return std::make_unique<RecordingSpeechVoice>(trace_, std::move(inner));
}

class FakeMouse : public Mouse {
 public:
  explicit FakeMouse(FakeInput& input) : input_(input) {}
  ~FakeMouse() override {
    input_.bufferSize_ = 0;
    input_.queue_.clear();
  }
  int32_t take(MouseItem* items, int32_t capacity) override {
    input_.trace_.call("mouse.take");
    int32_t n = 0;
    while (n < capacity && !input_.queue_.empty()) {
      items[n++] = input_.queue_.front();
      input_.queue_.pop_front();
    }
    return n;
  }

 private:
  FakeInput& input_;
};

std::unique_ptr<Mouse> FakeInput::openMouse(int32_t capacity) {
  trace_.call("mouse.create");
  bufferSize_ = std::max(0, capacity);
  return std::make_unique<FakeMouse>(*this);
}

void FakeInput::push(MouseItem item) {
  // The items of a full buffer are lost, as the mouse loses them when nobody reads it.
  if (static_cast<int32_t>(queue_.size()) < bufferSize_) queue_.push_back(item);
}

void FakeWindow::show() { trace_.call("window.show"); }
void FakeWindow::changeToProgramFolder() { trace_.call("window.chdir"); }
std::string FakeWindow::soundFile(const std::string& name) { return soundsDir_ + "/" + name; }

std::string FakeWindow::logName(const std::string& name) const {
  return logNames ? logNames(name) : name;
}

void FakeWindow::setTimerInterval(TimerId id, int32_t ms) {
  trace_.call(logName(timerName(id)) + ".setInterval");
  events_.setTimerInterval(id, ms);
}

void FakeWindow::setTimerEnabled(TimerId id, bool enabled) {
  trace_.call(logName(timerName(id)) + ".setEnabled");
  events_.setTimerEnabled(id, enabled);
}

void FakeWindow::attach(GameEvents* game) {
  events_.attach(game);
  attached_ = game != nullptr;
}

void FakeWindow::yield() {
  ++yields_;
  // While the script fires the timers itself, a yield has nothing to hand over.
  if (clockRunning_) events_.runPending();
}

void FakeWindow::hold(double ms) { advance(static_cast<int64_t>(std::llround(ms * 1000.0))); }

void FakeWindow::advance(int64_t micros) {
  if (micros <= 0) return;
  now_ += micros;
  if (onAdvance) onAdvance(micros);
}

void FakeWindow::runClock(int64_t micros) {
  const int64_t end = now_ + micros;
  struct ClockRunning {
    bool& flag;
    explicit ClockRunning(bool& f) : flag(f) { flag = true; }
    ~ClockRunning() { flag = false; }
  } running(clockRunning_);
  // A timer that fell due before the end fires, also when a held game has carried the clock past
  // the end meanwhile; the Dispatcher moves each fired timer on to its next beat.
  for (int64_t due = events_.nextTimerDue(); attached_ && due >= 0 && due <= end;
       due = events_.nextTimerDue()) {
    if (due > now_) advance(due - now_);
    events_.runPending();
  }
  if (end > now_) advance(end - now_);
}

uint32_t FakeWindow::clockSeed() { return static_cast<uint32_t>(now_ / 1000); }

void FakeWindow::reportError(const std::string& text, bool) {
  trace_.line("error: " + logName(text));
}

void FakeWindow::programEnding(int code) { trace_.line("exit: " + std::to_string(code)); }

}  // namespace rd::fake

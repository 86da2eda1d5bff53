#include "runner.h"

#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "core/config.h"
#include "core/form1.h"
#include "platform/fake/recording_platform.h"
#include "render.h"
#include "script_names.h"

namespace rd::replay {

namespace {

std::string triple(const fake::Vec3& v) {
  return exactText(v.x) + "," + exactText(v.y) + "," + exactText(v.z);
}

const char* stateName(fake::PlayState s) {
  switch (s) {
    case fake::PlayState::once:
      return "once";
    case fake::PlayState::looping:
      return "looping";
    default:
      return "stopped";
  }
}

std::optional<TimerId> timerByName(const std::string& name) {
  for (int i = 0; i < kTimerCount; ++i) {
    auto id = static_cast<TimerId>(i);
    if (name == timerName(id) || gameName(name) == timerName(id)) return id;
  }
  return std::nullopt;
}

}  // namespace

class Replay::Impl {
 public:
  Impl(const Options& options, std::ostream& out)
      : trace_([&out](const std::string& line) { out << line << '\n'
                                                     << std::flush; }) {
    if (!options.renderPath.empty()) render_ = makeRenderBackend(options.renderPath);
    sound_ = std::make_unique<fake::RecordingSound>(trace_, render_ ? &render_->sound() : nullptr);
    speech_ =
        std::make_unique<fake::RecordingSpeech>(trace_, render_ ? &render_->speech() : nullptr);
    window_ = std::make_unique<fake::FakeWindow>(trace_, options.soundsDir);
    input_ = std::make_unique<fake::FakeInput>(trace_);
    if (render_) {
      window_->onAdvance = [this](int64_t micros) { render_->render(micros); };
      render_->setClock([this](int64_t micros) { window_->advance(micros); });
    }
    game_ = std::make_unique<Form1>(Platform{*window_, *sound_, *speech_, *input_});
    window_->attach(game_.get());
    window_->logNames = toScriptNames;
  }

  ~Impl() {
    // The game goes first: it holds the voices that the devices made.
    window_->attach(nullptr);
    game_.reset();
  }

  void finish() {
    if (render_) render_->finish();
  }

  bool started() const { return started_; }

  void start() {
    started_ = true;
    game_->load();
  }

  // Runs one command; ProgramEnd and script errors pass to the caller.
  void execute(const Command& c) {
    const std::string& v = c.verb;
    if (v == "repeat") {
      for (long long i = 0; i < c.times; ++i)
        for (const Command& inner : c.body) execute(inner);
    } else if (v == "key") {
      game_->keyDown(static_cast<int16_t>(keyCode(c.args[0])));
    } else if (v == "keyup") {
      game_->keyUp(static_cast<int16_t>(keyCode(c.args[0])));
    } else if (v == "mouse") {
      long long offset = 0, data = 0;
      parseLong(c.args[0], offset);
      parseLong(c.args[1], data);
      input_->push({static_cast<int32_t>(offset), static_cast<int32_t>(data)});
    } else if (v == "mouse-event") {
      game_->mouseSignal(game_->EventHandle);
    } else if (v == "tick") {
      for (long long i = 0, n = count(c); i < n; ++i) {
        game_->timer(TimerId::CheckThings);
        window_->advance(config::kTimerPeriodMicros);
      }
    } else if (v == "target") {
      for (long long i = 0, n = count(c); i < n; ++i) game_->timer(TimerId::targetTimer);
    } else if (v == "tvtimer") {
      game_->timer(TimerId::TVTimer);
    } else if (v == "wait") {
      long long ms = 0;
      parseLong(c.args[0], ms);
      window_->runClock(ms * 1000);
    } else if (v == "call") {
      Form1::Procedure p = Form1::procedureByName(c.args[0]);
      if (!p) p = Form1::procedureByName(std::string(gameName(c.args[0])));
      if (!p) throw ScriptError(c.line, "the game has no procedure '" + c.args[0] + "'");
      game_->runAsEntry(c.args[0], p);
    } else if (v == "set") {
      for (size_t i = 0; i + 1 < c.args.size(); i += 2) set(c, c.args[i], c.args[i + 1]);
    } else if (v == "set-frequency") {
      long long hz = 0;
      parseLong(c.args[1], hz);
      voiceSlot(c, c.args[0])->setFrequency(static_cast<int32_t>(hz));
    } else if (v == "play") {
      voiceSlot(c, c.args[0])->play();
    } else if (v == "rnd") {
      for (const auto& a : c.args) {
        float r = 0;
        parseFloat(a, r);
        game_->random.force(r);
      }
    } else if (v == "fail") {
      long long n = 1;
      if (c.args.size() == 2) parseLong(c.args[1], n);
      trace_.failNext(c.args[0], static_cast<int>(n));
    } else if (v == "print") {
      print(c);
    }
  }

 private:
  static long long count(const Command& c) {
    long long n = 1;
    if (!c.args.empty()) parseLong(c.args[0], n);
    return n;
  }

  Slot<Voice>& voiceSlot(const Command& c, const std::string& name) {
    Slot<Voice>* slot = game_->snd.voiceByName(name);
    if (!slot) throw ScriptError(c.line, "no voice named '" + name + "'");
    return *slot;
  }

  void set(const Command& c, const std::string& name, const std::string& text) {
    FieldRef f = findField(*game_, name);
    long long whole = 0;
    float single = 0;
    switch (f.type) {
      case FieldRef::Type::boolean:
        if (!parseLong(text, whole) || (whole != -1 && whole != 0))
          throw ScriptError(c.line, name + " is a Boolean: -1 or 0");
        *static_cast<bool*>(f.ptr) = whole == -1;
        return;
      case FieldRef::Type::long_:
        if (!parseLong(text, whole) || whole < std::numeric_limits<Long>::min() ||
            whole > std::numeric_limits<Long>::max())
          throw ScriptError(c.line, name + " is a Long: a whole number");
        *static_cast<Long*>(f.ptr) = static_cast<Long>(whole);
        return;
      case FieldRef::Type::single:
        if (!parseFloat(text, single)) throw ScriptError(c.line, name + " is a Single: a number");
        *static_cast<Single*>(f.ptr) = single;
        return;
      case FieldRef::Type::object:
        throw ScriptError(c.line, name + " is an object and cannot be set");
      case FieldRef::Type::none:
        break;
    }
    throw ScriptError(c.line, "the game record has no variable '" + name + "'");
  }

  void print(const Command& c) {
    const auto& a = c.args;
    if (a[0] == "voice" && a.size() == 2) {
      const fake::VoiceState* s = sound_->voice(a[1]);
      if (!s || !game_->snd.voiceByName(a[1]) || !*game_->snd.voiceByName(a[1]))
        throw ScriptError(c.line, "no voice '" + a[1] + "' exists");
      trace_.line("voice " + a[1] + " frequency=" + std::to_string(s->frequency) +
                  " volume=" + std::to_string(s->volume) + " state=" + stateName(s->state) +
                  " mode=" + std::to_string(static_cast<int>(s->mode)) +
                  " position=" + triple(s->position));
      return;
    }
    if (a[0] == "listener") {
      const fake::ListenerState* l = sound_->listener();
      if (!l || !game_->snd.listener) throw ScriptError(c.line, "no listener exists");
      trace_.line("listener position=" + triple(l->position) + " front=" + triple(l->front) +
                  " top=" + triple(l->top));
      return;
    }
    if (a[0] == "timer") {
      auto id = timerByName(a[1]);
      if (!id) throw ScriptError(c.line, "no timer named '" + a[1] + "'");
      trace_.line("timer " + a[1] + " interval=" + std::to_string(window_->timerInterval(*id)) +
                  " enabled=" + (window_->timerEnabled(*id) ? "1" : "0"));
      return;
    }
    for (const auto& name : a) {
      FieldRef f = findField(*game_, name);
      std::string value;
      switch (f.type) {
        case FieldRef::Type::boolean:
          value = *static_cast<bool*>(f.ptr) ? "-1" : "0";
          break;
        case FieldRef::Type::long_:
          value = std::to_string(*static_cast<Long*>(f.ptr));
          break;
        case FieldRef::Type::single:
          value = exactText(*static_cast<Single*>(f.ptr));
          break;
        case FieldRef::Type::object:
          value = game_->voice ? "SpVoice" : "Nothing";
          break;
        case FieldRef::Type::none:
          throw ScriptError(c.line, "the game record has no variable '" + name + "'");
      }
      trace_.line(name + "=" + value);
    }
  }

  fake::Trace trace_;
  std::unique_ptr<RenderBackend> render_;
  std::unique_ptr<fake::RecordingSound> sound_;
  std::unique_ptr<fake::RecordingSpeech> speech_;
  std::unique_ptr<fake::FakeWindow> window_;
  std::unique_ptr<fake::FakeInput> input_;
  std::unique_ptr<Form1> game_;
  bool started_ = false;

 public:
  Form1& game() { return *game_; }
  fake::Trace& trace() { return trace_; }
  fake::FakeWindow& window() { return *window_; }
  fake::FakeInput& input() { return *input_; }
  fake::RecordingSound& sound() { return *sound_; }
};

Replay::Replay(const Options& options, std::ostream& out)
    : impl_(std::make_unique<Impl>(options, out)) {}
Replay::~Replay() = default;
void Replay::start() { impl_->start(); }
bool Replay::started() const { return impl_->started(); }
void Replay::execute(const Command& command) { impl_->execute(command); }
void Replay::finish() { impl_->finish(); }
Form1& Replay::game() { return impl_->game(); }
fake::Trace& Replay::trace() { return impl_->trace(); }
fake::FakeWindow& Replay::window() { return impl_->window(); }
fake::FakeInput& Replay::input() { return impl_->input(); }
fake::RecordingSound& Replay::sound() { return impl_->sound(); }

int run(const std::vector<Command>& script, const Options& options, std::ostream& out,
        std::ostream& err) {
  std::unique_ptr<Replay> session;
  int line = 0;
  int status = 0;
  try {
    session = std::make_unique<Replay>(options, out);
    try {
      for (const Command& c : script) {
        line = c.line;
        // fail and rnd lines at the very top act before the game starts.
        if (!session->started() && c.verb != "fail" && c.verb != "rnd") session->start();
        session->execute(c);
      }
      if (!session->started()) session->start();
    } catch (const ProgramEnd& end) {
      status = end.code;
    }
    session->finish();
  } catch (const ScriptError& e) {
    err << e.what() << '\n';
    return 2;
  } catch (const ServiceError& e) {
    err << "line " << line << ": " << e.what() << '\n';
    return 2;
  }
  return status;
}

}  // namespace rd::replay

#include "runner.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>

#include "game/game.h"
#include "platform/fake/recording_platform.h"
#include "platform/limits.h"
#include "printed.h"
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

volatile std::sig_atomic_t g_stopSignal = 0;

// Thrown between two of the game's events when a stop was asked.
struct Stopped {
  int signal;
};

// Beside the record's values, scripts print the game's speech voice: present or none.
constexpr std::string_view kVoiceField = "voice";

// A service call by the game's name; an old name of its object (CheckThings.setInterval) or of
// the whole call (mouse.getDeviceData) is still accepted.
std::string callName(const std::string& name) {
  if (std::string_view whole = gameName(name); whole != name) return std::string(whole);
  const size_t dot = name.find('.');
  if (dot == std::string::npos) return name;
  return std::string(gameName(std::string_view(name).substr(0, dot))) + name.substr(dot);
}

void stopIfAsked() {
  if (g_stopSignal != 0) throw Stopped{g_stopSignal};
}

// A script names a mouse item by its offset in a buffered mouse's item: 0 x, 4 y, 8 the wheel,
// 12 13 14 the left, right and middle buttons; any other offset is a further button.
MouseInput mouseInput(long long offset) {
  switch (offset) {
    case 0:
      return MouseInput::moveX;
    case 4:
      return MouseInput::moveY;
    case 8:
      return MouseInput::wheel;
    case 12:
      return MouseInput::leftButton;
    case 13:
      return MouseInput::rightButton;
    case 14:
      return MouseInput::middleButton;
    default:
      return MouseInput::otherButton;
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
      : trace_([this, &out](const std::string& line) {
          out << line << '\n' << std::flush;
          if (keepLines_) lines_.add(line);
        }),
        keepLines_(options.keepLines) {
    if (!options.renderPath.empty() || options.loudness)
      render_ = makeRenderBackend(options.renderPath, options.render,
                                  {options.loudness ? &out : nullptr, options.loudnessFromMs});
    sound_ = std::make_unique<fake::RecordingSound>(trace_, render_ ? &render_->sound() : nullptr);
    speech_ =
        std::make_unique<fake::RecordingSpeech>(trace_, render_ ? &render_->speech() : nullptr);
    window_ = std::make_unique<fake::FakeWindow>(trace_, options.soundsDir);
    input_ = std::make_unique<fake::FakeInput>(trace_);
    if (render_) {
      window_->onAdvance = [this](int64_t micros) { render_->render(micros); };
      render_->setClock([this](int64_t micros) { window_->advance(micros); });
    }
    game_ = std::make_unique<Game>(Platform{*window_, *sound_, *speech_, *input_});
    window_->attach(game_.get());
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
    game_->start();
    lines_.started();
  }

  // Runs one command; ProgramEnd and script errors pass to the caller.
  void execute(const Command& c) {
    stopIfAsked();
    if (c.kind != Verb::expect && c.kind != Verb::repeat) lines_.commandBegins();
    const auto& n = c.numbers;
    switch (c.kind) {
      case Verb::repeat:
        for (long long i = 0; i < c.times; ++i)
          for (const Command& inner : c.body) execute(inner);
        return;
      case Verb::key:
        game_->onKeyDown(static_cast<int16_t>(n[0]));
        return;
      case Verb::keyup:
        game_->onKeyUp(static_cast<int16_t>(n[0]));
        return;
      case Verb::mouse:
        input_->push({mouseInput(n[0]), static_cast<int32_t>(n[1])});
        return;
      case Verb::mouseEvent:
        game_->onMouse();
        return;
      case Verb::tick:
        for (long long i = 0; i < n[0]; ++i) {
          stopIfAsked();
          game_->onTimer(TimerId::simulation);
          window_->advance(limits::kTimerPeriodMicros);
        }
        return;
      case Verb::target:
        for (long long i = 0; i < n[0]; ++i) {
          stopIfAsked();
          game_->onTimer(TimerId::targetFinder);
        }
        return;
      case Verb::tvtimer:
        game_->onTimer(TimerId::television);
        return;
      case Verb::wait:
        window_->runClock(n[0] * 1000);
        return;
      case Verb::call: {
        Game::Procedure p = Game::procedureByName(c.args[0]);
        if (!p) p = Game::procedureByName(std::string(gameName(c.args[0])));
        if (!p) throw ScriptError(c.line, "the game has no procedure '" + c.args[0] + "'");
        game_->runAsEntry(c.args[0], p);
        return;
      }
      case Verb::set:
        for (size_t i = 0; i + 1 < c.args.size(); i += 2) set(c, c.args[i], c.args[i + 1]);
        return;
      case Verb::setFrequency:
        voiceSlot(c, c.args[0])->setFrequency(static_cast<int32_t>(n[0]));
        game_->checkSoundCalls();
        return;
      case Verb::play:
        voiceSlot(c, c.args[0])->play();
        game_->checkSoundCalls();
        return;
      case Verb::rnd:
        for (float r : c.randoms) game_->random.force(r);
        return;
      case Verb::fail:
        trace_.failNext(callName(c.args[0]), static_cast<int>(n[0]));
        return;
      case Verb::print:
        print(c);
        return;
      case Verb::expect:
        expect(c);
        return;
    }
  }

 private:
  Slot<Voice>& voiceSlot(const Command& c, const std::string& name) {
    Slot<Voice>* slot = game_->sounds.voiceByName(name);
    if (!slot) throw ScriptError(c.line, "no voice named '" + name + "'");
    return *slot;
  }

  void set(const Command& c, const std::string& name, const std::string& text) {
    if (name == kVoiceField) throw ScriptError(c.line, name + " is an object and cannot be set");
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
      case FieldRef::Type::none:
        break;
    }
    throw ScriptError(c.line, "the game record has no variable '" + name + "'");
  }

  // What `print voice`, `print listener` and `print timer` print; empty for anything else.
  std::string stateLine(const Command& c) {
    const auto& a = c.args;
    if (a[0] == "voice" && a.size() >= 2) {
      const fake::VoiceState* s = sound_->voice(a[1]);
      if (!s || !game_->sounds.voiceByName(a[1]) || !*game_->sounds.voiceByName(a[1]))
        throw ScriptError(c.line, "no voice '" + a[1] + "' exists");
      return "voice " + a[1] + " frequency=" + std::to_string(s->frequency) +
             " volume=" + std::to_string(s->volume) + " state=" + stateName(s->state) +
             " mode=" + std::to_string(static_cast<int>(s->mode)) +
             " position=" + triple(s->position);
    }
    if (a[0] == "listener") {
      const fake::ListenerState* l = sound_->listener();
      if (!l || !game_->sounds.listener) throw ScriptError(c.line, "no listener exists");
      return "listener position=" + triple(l->position) + " front=" + triple(l->front) +
             " top=" + triple(l->top);
    }
    if (a[0] == "timer" && a.size() >= 2) {
      auto id = timerByName(a[1]);
      if (!id) throw ScriptError(c.line, "no timer named '" + a[1] + "'");
      return std::string("timer ") + timerName(*id) +
             " interval=" + std::to_string(window_->timerInterval(*id)) +
             " enabled=" + (window_->timerEnabled(*id) ? "1" : "0");
    }
    return {};
  }

  // A variable of the game record as `print` writes it.
  std::string valueText(const Command& c, const std::string& name) {
    if (name == kVoiceField) return game_->voice ? "present" : "none";
    FieldRef f = findField(*game_, name);
    switch (f.type) {
      case FieldRef::Type::boolean:
        return *static_cast<bool*>(f.ptr) ? "-1" : "0";
      case FieldRef::Type::long_:
        return std::to_string(*static_cast<Long*>(f.ptr));
      case FieldRef::Type::single:
        return exactText(*static_cast<Single*>(f.ptr));
      case FieldRef::Type::none:
        break;
    }
    throw ScriptError(c.line, "the game record has no variable '" + name + "'");
  }

  void print(const Command& c) {
    if (std::string state = stateLine(c); !state.empty()) {
      trace_.line(state);
      return;
    }
    for (const auto& name : c.args) trace_.line(name + "=" + valueText(c, name));
  }

  // `expect NAME=VALUE ...` checks variables of the record; `expect voice V|listener|timer T
  // FIELD=VALUE ...` fields of what print would show; `expect nothing` that no line was printed
  // since the last `expect` (or since start-up); any other `expect LINE` that the game printed LINE
  // since the last check (lines in between pass unchecked).
  void expect(const Command& c) {
    const auto& a = c.args;
    if (c.text == "nothing") {
      lines_.expectNothing(c.line);
      return;
    }
    if (a[0] == "voice" || a[0] == "listener" || a[0] == "timer") {
      const size_t first = a[0] == "listener" ? 1 : 2;
      if (a.size() <= first) throw ScriptError(c.line, "expect " + a[0] + ": name the fields");
      const std::string state = stateLine(c);
      for (size_t i = first; i < a.size(); ++i) {
        size_t eq = a[i].find('=');
        if (eq == std::string::npos || eq == 0)
          throw ScriptError(c.line, "expect " + a[0] + ": '" + a[i] + "' is not FIELD=VALUE");
        const std::string field = a[i].substr(0, eq), value = fieldOf(state, field);
        if (value.empty()) throw ScriptError(c.line, "expect: no field '" + field + "'");
        if (!sameValue(value, a[i].substr(eq + 1)))
          throw CheckFailed(c.line, "expected " + a[i] + ", found " + state);
      }
      return;
    }
    const bool values = std::all_of(a.begin(), a.end(), [this](const std::string& w) {
      size_t eq = w.find('=');
      return eq != std::string::npos && eq > 0 &&
             (w.substr(0, eq) == kVoiceField ||
              findField(*game_, w.substr(0, eq)).type != FieldRef::Type::none);
    });
    if (values) {
      for (const auto& w : a) {
        const std::string name = w.substr(0, w.find('='));
        const std::string is = valueText(c, name);
        if (!sameValue(is, w.substr(name.size() + 1)))
          throw CheckFailed(c.line, "expected " + w + ", found " + name + "=" + is);
      }
      return;
    }
    lines_.expectLine(c.line, c.text);
  }

  fake::Trace trace_;
  std::unique_ptr<RenderBackend> render_;
  std::unique_ptr<fake::RecordingSound> sound_;
  std::unique_ptr<fake::RecordingSpeech> speech_;
  std::unique_ptr<fake::FakeWindow> window_;
  std::unique_ptr<fake::FakeInput> input_;
  std::unique_ptr<Game> game_;
  bool started_ = false;
  bool keepLines_ = false;
  PrintedLines lines_;

 public:
  Game& game() { return *game_; }
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
Game& Replay::game() { return impl_->game(); }
fake::Trace& Replay::trace() { return impl_->trace(); }
fake::FakeWindow& Replay::window() { return impl_->window(); }
fake::FakeInput& Replay::input() { return impl_->input(); }
fake::RecordingSound& Replay::sound() { return impl_->sound(); }

void requestStop(int signal) { g_stopSignal = signal; }

int run(const std::vector<Command>& script, const Options& options, std::ostream& out,
        std::ostream& err) {
  std::unique_ptr<Replay> session;
  int line = 0;
  int status = 0;
  try {
    Options opts = options;
    opts.keepLines =
        opts.keepLines || std::any_of(script.begin(), script.end(), [](const Command& c) {
          return c.kind == Verb::expect ||
                 std::any_of(c.body.begin(), c.body.end(),
                             [](const Command& b) { return b.kind == Verb::expect; });
        });
    session = std::make_unique<Replay>(opts, out);
    // The output goes out as it comes; a long script must not keep it all.
    session->trace().keepLog(false);
    size_t next = 0;
    try {
      for (; next < script.size(); ++next) {
        const Command& c = script[next];
        line = c.line;
        // fail and rnd lines at the very top act before the game starts.
        if (!session->started() && c.kind != Verb::fail && c.kind != Verb::rnd) session->start();
        session->execute(c);
      }
      if (!session->started()) session->start();
    } catch (const ProgramEnd& end) {
      status = end.code;
      // The checks right after the command that ended the game still run; a check after a
      // command that never ran fails.
      for (++next; next < script.size() && script[next].kind == Verb::expect; ++next)
        session->execute(script[next]);
      for (; next < script.size(); ++next)
        if (script[next].kind == Verb::expect)
          throw CheckFailed(script[next].line, "the game ended at line " + std::to_string(line) +
                                                   ", before the commands this check follows");
    } catch (const Stopped& stop) {
      status = 128 + stop.signal;
      err << "line " << line << ": stopped by a signal";
      if (!options.renderPath.empty())
        err << "; " << options.renderPath << " holds what was rendered";
      err << '\n';
    }
    session->finish();
  } catch (const CheckFailed& e) {
    err << e.what() << '\n';
    return 3;
  } catch (const ScriptError& e) {
    err << e.what() << '\n';
    return 2;
  } catch (const GameError& e) {
    err << "line " << line << ": " << e.what() << '\n';
    return 2;
  }
  return status;
}

std::string besideProgram(const char* argv0) {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = std::filesystem::absolute(argv0, ec);
  return (exe.parent_path() / "sounds").string();
}

}  // namespace rd::replay

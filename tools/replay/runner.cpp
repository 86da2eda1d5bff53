#include "runner.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "game/game.h"
#include "platform/fake/recording_platform.h"
#include "platform/limits.h"
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

// An `expect` that does not hold.
class CheckFailed : public std::runtime_error {
 public:
  CheckFailed(int line, const std::string& message)
      : std::runtime_error("line " + std::to_string(line) + ": " + message) {}
};

// Two printed values are the same when their texts are, or when they are the same numbers
// (3 and 3.0; a position's three coordinates one by one).
bool sameValue(const std::string& a, const std::string& b) {
  if (a == b) return true;
  size_t ia = 0, ib = 0;
  for (;;) {
    size_t ea = a.find(',', ia), eb = b.find(',', ib);
    float x = 0, y = 0;
    if (!parseFloat(a.substr(ia, ea - ia), x) || !parseFloat(b.substr(ib, eb - ib), y) || x != y)
      return false;
    if (ea == std::string::npos || eb == std::string::npos) return ea == eb;
    ia = ea + 1;
    ib = eb + 1;
  }
}

// The value after NAME= among the words of a printed line; empty when it has no such field.
std::string fieldOf(const std::string& line, const std::string& name) {
  std::istringstream words(line);
  for (std::string w; words >> w;)
    if (w.size() > name.size() && w.compare(0, name.size(), name) == 0 && w[name.size()] == '=')
      return w.substr(name.size() + 1);
  return {};
}

}  // namespace

class Replay::Impl {
 public:
  Impl(const Options& options, std::ostream& out)
      : trace_([this, &out](const std::string& line) {
          out << line << '\n' << std::flush;
          if (keepLines_) log_.push_back({line, false});
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
    commandAt_ = log_.size();
  }

  // Runs one command; ProgramEnd and script errors pass to the caller.
  void execute(const Command& c) {
    stopIfAsked();
    const std::string& v = c.verb;
    if (v != "expect" && v != "repeat") forget();
    if (v == "repeat") {
      for (long long i = 0; i < c.times; ++i)
        for (const Command& inner : c.body) execute(inner);
    } else if (v == "key") {
      game_->onKeyDown(static_cast<int16_t>(keyCode(c.args[0])));
    } else if (v == "keyup") {
      game_->onKeyUp(static_cast<int16_t>(keyCode(c.args[0])));
    } else if (v == "mouse") {
      long long offset = 0, amount = 0;
      parseLong(c.args[0], offset);
      parseLong(c.args[1], amount);
      input_->push({mouseInput(offset), static_cast<int32_t>(amount)});
    } else if (v == "mouse-event") {
      game_->onMouse();
    } else if (v == "tick") {
      for (long long i = 0, n = count(c); i < n; ++i) {
        stopIfAsked();
        game_->onTimer(TimerId::simulation);
        window_->advance(limits::kTimerPeriodMicros);
      }
    } else if (v == "target") {
      for (long long i = 0, n = count(c); i < n; ++i) {
        stopIfAsked();
        game_->onTimer(TimerId::targetFinder);
      }
    } else if (v == "tvtimer") {
      game_->onTimer(TimerId::television);
    } else if (v == "wait") {
      long long ms = 0;
      parseLong(c.args[0], ms);
      window_->runClock(ms * 1000);
    } else if (v == "call") {
      Game::Procedure p = Game::procedureByName(c.args[0]);
      if (!p) p = Game::procedureByName(std::string(gameName(c.args[0])));
      if (!p) throw ScriptError(c.line, "the game has no procedure '" + c.args[0] + "'");
      game_->runAsEntry(c.args[0], p);
    } else if (v == "set") {
      for (size_t i = 0; i + 1 < c.args.size(); i += 2) set(c, c.args[i], c.args[i + 1]);
    } else if (v == "set-frequency") {
      long long hz = 0;
      parseLong(c.args[1], hz);
      voiceSlot(c, c.args[0])->setFrequency(static_cast<int32_t>(hz));
      game_->checkSoundCalls();
    } else if (v == "play") {
      voiceSlot(c, c.args[0])->play();
      game_->checkSoundCalls();
    } else if (v == "rnd") {
      for (const auto& a : c.args) {
        float r = 0;
        parseFloat(a, r);
        game_->random.force(r);
      }
    } else if (v == "fail") {
      long long n = 1;
      if (c.args.size() == 2) parseLong(c.args[1], n);
      trace_.failNext(callName(c.args[0]), static_cast<int>(n));
    } else if (v == "print") {
      print(c);
    } else if (v == "expect") {
      expect(c);
    }
  }

 private:
  static long long count(const Command& c) {
    long long n = 1;
    if (!c.args.empty()) parseLong(c.args[0], n);
    return n;
  }

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
      std::string unnamed;
      for (size_t k = commandAt_; k < log_.size(); ++k)
        if (!log_[k].named) unnamed += "\n  " + log_[k].text;
      if (!unnamed.empty())
        throw CheckFailed(c.line,
                          "expected nothing more from the last command; it printed:" + unnamed);
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
    auto it = std::find_if(log_.begin() + static_cast<long>(searchFrom_), log_.end(),
                           [&c](const Printed& p) { return p.text == c.text; });
    if (it == log_.end()) {
      throw CheckFailed(c.line, "expected the line '" + c.text + "'; " +
                                    (searchFrom_ == log_.size()
                                         ? "nothing was printed since the last check"
                                         : "since the last check the game printed:" + unchecked()));
    }
    it->named = true;
    searchFrom_ = static_cast<size_t>(it - log_.begin()) + 1;
  }

  std::string unchecked() const {
    std::string text;
    for (size_t k = searchFrom_; k < log_.size(); ++k) text += "\n  " + log_[k].text;
    return text;
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
  // The lines printed that a check may still name: a line check looks from searchFrom_ on;
  // `expect nothing` at the lines from commandAt_, where the last command other than a check began.
  struct Printed {
    std::string text;
    bool named;
  };
  std::vector<Printed> log_;
  size_t searchFrom_ = 0, commandAt_ = 0;

  // A new command begins; lines no check can reach any more are let go.
  void forget() {
    const size_t done = std::min(searchFrom_, log_.size());
    log_.erase(log_.begin(), log_.begin() + static_cast<long>(done));
    // A long run that checks little keeps only its latest lines.
    constexpr size_t kKept = 100000;
    if (log_.size() > kKept)
      log_.erase(log_.begin(), log_.begin() + static_cast<long>(log_.size() - kKept / 2));
    searchFrom_ = 0;
    commandAt_ = log_.size();
  }

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
          return c.verb == "expect" ||
                 std::any_of(c.body.begin(), c.body.end(),
                             [](const Command& b) { return b.verb == "expect"; });
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
        if (!session->started() && c.verb != "fail" && c.verb != "rnd") session->start();
        session->execute(c);
      }
      if (!session->started()) session->start();
    } catch (const ProgramEnd& end) {
      status = end.code;
      // The checks right after the command that ended the game still run; a check after a
      // command that never ran fails.
      for (++next; next < script.size() && script[next].verb == "expect"; ++next)
        session->execute(script[next]);
      for (; next < script.size(); ++next)
        if (script[next].verb == "expect")
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

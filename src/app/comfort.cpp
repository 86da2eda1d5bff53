#include "app/comfort.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>

#include "app/settings.h"
#include "base/game_error.h"
#include "game/game_state.h"
#include "platform/keys.h"

namespace rd::app {

const char* const kKeyList =
    "Keys. Page Down, climb. Page Up, descend. End and Home, turn knob left and right. K, the "
    "knob. Left and right arrows, turn. Up and down arrows, step forward and back. Space, fire. X, "
    "Y and Z, your x, z and height. A, heading and enemy bearing. D, the dog. R, range. T, target "
    "finder. S, score. V, momentum. H, speed. E, the enemy. P, room or cockpit. F2, say again. F3 "
    "and F4, speech rate. F5 and F6, volume. Pause or F9, pause. Escape, quit.";

namespace {

// The game's readouts are whole or decimal numbers; anything else it says is words.
bool isNumber(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

// What the whole number of a height leaves unsaid: on the floor, just above it, or landed high.
const char* heightState(const GameRecord& r) {
  if (r.landed) return r.playerY < 1 ? ", on the floor" : ", landed";
  if (r.playerY <= 0) return ", on the floor";
  if (r.playerY < 1) return ", just off the floor";
  return "";
}

}  // namespace

std::string labelledPiece(int16_t key, int piece, const std::string& text,
                          const GameRecord* record) {
  if (!isNumber(text)) return text;
  const char* label = nullptr;
  std::string state;
  switch (key) {
    case Key::X:
      label = "x";
      break;
    case Key::Y:
      label = "y";
      break;
    case Key::Z:
      label = "height";
      if (record) state = heightState(*record);
      break;
    case Key::A:
      label = piece == 0 ? "heading" : piece == 1 ? "enemy" : nullptr;
      break;
    case Key::D:
      label = piece == 0 ? "dog" : nullptr;
      break;
    case Key::R:
      label = "range";
      break;
    case Key::V:
      label = piece == 0 ? "momentum" : piece == 3 ? "enemy" : nullptr;
      break;
    case Key::H:
    case kMouseEntry:
      label = "speed";
      break;
    case Key::E:
      label = piece == 0 ? "enemy" : piece == 2 ? "height" : nullptr;
      break;
    default:
      break;
  }
  if (!label) return text;
  return std::string(label) + " " + text + state;
}

std::string knobText(int32_t knob) {
  if (knob == 0) return "Knob centred";
  return "Knob " + std::to_string(std::abs(knob)) + (knob > 0 ? " right" : " left");
}

class NotedVoice : public SpeechVoice {
 public:
  NotedVoice(NotedSpeech& owner, std::unique_ptr<SpeechVoice> inner, bool own)
      : owner_(owner), inner_(std::move(inner)), own_(own) {}
  void speak(const std::string& text) override {
    std::string said = text;
    if (own_) {
      owner_.ownSentence(text);
    } else {
      said = owner_.gamePiece(text);
    }
    if (owner_.onSentence) owner_.onSentence(said);
    // While the game's sentence is heard a comfort key waits for the end of its handler.
    if (!own_) ++owner_.gameSpeaking_;
    try {
      inner_->speak(said);
    } catch (const SpeechUnheard&) {
      // Sound lost: the game goes on (paused by then), and the sentence is not counted heard.
      if (!own_) --owner_.gameSpeaking_;
      if (owner_.onUnheard) owner_.onUnheard(said);
      return;
    } catch (...) {
      if (!own_) --owner_.gameSpeaking_;
      throw;
    }
    if (!own_) --owner_.gameSpeaking_;
    if (owner_.onHeard) owner_.onHeard(said);
  }

 private:
  NotedSpeech& owner_;
  std::unique_ptr<SpeechVoice> inner_;
  bool own_;
};

std::unique_ptr<SpeechVoice> NotedSpeech::createVoice() {
  return std::make_unique<NotedVoice>(*this, inner_.createVoice(), false);
}

std::unique_ptr<SpeechVoice> NotedSpeech::createOwnVoice() {
  return std::make_unique<NotedVoice>(*this, inner_.createVoice(), true);
}

std::string NotedSpeech::gamePiece(const std::string& text) {
  // A sentence outside every entry is a readout of its own.
  Entry alone{0, 0};
  Entry& entry = entries_.empty() ? alone : entries_.back();
  if (entry.pieces == 0) last_.clear();
  std::string said = labelled_ ? labelledPiece(entry.key, entry.pieces, text, record_) : text;
  ++entry.pieces;
  // A labelled piece starts a new value; a bare one runs on from the one before.
  last_.push_back((last_.empty() ? "" : said != text ? ", " : " ") + said);
  return said;
}

void NotedSpeech::ownSentence(const std::string& text) { last_ = {text}; }

std::string NotedSpeech::last() const {
  std::string whole;
  for (const auto& piece : last_) whole += piece;
  return whole;
}

Comfort::Comfort(NotedSpeech& speech, int volume, Hooks hooks)
    : speech_(speech), volume_(volume), hooks_(std::move(hooks)) {}

void Comfort::say(const std::string& text) {
  if (speaking_) {
    next_ = text;
    cut_ = true;
    return;
  }
  speaking_ = true;
  try {
    sayCutting(text);
  } catch (...) {
    speaking_ = cut_ = false;
    throw;
  }
  speaking_ = cut_ = false;
  applyPause();
}

void Comfort::sayCutting(const std::string& text) {
  std::string now = text;
  // A voice that fails here is reported and the game goes on; the game's own calls report theirs.
  try {
    if (!voice_) voice_ = speech_.createOwnVoice();
    for (;;) {
      try {
        voice_->speak(now);
        return;
      } catch (const Cut&) {
        cut_ = false;
        now = next_;
      }
    }
  } catch (const GameError& e) {
    if (hooks_.report) hooks_.report(e.what());
  }
}

void Comfort::whileSpeaking() {
  if (speaking_ && cut_) throw Cut{};
}

void Comfort::applyPause() {
  // "Paused" is said while the voices still sound: a Pause pressed while this layer speaks waits
  // for the end of what it says.
  if (speaking_ || paused_ == windowPaused_) return;
  windowPaused_ = paused_;
  hooks_.setPaused(paused_);
}

bool Comfort::key(int16_t code, bool down) {
  if (code != Key::Pause && code != Key::F9 && code != Key::K && (code < Key::F1 || code > Key::F6))
    return false;
  if (!down) return true;
  // Never into the middle of the game's readout: after its handler.
  if (speech_.gameSpeaking()) {
    waitingKeys_.push_back(code);
    return true;
  }
  try {
    answer(code);
  } catch (const GameError& e) {
    if (hooks_.report) hooks_.report(e.what());
  }
  return true;
}

void Comfort::answer(int16_t code) {
  switch (code) {
    case Key::F1:
      say(kKeyList);
      break;
    case Key::F2: {
      std::string last = speech_.last();
      say(last.empty() ? "Nothing spoken yet." : last);
      break;
    }
    case Key::F3:
      changeRate(1.0 / 1.1);
      break;
    case Key::F4:
      changeRate(1.1);
      break;
    case Key::F5:
      changeVolume(-10);
      break;
    case Key::F6:
      changeVolume(10);
      break;
    case Key::K:
      if (record_) say(knobText(record_->knob));
      break;
    case Key::Pause:
    case Key::F9:
      // Without sound the round stays paused: it would go on unheard.
      if (soundLost_) {
        say("Sound is still lost. The game waits for it.");
        break;
      }
      // Said while the voices still sound, and after they sound again. A Pause that cuts
      // "Paused" short leaves the game running.
      paused_ = !paused_;
      if (paused_) {
        say("Paused");
        applyPause();
      } else {
        applyPause();
        say("Resumed");
      }
      break;
    default:
      break;
  }
}

void Comfort::soundLost() {
  soundLost_ = true;
  paused_ = true;
  applyPause();
  say("Sound lost. The game is paused until it comes back.");
}

void Comfort::soundBack() {
  soundLost_ = false;
  say("Sound is back. Pause or F9 to play on.");
}

void Comfort::changeRate(double factor) {
  const int now = hooks_.rate();
  int next = static_cast<int>(std::lround(now * factor));
  // Each press moves the rate, also where 10% rounds to nothing.
  if (next == now) next += factor > 1 ? 1 : -1;
  next = std::clamp(next, limits::kSlowestSpeechRate, limits::kFastestSpeechRate);
  hooks_.setRate(next);
  saveAndSay("speech-rate", next, "Speech rate " + std::to_string(next));
}

void Comfort::changeVolume(int step) {
  volume_ = std::clamp(volume_ + step, 0, 100);
  hooks_.setVolume(volume_);
  saveAndSay("volume", volume_, "Volume " + std::to_string(volume_));
}

void Comfort::saveAndSay(const char* name, int value, const std::string& said) {
  // The change holds for this session either way; the player hears when it will not outlast it.
  const auto why = hooks_.save ? hooks_.save(name, std::to_string(value)) : std::nullopt;
  say(why ? said + ", not saved: " + *why : said);
}

void Comfort::setRecord(const GameRecord* record) {
  record_ = record;
  waitingKeys_.clear();
  toSay_.clear();
  flying_ = liftTold_ = false;
  landed_ = record && record->landed;
  losses_ = record ? record->enemyScore - record->playerLives : 0;
}

void Comfort::afterEntry(int16_t key, bool outermost) {
  if (record_ && key == Key::T)
    toSay_.push_back(record_->finderOn ? "Target finder on" : "Target finder off");
  if (record_ && key == Key::P)
    toSay_.push_back(record_->fixedListener ? "Listening from the room"
                                            : "Listening from the cockpit");
  if (!outermost) return;
  watchFlight();
  auto words = std::move(toSay_);
  auto keys = std::move(waitingKeys_);
  toSay_.clear();
  waitingKeys_.clear();
  for (const auto& text : words) say(text);
  for (int16_t code : keys) this->key(code, true);
}

void Comfort::watchFlight() {
  if (!record_) return;
  const GameRecord& r = *record_;
  // Flying as the game has it: above height 1, where the knob and the arrows turn the helicopter.
  flying_ = !r.landed && r.playerY > 1;
  // A crash or a shot brings the helicopter down without a landing: the next climb lifts off anew.
  const int32_t losses = r.enemyScore - r.playerLives;
  if (losses != losses_) liftTold_ = false;
  losses_ = losses;
  if (flying_ && !liftTold_) {
    liftTold_ = true;
    if (speech_.labelled()) {
      toSay_.push_back(r.knob == 0 ? "Lift-off."
                                   : "Lift-off. " + knobText(r.knob) +
                                         ", turning you; End and Home centre it.");
    }
  }
  if (r.landed && !landed_) {
    liftTold_ = false;
    if (speech_.labelled()) toSay_.push_back("Landed.");
  }
  landed_ = r.landed;
}

ComfortedGame::ComfortedGame(GameEvents& game, const GameRecord& record, NotedSpeech& speech,
                             Comfort& comfort)
    : game_(game), speech_(speech), comfort_(comfort) {
  speech_.setRecord(&record);
  comfort_.setRecord(&record);
}

ComfortedGame::~ComfortedGame() {
  speech_.setRecord(nullptr);
  comfort_.setRecord(nullptr);
}

template <typename F>
auto ComfortedGame::around(int16_t key, F&& entry) {
  struct Inside {
    ComfortedGame& g;
    Inside(ComfortedGame& game, int16_t key) : g(game) {
      g.speech_.enter(key);
      ++g.depth_;
    }
    ~Inside() {
      g.speech_.leave();
      --g.depth_;
    }
  };
  auto done = [&] {
    // Only a key-down's readout and switch are this layer's to speak of.
    const int16_t keyDown = key > 0 ? key : 0;
    comfort_.afterEntry(keyDown, depth_ == 0);
  };
  if constexpr (std::is_void_v<decltype(entry())>) {
    {
      Inside inside(*this, key);
      entry();
    }
    done();
  } else {
    decltype(entry()) result;
    {
      Inside inside(*this, key);
      result = entry();
    }
    done();
    return result;
  }
}

void ComfortedGame::start() {
  around(0, [&] { game_.start(); });
}

void ComfortedGame::onTimer(TimerId id) {
  around(0, [&] { game_.onTimer(id); });
}

void ComfortedGame::onKeyDown(int16_t keyCode) {
  around(keyCode, [&] { game_.onKeyDown(keyCode); });
}

void ComfortedGame::onKeyUp(int16_t keyCode) {
  around(0, [&] { game_.onKeyUp(keyCode); });
}

void ComfortedGame::onMouse() {
  around(kMouseEntry, [&] { game_.onMouse(); });
}

}  // namespace rd::app

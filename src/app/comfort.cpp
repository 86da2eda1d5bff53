#include "app/comfort.h"

#include <algorithm>
#include <cmath>

#include "app/settings.h"
#include "platform/keys.h"
#include "platform/service_error.h"

namespace rd::app {

const char* const kKeyList =
    "Keys. Page Down, climb. Page Up, descend. End and Home, turn knob left and right. Left and "
    "right arrows, turn. Up and down arrows, step forward and back. Space, fire. X, Y and Z, your "
    "x, z and height. A, heading and enemy bearing. D, the dog. R, range. T, target finder. S, "
    "score. V, momentum. H, speed. E, the enemy. P, room or cockpit. F2, say again. F3 and F4, "
    "speech rate. F5 and F6, volume. Pause, pause. Escape, quit.";

class NotedVoice : public SpeechVoice {
 public:
  NotedVoice(NotedSpeech& owner, std::unique_ptr<SpeechVoice> inner)
      : owner_(owner), inner_(std::move(inner)) {}
  void speak(const std::string& text) override {
    owner_.last_ = text;
    if (owner_.onSentence) owner_.onSentence(text);
    inner_->speak(text);
    if (owner_.onHeard) owner_.onHeard(text);
  }

 private:
  NotedSpeech& owner_;
  std::unique_ptr<SpeechVoice> inner_;
};

std::unique_ptr<SpeechVoice> NotedSpeech::createVoice() {
  return std::make_unique<NotedVoice>(*this, inner_.createVoice());
}

Comfort::Comfort(NotedSpeech& speech, int volume, Hooks hooks)
    : speech_(speech), volume_(volume), hooks_(std::move(hooks)) {}

void Comfort::say(const std::string& text) {
  // A voice that fails here is reported and the game goes on; the game's own calls report theirs.
  try {
    if (!voice_) voice_ = speech_.createVoice();
    voice_->speak(text);
  } catch (const ServiceError& e) {
    if (hooks_.report) hooks_.report(e.what());
  }
}

bool Comfort::key(int16_t code, bool down) {
  if (code != Key::Pause && (code < Key::F1 || code > Key::F6)) return false;
  if (!down) return true;
  try {
    answer(code);
  } catch (const ServiceError& e) {
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
    case Key::Pause:
      // Said while the voices still sound, and after they sound again.
      if (!paused_) {
        say("Paused");
        paused_ = true;
        hooks_.setPaused(true);
      } else {
        paused_ = false;
        hooks_.setPaused(false);
        say("Resumed");
      }
      break;
    default:
      break;
  }
}

void Comfort::changeRate(double factor) {
  const int now = hooks_.rate();
  int next = static_cast<int>(std::lround(now * factor));
  // Each press moves the rate, also where 10% rounds to nothing.
  if (next == now) next += factor > 1 ? 1 : -1;
  next = std::clamp(next, config::kSlowestSpeechRate, config::kFastestSpeechRate);
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

}  // namespace rd::app

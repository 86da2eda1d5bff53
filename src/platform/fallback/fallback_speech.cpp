#include "platform/fallback/fallback_speech.h"

#include "base/game_error.h"

namespace rd::fallback {

class ChainVoice : public SpeechVoice {
 public:
  explicit ChainVoice(FallbackSpeech& owner) : owner_(owner) {}
  void speak(const std::string& text) override { owner_.say(text); }

 private:
  FallbackSpeech& owner_;
};

FallbackSpeech::FallbackSpeech(std::vector<Voice> voices)
    : voices_(std::move(voices)), made_(voices_.size()) {}

void FallbackSpeech::replace(std::vector<Voice> voices) {
  made_.clear();
  voices_ = std::move(voices);
  made_.resize(voices_.size());
  current_ = 0;
  failed_.clear();
}

std::string FallbackSpeech::notice(const std::string& failed, const std::string& next) {
  return "Speech through " + failed + " failed; " + next + " speaks from now on.";
}

SpeechVoice& FallbackSpeech::voiceInUse() {
  if (!made_[current_]) made_[current_] = voices_[current_].system->createVoice();
  return *made_[current_];
}

// The voice in use failed: the next takes over; false after the last one.
bool FallbackSpeech::next(const std::string& why) {
  if (current_ + 1 >= voices_.size()) return false;
  if (failed_.empty()) failed_ = voices_[current_].spoken;
  ++current_;
  if (onFallback) onFallback(voices_[current_ - 1].name, voices_[current_].name, why);
  return true;
}

std::unique_ptr<SpeechVoice> FallbackSpeech::createVoice() {
  for (;;) {
    try {
      voiceInUse();
      return std::make_unique<ChainVoice>(*this);
    } catch (const GameError& e) {
      if (!next(e.what())) throw;
    }
  }
}

void FallbackSpeech::say(const std::string& text) {
  // Only a service's failure moves on: the end of the program (a quit while a sentence is heard)
  // passes through.
  for (;;) {
    try {
      SpeechVoice& voice = voiceInUse();
      if (!failed_.empty()) {
        voice.speak(notice(failed_, voices_[current_].spoken));
        failed_.clear();
      }
      voice.speak(text);
      return;
    } catch (const SpeechUnheard&) {
      // The voice works; the sound it plays through is gone for now.
      throw;
    } catch (const GameError& e) {
      if (!next(e.what())) throw;
    }
  }
}

}  // namespace rd::fallback

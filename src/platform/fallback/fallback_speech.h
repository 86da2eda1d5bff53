// Several speech voices in the order the player prefers them, speaking through the first that
// works. When the voice in use fails (a screen reader that quit, a speech service that died or
// stalls), the next one takes over for the rest of the run, says once what happened, and speaks
// the sentence that failed: the game goes on and is never left silent by a voice that went away.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/speech.h"

namespace rd::fallback {

class FallbackSpeech : public SpeechSystem {
 public:
  struct Voice {
    std::string name;    // for the trace: "screenreader", "desktop", "builtin"
    std::string spoken;  // as the player hears it named: "the screen reader"
    SpeechSystem* system;
  };
  // The first voice is the one in use; the others wait their turn, in this order.
  explicit FallbackSpeech(std::vector<Voice> voices);

  // A voice of the chain; its sentences go to the voice in use ("speech.create" when no voice
  // of the chain can be made).
  std::unique_ptr<SpeechVoice> createVoice() override;

  // A new list in place of the old, as the player chose another voice: its first is in use from
  // the next sentence on, and no earlier failure is told. The old voices' systems may go after.
  void replace(std::vector<Voice> voices);

  // The voice in use, as an index into the list given.
  size_t current() const { return current_; }
  // Called when a voice fails and the next takes over (current() is then the next one), with
  // their names and the failure.
  std::function<void(const std::string& failed, const std::string& next, const std::string& why)>
      onFallback;

  // The sentence that tells the player once that `failed` went away and `next` speaks now.
  static std::string notice(const std::string& failed, const std::string& next);

 private:
  friend class ChainVoice;
  void say(const std::string& text);
  SpeechVoice& voiceInUse();
  bool next(const std::string& why);

  std::vector<Voice> voices_;
  std::vector<std::unique_ptr<SpeechVoice>> made_;  // one voice of each system, made when needed
  size_t current_ = 0;
  std::string failed_;  // the voice the player lost, until the player has been told
};

}  // namespace rd::fallback

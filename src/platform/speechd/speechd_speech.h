// The speech voice on the desktop's speech service (speech-dispatcher): the player's own voice,
// language and rate, the same service their screen reader speaks through. speak() returns when
// the service reports the end of the sentence, so the game is held until it has been heard.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/speech.h"

namespace rd::speechd {

struct Connection;

class SpeechdSpeech : public SpeechSystem {
 public:
  // Connects to the service (starting it when the desktop lets a client do so), waiting at most
  // `patience`. Without an answer in time connected() is false and createVoice() fails with why.
  explicit SpeechdSpeech(std::chrono::milliseconds patience);
  ~SpeechdSpeech() override;
  SpeechdSpeech(const SpeechdSpeech&) = delete;
  SpeechdSpeech& operator=(const SpeechdSpeech&) = delete;

  bool connected() const { return connection_ != nullptr; }
  const std::string& failure() const { return failure_; }

  std::unique_ptr<SpeechVoice> createVoice() override;  // "speech.create"

  // The rate in words a minute (about: the service counts from -100 to 100, 0 its usual rate).
  void setRate(int wordsPerMinute);
  int rate() const;

  // Says `text` and returns when the service reports its end ("speech.speak").
  void say(const std::string& text);
  // Called every few milliseconds while a sentence is heard; what it throws cancels the sentence
  // and passes on (a quit).
  void setWhileWaiting(std::function<void()> f) { whileWaiting_ = std::move(f); }

 private:
  std::shared_ptr<Connection> connection_;
  std::string failure_;
  std::function<void()> whileWaiting_;
};

// Words a minute to the service's rate from -100 to 100 and back: 80 is -100, about 175 (a
// synthesiser's usual rate) is 0, 900 is 100.
int serviceRate(int wordsPerMinute);
int wordsPerMinute(int serviceRate);

}  // namespace rd::speechd

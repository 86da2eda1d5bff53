// The speech voice on the desktop's speech service (speech-dispatcher): the player's own voice,
// language and rate, the same service their screen reader speaks through. speak() returns when
// the service reports the end of the sentence, so the game is held until it has been heard.
//
// Every call into the service is made on a thread of its own: a service that stops answering
// (stopped, hung) costs the game's thread no more than a sentence's time limit, and a quit cuts
// the wait at once. A service that has failed once (it ended, stalled or never reported the end
// of a sentence) is not asked again: every later sentence fails at once.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/speech.h"

namespace rd::speechd {

struct Service;

class SpeechdSpeech : public SpeechSystem {
 public:
  // Connects to the service (starting it when the desktop lets a client do so), waiting at most
  // `patience`. Without an answer in time connected() is false and createVoice() fails with why.
  explicit SpeechdSpeech(std::chrono::milliseconds patience);
  // Never waits for a service that does not answer.
  ~SpeechdSpeech() override;
  SpeechdSpeech(const SpeechdSpeech&) = delete;
  SpeechdSpeech& operator=(const SpeechdSpeech&) = delete;

  bool connected() const { return connected_; }
  const std::string& failure() const { return failure_; }

  std::unique_ptr<SpeechVoice> createVoice() override;  // "speech.create"

  // The rate in words a minute (about: the service counts from -100 to 100, 0 its usual rate).
  // The service is not waited for: the rate is the one for the sentences that follow.
  void setRate(int wordsPerMinute);
  int rate() const { return rate_; }

  // Says `text` and returns when the service reports its end ("speech.speak"). It fails when the
  // service ends, when it does not take the sentence or report its end within the sentence's
  // time limit, and from then on.
  void say(const std::string& text);
  // Called every few milliseconds while a sentence is heard; what it throws cancels the sentence
  // and passes on (a quit).
  void setWhileWaiting(std::function<void()> f) { whileWaiting_ = std::move(f); }

 private:
  [[noreturn]] void fail(const std::string& why);
  void cancel();
  bool hungUp() const;

  std::shared_ptr<Service> service_;
  std::thread thread_;
  bool connected_ = false;
  bool failed_ = false;
  int socket_ = -1;
  int rate_ = 0;
  std::string failure_;
  std::function<void()> whileWaiting_;
};

// Words a minute to the service's rate from -100 to 100 and back: 80 is -100, about 175 (a
// synthesiser's usual rate) is 0, 900 is 100.
int serviceRate(int wordsPerMinute);
int wordsPerMinute(int serviceRate);

}  // namespace rd::speechd

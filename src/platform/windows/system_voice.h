// The speech voice on Windows' own voices (SAPI 5): the voice, rate and volume the player chose in
// Windows' settings. Each sentence is spoken asynchronously, cutting the one before, and waited
// for in short slices, so that the game is held until it has been heard and a quit cuts it at once.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/speech.h"

struct ISpVoice;

namespace rd::windows {

// Words a minute to SAPI's rate from -10 to 10 and back: 0 is the voice's usual rate (taken as
// 175), each step about an eleventh faster, 10 three times as fast and -10 a third.
int sapiRate(int wordsPerMinute);
int wordsPerMinuteOfSapi(int sapiRate);

class SystemVoiceSpeech : public SpeechSystem {
 public:
  // Creates the voice (on a thread whose COM is made ready here, as a single apartment).
  SystemVoiceSpeech();
  ~SystemVoiceSpeech() override;
  SystemVoiceSpeech(const SystemVoiceSpeech&) = delete;
  SystemVoiceSpeech& operator=(const SystemVoiceSpeech&) = delete;

  bool made() const { return voice_ != nullptr; }
  const std::string& failure() const { return failure_; }

  std::unique_ptr<SpeechVoice> createVoice() override;  // "speech.create"

  // Says `text` and returns when it has been spoken ("speech.speak").
  void say(const std::string& text);
  // Called every few milliseconds while a sentence is heard; what it throws cuts the sentence and
  // passes on (a quit).
  void setWhileWaiting(std::function<void()> f) { whileWaiting_ = std::move(f); }

  void setRate(int wordsPerMinute);
  int rate() const;

 private:
  ISpVoice* voice_ = nullptr;
  bool comReady_ = false;
  std::string failure_;
  std::function<void()> whileWaiting_;
};

}  // namespace rd::windows

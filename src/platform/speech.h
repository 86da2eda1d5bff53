// The speech voice. speak() returns when the text has been heard.
#pragma once

#include <memory>
#include <string>

namespace rd {

class SpeechVoice {
 public:
  virtual ~SpeechVoice() = default;
  virtual void speak(const std::string& text) = 0;  // "speech.speak"
};

class SpeechSystem {
 public:
  virtual ~SpeechSystem() = default;
  virtual std::unique_ptr<SpeechVoice> createVoice() = 0;  // "speech.create"
};

}  // namespace rd

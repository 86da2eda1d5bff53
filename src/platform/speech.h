// The speech voice. speak() returns when the text has been heard, or throws SpeechUnheard when
// it could not be.
#pragma once

#include <memory>
#include <string>

#include "base/game_error.h"

namespace rd {

// A sentence no one could hear: the sound device the voice plays through has lost its output.
// It is not a failure of the voice, and the sentence was not heard.
class SpeechUnheard : public GameError {
 public:
  using GameError::GameError;
};

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

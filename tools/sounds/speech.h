// Spoken words for the cues and the television, synthesised by espeak-ng straight into memory.
#pragma once

#include <string>
#include <string_view>

#include "dsp.h"

namespace rd::sounds {

// How a speaker sounds: an espeak-ng voice name ("en-us+m3": language and variant) and its
// speed (words a minute), base pitch and pitch range (0..100, 50 is the voice's normal).
struct Speaker {
  std::string voice;
  int wordsPerMinute = 170;
  int pitch = 50;
  int range = 50;
};

// One synthesiser for the whole run.
class SpeechSynth {
 public:
  SpeechSynth();
  ~SpeechSynth();
  SpeechSynth(const SpeechSynth&) = delete;
  SpeechSynth& operator=(const SpeechSynth&) = delete;

  // The spoken text at `rate` samples a second, with the pauses around it trimmed, in -1..1.
  Samples say(std::string_view text, const Speaker& speaker, int rate);

 private:
  int rate_ = 0;
};

}  // namespace rd::sounds

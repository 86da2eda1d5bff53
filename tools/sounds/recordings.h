// Every recording of the room: its file name, its own sample rate, whether the game loops it, and
// the recipe that makes it.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "dsp.h"
#include "speech.h"

namespace rd::sounds {

// What the recipes share: the speech synthesiser, started on first use.
class Studio {
 public:
  SpeechSynth& speech();

 private:
  std::unique_ptr<SpeechSynth> speech_;
};

struct Recording {
  std::string_view file;
  int rate;
  bool loops;
  Samples (*make)(Studio&, int rate);
};

// All 34 recordings, the 21 of the bank in the game's load order, then the 13 named cues.
std::span<const Recording> recordings();

// A fixed seed per recording, so a recipe draws the same noise whatever was made before it.
Rng seeded(std::string_view name);

}  // namespace rd::sounds

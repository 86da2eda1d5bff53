#include "recordings.h"

#include <array>
#include <cstdint>

#include "recipes.h"

namespace rd::sounds {

SpeechSynth& Studio::speech() {
  if (!speech_) speech_ = std::make_unique<SpeechSynth>();
  return *speech_;
}

Rng seeded(std::string_view name) {
  std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a of the name
  for (char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ull;
  }
  return Rng(h);
}

namespace {

// The recordings in the order of the game's table, each made by its recipe.
constexpr std::array kRecordings{
#define RD_VOICE(voice, file, rate, loops, recipe) Recording{file, rate, loops, recipe},
#define RD_CUE(file, rate, loops, recipe) Recording{file, rate, loops, recipe},
#include "sound/recordings.def"
};

}  // namespace

std::span<const Recording> recordings() { return kRecordings; }

}  // namespace rd::sounds

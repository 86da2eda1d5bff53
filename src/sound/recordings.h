// The table of recordings as data, for the code that walks over all of them (the tests and the
// benchmarks): voice ("" for a named one-shot sound), file, rate and whether the game loops it.
#pragma once

#include <string_view>

namespace rd {

struct RecordingFile {
  std::string_view voice;
  std::string_view file;
  int rate;
  bool loops;
};

inline constexpr RecordingFile kRecordingFiles[] = {
#define RD_VOICE(voice, file, rate, loops, recipe) {#voice, file, rate, loops},
#define RD_CUE(file, rate, loops, recipe) {"", file, rate, loops},
#include "sound/recordings.def"
};

}  // namespace rd

// Reading the recordings back the way the game does, through libsndfile, plus the few
// measurements the tests make on them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "sound/recordings.h"

namespace rd::sounds::test {

struct Wav {
  int rate = 0;
  int channels = 0;
  int format = 0;  // libsndfile's SF_FORMAT_* bits
  std::vector<short> samples;
  double seconds() const { return static_cast<double>(samples.size()) / rate; }
};

// Throws when the file cannot be opened.
Wav readWav(const std::filesystem::path& path);

std::filesystem::path soundsDir();

// Largest absolute sample.
int peakOf(const std::vector<short>& s);
// Loudness in dB relative to full scale.
double rmsDb(const std::vector<short>& s);
// The rate (per second, at the recorded speed) at which the loudness swells regularly, searched
// between lo and hi.
double pulseRate(const Wav& w, double lo, double hi);

}  // namespace rd::sounds::test

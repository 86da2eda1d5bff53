// Reading the recordings back the way the game does, through libsndfile, plus the few
// measurements the tests make on them.
#pragma once

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <stdexcept>
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
inline Wav readWav(const std::filesystem::path& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.string().c_str(), SFM_READ, &info);
  if (f == nullptr) throw std::runtime_error("cannot open " + path.string());
  Wav w{info.samplerate, info.channels, info.format,
        std::vector<short>(static_cast<std::size_t>(info.frames * info.channels))};
  sf_read_short(f, w.samples.data(), static_cast<sf_count_t>(w.samples.size()));
  sf_close(f);
  return w;
}

inline std::filesystem::path soundsDir() { return ROTORDUEL_SOUNDS_DIR; }

// Largest absolute sample.
inline int peakOf(const std::vector<short>& s) {
  int p = 0;
  for (short x : s) p = std::max(p, std::abs(static_cast<int>(x)));
  return p;
}

// Loudness in dB relative to full scale.
inline double rmsDb(const std::vector<short>& s) {
  double sum = 0;
  for (short x : s) sum += static_cast<double>(x) * x;
  return 10 * std::log10(sum / static_cast<double>(s.size()) / (32768.0 * 32768.0) + 1e-20);
}

// The rate (per second, at the recorded speed) at which the loudness swells regularly, searched
// between lo and hi.
inline double pulseRate(const Wav& w, double lo, double hi) {
  // The loudness contour, a point a millisecond (mean of |x|), less its mean.
  const auto step = static_cast<std::size_t>(w.rate / 1000);
  const double pointsPerSecond = static_cast<double>(w.rate) / static_cast<double>(step);
  std::vector<double> contour;
  for (std::size_t i = 0; i + step <= w.samples.size(); i += step)
    contour.push_back(std::accumulate(w.samples.begin() + i, w.samples.begin() + i + step, 0.0,
                                      [](double sum, short x) { return sum + std::abs(x); }));
  const double mean = std::accumulate(contour.begin(), contour.end(), 0.0) / contour.size();
  for (double& c : contour) c -= mean;
  // The loops are periodic, so the contour is correlated with itself around the loop. A
  // two-bladed rotor repeats exactly only every second beat, so the answer is the fastest pulse
  // that correlates nearly as well as the best one.
  const auto shortest = static_cast<std::size_t>(pointsPerSecond / hi);
  const auto longest = static_cast<std::size_t>(pointsPerSecond / lo);
  std::vector<double> r(longest + 2, 0.0);
  for (std::size_t lag = shortest - 1; lag <= longest + 1; ++lag)
    for (std::size_t i = 0; i < contour.size(); ++i)
      r[lag] += contour[i] * contour[(i + lag) % contour.size()];
  const double best = *std::max_element(r.begin() + shortest, r.begin() + longest + 1);
  for (std::size_t lag = shortest; lag <= longest; ++lag)
    if (r[lag] >= 0.6 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1])
      return pointsPerSecond / static_cast<double>(lag);
  return 0;
}

}  // namespace rd::sounds::test

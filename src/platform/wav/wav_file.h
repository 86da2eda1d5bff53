// Reading a recording: the one decoder behind every sound device (libsndfile).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rd {

struct WavData {
  int32_t sampleRate = 0;
  int32_t channels = 0;
  std::vector<int16_t> samples;  // interleaved
  int64_t frames() const { return channels ? static_cast<int64_t>(samples.size()) / channels : 0; }
};

// Reads a whole WAV file. A missing, empty, truncated or malformed file, or one whose header
// holds values no recording can have, fails with a ServiceError for `call` naming the file.
WavData readWav(const std::string& call, const std::string& path);

// Most frames a recording may hold (ten minutes at 48 kHz): a header claiming more is absurd.
inline constexpr int64_t kMaxWavFrames = 48000LL * 600;

}  // namespace rd

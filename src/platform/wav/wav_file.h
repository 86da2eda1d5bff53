// Reading a recording: the one decoder behind every sound device (libsndfile).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rd {

struct WavData {
  int32_t sampleRate = 0;
  int32_t channels = 0;
  std::vector<int16_t> samples;  // interleaved
  int64_t frames() const { return channels ? static_cast<int64_t>(samples.size()) / channels : 0; }
};

// Reads a whole WAV file in any encoding libsndfile decodes, in one or two channels. A missing,
// empty, truncated or malformed file, anything but a regular file, or one whose header holds
// values no recording can have, fails with a GameError for `call` naming the file.
WavData readWav(const std::string& call, const std::string& path);

// Most frames a recording may hold (ten minutes at 48 kHz): a header claiming more is absurd.
inline constexpr int64_t kMaxWavFrames = 48000LL * 600;

// Most bytes of decoded sound (16-bit samples) all the recordings of one device may take
// together: the whole sound bank fits well within it.
inline constexpr int64_t kMaxBankBytes = 256LL * 1024 * 1024;

// The recordings one device has decoded, each file counted once at its latest size: a file that
// would take the total past the limit is refused, naming it.
class WavBank {
 public:
  explicit WavBank(int64_t limit = kMaxBankBytes) : limit_(limit) {}
  WavData read(const std::string& call, const std::string& path);

 private:
  int64_t limit_;
  int64_t total_ = 0;
  std::map<std::string, int64_t> held_;
};

}  // namespace rd

// Small recordings made on the spot and measurements of what the loopback device renders.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "platform/openal/openal_sound.h"

namespace rd::testing {

// A folder of its own for each test, removed afterwards.
class TempFolder {
 public:
  TempFolder() { std::filesystem::create_directories(path_); }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::string path() const { return path_.string(); }

 private:
  static inline int counter_ = 0;
  const std::filesystem::path path_ =
      std::filesystem::temp_directory_path() /
      ("rotorduel-platform-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
};

// A mono 16-bit WAV: a sine of `hz` for `seconds`, then `silentSeconds` of silence.
inline std::string writeTone(const std::string& path, int rate, double hz, double seconds,
                             double silentSeconds = 0, double amplitude = 0.5) {
  SF_INFO info{0, rate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  const auto tone = static_cast<size_t>(seconds * rate);
  std::vector<short> samples(tone + static_cast<size_t>(silentSeconds * rate), 0);
  for (size_t i = 0; i < tone; ++i)
    samples[i] =
        static_cast<short>(32767 * amplitude * std::sin(2 * std::numbers::pi * hz * i / rate));
  sf_write_short(f, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(f);
  return path;
}

// Stereo frames from the loopback device, or read back from a file (with its header).
struct Rendered {
  std::vector<int16_t> frames;  // interleaved left, right
  SF_INFO info{};

  size_t size() const { return frames.size() / 2; }
  double rms(int channel) const {
    double sum = 0;
    for (size_t i = 0; i < size(); ++i) sum += std::pow(frames[i * 2 + channel] / 32768.0, 2);
    return size() ? std::sqrt(sum / size()) : 0;
  }
  double left() const { return rms(0); }
  double right() const { return rms(1); }
  double both() const { return std::sqrt((left() * left() + right() * right()) / 2); }
  // Upward zero crossings of the left channel per second: the pitch of a pure tone.
  double pitchHz() const {
    int crossings = 0;
    for (size_t i = 1; i < size(); ++i) crossings += frames[(i - 1) * 2] < 0 && frames[i * 2] >= 0;
    return crossings * static_cast<double>(openal::LoopbackSound::kRate) / size();
  }
};

// A stereo 16-bit file as written by rotorduel-replay --render.
inline Rendered readRendered(const std::string& path) {
  Rendered r;
  if (SNDFILE* f = sf_open(path.c_str(), SFM_READ, &r.info)) {
    r.frames.resize(static_cast<size_t>(r.info.frames) * 2);
    sf_readf_short(f, r.frames.data(), r.info.frames);
    sf_close(f);
  }
  return r;
}

inline Rendered render(openal::LoopbackSound& sound, double ms) {
  Rendered r;
  const auto n = static_cast<int32_t>(ms * openal::LoopbackSound::kRate / 1000);
  r.frames.resize(static_cast<size_t>(n) * 2);
  sound.render(n, r.frames.data());
  return r;
}

// A loopback device of the test's own, with a scratch folder for the recordings it makes.
class LoopbackTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  openal::LoopbackSound sound_;
  std::unique_ptr<SoundDevice> device_ = sound_.createDevice();
};

}  // namespace rd::testing

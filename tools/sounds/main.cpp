// rotorduel-sounds OUTDIR: makes every recording of the game, the same bytes on every run.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "recordings.h"

namespace {

using rd::sounds::Recording;
using rd::sounds::Samples;

// Nothing may reach full scale: every file peaks at -1 dBFS or below.
constexpr double kCeiling = 0.891;  // -1 dBFS

std::vector<short> toPcm16(Samples s) {
  const float peak = rd::sounds::peakOf(s);
  const double g = peak > kCeiling ? kCeiling / peak : 1.0;
  std::vector<short> pcm(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    pcm[i] = static_cast<short>(std::lround(g * s[i] * 32767.0));
  }
  return pcm;
}

// Writes through a temporary name, so an interrupted build never leaves half a file behind.
void writeWav(const std::filesystem::path& path, int rate, const std::vector<short>& pcm) {
  const std::filesystem::path partial = path.string() + ".part";
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(partial.string().c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    throw std::runtime_error("cannot write " + partial.string() + ": " + sf_strerror(nullptr));
  }
  const auto wanted = static_cast<sf_count_t>(pcm.size());
  const sf_count_t written = sf_write_short(file, pcm.data(), wanted);
  const int closed = sf_close(file);
  if (written != wanted || closed != 0) {
    throw std::runtime_error("cannot write " + partial.string());
  }
  std::filesystem::rename(partial, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rotorduel-sounds OUTDIR\n");
    return 2;
  }
  try {
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    rd::sounds::Studio studio;
    for (const Recording& r : rd::sounds::recordings()) {
      const Samples samples = r.make(studio, r.rate);
      if (samples.empty()) throw std::runtime_error(std::string(r.file) + " came out empty");
      writeWav(dir / r.file, r.rate, toPcm16(samples));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rotorduel-sounds: %s\n", e.what());
    return 1;
  }
  return 0;
}

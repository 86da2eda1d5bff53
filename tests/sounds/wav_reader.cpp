#include "wav_reader.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>

namespace rd::sounds::test {

Wav readWav(const std::filesystem::path& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.string().c_str(), SFM_READ, &info);
  if (f == nullptr) throw std::runtime_error("cannot open " + path.string());
  Wav w;
  w.rate = info.samplerate;
  w.channels = info.channels;
  w.format = info.format;
  w.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
  sf_read_short(f, w.samples.data(), static_cast<sf_count_t>(w.samples.size()));
  sf_close(f);
  return w;
}

std::filesystem::path soundsDir() { return ROTORDUEL_SOUNDS_DIR; }

int peakOf(const std::vector<short>& s) {
  int p = 0;
  for (short x : s) p = std::max(p, std::abs(static_cast<int>(x)));
  return p;
}

double rmsDb(const std::vector<short>& s) {
  double sum = 0;
  for (short x : s) sum += static_cast<double>(x) * x;
  return 10 * std::log10(sum / static_cast<double>(s.size()) / (32768.0 * 32768.0) + 1e-20);
}

namespace {

using Complex = std::complex<double>;

void fft(std::vector<Complex>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const Complex w = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
    for (std::size_t i = 0; i < n; i += len) {
      Complex u = 1;
      for (std::size_t k = 0; k < len / 2; ++k, u *= w) {
        const Complex x = a[i + k], y = a[i + k + len / 2] * u;
        a[i + k] = x + y;
        a[i + k + len / 2] = x - y;
      }
    }
  }
}

}  // namespace

std::vector<double> bandProfile(const Wav& w) {
  constexpr std::size_t kFrame = 2048;
  constexpr int kBands = 24;
  std::vector<double> power(kFrame / 2, 0.0);
  for (std::size_t start = 0; start < w.samples.size(); start += kFrame) {
    std::vector<Complex> a(kFrame, 0.0);
    for (std::size_t i = 0; i < kFrame && start + i < w.samples.size(); ++i) {
      const double hann =
          0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / kFrame);
      a[i] = hann * w.samples[start + i] / 32768.0;
    }
    fft(a);
    for (std::size_t k = 0; k < power.size(); ++k) power[k] += std::norm(a[k]);
  }
  std::vector<double> bands(kBands, 1e-12);
  for (std::size_t k = 1; k < power.size(); ++k) {
    const double hz = static_cast<double>(k) * w.rate / kFrame;
    const double pos = std::log(hz / 50.0) / std::log(10000.0 / 50.0) * kBands;
    if (pos >= 0 && pos < kBands) bands[static_cast<std::size_t>(pos)] += power[k];
  }
  const double top = *std::max_element(bands.begin(), bands.end());
  for (double& b : bands) b = 10 * std::log10(b / top);
  return bands;
}

std::vector<double> loudnessContour(const Wav& w) {
  constexpr std::size_t kParts = 16;
  std::vector<double> db;
  const std::size_t part = w.samples.size() / kParts;
  for (std::size_t k = 0; k < kParts; ++k) {
    const auto from = w.samples.begin() + static_cast<std::ptrdiff_t>(k * part);
    db.push_back(std::max(-60.0, rmsDb({from, from + static_cast<std::ptrdiff_t>(part)})));
  }
  return db;
}

double pulseRate(const Wav& w, double lo, double hi) {
  // The loudness contour at 1000 points a second: mean of |x| over each millisecond.
  const auto step = static_cast<std::size_t>(w.rate / 1000);
  const double pointsPerSecond = static_cast<double>(w.rate) / static_cast<double>(step);
  std::vector<double> contour;
  for (std::size_t i = 0; i + step <= w.samples.size(); i += step) {
    double sum = 0;
    for (std::size_t j = 0; j < step; ++j) sum += std::abs(w.samples[i + j]);
    contour.push_back(sum / static_cast<double>(step));
  }
  double mean = 0;
  for (double c : contour) mean += c;
  mean /= static_cast<double>(contour.size());
  for (double& c : contour) c -= mean;
  // The loops are periodic, so the contour is correlated with itself around the loop. A
  // two-bladed rotor repeats exactly only every second beat, so the answer is the fastest pulse
  // that correlates nearly as well as the best one.
  const std::size_t n = contour.size();
  const auto shortest = static_cast<std::size_t>(pointsPerSecond / hi);
  const auto longest = static_cast<std::size_t>(pointsPerSecond / lo);
  std::vector<double> r(longest + 2, 0.0);
  for (std::size_t lag = shortest - 1; lag <= longest + 1; ++lag) {
    for (std::size_t i = 0; i < n; ++i) r[lag] += contour[i] * contour[(i + lag) % n];
  }
  const double best = *std::max_element(r.begin() + static_cast<std::ptrdiff_t>(shortest),
                                        r.begin() + static_cast<std::ptrdiff_t>(longest) + 1);
  double bestRate = 0;
  for (std::size_t lag = shortest; lag <= longest; ++lag) {
    if (r[lag] >= 0.6 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
      bestRate = pointsPerSecond / static_cast<double>(lag);
      break;
    }
  }
  return bestRate;
}

}  // namespace rd::sounds::test

#include "dsp.h"

#include <algorithm>
#include <cmath>

namespace rd::sounds {

std::uint64_t Rng::next() {
  state_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Rng::uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

double Rng::bipolar() { return 2.0 * uniform() - 1.0; }

double dbToGain(double db) { return std::pow(10.0, db / 20.0); }

std::size_t frames(int rate, double seconds) {
  return static_cast<std::size_t>(std::lround(seconds * rate));
}

Samples silence(int rate, double seconds) { return Samples(frames(rate, seconds), 0.0f); }

Samples whiteNoise(std::size_t n, Rng& rng) {
  Samples s(n);
  for (float& x : s) x = static_cast<float>(rng.bipolar());
  return s;
}

void mixAt(Samples& dst, const Samples& src, std::size_t at, double gain) {
  if (dst.size() < at + src.size()) dst.resize(at + src.size(), 0.0f);
  for (std::size_t i = 0; i < src.size(); ++i) dst[at + i] += static_cast<float>(gain * src[i]);
}

void mixAround(Samples& loop, const Samples& src, std::size_t at, double gain) {
  if (loop.empty()) return;
  for (std::size_t i = 0; i < src.size(); ++i) {
    loop[(at + i) % loop.size()] += static_cast<float>(gain * src[i]);
  }
}

Samples loopThrough(const Samples& periodic, const std::function<float(float, std::size_t)>& chain,
                    int warmPasses) {
  const std::size_t n = periodic.size();
  for (int pass = 0; pass < warmPasses; ++pass) {
    for (std::size_t i = 0; i < n; ++i) chain(periodic[i], i);
  }
  Samples out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = chain(periodic[i], i);
  return out;
}

void crossfadeIntoLoop(Samples& s, std::size_t fade) {
  if (fade == 0 || s.size() < 2 * fade) return;
  const std::size_t n = s.size() - fade;
  for (std::size_t i = 0; i < fade; ++i) {
    // Equal-power blend: the start fades in while the material that followed the loop's end
    // fades out, so the last sample of the loop leads into the first as it led into s[n].
    const double w = (static_cast<double>(i) + 0.5) / static_cast<double>(fade);
    const double in = std::sin(0.5 * kPi * w);
    const double out = std::cos(0.5 * kPi * w);
    s[i] = static_cast<float>(in * s[i] + out * s[n + i]);
  }
  s.resize(n);
}

void fadeIn(Samples& s, std::size_t n) {
  n = std::min(n, s.size());
  for (std::size_t i = 0; i < n; ++i) {
    s[i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / n));
  }
}

void fadeOut(Samples& s, std::size_t n) {
  n = std::min(n, s.size());
  const std::size_t start = s.size() - n;
  for (std::size_t i = 0; i < n; ++i) {
    s[start + i] *= static_cast<float>(0.5 + 0.5 * std::cos(kPi * static_cast<double>(i + 1) / n));
  }
}

Samples resampled(const Samples& s, double speed) {
  if (s.empty()) return {};
  const auto n = static_cast<std::size_t>(static_cast<double>(s.size()) / speed);
  Samples out(n);
  auto at = [&s](std::ptrdiff_t i) {
    i = std::clamp<std::ptrdiff_t>(i, 0, static_cast<std::ptrdiff_t>(s.size()) - 1);
    return static_cast<double>(s[static_cast<std::size_t>(i)]);
  };
  for (std::size_t i = 0; i < n; ++i) {
    const double pos = static_cast<double>(i) * speed;
    const auto k = static_cast<std::ptrdiff_t>(pos);
    const double t = pos - static_cast<double>(k);
    const double p0 = at(k - 1), p1 = at(k), p2 = at(k + 1), p3 = at(k + 2);
    // Catmull-Rom spline through the four nearest samples.
    const double y =
        p1 +
        0.5 * t * (p2 - p0 + t * (2 * p0 - 5 * p1 + 4 * p2 - p3 + t * (3 * (p1 - p2) + p3 - p0)));
    out[i] = static_cast<float>(y);
  }
  return out;
}

void saturate(Samples& s, double drive) {
  const double norm = std::tanh(drive);
  for (float& x : s) x = static_cast<float>(std::tanh(drive * x) / norm);
}

float peakOf(const Samples& s) {
  float p = 0;
  for (float x : s) p = std::max(p, std::fabs(x));
  return p;
}

double rmsOf(const Samples& s) {
  if (s.empty()) return 0;
  double sum = 0;
  for (float x : s) sum += static_cast<double>(x) * x;
  return std::sqrt(sum / static_cast<double>(s.size()));
}

namespace {

void scaleBy(Samples& s, double g) {
  for (float& x : s) x = static_cast<float>(x * g);
}

}  // namespace

void scaleToPeak(Samples& s, double peakDb) {
  const float p = peakOf(s);
  if (p > 0) scaleBy(s, dbToGain(peakDb) / p);
}

void scaleToRms(Samples& s, double rmsDb, double maxPeakDb) {
  const double r = rmsOf(s);
  const float p = peakOf(s);
  if (r <= 0 || p <= 0) return;
  scaleBy(s, std::min(dbToGain(rmsDb) / r, dbToGain(maxPeakDb) / p));
}

void louden(Samples& s, int rate, double gainDb, double ceilingDb, bool looping) {
  scaleBy(s, dbToGain(gainDb));
  dsp::limitPeaks(s, rate, dbToGain(ceilingDb), 0.06, looping);
}

Samples ring(int rate, double hz, double decaySeconds, double seconds, double phase) {
  Samples s(frames(rate, seconds));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    s[i] = static_cast<float>(std::sin(kTwoPi * hz * t + phase) * std::exp(-t / decaySeconds));
  }
  return s;
}

Samples strike(int rate, const std::vector<Mode>& modes) {
  double longest = 0;
  for (const Mode& m : modes) longest = std::max(longest, m.decaySeconds);
  // Seven time constants: the last mode has fallen by 60 dB.
  const double seconds = 7 * longest;
  Samples s(frames(rate, seconds), 0.0f);
  for (const Mode& m : modes) {
    if (m.hz >= rate * 0.45) continue;
    mixAt(s, ring(rate, m.hz, m.decaySeconds, seconds), 0, m.gain);
  }
  // A struck body starts from rest: a 1 ms rise keeps the strike from being a bare step.
  fadeIn(s, frames(rate, 0.001));
  fadeOut(s, s.size() / 10);
  return s;
}

double hit(double t, double attack, double decay) {
  if (t < 0) return 0;
  if (t < attack) return 0.5 - 0.5 * std::cos(kPi * t / attack);
  return std::exp(-(t - attack) / decay);
}

void shape(Samples& s, int rate, const std::function<double(double)>& env) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] = static_cast<float>(s[i] * env(static_cast<double>(i) / rate));
  }
}

Samples tone(int rate, double seconds, const std::function<double(double)>& hz,
             const std::vector<double>& harmonics) {
  Samples s(frames(rate, seconds));
  double phase = 0;  // in cycles
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double f = hz(static_cast<double>(i) / rate);
    double y = 0;
    for (std::size_t k = 0; k < harmonics.size(); ++k) {
      const double h = static_cast<double>(k + 1);
      if (h * f >= 0.45 * rate) break;
      y += harmonics[k] * std::sin(kTwoPi * h * phase);
    }
    s[i] = static_cast<float>(y);
    phase += f / rate;
    phase -= std::floor(phase);
  }
  return s;
}

Samples impulse(int rate, Rng& rng, double seconds) {
  // Rises from and falls back to nothing, so a click never starts with a bare step.
  Samples s = whiteNoise(std::max<std::size_t>(frames(rate, seconds), 1) + 2, rng);
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n; ++i) {
    s[i] *= static_cast<float>(std::sin(kPi * static_cast<double>(i) / static_cast<double>(n - 1)));
  }
  return s;
}

}  // namespace rd::sounds

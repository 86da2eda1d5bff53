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

Biquad Biquad::lowPass(double rate, double hz, double q) {
  Biquad f;
  f.setLowPass(rate, hz, q);
  return f;
}

Biquad Biquad::highPass(double rate, double hz, double q) {
  Biquad f;
  f.setHighPass(rate, hz, q);
  return f;
}

Biquad Biquad::bandPass(double rate, double hz, double q) {
  Biquad f;
  f.setBandPass(rate, hz, q);
  return f;
}

Biquad Biquad::peaking(double rate, double hz, double q, double gainDb) {
  Biquad f;
  f.setPeaking(rate, hz, q, gainDb);
  return f;
}

namespace {

struct Angle {
  double cosw;
  double alpha;
};

Angle angleOf(double rate, double hz, double q) {
  const double w = kTwoPi * std::clamp(hz, 1.0, rate * 0.49) / rate;
  return {std::cos(w), std::sin(w) / (2.0 * q)};
}

}  // namespace

void Biquad::setLowPass(double rate, double hz, double q) {
  const auto [c, a] = angleOf(rate, hz, q);
  set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + a, -2 * c, 1 - a);
}

void Biquad::setHighPass(double rate, double hz, double q) {
  const auto [c, a] = angleOf(rate, hz, q);
  set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + a, -2 * c, 1 - a);
}

void Biquad::setBandPass(double rate, double hz, double q) {
  const auto [c, a] = angleOf(rate, hz, q);
  set(a, 0, -a, 1 + a, -2 * c, 1 - a);
}

void Biquad::setPeaking(double rate, double hz, double q, double gainDb) {
  const auto [c, a] = angleOf(rate, hz, q);
  const double g = std::pow(10.0, gainDb / 40.0);
  set(1 + a * g, -2 * c, 1 - a * g, 1 + a / g, -2 * c, 1 - a / g);
}

void Biquad::set(double b0, double b1, double b2, double a0, double a1, double a2) {
  b0_ = b0 / a0;
  b1_ = b1 / a0;
  b2_ = b2 / a0;
  a1_ = a1 / a0;
  a2_ = a2 / a0;
}

float Biquad::operator()(float x) {
  // Transposed direct form II: well behaved while the coefficients are being swept.
  const double y = b0_ * x + z1_;
  z1_ = b1_ * x - a1_ * y + z2_;
  z2_ = b2_ * x - a2_ * y;
  return static_cast<float>(y);
}

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

void trimSilence(Samples& s, float threshold) {
  auto loud = [threshold](float x) { return std::fabs(x) > threshold; };
  const auto first = std::find_if(s.begin(), s.end(), loud);
  if (first == s.end()) {
    s.clear();
    return;
  }
  const auto last = std::find_if(s.rbegin(), s.rend(), loud).base();
  s = Samples(first, last);
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
  const std::size_t n = s.size();
  if (n == 0) return;
  scaleBy(s, dbToGain(gainDb));
  const double ceiling = dbToGain(ceilingDb);
  const auto reach = static_cast<std::ptrdiff_t>(frames(rate, 0.002));
  const auto size = static_cast<std::ptrdiff_t>(n);
  // The index `i` of the sound, round the seam for a loop, clamped to the ends otherwise.
  auto at = [&](std::ptrdiff_t i) {
    if (looping) return static_cast<std::size_t>(((i % size) + size) % size);
    return static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, size - 1));
  };
  // The gain each sample needs, then the least of those within `reach` either side.
  std::vector<double> need(n), held(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double a = std::fabs(s[i]);
    need[i] = a > ceiling ? ceiling / a : 1.0;
  }
  for (std::ptrdiff_t i = 0; i < size; ++i) {
    double least = 1.0;
    for (std::ptrdiff_t j = i - reach; j <= i + reach; ++j) least = std::min(least, need[at(j)]);
    held[static_cast<std::size_t>(i)] = least;
  }
  // Recovery: the gain rises back towards 1 only slowly, but never above what is held. A loop
  // runs round twice so the recovery at its start follows on from its end.
  const double recover = 1.0 - std::exp(-1.0 / (0.06 * rate));
  double g = 1.0;
  for (int pass = looping ? 0 : 1; pass < 2; ++pass)
    for (std::size_t i = 0; i < n; ++i) {
      g = std::min(held[i], g + (1.0 - g) * recover);
      if (pass == 1) need[i] = g;
    }
  // Smoothed over `reach` samples: every gain averaged round a peak is at most what that peak
  // needs, since each was held at or under it.
  const double width = static_cast<double>(2 * reach + 1);
  double sum = 0;
  for (std::ptrdiff_t j = -reach; j <= reach; ++j) sum += need[at(j)];
  for (std::ptrdiff_t i = 0; i < size; ++i) {
    s[static_cast<std::size_t>(i)] =
        static_cast<float>(s[static_cast<std::size_t>(i)] * sum / width);
    sum += need[at(i + reach + 1)] - need[at(i - reach)];
  }
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

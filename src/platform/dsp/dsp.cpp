#include "platform/dsp/dsp.h"

#include <cstddef>
#include <deque>

namespace rd::dsp {

namespace {

constexpr double kTwoPi = 2.0 * 3.14159265358979323846;

struct Angle {
  double cosw;
  double alpha;
};

Angle angleOf(double rate, double hz, double q) {
  const double w = kTwoPi * std::clamp(hz, 1.0, rate * 0.49) / rate;
  return {std::cos(w), std::sin(w) / (2.0 * q)};
}

}  // namespace

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

Biquad Biquad::highShelf(double rate, double hz, double gainDb) {
  const auto [c, a] = angleOf(rate, hz, 1.0 / std::sqrt(2.0));
  const double g = std::pow(10.0, gainDb / 40.0), sa = 2 * std::sqrt(g) * a;
  Biquad f;
  f.set(g * ((g + 1) + (g - 1) * c + sa), -2 * g * ((g - 1) + (g + 1) * c),
        g * ((g + 1) + (g - 1) * c - sa), (g + 1) - (g - 1) * c + sa, 2 * ((g - 1) - (g + 1) * c),
        (g + 1) - (g - 1) * c - sa);
  return f;
}

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

void limitPeaks(std::vector<float>& s, int rate, double ceiling, double recoverSeconds,
                bool looping) {
  const std::size_t n = s.size();
  if (n == 0) return;
  const auto reach = static_cast<std::ptrdiff_t>(std::lround(0.002 * rate));
  const auto size = static_cast<std::ptrdiff_t>(n);
  // The index `i` of the sound, round the seam for a loop, clamped to the ends otherwise.
  auto at = [&](std::ptrdiff_t i) {
    if (looping) return static_cast<std::size_t>(((i % size) + size) % size);
    return static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, size - 1));
  };
  // The gain each sample needs, then the least of those within `reach` either side: a queue of
  // the places still in the running, in rising order of need, so each goes in and out once.
  std::vector<double> need(n), held(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double a = std::fabs(s[i]);
    need[i] = a > ceiling ? ceiling / a : 1.0;
  }
  std::deque<std::ptrdiff_t> least;
  std::ptrdiff_t next = -reach;
  for (std::ptrdiff_t i = 0; i < size; ++i) {
    for (; next <= i + reach; ++next) {
      while (!least.empty() && need[at(least.back())] >= need[at(next)]) least.pop_back();
      least.push_back(next);
    }
    while (least.front() < i - reach) least.pop_front();
    held[static_cast<std::size_t>(i)] = need[at(least.front())];
  }
  // Recovery: the gain rises back towards 1 only slowly, but never above what is held. A loop
  // runs round twice so the recovery at its start follows on from its end.
  const double recover = 1.0 - std::exp(-1.0 / (recoverSeconds * rate));
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

}  // namespace rd::dsp

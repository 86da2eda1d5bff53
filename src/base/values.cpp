#include "base/values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "base/game_error.h"

namespace rd {

double floorOf(double v) { return std::floor(v); }

Long toLong(double v) {
  if (std::isnan(v)) return 0;
  double r = std::round(v);  // halves away from zero
  if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
  if (r >= static_cast<double>(std::numeric_limits<Long>::max()))
    return std::numeric_limits<Long>::max();
  if (r <= static_cast<double>(std::numeric_limits<Long>::min()))
    return std::numeric_limits<Long>::min();
  return static_cast<Long>(r);
}

void longOverflow() {
  throw GameError("Overflow", "a whole number went beyond the range of a Long");
}

std::string plainText(long long v) { return std::to_string(v); }

namespace {

template <typename T>
std::string fixedShortest(T v) {
  if (v == 0) return "0";  // also -0
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  return std::string(buf, res.ptr);
}

int significantDigits(const std::string& text) {
  int count = 0;
  bool leading = true;
  for (char c : text) {
    if (c < '0' || c > '9') continue;
    if (leading && c == '0') continue;
    leading = false;
    ++count;
  }
  // Trailing zeros of a whole number are not significant.
  if (text.find('.') == std::string::npos) {
    for (auto it = text.rbegin(); it != text.rend() && *it == '0'; ++it) --count;
  }
  return count;
}

}  // namespace

std::string exactText(Single v) { return fixedShortest(v); }

std::string plainText(Single v) {
  std::string text = fixedShortest(v);
  if (!std::isfinite(v) || significantDigits(text) <= 7) return text;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(v));
  return fixedShortest(std::strtod(buf, nullptr));
}

std::string flooredText(Single v) {
  if (!std::isfinite(v)) return fixedShortest(v);
  return fixedShortest(std::floor(static_cast<double>(v)));
}

Single RandomSource::operator()() {
  if (!forced_.empty()) {
    Single v = forced_.front();
    forced_.pop_front();
    return v;
  }
  // xorshift64*: the top 24 bits make a Single in [0, 1) with every value equally likely.
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  uint64_t bits = (state_ * 0x2545F4914F6CDD1Dull) >> 40;
  return static_cast<Single>(bits) / 16777216.0f;
}

void RandomSource::randomize(uint32_t seed) {
  // splitmix the seed so that neighbouring clock values give unrelated sequences; never zero.
  uint64_t z = seed + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  state_ = (z ^ (z >> 31)) | 1;
}

}  // namespace rd

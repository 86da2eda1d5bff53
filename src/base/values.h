// The value conventions of the game record: floorOf rounds down, a Single stored into a Long rounds
// half to even, and numbers are spoken in two text forms.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace rd {

using Long = int32_t;
using Single = float;

// The whole number at or below v: floorOf(2.7) = 2, floorOf(-0.5) = -1.
double floorOf(double v);

// A value stored into a Long: the nearest whole number, a half going to the even neighbour
// (2.5 gives 2, 3.5 gives 4). Values beyond the Long range saturate; NaN gives 0.
Long toLong(double v);

// Long arithmetic: a sum, difference or product beyond the Long range fails the handler that
// computes it with the failure "Overflow" (a GameError), never a wrapped number.
// They run on every tick, so they are inline; the failure itself is out of line.
[[noreturn]] void longOverflow();
inline Long longSum(Long a, Long b) {
  Long r;
  if (__builtin_add_overflow(a, b, &r)) longOverflow();
  return r;
}
inline Long longDifference(Long a, Long b) {
  Long r;
  if (__builtin_sub_overflow(a, b, &r)) longOverflow();
  return r;
}
inline Long longProduct(Long a, Long b) {
  Long r;
  if (__builtin_mul_overflow(a, b, &r)) longOverflow();
  return r;
}

// Plain decimal text of a whole number: "-3", "0", "42".
std::string plainText(long long v);
// Plain decimal text of a Single as the game speaks it: the shortest text that reads back to the
// same value, cut to at most seven significant digits, no leading blank, never an exponent.
std::string plainText(Single v);
// The Single first cut down to the whole number at or below it, then written plain: 2.7 gives
// "2", -0.5 gives "-1".
std::string flooredText(Single v);
// The shortest decimal text that reads back to the same float, never an exponent ("0.1", "5000").
std::string exactText(Single v);

// RandomSource: a uniform random Single in [0, 1). Reseeded from the clock at the new game and when
// the enemy is shot down. Values forced by a script come first, in order, also across a reseed.
class RandomSource {
 public:
  Single operator()();
  void randomize(uint32_t seed);
  void force(Single value) { forced_.push_back(value); }

 private:
  uint64_t state_ = 0x2545F4914F6CDD1Dull;
  std::deque<Single> forced_;
};

}  // namespace rd

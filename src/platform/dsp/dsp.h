// The sound processing shared by the game's built-in voice and the recordings' generator: a
// second-order filter, trimming the silence at a sound's ends, and a look-ahead peak limiter.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace rd::dsp {

// A second-order filter after the well-known audio cookbook formulas. The set* calls change the
// coefficients and keep the state, so a filter can be swept while it runs.
class Biquad {
 public:
  static Biquad lowPass(double rate, double hz, double q = 0.7071);
  static Biquad highPass(double rate, double hz, double q = 0.7071);
  static Biquad bandPass(double rate, double hz, double q);  // 0 dB at the centre
  static Biquad peaking(double rate, double hz, double q, double gainDb);
  // Lifts (or lowers) everything above `hz` by gainDb, with the shelf's steepest even slope.
  static Biquad highShelf(double rate, double hz, double gainDb);

  void setLowPass(double rate, double hz, double q = 0.7071);
  void setHighPass(double rate, double hz, double q = 0.7071);
  void setBandPass(double rate, double hz, double q);
  void setPeaking(double rate, double hz, double q, double gainDb);

  float operator()(float x);

 private:
  void set(double b0, double b1, double b2, double a0, double a1, double a2);
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double z1_ = 0, z2_ = 0;
};

// Drops the samples at either end whose level is `threshold` or less; a sound with none louder
// is left empty.
template <typename T>
void trimSilence(std::vector<T>& s, T threshold) {
  auto loud = [threshold](T x) { return std::abs(x) > threshold; };
  const auto first = std::find_if(s.begin(), s.end(), loud);
  if (first == s.end()) {
    s.clear();
    return;
  }
  const auto last = std::find_if(s.rbegin(), s.rend(), loud).base();
  s.erase(last, s.end());
  s.erase(s.begin(), first);
}

// Holds the peaks of `s` at `ceiling` with a look-ahead limiter: the gain dips smoothly over 2 ms
// before each peak and recovers over `recoverSeconds`. A looping sound is limited round its
// seam, so it still loops without one.
void limitPeaks(std::vector<float>& s, int rate, double ceiling, double recoverSeconds,
                bool looping);

}  // namespace rd::dsp

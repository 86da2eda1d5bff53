// The small toolbox the recordings are built from: a seeded noise source, filters, envelopes,
// mixing, seamless loops and levels. Everything works on mono float samples in -1..1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/dsp/dsp.h"

namespace rd::sounds {

using Samples = std::vector<float>;

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

// SplitMix64: a fully specified generator, so every build draws the same noise whatever the
// standard library does with its own engines and distributions.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next();
  double uniform();  // [0, 1)
  double bipolar();  // [-1, 1)
  double between(double lo, double hi) { return lo + (hi - lo) * uniform(); }

 private:
  std::uint64_t state_;
};

using dsp::Biquad;
using dsp::trimSilence;

double dbToGain(double db);
std::size_t frames(int rate, double seconds);
Samples silence(int rate, double seconds);
Samples whiteNoise(std::size_t n, Rng& rng);

// Runs every sample through a filter, in place.
template <typename Filter>
Samples& filter(Samples& s, Filter&& f) {
  for (float& x : s) x = f(x);
  return s;
}

// Adds src into dst starting at a sample index, growing dst when src runs past its end.
void mixAt(Samples& dst, const Samples& src, std::size_t at, double gain = 1.0);
// Adds src into a loop, wrapping around its end, so an event near the end rings on into the
// start and the loop stays seamless.
void mixAround(Samples& loop, const Samples& src, std::size_t at, double gain = 1.0);

// Runs a stateful chain over a loop made from periodic input: the chain is warmed up on earlier
// passes of the same loop, so its state at the end of the last pass flows straight into the first
// sample and the result loops without a seam. The chain gets the input and the sample's index.
Samples loopThrough(const Samples& periodic, const std::function<float(float, std::size_t)>& chain,
                    int warmPasses = 2);
// Turns material that runs on past its loop into a loop: the last `fade` samples are blended into
// the start and cut off.
void crossfadeIntoLoop(Samples& s, std::size_t fade);

void fadeIn(Samples& s, std::size_t n);
void fadeOut(Samples& s, std::size_t n);

// Plays material faster (speed > 1: higher and shorter) by cubic interpolation.
Samples resampled(const Samples& s, double speed);
// A gentle saturation that rounds off peaks the way an overdriven small speaker does.
void saturate(Samples& s, double drive);

float peakOf(const Samples& s);
double rmsOf(const Samples& s);
void scaleToPeak(Samples& s, double peakDb);
// Brings the loudness to an RMS level, but never past a peak ceiling.
void scaleToRms(Samples& s, double rmsDb, double maxPeakDb);
// Turns the sound up by gainDb and holds its peaks at ceilingDb with a look-ahead limiter: the
// gain dips smoothly over 2 ms before each peak and recovers over about 60 ms. A looping sound is
// limited round its seam, so it still loops without one.
void louden(Samples& s, int rate, double gainDb, double ceilingDb, bool looping);

// A decaying sine, the sound of one mode of something struck (a blade, a panel, a shard).
Samples ring(int rate, double hz, double decaySeconds, double seconds, double phase = 0.0);
// The sum of a few such modes, struck together, lasting until the longest has died away.
struct Mode {
  double hz;
  double gain;
  double decaySeconds;
};
Samples strike(int rate, const std::vector<Mode>& modes);

// An envelope that rises in `attack` seconds and then dies away with time constant `decay`.
double hit(double t, double attack, double decay);
// Multiplies every sample by env(t), t in seconds from the start.
void shape(Samples& s, int rate, const std::function<double(double)>& env);
// A pitched tone whose frequency may glide: harmonic k (from 1) has amplitude harmonics[k-1];
// harmonics at or above 45% of the rate are left out so nothing folds back.
Samples tone(int rate, double seconds, const std::function<double(double)>& hz,
             const std::vector<double>& harmonics);

// A click: a few samples of noise, smoothed, for exciting resonances.
Samples impulse(int rate, Rng& rng, double seconds);

}  // namespace rd::sounds

// Work timed at the game's own pace: one run every 15.625 ms (the 64 Hz tick), so that each run
// starts with the caches as cold as the game leaves them between ticks. Reports the median and
// the 99th percentile of the runs in microseconds: of the time on the clock (p50us, p99us) and of
// the processor time of the thread (cpuP50us, cpuP99us), which on a loaded machine leaves out the
// time other programs had the processor.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/limits.h"

namespace rd::bench {

inline constexpr std::chrono::microseconds kTickPeriod{limits::kTimerPeriodMicros};

class Paced {
 public:
  explicit Paced(benchmark::State& state) : state_(state) {
    samples_.reserve(static_cast<size_t>(state.max_iterations));
    cpuSamples_.reserve(static_cast<size_t>(state.max_iterations));
  }
  // Waits for the next tick (off the clock), then returns the time the run starts.
  std::chrono::steady_clock::time_point next() {
    return next([] {});
  }
  // The same, running `before` after the wait and before the clock starts.
  template <class Before>
  std::chrono::steady_clock::time_point next(Before before) {
    next_ += kTickPeriod;
    std::this_thread::sleep_until(next_);
    before();
    cpuBegin_ = threadCpuMicros();
    return std::chrono::steady_clock::now();
  }
  void done(std::chrono::steady_clock::time_point begin) {
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    state_.SetIterationTime(seconds);
    samples_.push_back(seconds * 1e6);
    cpuSamples_.push_back(threadCpuMicros() - cpuBegin_);
  }
  ~Paced() {
    if (samples_.empty()) return;
    auto at = [](std::vector<double>& v, double q) {
      std::sort(v.begin(), v.end());
      return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1))];
    };
    state_.counters["p50us"] = at(samples_, 0.5);
    state_.counters["p99us"] = at(samples_, 0.99);
    state_.counters["cpuP50us"] = at(cpuSamples_, 0.5);
    state_.counters["cpuP99us"] = at(cpuSamples_, 0.99);
  }

 private:
  static double threadCpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
  }

  benchmark::State& state_;
  std::vector<double> samples_, cpuSamples_;
  double cpuBegin_ = 0;
  std::chrono::steady_clock::time_point next_ = std::chrono::steady_clock::now();
};

// Runs at the tick's pace: 640 ticks, ten seconds of play. ROTORDUEL_BENCH_TICKS asks for fewer,
// for a run that only shows each benchmark still works.
inline int pacedTicks() {
  static const int ticks = [] {
    const char* asked = std::getenv("ROTORDUEL_BENCH_TICKS");
    const int n = asked ? std::atoi(asked) : 0;
    return n > 0 && n < 640 ? n : 640;
  }();
  return ticks;
}

}  // namespace rd::bench

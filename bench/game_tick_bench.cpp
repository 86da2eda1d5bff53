// The game's own share of a tick: the whole simulation timer on the recording platform, where a
// service call only updates the recorded state. Set beside BM_TickSoundCalls, it shows how much
// of a tick is the game's logic and how much the sound device.
#include <benchmark/benchmark.h>

#include <memory>
#include <ostream>

#include "core/form1.h"
#include "platform/fake/recording_platform.h"
#include "platform/service_error.h"
#include "room.h"
#include "runner.h"

namespace {

using rd::replay::Command;
using rd::replay::Replay;

// A game with the helicopter airborne at height 3, the enemy and the dog on the move.
std::unique_ptr<Replay> flyingGame(std::ostream& out) {
  auto replay = std::make_unique<Replay>(rd::replay::Options{rd::bench::soundsDir(), ""}, out);
  replay->trace().keepLog(false);
  replay->start();
  for (const Command& c : rd::replay::parseScript("repeat 80 key PageDown; tick\ntick 100\n"))
    replay->execute(c);
  return replay;
}

void BM_GameTick(benchmark::State& state) {
  std::ostream discard(nullptr);
  auto replay = flyingGame(discard);
  const Command tick{0, "tick", {}, 0, {}};
  long long calls = 0, restarts = 0;
  long long callsBefore = replay->trace().callCount();
  for (auto _ : state) {
    try {
      replay->execute(tick);
    } catch (const rd::ProgramEnd&) {
      // The dog or the enemy ended the game: a fresh one, off the clock.
      state.PauseTiming();
      calls += replay->trace().callCount() - callsBefore;
      replay.reset();
      replay = flyingGame(discard);
      callsBefore = replay->trace().callCount();
      ++restarts;
      state.ResumeTiming();
    }
  }
  calls += replay->trace().callCount() - callsBefore;
  // Service calls a tick makes (sound, window, timers), as the recording platform counts them.
  state.counters["serviceCalls"] =
      benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kAvgIterations);
  state.counters["restarts"] = static_cast<double>(restarts);
}
BENCHMARK(BM_GameTick)->Unit(benchmark::kMicrosecond);

}  // namespace

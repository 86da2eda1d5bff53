// The game's own share of a tick: the whole simulation timer on the recording platform, where a
// service call only updates the recorded state. Set beside BM_TickSoundCalls, it shows how much
// of a tick is the game's logic and how much the sound device. BM_ColdGameTick runs the whole
// tick on the real sound device at the game's pace and counts the heap allocations it makes.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <ostream>

#include "base/game_error.h"
#include "game/game.h"
#include "paced.h"
#include "platform/fake/recording_platform.h"
#include "platform/limits.h"
#include "platform/openal/openal_sound.h"
#include "room.h"
#include "runner.h"

// Every heap allocation of the program is counted, so that a benchmark can tell how many its
// work made.
namespace {
std::atomic<long long> g_allocations{0};
}  // namespace

// GCC cannot see that these replace the global pair, and warns of malloc's memory given to free.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace rd::bench {
rd::openal::PlaybackSound& playback();
}  // namespace rd::bench

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
  const Command tick = rd::replay::parseLine(0, "tick");
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

// The whole game on the real sound device, with the recording platform's window, input and
// speech (which make no system calls): the same flight as BM_GameTick.
struct RealGame {
  rd::fake::Trace trace;
  rd::fake::FakeWindow window{trace, rd::bench::soundsDir()};
  rd::fake::FakeInput input{trace};
  rd::fake::RecordingSpeech speech{trace};
  rd::Game game{rd::Platform{window, rd::bench::playback(), speech, input}};

  RealGame() {
    trace.keepLog(false);
    game.start();
    constexpr int16_t kPageDown = 34;
    for (int i = 0; i < 80; ++i) {
      game.onKeyDown(kPageDown);
      tick();
    }
    for (int i = 0; i < 100; ++i) tick();
  }
  void tick() {
    game.onTimer(rd::TimerId::simulation);
    window.advance(rd::limits::kTimerPeriodMicros);
  }
};

void BM_ColdGameTick(benchmark::State& state) {
  auto game = std::make_unique<RealGame>();
  rd::bench::Paced pace(state);
  long long allocations = 0, restarts = 0;
  for (auto _ : state) {
    auto begin = pace.next();
    long long before = g_allocations.load(std::memory_order_relaxed);
    try {
      game->tick();
      allocations += g_allocations.load(std::memory_order_relaxed) - before;
      pace.done(begin);
    } catch (const rd::ProgramEnd&) {
      // The dog or the enemy ended the game: a fresh one, and this tick does not count.
      pace.done(begin);
      game.reset();
      game = std::make_unique<RealGame>();
      ++restarts;
    }
  }
  state.counters["allocationsPerTick"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
  state.counters["restarts"] = static_cast<double>(restarts);
}
BENCHMARK(BM_ColdGameTick)
    ->Iterations(rd::bench::pacedTicks())
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

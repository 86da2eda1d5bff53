// Runs an arbitrary script through the real game code on the recording platform: the game's own
// arithmetic and state must survive any key, mouse item, variable value, injected failure and
// timing a script can give, without a crash or undefined behaviour. Scripts that would run long
// (many ticks, long waits, large repeats) are skipped, so each input runs in milliseconds.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "runner.h"
#include "script.h"

namespace {

constexpr long long kMostSteps = 4000;

// Roughly how many game events a command runs: ticks and timer events, a wait's ticks.
long long steps(const rd::replay::Command& c) {
  using rd::replay::Verb;
  switch (c.kind) {
    case Verb::tick:
    case Verb::target:
      return c.numbers[0];
    case Verb::wait:
      return c.numbers[0] / 15 + 1;
    case Verb::repeat: {
      long long inner = 0;
      for (const auto& b : c.body) inner = std::min(inner + steps(b), kMostSteps + 1);
      return c.times * inner;
    }
    default:
      return 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* sounds = std::getenv("ROTORDUEL_SOUNDS_DIR");
  if (!sounds) std::abort();  // run.sh names the build's recordings
  std::vector<rd::replay::Command> script;
  try {
    script = rd::replay::parseScript(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const rd::replay::ScriptError&) {
    return 0;
  }
  long long total = 0;
  for (const auto& c : script) {
    total += steps(c);
    if (total > kMostSteps) return -1;  // not added to the corpus
  }
  std::ostringstream out, err;
  rd::replay::run(script, {sounds, ""}, out, err);
  return 0;
}

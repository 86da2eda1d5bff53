// Every service call a whole game makes, made to fail in turn: start-up skips its own steps, a
// game that cannot start says so and ends with 1, a key or timer handler says so, reports and ends
// with 1, the mouse handler reports and the game goes on. Never a crash, a hang or a silent
// success.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "runner.h"
#include "support/fake_game.h"

namespace rd::replay {
namespace {

struct Result {
  int status = 0;
  std::vector<std::string> lines, calls;
};

// Plays tests/failure/full_game.replay with the first call named `failing` failing.
Result play(const std::string& sounds, const std::string& failing) {
  std::stringstream text;
  text << std::ifstream(ROTORDUEL_SOURCE_DIR "/tests/failure/full_game.replay").rdbuf();
  std::ostringstream out;
  Replay replay({sounds, ""}, out);
  if (!failing.empty()) replay.trace().failNext(failing);
  Result r;
  try {
    for (const auto& c : parseScript(text.str())) {
      if (!replay.started() && c.verb != "rnd") replay.start();
      replay.execute(c);
    }
  } catch (const ProgramEnd& end) {
    r.status = end.code;
  }
  r.lines = replay.trace().lines();
  r.calls = replay.trace().calls();
  return r;
}

TEST(FailureInjection, EveryCallOfAWholeGameFailsCleanly) {
  testing::SoundsFolder sounds;
  Result clean = play(sounds.path(), "");
  ASSERT_EQ(clean.status, 0) << "the whole game ends by the dog's crunch";
  ASSERT_EQ(clean.lines.back(), "exit: 0");
  for (const auto& l : clean.lines) ASSERT_FALSE(l.starts_with("error:")) << l;
  std::set<std::string> names(clean.calls.begin(), clean.calls.end());
  EXPECT_GT(names.size(), 100u);

  // The calls of start-up before the new game: each one that fails is skipped without a word; the
  // game starts and runs to its end, speechless without a voice.
  const std::string startUpSteps = " window.chdir window.show mouse.create speech.create ";
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Result r = play(sounds.path(), name);
    const auto& l = r.lines;
    auto reported = std::find_if(l.begin(), l.end(), [&](const std::string& line) {
      return line.starts_with("error: ") &&
             line.find(name + " failed: failure injected") != std::string::npos;
    });
    if (startUpSteps.find(" " + name + " ") != std::string::npos) {
      EXPECT_EQ(reported, l.end()) << *reported;
      EXPECT_NE(std::find(l.begin(), l.end(), "sound: sndDogBark loop"), l.end());
      EXPECT_EQ(r.status, name == "speech.create" ? 1 : 0) << l.back();
      continue;
    }
    ASSERT_NE(reported, l.end()) << "the failure was not reported";
    if (reported->starts_with("error: onMouse: ")) {
      // The mouse handler reports and the game goes on to its end.
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(l.back(), "exit: 0");
    } else {
      // The player hears it too, in the voice's last words before the report.
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(l.back(), "exit: 1");
      ASSERT_TRUE(reported != l.begin() && l.end() - reported == 2) << l.back();
      EXPECT_TRUE(reported[-1].ends_with(". The call " + name + " failed.")) << reported[-1];
    }
  }
}

}  // namespace
}  // namespace rd::replay

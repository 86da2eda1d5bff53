// Every service call a whole game makes, made to fail in turn: start-up skips its own steps, a
// game that cannot start says so and ends with 1, a key or timer handler says so, reports and ends
// with 1,
// the mouse handler reports and the game goes on. Never a crash, a hang or a silent success.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "core/game.h"
#include "fake_game.h"
#include "runner.h"

namespace rd::replay {
namespace {

struct Result {
  int status = 0;
  std::vector<std::string> lines, calls;
};

Result play(const std::vector<Command>& script, const std::string& sounds,
            const std::string& failing) {
  std::ostringstream out;
  Replay replay({sounds, ""}, out);
  if (!failing.empty()) replay.trace().failNext(failing);
  Result r;
  try {
    replay.start();
    for (const auto& c : script)
      if (c.verb != "rnd") replay.execute(c);
    replay.game().random.force(0.5f);
  } catch (const ProgramEnd& end) {
    r.status = end.code;
  }
  r.lines = replay.trace().lines();
  r.calls = replay.trace().calls();
  return r;
}

std::vector<Command> fullGame() {
  std::ifstream in(ROTORDUEL_SOURCE_DIR "/tests/failure/full_game.replay");
  std::stringstream text;
  text << in.rdbuf();
  return parseScript(text.str());
}

TEST(FailureInjection, EveryCallOfAWholeGameFailsCleanly) {
  testing::SoundsFolder sounds;
  const auto script = fullGame();
  ASSERT_GT(script.size(), 50u);

  Result clean = play(script, sounds.path(), "");
  ASSERT_EQ(clean.status, 0) << "the whole game ends by the dog's crunch";
  ASSERT_EQ(clean.lines.back(), "exit: 0");
  for (const auto& l : clean.lines) ASSERT_FALSE(l.starts_with("error:")) << l;
  std::set<std::string> names(clean.calls.begin(), clean.calls.end());
  EXPECT_GT(names.size(), 100u);

  // The calls of start-up before the new game: each one that fails is skipped.
  const std::set<std::string> startUpSteps = {"window.setScaleMode",
                                              "window.chdir",
                                              "window.show",
                                              "input.create",
                                              "mouse.create",
                                              "mouse.setDataFormat",
                                              "mouse.setCooperativeLevel",
                                              "mouse.setBufferSize",
                                              "input.createEvent",
                                              "mouse.setEventNotification",
                                              "mouse.acquire",
                                              "speech.create"};

  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Result r = play(script, sounds.path(), name);
    ASSERT_TRUE(r.status == 0 || r.status == 1);
    std::string reported;
    for (const auto& l : r.lines)
      if (l.starts_with("error: ") &&
          l.find(name + " failed: failure injected") != std::string::npos)
        reported = l;
    if (startUpSteps.count(name)) {
      // Skipped without a word; the game starts and runs to its end, speechless without a voice.
      EXPECT_TRUE(reported.empty()) << reported;
      EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), "sound: sndDogBark loop"), r.lines.end());
      EXPECT_EQ(r.status, name == "speech.create" ? 1 : 0) << r.lines.back();
      continue;
    }
    ASSERT_FALSE(reported.empty()) << "the failure was not reported";
    if (reported.starts_with("error: DirectXEvent8_DXCallback: ")) {
      // The mouse handler reports and the game goes on to its end.
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(r.lines.back(), "exit: 0");
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.lines.back(), "exit: 1");
      EXPECT_EQ(r.lines[r.lines.size() - 2], reported);
      // The player hears it too, in the voice's last words before the report.
      EXPECT_TRUE(r.lines[r.lines.size() - 3].ends_with(". The call " + name + " failed."))
          << r.lines[r.lines.size() - 3];
    }
  }
}

}  // namespace
}  // namespace rd::replay

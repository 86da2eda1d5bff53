// The replay's script language and its runner: what a script may say, and what a bad one gets.
#include <gtest/gtest.h>

#include <sstream>

#include "runner.h"
#include "script.h"
#include "support/fake_game.h"

namespace rd::replay {
namespace {

// Runs a script on the recording platform with the test's own recordings; one that does not
// parse ends with status 2, as the program does.
struct Outcome {
  int status;
  std::string out, err;
};
Outcome runScript(const std::string& text) {
  testing::SoundsFolder sounds;
  std::ostringstream out, err;
  try {
    int status = run(parseScript(text), Options{sounds.path(), ""}, out, err);
    return {status, out.str(), err.str()};
  } catch (const ScriptError& e) {
    return {2, "", e.what()};
  }
}

// What no scenario writes: comments after a command, repeats of several commands or of none,
// and a script saved with Windows line ends.
TEST(ReplayScript, TrailingCommentsRepeatsAndWindowsLineEnds) {
  Outcome r = runScript(
      "# a comment\n\n  key PageDown  # once\r\n"
      "repeat 3 key PageDown; keyup PageDown\r\nrepeat 0 key PageDown\n"
      "expect voice sndRotor frequency=5400\n");
  EXPECT_EQ(r.status, 0) << r.err;
}

// A script error names its line, whether the parser finds it or the run, and ends with status 2.
TEST(ReplayScript, ErrorsNameTheLineAndEndWithStatusTwo) {
  const char* cases[][2] = {
      {"tick\r\nfly 3\n", "line 2: unknown command 'fly'"},
      {"key F13\n", "line 1: unknown key 'F13'"},
      {"tick -1\n", "line 1: tick: the count must be a whole number"},
      {"tick 1.5\n", "line 1: tick: the count must be a whole number"},
      {"rnd nan\n", "line 1: rnd: 'nan' is not a number in [0, 1)"},
      {"rnd 0.5 1\n", "line 1: rnd: '1' is not a number in [0, 1)"},
      {"mouse 0 99999999999\n", "line 1: mouse: the data must be a whole number"},
      {"\n\nwait\n", "line 3: wrong number of arguments for 'wait'"},
      {"print timer\n", "line 1: print timer takes one timer name"},
      {"repeat 2 key Up; fly\n", "line 1: unknown command 'fly'"},
      {"repeat -1 tick\n", "line 1: repeat: the count must be a whole number"},
      {"repeat 2 tick;; tick\n", "line 1: repeat: an empty command"},
      {"repeat 2 repeat 2 tick\n", "line 1: a repeat cannot hold another repeat"},
      {"set playerX 1 playerY\n", "line 1: set takes NAME VALUE pairs"},
      {"call noSuchProcedure\n", "line 1: the game has no procedure 'noSuchProcedure'"},
      {"set noSuchVariable 1\n", "line 1: the game record has no variable 'noSuchVariable'"},
      {"set playerX abc\n", "line 1: playerX is a Single: a number"},
      {"set fanOn 1\n", "line 1: fanOn is a Boolean: -1 or 0"},
      {"set knob 2.5\n", "line 1: knob is a Long: a whole number"},
      {"set voice 1\n", "line 1: voice is an object and cannot be set"},
      {"print noSuchVariable\n", "line 1: the game record has no variable 'noSuchVariable'"},
      {"print voice sndNothing\n", "line 1: no voice 'sndNothing' exists"},
      {"play sndNothing\n", "line 1: no voice named 'sndNothing'"},
      {"print timer Nope\n", "line 1: no timer named 'Nope'"}};
  for (auto [script, message] : cases) {
    Outcome r = runScript(script);
    EXPECT_EQ(r.status, 2) << script;
    EXPECT_TRUE(r.err.starts_with(message)) << script << ": " << r.err;
  }
}

// `fail` and `rnd` at the top act before the game starts (the start values scenario draws the
// knob so); nothing runs after the program ended.
TEST(ReplayRunner, StartsTheGameBeforeTheFirstCommandButAfterFailAndRnd) {
  Outcome r = runScript("fail sndTv.loop\nprint knob\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(
      r.out.ends_with("error: start: newGame: sndTv.loop failed: failure injected\n"
                      "exit: 1\n"))
      << r.out;
}

TEST(ReplayRunner, PrintsVariablesVoicesListenerAndTimers) {
  Outcome r = runScript(
      "set playerX -19.5 lockedOn -1 playerHeading 355\n"
      "print playerX lockedOn playerHeading voice\nprint voice sndWind\nprint listener\n"
      "print timer TVTimer\nset-frequency sndRotor 250000\nprint voice sndRotor\n");
  EXPECT_TRUE(r.out.ends_with(
      "playerX=-19.5\nlockedOn=-1\nplayerHeading=355\nvoice=present\nvoice sndWind frequency=11025 "
      "volume=-4000 state=looping mode=0 position=0.1,0,1\nlistener position=0,4,0 front=0,0,1 "
      "top=0,1,0\ntimer television interval=9000 enabled=0\nvoice sndRotor frequency=200000 "
      "volume=0 "
      "state=looping mode=0 position=0.1,0,1\n"))
      << r.out << r.err;
}

// Checks pass quietly; the first that fails ends the run with status 3, naming its line. A line
// check looks among the lines printed since the last one; `expect nothing` fails on any line of the
// last command that no check named. The checks right after the game's end still run, and one after
// a command that never ran fails.
TEST(ReplayRunner, ExpectChecksValuesStateAndPrintedLines) {
  Outcome r = runScript(
      "set knob 4\nexpect knob=4.0\nexpect voice sndWind frequency=11025 position=0.1,0,1\n"
      "key S\nexpect speak:  points.\nkey X\nexpect speak: 0\nexpect nothing\nkey Esc\n"
      "expect exit: 0\n");
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* bad : {"set knob 4\nexpect knob=5\n", "expect timer TVTimer enabled=1\n",
                          "key S\nexpect speak: points.\n", "key S\nexpect nothing\n",
                          "key S\nexpect speak:  points.\nexpect nothing\n",
                          "key S\nexpect speak:  points.\nexpect speak: 0\n",
                          "key Esc\nkey S\nexpect playerScore=0\n"}) {
    SCOPED_TRACE(bad);
    r = runScript(bad);
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.starts_with("line ")) << r.err;
  }
}

}  // namespace
}  // namespace rd::replay

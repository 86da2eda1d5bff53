// Start-up and the new game on the recording platform: what each failure does. The start values
// and the order of the loops are scenarios (spine/).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "fake_game.h"

namespace rd {
namespace {

using testing::FakeGame;

std::vector<std::string> loops(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines)
    if (l.ends_with(" loop")) out.push_back(l);
  return out;
}

const std::vector<std::string> kRoomLoops = {"sound: sndRotor loop", "sound: sndWind loop",
                                             "sound: sndEnemy loop", "sound: sndTv loop",
                                             "sound: sndFan loop",   "sound: sndDogBark loop"};

TEST(NewGame, KnobStartsWithinMinusFourAndTwentyFive) {
  FakeGame g;
  g.game.random.force(0.99999994f);  // the largest draw below 1
  ASSERT_EQ(g.start(), -1);
  EXPECT_EQ(g.game.knob, 25);
}

// A recording that is missing (the end-to-end test removes one) or corrupt stops the load before
// any loop starts; the player hears which file, the report names it.
TEST(NewGame, CorruptRecordingStopsTheLoadAndSaysSo) {
  FakeGame g;
  {
    std::ofstream f(g.sounds.file("tv.wav"), std::ios::binary | std::ios::trunc);
    f << "RIFF\x24\0\0\0WAVEfmt garbage";
  }
  EXPECT_EQ(g.start(), 1);
  EXPECT_EQ(g.sound.voice("sndTv"), nullptr);
  ASSERT_EQ(g.lines().size(), 3u);
  EXPECT_EQ(g.lines()[0],
            "speak: Rotor Duel cannot start. The sound file tv.wav is missing or cannot be read.");
  EXPECT_NE(g.lines()[1].find(g.window.soundFile("tv.wav")), std::string::npos);
  EXPECT_EQ(g.lines()[2], "exit: 1");
}

TEST(StartUp, EachFailingStepIsSkippedAndTheGameStillStarts) {
  for (const std::string& call : testing::kStartUpSteps) {
    SCOPED_TRACE(call);
    FakeGame g;
    g.trace.failNext(call);
    ASSERT_EQ(g.start(), -1);
    EXPECT_EQ(loops(g.lines()), kRoomLoops);
    EXPECT_TRUE(g.window.timerEnabled(TimerId::simulation));
    EXPECT_TRUE(g.game.fixedListener);
    EXPECT_EQ(g.game.stepDivX, 10.0f);
    EXPECT_EQ(g.game.voice != nullptr, call != "speech.create");
  }
}

TEST(StartUp, WithoutAnInputServiceNoMouseStepIsTried) {
  FakeGame g;
  g.trace.failNext("input.create");
  ASSERT_EQ(g.start(), -1);
  for (const auto& c : g.calls()) EXPECT_FALSE(c.starts_with("mouse.")) << c;
  EXPECT_FALSE(g.game.mouse);
  EXPECT_TRUE(g.game.voice != nullptr);
}

TEST(StartUp, WithoutSpeechAFailedGameStillReportsAndEnds) {
  FakeGame g;
  g.trace.failNext("speech.create");
  g.trace.failNext("device.create");
  EXPECT_EQ(g.start(), 1);
  ASSERT_EQ(g.lines().size(), 2u);
  EXPECT_EQ(g.lines()[0], "error: Form_Load: StartGame: device.create failed: failure injected");
}

TEST(NewGame, AnyFailingCallEndsTheProgramWithAReportNamingIt) {
  FakeGame probe;
  ASSERT_EQ(probe.start(), -1);
  std::vector<std::string> calls(probe.calls().begin() + testing::kStartUpSteps.size(),
                                 probe.calls().end());
  std::set<std::string> seen;
  for (const auto& call : calls) {
    if (!seen.insert(call).second) continue;
    SCOPED_TRACE(call);
    FakeGame g;
    g.trace.failNext(call);
    EXPECT_EQ(g.start(), 1);
    ASSERT_GE(g.lines().size(), 3u);
    EXPECT_EQ(g.lines()[g.lines().size() - 2],
              "error: Form_Load: StartGame: " + call + " failed: failure injected");
    EXPECT_EQ(g.lines()[g.lines().size() - 3],
              "speak: Rotor Duel cannot start. The call " + call + " failed.");
  }
}

// Shut-down releases the voices and the device; its order is the escape scenario's transcript.
TEST(ShutDown, ReleasesEverythingAndAMissingVoiceFailsBeforeTheEnd) {
  {
    FakeGame g;
    ASSERT_EQ(g.start(), -1);
    EXPECT_EQ(g.run([&] { g.game.shutDown(); }), 0);
    EXPECT_FALSE(g.sound.deviceOpen());
    EXPECT_FALSE(g.game.sounds.sndRotor);
  }
  FakeGame g;
  g.trace.failNext("sndFan.create");
  ASSERT_EQ(g.start(), 1);
  // Had the program gone on, its shut-down would stop at the first voice that does not exist.
  EXPECT_THROW(g.game.shutDown(), ServiceError);
}

}  // namespace
}  // namespace rd

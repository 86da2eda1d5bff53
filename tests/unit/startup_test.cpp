// Start-up and the new game on the recording platform: what each failure does. The start values
// and the order of the loops are scenarios (spine/).
#include <gtest/gtest.h>

#include <fstream>

#include "fake_game.h"

namespace rd {
namespace {

using testing::FakeGame;

TEST(NewGame, KnobStartsWithinMinusFourAndTwentyFive) {
  FakeGame g;
  g.game.random.force(0.99999994f);  // the largest draw below 1
  ASSERT_EQ(g.start(), -1);
  EXPECT_EQ(g.game.knob, 25);
}

// A recording that is missing or corrupt stops the load before any loop starts; the player hears
// which file, the report names it.
TEST(NewGame, AMissingOrCorruptRecordingStopsTheLoadAndSaysSo) {
  for (const char* broken : {"missing", "corrupt"}) {
    SCOPED_TRACE(broken);
    FakeGame g;
    std::filesystem::remove(g.sounds.file("tv.wav"));
    if (broken == std::string("corrupt"))
      std::ofstream(g.sounds.file("tv.wav"), std::ios::binary) << "RIFF\x24\0\0\0WAVEfmt garbage";
    EXPECT_EQ(g.start(), 1);
    EXPECT_EQ(g.sound.voice("sndTv"), nullptr);
    ASSERT_EQ(g.lines().size(), 3u);
    EXPECT_EQ(
        g.lines()[0],
        "speak: Rotor Duel cannot start. The sound file tv.wav is missing or cannot be read.");
    EXPECT_NE(g.lines()[1].find("error: Form_Load: StartGame: sndTv.create failed: "),
              std::string::npos);
    EXPECT_NE(g.lines()[1].find(g.window.soundFile("tv.wav")), std::string::npos);
    EXPECT_EQ(g.lines()[2], "exit: 1");
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

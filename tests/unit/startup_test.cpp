// Start-up, the new game and shut-down on the recording platform: what each failure does. The
// start values and the order of the loops are scenarios (spine/), the order of shut-down too
// (playable/escape).
#include <gtest/gtest.h>

#include <fstream>

#include "support/fake_game.h"

namespace rd {
namespace {

using testing::FakeGame;

TEST(NewGame, KnobStartsWithinMinusFourAndTwentyFive) {
  FakeGame g;
  g.game.random.force(0.99999994f);  // the largest draw below 1
  ASSERT_EQ(g.start(), -1);
  EXPECT_EQ(g.game.knob, 25);
}

// The distances the game gives its voices (1 and 10 for the enemy, 0.7 and 20 for the dog) are
// recorded as every device plays them: at the room's scale.
TEST(NewGame, VoicesAreRecordedAtTheRoomsScale) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  for (const char* name : {"sndEnemy", "sndDogBark"}) {
    EXPECT_EQ(g.sound.voice(name)->minDistance, 5.0f) << name;
    EXPECT_EQ(g.sound.voice(name)->maxDistance, 60.0f) << name;
  }
}

// A recording that is missing or corrupt stops the load before any loop starts; the player hears
// which file, the report names it.
TEST(NewGame, AMissingOrCorruptRecordingStopsTheLoadAndSaysSo) {
  for (bool corrupt : {false, true}) {
    FakeGame g;
    std::filesystem::remove(g.sounds.file("tv.wav"));
    if (corrupt)
      std::ofstream(g.sounds.file("tv.wav"), std::ios::binary) << "RIFF\x24\0\0\0WAVEfmt garbage";
    EXPECT_EQ(g.start(), 1);
    EXPECT_EQ(g.sound.voice("sndTv"), nullptr);
    ASSERT_EQ(g.lines().size(), 3u);
    EXPECT_EQ(
        g.lines()[0],
        "speak: Rotor Duel cannot start. The sound file tv.wav is missing or cannot be read.");
    EXPECT_TRUE(g.lines()[1].starts_with("error: start: newGame: sndTv.create failed: "));
    EXPECT_NE(g.lines()[1].find(g.window.soundFile("tv.wav")), std::string::npos);
  }
}

// Without speech a game that cannot start still reports and ends.
TEST(StartUp, WithoutSpeechAGameThatCannotStartStillReports) {
  FakeGame h;
  h.trace.failNext("speech.create");
  h.trace.failNext("device.create");
  EXPECT_EQ(h.start(), 1);
  EXPECT_EQ(h.lines(),
            (std::vector<std::string>{
                "error: start: newGame: device.create failed: failure injected", "exit: 1"}));
}

// Shut-down stops the voices (in the escape scenario's order) and closes the device.
TEST(ShutDown, ClosesTheDevice) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  EXPECT_EQ(g.run([&] { g.game.shutDown(); }), 0);
  EXPECT_FALSE(g.sound.deviceOpen());
}

}  // namespace
}  // namespace rd

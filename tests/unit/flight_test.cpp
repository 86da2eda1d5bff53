// The falls and the tick's gate, looked at through the platform's call log, and a named sound
// whose file is missing.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/fake_game.h"

namespace rd {
namespace {

using testing::FakeGame;

// Single-precision steps of 0.05 down to about 1, each lowering the rotor 54 Hz, moving it and
// holding the game 10 ms: from 5 the 81st value lies just below 1.
TEST(Fall, StepsOfOneTwentiethDownToAboutOne) {
  const float from[] = {5.0f, 3.0f, 1.02f, 1.0f, 0.95f},
              endsAt[] = {1.0499992f, 1.0000019f, 1.02f, 1.0f, 0.95f};
  const long steps[] = {80, 41, 1, 1, 0};
  for (size_t i = 0; i < std::size(from); ++i) {
    SCOPED_TRACE(from[i]);
    FakeGame g;
    ASSERT_EQ(g.start(), -1);
    g.game.sounds.sndRotor->setFrequency(20000);
    g.game.playerY = from[i];
    g.trace.clear();
    int64_t before = g.window.now();
    g.game.playerFall(100000);
    const auto& calls = g.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "sndRotor.setPosition"), steps[i]);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "listener.setPosition"), 0);
    EXPECT_EQ(g.game.playerY, endsAt[i]);
    EXPECT_EQ(g.sound.voice("sndRotor")->frequency, 20000 - 54 * steps[i]);
    EXPECT_EQ(g.window.now() - before, steps[i] * 10000);
  }
}

// A tick that comes before the sound bank exists does nothing.
TEST(Tick, DoesNothingBeforeTheSoundBankExists) {
  FakeGame g;
  g.game.playerY = 5.0f;
  g.game.knob = 10;
  g.game.tick();
  EXPECT_TRUE(g.calls().empty());
  EXPECT_EQ(g.game.playerHeading, 0);
}

TEST(NamedSound, AMissingFileLeavesThePreviousSound) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  g.game.playSoundFile("Ouch");
  Voice* before = g.game.sounds.oneShotVoice.get();
  EXPECT_THROW(g.game.playSoundFile("NoSuchSound"), GameError);
  EXPECT_EQ(g.game.sounds.oneShotVoice.get(), before);
  EXPECT_EQ(g.sound.voice("oneShotVoice")->state, fake::PlayState::once);
}

}  // namespace
}  // namespace rd

// The falls and the tick's gate, looked at through the platform's call log, and a named sound
// whose file is missing.
#include <gtest/gtest.h>

#include <algorithm>

#include "fake_game.h"

namespace rd {
namespace {

using testing::FakeGame;

long count(const std::vector<std::string>& calls, const std::string& name) {
  return std::count(calls.begin(), calls.end(), name);
}

struct FallCase {
  float from;
  long steps;
  float endsAt;
};

TEST(Fall, StepsOfOneTwentiethDownToAboutOne) {
  // Single-precision steps of 0.05: from 5 the 81st value lies just below 1.
  for (FallCase c :
       {FallCase{5.0f, 80, 1.0499992f}, FallCase{3.0f, 41, 1.0000019f}, FallCase{1.02f, 1, 1.02f},
        FallCase{1.0f, 1, 1.0f}, FallCase{0.95f, 0, 0.95f}}) {
    SCOPED_TRACE(c.from);
    FakeGame g;
    ASSERT_EQ(g.start(), -1);
    g.game.sounds.sndRotor->setFrequency(20000);
    g.game.playerY = c.from;
    g.trace.clear();
    int64_t before = g.window.now();

    g.game.playerFall(100000);

    EXPECT_EQ(count(g.calls(), "sndRotor.setFrequency"), c.steps);
    EXPECT_EQ(count(g.calls(), "sndRotor.setPosition"), c.steps);
    EXPECT_EQ(count(g.calls(), "listener.setPosition"), 0);
    EXPECT_EQ(g.game.playerY, c.endsAt);
    EXPECT_EQ(g.sound.voice("sndRotor")->frequency, 20000 - 54 * c.steps);
    // Each step holds the game 10 ms.
    EXPECT_EQ(g.window.now() - before, c.steps * 10000);
  }
}

TEST(Tick, DoesNothingBeforeTheSoundBankExists) {
  FakeGame g;
  g.game.playerY = 5.0f;
  g.game.knob = 10;
  g.game.tick();
  EXPECT_EQ(g.window.doEventsCount(), 0);
  EXPECT_TRUE(g.calls().empty());
  EXPECT_EQ(g.game.playerHeading, 0);
  // Once it exists, each tick first lets waiting events run.
  ASSERT_EQ(g.start(), -1);
  g.game.tick();
  EXPECT_EQ(g.window.doEventsCount(), 1);
}

TEST(NamedSound, AMissingFileLeavesThePreviousSound) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  g.game.playSoundFile("Ouch");
  Voice* before = g.game.sounds.oneShotVoice.get();
  Voice3D* control = g.game.sounds.oneShotVoice3D.get();
  EXPECT_THROW(g.game.playSoundFile("NoSuchSound"), ServiceError);
  EXPECT_EQ(g.game.sounds.oneShotVoice.get(), before);
  EXPECT_EQ(g.game.sounds.oneShotVoice3D.get(), control);
  EXPECT_EQ(g.sound.voice("oneShotVoice")->state, fake::PlayState::once);
}

}  // namespace
}  // namespace rd

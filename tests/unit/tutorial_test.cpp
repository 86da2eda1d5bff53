// The tutorial's lessons beside the real game on the recording platform: each lesson's steps pass
// on a scripted run of keys (and, where a script would, the enemy set in place), and a step is not
// passed while it is not done.
#include "app/tutorial.h"

#include <gtest/gtest.h>

#include "platform/keys.h"
#include "support/fake_game.h"

namespace rd {
namespace {

using Lines = std::vector<std::string>;

struct Lesson {
  testing::FakeGame g;
  Lines said;
  std::string ended;
  std::vector<bool> practice;
  app::LessonSteps steps;

  explicit Lesson(int lesson) : steps(lesson, hooks()) {
    EXPECT_EQ(g.start(), -1);
    steps.begin(g.game);
  }
  app::LessonHooks hooks() {
    return {[this](const std::string& text) { said.push_back(text); },
            [this](const std::string& text) { ended = text; },
            [this](bool holdsFire, bool dogStays) {
              EXPECT_EQ(holdsFire, dogStays);
              practice.push_back(holdsFire);
            }};
  }
  void press(int16_t key, int times = 1) {
    for (int i = 0; i < times; ++i) {
      g.game.onKeyDown(key);
      steps.watch(g.game, key);
    }
  }
  void finderPass() {
    g.game.onTimer(TimerId::targetFinder);
    steps.watch(g.game, 0);
  }
  // Page Down until flying, as the first step of every lesson asks.
  void liftOff() {
    press(Key::PageDown, app::LessonSteps::pressesToFly(rules::kIdleRotorHz, 0));
    ASSERT_GT(g.game.playerY, 1);
    ASSERT_GE(steps.step(), 1);
  }
  // The enemy set straight ahead of the nose at the player's height, `distance` away.
  void enemyAhead(float distance) {
    g.game.enemyX = g.game.playerX;
    g.game.enemyZ = g.game.playerZ + distance;
    g.game.enemyY = g.game.playerY;
  }
};

// Lift off: the other keys do nothing for it; every 10th Page Down says how many are still to go,
// counted right to the press that flies, and that press ends the lesson, not one before.
TEST(Tutorial, LiftOffCountsThePressesToFlying) {
  Lesson l(0);
  EXPECT_EQ(l.practice, std::vector<bool>{true});
  l.press(Key::PageUp, 3);
  for (int16_t k : {Key::X, Key::Up, Key::Left, Key::End}) l.press(k);
  const int needed = app::LessonSteps::pressesToFly(rules::kIdleRotorHz, 0);
  l.said.clear();
  l.press(Key::PageDown, needed - 1);
  EXPECT_TRUE(l.ended.empty());
  ASSERT_EQ(l.said.size(), static_cast<size_t>((needed - 1) / 10));
  for (size_t i = 0; i < l.said.size(); ++i) {
    const int done = static_cast<int>(i + 1) * 10;
    EXPECT_EQ(l.said[i],
              std::to_string(done) + " presses, " + std::to_string(needed - done) + " to go.");
  }
  l.press(Key::PageDown);
  EXPECT_EQ(l.ended, "Lesson 1 done: Lift off.");
}

// Turn: the knob step wants a knob key and the centre, the arrow step a quarter turn either way
// (the heading wraps on the way, from 0 to 360 and on down).
TEST(Tutorial, TurnWantsTheKnobCentredAndAQuarterTurn) {
  Lesson l(1);
  l.g.game.knob = 0;
  l.liftOff();
  l.press(Key::Home);
  EXPECT_EQ(l.steps.step(), 1);
  l.press(Key::End);
  EXPECT_EQ(l.steps.step(), 2);
  l.press(Key::Left, 18);
  EXPECT_EQ(l.steps.step(), 2);
  l.press(Key::Left);
  EXPECT_EQ(l.ended, "Lesson 2 done: Turn.");
}

// The enemy's height: level at the start is not found; climbing away and back down is.
TEST(Tutorial, TheEnemysHeightIsFoundAfterTheToneSounded) {
  Lesson l(2);
  l.liftOff();
  ASSERT_EQ(std::floor(l.g.game.playerY), std::floor(l.g.game.enemyY));
  l.press(Key::PageDown, 12);
  EXPECT_EQ(l.steps.step(), 1);
  l.press(Key::PageUp, 11);
  EXPECT_EQ(l.ended, "Lesson 3 done: The enemy's height.");
}

// Lock on, and fire: off the nose no lock; straight ahead the target finder locks on; a shot from
// out of range scores nothing, one from near shoots the enemy down. The last two lessons are no
// practice.
TEST(Tutorial, LockOnAndFireWantTheFindersLockAndAHit) {
  Lesson lock(3);
  lock.liftOff();
  lock.enemyAhead(5);
  lock.g.game.enemyX += 6;
  lock.finderPass();
  EXPECT_FALSE(lock.g.game.lockedOn);
  EXPECT_EQ(lock.steps.step(), 1);
  lock.enemyAhead(5);
  lock.finderPass();
  EXPECT_EQ(lock.ended, "Lesson 4 done: Lock on.");

  Lesson fire(4);
  EXPECT_EQ(fire.practice, std::vector<bool>{false});
  fire.liftOff();
  fire.enemyAhead(15);
  fire.finderPass();
  fire.finderPass();
  EXPECT_EQ(fire.steps.step(), 2);
  fire.press(Key::Space);
  EXPECT_EQ(fire.steps.step(), 2);
  fire.enemyAhead(5);
  fire.finderPass();
  fire.finderPass();
  fire.press(Key::Space);
  EXPECT_EQ(fire.ended, "Lesson 5 done: Fire.");
}

// Land: coming down does not end it while the engine still lifts; the landing does.
TEST(Tutorial, LandEndsAtTheLanding) {
  Lesson l(5);
  l.liftOff();
  const int overLift = app::LessonSteps::pressesToFly(rules::kIdleRotorHz, 0) - 50;
  l.press(Key::PageUp, overLift);
  EXPECT_EQ(l.steps.step(), 1);
  l.press(Key::PageUp);
  EXPECT_TRUE(l.g.game.landed);
  EXPECT_EQ(l.ended, "Lesson 6 done: Land.");
}

}  // namespace
}  // namespace rd

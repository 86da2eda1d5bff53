// The keyboard and the mouse against the recording platform: what the replay cannot show
// (velocities handed to the device, the handler's status, a device that misreports).
#include <gtest/gtest.h>

#include "core/config.h"
#include "fake_game.h"

namespace rd {
namespace {

using testing::FakeGame;

constexpr int16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kPageUp = 33, kPageDown = 34;

TEST(Keys, TheMomentumReachesTheRotorOnReleaseAndTheListenerOnBoard) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  g.game.playerVelX = 4;
  g.game.playerVelY = 7;
  g.game.playerVelZ = 2.5f;
  auto velocity = [](const fake::Vec3& v) { return std::tuple{v.x, v.y, v.z}; };
  const auto momentum = std::tuple{4.0f, 7.0f, 2.5f}, still = std::tuple{0.0f, 0.0f, 0.0f};
  // Left, Right and X change nothing; the flying keys hand the rotor the momentum.
  for (int16_t key : {kLeft, kRight, int16_t{88}, kUp, kDown, kPageUp, kPageDown}) {
    g.game.sounds.sndRotor3D->setVelocity(0, 0, 0);
    g.game.onKeyUp(key);
    const bool flies = key != kLeft && key != kRight && key != 88;
    EXPECT_EQ(velocity(g.sound.voice("sndRotor")->velocity), flies ? momentum : still) << key;
  }
  g.game.onKeyDown(80);
  EXPECT_EQ(velocity(g.sound.listener()->velocity), momentum);
}

TEST(KeyUp, BeforeTheBankExistsNothingHappens) {
  FakeGame g;  // never loaded: no rotor voice
  EXPECT_EQ(g.run([&] { g.game.onKeyUp(kUp); }), -1);
  EXPECT_TRUE(g.lines().empty());
}

TEST(KeyDown, PendingEventsRunFirstAndAnUnknownKeyDoesNothingElse) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  g.trace.clear();
  const int before = g.window.doEventsCount();
  for (int16_t key : {int16_t{112}, int16_t{49}, int16_t{0}, int16_t{-1}, int16_t{255}})
    g.game.onKeyDown(key);
  EXPECT_EQ(g.window.doEventsCount(), before + 5);
  EXPECT_TRUE(g.calls().empty());
}

TEST(Mouse, StatusIsZeroOrTheFailureAndTheGameGoesOn) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  g.input.push({13, 1});
  EXPECT_EQ(g.game.onMouse(g.game.EventHandle), 0);

  // A failure is the status, and the game goes on (the report: the mouse failure scenario).
  g.trace.failNext("speech.speak");
  g.input.push({13, 1});
  int32_t status = 0;
  EXPECT_EQ(g.run([&] { status = g.game.onMouse(g.game.EventHandle); }), -1);
  EXPECT_EQ(status, config::kFailStatus);

  // Without a mouse (start-up could not open it) a signal fails the same way.
  g.game.mouse.reset();
  EXPECT_EQ(g.game.onMouse(0), config::kFailStatus);
}

// A device that claims more items than the array it was given holds, or a negative count.
class MisreportingMouse : public Mouse {
 public:
  explicit MisreportingMouse(int32_t claimed) : claimed_(claimed) {}
  void setDataFormat(int32_t) override {}
  void setCooperativeLevel(int32_t) override {}
  void setBufferSize(int32_t) override {}
  void setEventNotification(int32_t) override {}
  void acquire() override {}
  int32_t getDeviceData(MouseItem* items, int32_t capacity) override {
    for (int32_t i = 0; i < capacity; ++i) items[i] = {14, 1};
    return claimed_;
  }

 private:
  int32_t claimed_;
};

TEST(Mouse, ACountBeyondTheArrayIsCutToIt) {
  for (int32_t claimed : {config::kMouseBufferItems + 1, 100000, -5}) {
    FakeGame g;
    ASSERT_EQ(g.start(), -1);
    g.game.mouse = std::make_unique<MisreportingMouse>(claimed);
    g.trace.clear();
    EXPECT_EQ(g.game.onMouse(0), 0);
    // Every item is the middle button: five spoken pieces of the score each.
    const size_t expected = claimed < 0 ? 0 : 5u * config::kMouseBufferItems;
    EXPECT_EQ(g.lines().size(), expected) << claimed;
  }
}

}  // namespace
}  // namespace rd

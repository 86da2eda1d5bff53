// The keyboard and the mouse against the recording platform: what the replay cannot show
// (velocities handed to the device, the handler's status, a device that misreports).
#include <gtest/gtest.h>

#include "core/config.h"
#include "fake_game.h"
#include "platform/keys.h"

namespace rd {
namespace {

using testing::FakeGame;

// Letting go of an engine or a movement key hands the rotor the momentum for the Doppler shift;
// P hands it to the listener on board. Other keys, and any key before the bank exists, do nothing.
TEST(Keys, TheMomentumReachesTheRotorOnReleaseAndTheListenerOnBoard) {
  FakeGame g;
  EXPECT_EQ(g.run([&] { g.game.onKeyUp(Key::Up); }), -1);
  EXPECT_TRUE(g.lines().empty());
  ASSERT_EQ(g.start(), -1);
  g.game.playerVelX = 4;
  g.game.playerVelY = 7;
  g.game.playerVelZ = 2.5f;
  auto velocity = [](const fake::Vec3& v) { return std::tuple{v.x, v.y, v.z}; };
  const auto momentum = std::tuple{4.0f, 7.0f, 2.5f}, still = std::tuple{0.0f, 0.0f, 0.0f};
  const int16_t keys[] = {Key::Left, Key::Right,  Key::X,       Key::Up,
                          Key::Down, Key::PageUp, Key::PageDown};
  for (int16_t key : keys) {
    g.game.sounds.sndRotor3D->setVelocity(0, 0, 0);
    g.game.onKeyUp(key);
    const bool flies = key != Key::Left && key != Key::Right && key != Key::X;
    EXPECT_EQ(velocity(g.sound.voice("sndRotor")->velocity), flies ? momentum : still) << key;
  }
  g.game.onKeyDown(Key::P);
  EXPECT_EQ(velocity(g.sound.listener()->velocity), momentum);
  // Keys the game does not know, out of range ones too, make no call.
  g.trace.clear();
  for (int key : {112, 49, 0, -1, 255}) g.game.onKeyDown(static_cast<int16_t>(key));
  EXPECT_TRUE(g.calls().empty());
}

// The handler's status is 0, or the failure when a call failed or there is no mouse; the game
// goes on (the report: the mouse failure scenario).
TEST(Mouse, StatusIsZeroOrTheFailureAndTheGameGoesOn) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  g.input.push({13, 1});
  EXPECT_EQ(g.game.onMouse(g.game.EventHandle), 0);
  g.trace.failNext("speech.speak");
  g.input.push({13, 1});
  int32_t status = 0;
  EXPECT_EQ(g.run([&] { status = g.game.onMouse(g.game.EventHandle); }), -1);
  EXPECT_EQ(status, config::kFailStatus);
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
    EXPECT_EQ(g.lines().size(), claimed < 0 ? 0 : 5u * config::kMouseBufferItems) << claimed;
  }
}

}  // namespace
}  // namespace rd

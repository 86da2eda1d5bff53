// The keyboard and the mouse against the recording platform: what the replay cannot show
// (velocities handed to the device, a missing mouse, a device that misreports).
#include <gtest/gtest.h>

#include "base/rules.h"
#include "platform/keys.h"
#include "support/fake_game.h"

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

// A signal with no mouse open (start-up could not open it) is reported, and the game goes on;
// failing calls inside the handler are the mouse failure scenario's.
TEST(Mouse, ASignalWithoutAMouseIsReportedAndTheGameGoesOn) {
  FakeGame g;
  ASSERT_EQ(g.start(), -1);
  g.game.mouse.reset();
  g.trace.clear();
  EXPECT_EQ(g.run([&] { g.game.onMouse(); }), -1);
  EXPECT_EQ(g.lines(), std::vector<std::string>{"error: onMouse: mouse failed: it does not exist"});
}

// A device that claims more items than the array it was given holds, or a negative count.
class MisreportingMouse : public Mouse {
 public:
  explicit MisreportingMouse(int32_t claimed) : claimed_(claimed) {}
  int32_t take(MouseItem* items, int32_t capacity) override {
    for (int32_t i = 0; i < capacity; ++i) items[i] = {MouseInput::middleButton, 1};
    return claimed_;
  }

 private:
  int32_t claimed_;
};

TEST(Mouse, ACountBeyondTheArrayIsCutToIt) {
  for (int32_t claimed : {rules::kMouseBufferItems + 1, 100000, -5}) {
    FakeGame g;
    ASSERT_EQ(g.start(), -1);
    g.game.mouse = std::make_unique<MisreportingMouse>(claimed);
    g.trace.clear();
    g.game.onMouse();
    // Every item is the middle button: five spoken pieces of the score each.
    EXPECT_EQ(g.lines().size(), claimed < 0 ? 0 : 5u * rules::kMouseBufferItems) << claimed;
  }
}

}  // namespace
}  // namespace rd

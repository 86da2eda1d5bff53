// The mouse as a control stick: every buffered item is at most one action. Sideways turns, pulling
// back raises the engine, pushing forward lowers it; the buttons fire, speak the speed and speak
// the score. Only the sign of a movement counts, beyond a dead zone of three on the pull.
#include <algorithm>
#include <array>

#include "core/config.h"
#include "core/game.h"

namespace rd {

namespace {

constexpr int32_t kOffsetX = 0;
constexpr int32_t kOffsetY = 4;
constexpr int32_t kOffsetButton0 = 12;
constexpr int32_t kOffsetButton1 = 13;
constexpr int32_t kOffsetButton2 = 14;

// Pulls and pushes of this size or less do nothing.
constexpr int32_t kPullDeadZone = 3;

}  // namespace

int32_t Game::onMouse(int32_t /*eventId*/) {
  // Any signal drains the mouse. A failing call ends the drain: items already handled keep their
  // effects, the rest are lost, and the game goes on.
  try {
    std::array<MouseItem, config::kMouseBufferItems> items{};
    Long n = mouse->getDeviceData(items.data(), config::kMouseBufferItems);
    // Never trust a count beyond the array we handed over.
    n = std::clamp<Long>(n, 0, config::kMouseBufferItems);
    for (Long i = 0; i < n; ++i) {
      const MouseItem& item = items[static_cast<size_t>(i)];
      switch (item.offset) {
        case kOffsetX:
          if (item.data > 0) turnRight();
          if (item.data < 0) turnLeft();
          break;
        case kOffsetY:
          if (item.data > kPullDeadZone) climb();
          if (item.data < -kPullDeadZone) descend();
          break;
        case kOffsetButton0:
          // Press and release alike: one click is two shots.
          fireLaser();
          break;
        case kOffsetButton1:
          speak(plainText(playerSpeed));
          break;
        case kOffsetButton2:
          score();
          break;
        default:
          // The wheel and any other button do nothing.
          break;
      }
      // Each item is its own action: a sound call it made that failed ends the drain here.
      checkSoundCalls();
    }
  } catch (const ServiceError& e) {
    window.reportError("onMouse: " + std::string(e.what()), false);
    return config::kFailStatus;
  }
  return 0;
}

}  // namespace rd

// The mouse as a control stick: every buffered item is at most one action. Sideways turns, pulling
// back raises the engine, pushing forward lowers it; the buttons fire, speak the speed and speak
// the score. Only the sign of a movement counts, beyond a dead zone of three on the pull.
#include <algorithm>
#include <array>

#include "base/rules.h"
#include "game/game.h"

namespace rd {

namespace {

// Pulls and pushes of this size or less do nothing.
constexpr int32_t kPullDeadZone = 3;

}  // namespace

void Game::onMouse() {
  // Any signal drains the mouse. A failing call ends the drain: items already handled keep their
  // effects, the rest are lost, and the game goes on.
  try {
    std::array<MouseItem, rules::kMouseBufferItems> items{};
    Long n = mouse->take(items.data(), rules::kMouseBufferItems);
    // Never trust a count beyond the array we handed over.
    n = std::clamp<Long>(n, 0, rules::kMouseBufferItems);
    for (Long i = 0; i < n; ++i) {
      const MouseItem& item = items[static_cast<size_t>(i)];
      switch (item.input) {
        case MouseInput::moveX:
          if (item.amount > 0) turnRight();
          if (item.amount < 0) turnLeft();
          break;
        case MouseInput::moveY:
          if (item.amount > kPullDeadZone) climb();
          if (item.amount < -kPullDeadZone) descend();
          break;
        case MouseInput::leftButton:
          // Press and release alike: one click is two shots.
          fireLaser();
          break;
        case MouseInput::rightButton:
          speak(plainText(playerSpeed));
          break;
        case MouseInput::middleButton:
          score();
          break;
        case MouseInput::wheel:
        case MouseInput::otherButton:
          // The wheel and any other button do nothing.
          break;
      }
      // Each item is its own action: a sound call it made that failed ends the drain here.
      checkSoundCalls();
    }
  } catch (const GameError& e) {
    window.reportError("onMouse: " + std::string(e.what()), false);
  }
}

}  // namespace rd

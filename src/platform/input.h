// The mouse as the game reads it: movements and buttons wait in a buffer of the size the game
// opened it with, and the window signals the game (GameEvents::onMouse) whenever items wait.
#pragma once

#include <cstdint>
#include <memory>

namespace rd {

// What one item of the mouse's buffer reports: a movement along an axis, or a button.
enum class MouseInput : int32_t {
  moveX,         // sideways; more than 0 to the right
  moveY,         // forward and back; more than 0 pulled toward the player
  wheel,         // the wheel turned
  leftButton,    // the primary button
  rightButton,   // the secondary button
  middleButton,  // the middle button
  otherButton,   // any further button
};

struct MouseItem {
  MouseInput input = MouseInput::moveX;
  // How far a movement went; for a button, more than 0 when pressed and 0 when released.
  int32_t amount = 0;
};

class Mouse {
 public:
  virtual ~Mouse() = default;
  // Takes up to `capacity` waiting items into `items`, oldest first; returns how many
  // ("mouse.take").
  virtual int32_t take(MouseItem* items, int32_t capacity) = 0;
};

class InputService {
 public:
  virtual ~InputService() = default;
  // The system mouse, the game's while its window is in the foreground. The buffer holds up to
  // `capacity` items; further ones are lost until the game takes them ("mouse.create").
  virtual std::unique_ptr<Mouse> openMouse(int32_t capacity) = 0;
};

}  // namespace rd

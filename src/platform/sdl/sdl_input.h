// The mouse on SDL2: the window's mouse events, queued as items in the window's mouse buffer,
// which signals the game when items are waiting.
#pragma once

#include <memory>

#include "platform/input.h"
#include "platform/sdl/sdl_window.h"

namespace rd::sdl {

class SdlInput : public InputService {
 public:
  explicit SdlInput(SdlWindow& window) : window_(window) {}
  std::unique_ptr<Mouse> openMouse(int32_t capacity) override;

 private:
  SdlWindow& window_;
};

}  // namespace rd::sdl

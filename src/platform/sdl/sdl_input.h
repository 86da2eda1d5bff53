// The buffered mouse on SDL2: the window's mouse events, queued as items, and the event that
// calls the game's mouse handler when items are waiting.
#pragma once

#include <memory>

#include "platform/input.h"
#include "platform/sdl/sdl_window.h"

namespace rd::sdl {

class SdlInput : public InputService {
 public:
  explicit SdlInput(SdlWindow& window) : window_(window) {}
  void create() override { created_ = true; }
  std::unique_ptr<Mouse> createMouse() override;
  int32_t createEvent() override;

  // Whether `handle` is an event this service made.
  bool knows(int32_t handle) const { return handle > 0 && handle <= events_; }

 private:
  SdlWindow& window_;
  bool created_ = false;
  int32_t events_ = 0;
};

}  // namespace rd::sdl

#include "platform/sdl/sdl_input.h"

namespace rd::sdl {

namespace {

class SdlMouse : public Mouse {
 public:
  SdlMouse(SdlWindow& window, int32_t capacity) : window_(window) { window_.openMouse(capacity); }
  ~SdlMouse() override { window_.closeMouse(); }

  int32_t take(MouseItem* items, int32_t capacity) override {
    if (capacity < 0 || (capacity > 0 && !items))
      throw GameError("mouse.take", "no room for the items");
    return window_.mouseBuffer().take(items, capacity);
  }

 private:
  SdlWindow& window_;
};

}  // namespace

std::unique_ptr<Mouse> SdlInput::openMouse(int32_t capacity) {
  if (capacity < 0) throw GameError("mouse.create", "a buffer cannot be negative");
  return std::make_unique<SdlMouse>(window_, capacity);
}

}  // namespace rd::sdl

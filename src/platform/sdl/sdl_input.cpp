#include "platform/sdl/sdl_input.h"

namespace rd::sdl {

namespace {

// The standard mouse data format: relative x and y, the wheel and the buttons.
constexpr int32_t kStandardMouseFormat = 2;

class SdlMouse : public Mouse {
 public:
  SdlMouse(SdlWindow& window, SdlInput& input) : window_(window), input_(input) {}
  ~SdlMouse() override {
    if (acquired_) window_.setMouseAcquired(false);
  }

  void setDataFormat(int32_t format) override {
    if (format != kStandardMouseFormat)
      throw ServiceError("mouse.setDataFormat", "only the standard mouse format (2) is known");
  }

  // The mouse is always the game's alone while the window is in the foreground.
  void setCooperativeLevel(int32_t) override {}

  void setBufferSize(int32_t items) override {
    if (items < 0) throw ServiceError("mouse.setBufferSize", "a buffer cannot be negative");
    window_.mouseBuffer().setCapacity(items);
  }

  void setEventNotification(int32_t eventHandle) override {
    if (eventHandle != 0 && !input_.knows(eventHandle))
      throw ServiceError("mouse.setEventNotification", "no such event");
    window_.mouseBuffer().setNotification(eventHandle);
  }

  void acquire() override {
    acquired_ = true;
    window_.setMouseAcquired(true);
  }

  int32_t getDeviceData(MouseItem* items, int32_t capacity) override {
    if (!acquired_) throw ServiceError("mouse.getDeviceData", "the mouse is not acquired");
    if (capacity < 0 || (capacity > 0 && !items))
      throw ServiceError("mouse.getDeviceData", "no room for the items");
    return window_.mouseBuffer().take(items, capacity);
  }

 private:
  SdlWindow& window_;
  SdlInput& input_;
  bool acquired_ = false;
};

}  // namespace

std::unique_ptr<Mouse> SdlInput::createMouse() {
  if (!created_) throw ServiceError("mouse.create", "the input service is not created");
  return std::make_unique<SdlMouse>(window_, *this);
}

int32_t SdlInput::createEvent() {
  if (!created_) throw ServiceError("input.createEvent", "the input service is not created");
  return ++events_;
}

}  // namespace rd::sdl

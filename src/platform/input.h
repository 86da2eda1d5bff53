// The buffered mouse: relative movement and buttons queued as items, and a signal to the game
// whenever items are waiting.
#pragma once

#include <cstdint>
#include <memory>

namespace rd {

// One buffered item. Offsets: 0 x axis, 4 y axis, 8 wheel, 12 13 14 buttons 0 1 2.
struct MouseItem {
  int32_t offset = 0;
  int32_t data = 0;
};

class Mouse {
 public:
  virtual ~Mouse() = default;
  virtual void setDataFormat(int32_t format) = 0;              // "mouse.setDataFormat"
  virtual void setCooperativeLevel(int32_t flags) = 0;         // "mouse.setCooperativeLevel"
  virtual void setBufferSize(int32_t items) = 0;               // "mouse.setBufferSize"
  virtual void setEventNotification(int32_t eventHandle) = 0;  // "mouse.setEventNotification"
  virtual void acquire() = 0;                                  // "mouse.acquire"
  // Takes up to `capacity` waiting items out of the buffer; returns how many.
  virtual int32_t getDeviceData(MouseItem* items, int32_t capacity) = 0;  // "mouse.getDeviceData"
};

class InputService {
 public:
  virtual ~InputService() = default;
  virtual void create() = 0;                         // the input root and service ("input.create")
  virtual std::unique_ptr<Mouse> createMouse() = 0;  // the system mouse ("mouse.create")
  // An event whose signal calls the game's mouse handler; returns its handle ("input.createEvent").
  virtual int32_t createEvent() = 0;
};

}  // namespace rd

// The sound module: the device, the listener, the 21 voices of the bank with their lasting 3D
// controls, and the slot of the named one-shot sounds. It owns them for the whole run; only
// releaseSounds lets them go.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/game_error.h"
#include "platform/sound_device.h"
#include "platform/window.h"

namespace rd {

// The voices that keep a 3D control for the whole run, in the order the controls are taken.
// clang-format off
#define RD_LASTING_3D(X) \
  X(sndRotor) \
  X(sndEnemyAlarm) \
  X(sndBreak) \
  X(sndEnemy) \
  X(sndTv) \
  X(sndCrunch) \
  X(sndWind) \
  X(sndFan) \
  X(sndFanHit) \
  X(sndSwitch) \
  X(sndPlayerLaser) \
  X(sndEnemyLaser) \
  X(sndExplode) \
  X(sndTargetX) \
  X(sndTargetY) \
  X(sndAcquired) \
  X(sndDogBark)
// clang-format on

// A held platform object that may not exist (the bank failed to load, a control not taken yet).
// Using an empty slot fails like any other service call instead of crashing.
template <typename T>
class Slot {
 public:
  explicit Slot(const char* name) : name_(name) {}
  T* operator->() const {
    if (!object_) throw GameError(name_, "it does not exist");
    return object_.get();
  }
  T& operator*() const { return *operator->(); }
  explicit operator bool() const { return object_ != nullptr; }
  Slot& operator=(std::unique_ptr<T> object) {
    object_ = std::move(object);
    return *this;
  }
  void reset() { object_.reset(); }
  T* get() const { return object_.get(); }
  const char* name() const { return name_; }

 private:
  const char* name_;
  std::unique_ptr<T> object_;
};

// The listener is owned by the device; the module only points at it.
class ListenerSlot {
 public:
  Listener* operator->() const {
    if (!listener_) throw GameError("listener", "it does not exist");
    return listener_;
  }
  explicit operator bool() const { return listener_ != nullptr; }
  ListenerSlot& operator=(Listener* l) {
    listener_ = l;
    return *this;
  }

 private:
  Listener* listener_ = nullptr;
};

struct SoundBank {
  Slot<SoundDevice> device{"device"};
  ListenerSlot listener;

#define RD_VOICE(voice, file, rate, loops, recipe) Slot<Voice> voice{#voice};
#define RD_CUE(file, rate, loops, recipe)
#include "sound/recordings.def"
  Slot<Voice> oneShotVoice{"oneShotVoice"};

#define RD_CONTROL_SLOT(name) Slot<Voice3D> name##3D {#name};
  RD_LASTING_3D(RD_CONTROL_SLOT)
#undef RD_CONTROL_SLOT
  // The crash's control is taken at each crash and replaced at the next one; the named sound's
  // control goes with its voice.
  Slot<Voice3D> sndCrash3D{"sndCrash"};
  Slot<Voice3D> oneShotVoice3D{"oneShotVoice"};

  // A bank voice (or "oneShotVoice") by its name; nullptr when there is no such name.
  Slot<Voice>* voiceByName(std::string_view name);
};

// Creates the 21 voices from their files in load order, then takes the 17 lasting 3D controls.
// Stops at the first failure: the voices before it exist, no control is taken.
void loadSounds(SoundBank& sounds, Window& window);

// Stops the looping voices and releases every sound object, the device last. A voice that does
// not exist makes its stop fail, and nothing is released.
void releaseSounds(SoundBank& sounds);

}  // namespace rd

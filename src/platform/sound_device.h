// The 3D sound device: one listener and any number of voices, each made from one WAV file.
// Every call may fail with a GameError naming the call ("sndTv.play", "listener.setPosition").
// A call the device refuses (a value it does not take) may be found only at the end of the
// handler that made it: the handler ends by calling checkCalls(), which throws that failure.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/limits.h"

namespace rd {

// What every device does with a volume or a frequency out of range: it keeps the nearest value it
// can play, and the call does not fail.
inline int32_t clampVolume(int32_t hundredthsDb) {
  return std::clamp(hundredthsDb, limits::kMinVolume, limits::kMaxVolume);
}
inline int32_t clampFrequency(int32_t hz) {
  return std::clamp(hz, limits::kMinFrequencyHz, limits::kMaxFrequencyHz);
}

// How far away a voice is heard, at the room's scale, on every device (the recording platform
// records these values, as they are heard). The room is closed, 40 units wide and about 10 high,
// and the listener in the room view sits 4 units over its centre.
// - A voice is at full level within kMinDistance. A smaller distance the game gives (0.7 or 1)
//   counts as this: beside the listener a voice would otherwise be 26 to 29 dB louder than across
//   the room, more than the mix can hold without the far side sinking under the room or the near
//   side clipping.
// - Its fading never stops inside the room (kMaxDistance): a smaller one the game gives (8 to 20)
//   would make the enemy sound the same at 10, 14 and 20 units.
// - It fades at kRolloff times the listener's roll-off. The walls' echoes keep a far sound in a
//   closed room from fading as it would in the open, so with the game's roll-off of 1 a voice is
//   3 dB down at 11 units, 6 dB at 20 and 9 dB in the farthest corner (30 units): distance is
//   heard across the room, and a crash, a landing or the dog in a far corner still stands out.
namespace room {
constexpr float kMinDistance = 5.0f;
constexpr float kMaxDistance = 60.0f;
constexpr float kRolloff = 0.35f;
inline float heardMinDistance(float d) { return std::max(d, kMinDistance); }
inline float heardMaxDistance(float d) { return std::max(d, kMaxDistance); }
// A voice's roll-off under the listener's.
inline float heardRolloff(float listenerRolloff) { return listenerRolloff * kRolloff; }
}  // namespace room

// The 3D modes of a voice.
enum class Mode3D : int { normal = 0, headRelative = 1, off = 2 };

// A voice's 3D control: where the voice sounds and how it fades. Positions are room units.
class Voice3D {
 public:
  virtual ~Voice3D() = default;
  virtual void setPosition(float x, float y, float z) = 0;
  virtual void setVelocity(float x, float y, float z) = 0;
  virtual void setMinDistance(float d) = 0;
  virtual void setMaxDistance(float d) = 0;
  virtual void setMode(Mode3D mode) = 0;
  virtual void setConeAngles(int32_t insideDegrees, int32_t outsideDegrees) = 0;
  // Volume outside the cone, in hundredths of a decibel (0 = full level).
  virtual void setConeOutsideVolume(int32_t hundredthsDb) = 0;
};

class Voice {
 public:
  virtual ~Voice() = default;
  virtual void play() = 0;  // once, from the start
  virtual void loop() = 0;  // looping, resuming where it was stopped
  virtual void stop() = 0;
  // Hundredths of a decibel, 0 = full level; the device clamps to -10000..0.
  virtual void setVolume(int32_t hundredthsDb) = 0;
  // Playback frequency in hertz. The device clamps it to what a voice accepts and reports the
  // clamped value back; out-of-range values never fail.
  virtual void setFrequency(int32_t hz) = 0;
  virtual int32_t getFrequency() = 0;
  // Takes the voice's 3D control. Destroying the control releases it; the voice keeps the 3D
  // settings it was given.
  virtual std::unique_ptr<Voice3D> take3D() = 0;
};

class Listener {
 public:
  virtual ~Listener() = default;
  virtual void setOrientation(float frontX, float frontY, float frontZ, float topX, float topY,
                              float topZ) = 0;
  virtual void setPosition(float x, float y, float z) = 0;
  virtual void setVelocity(float x, float y, float z) = 0;
  virtual void setDopplerFactor(float factor) = 0;
  virtual void setRolloffFactor(float factor) = 0;
};

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // The primary buffer and its listener, held for the whole run ("listener.create").
  virtual Listener& createListener() = 0;
  // A voice named `name` ("sndFan", "oneShotVoice") from the WAV file at `path`
  // ("sndFan.create"). A missing or unreadable file fails, naming the file.
  virtual std::unique_ptr<Voice> createVoice(const std::string& name, const std::string& path) = 0;
  // The end of a handler (a tick, a key, a mouse item): throws the GameError of a call since
  // the last check that the device refused, naming the call.
  virtual void checkCalls() {}
  // Whether the output still plays: false once it went away (the sound server died, the
  // headphones were pulled), and the voices are silent, until reopen() has opened it again with
  // every voice as it was, which returns true then.
  virtual bool connected() { return true; }
  virtual bool reopen() { return true; }
};

// The platform's sound root: makes the device on the default output ("device.create").
class SoundSystem {
 public:
  virtual ~SoundSystem() = default;
  virtual std::unique_ptr<SoundDevice> createDevice() = 0;
};

}  // namespace rd

// What the OpenAL Soft device's parts share: the context current on the game's thread, the
// device's core (its context, its sources and the error its calls left), one source with its
// buffer, and the room's scale. The parts: openal_context.cpp (the context and its errors),
// openal_voices.cpp (voices and the listener), openal_device.cpp (the device and its levels) and
// openal_opening.cpp (opening a device with the game's defaults).
#pragma once

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/game_error.h"
#include "platform/openal/openal_sound.h"

namespace rd::openal {

// The context OpenAL calls go to on this thread. Everything runs on the game's one thread, and a
// device makes its context current only when a call on it finds another one current.
extern thread_local ALCcontext* g_current;
void makeCurrent(ALCcontext* context);

const char* alErrorText(ALenum e);
std::string alcErrorText(ALCenum e);

struct SoundCore;

struct DeviceCore {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
  LPALCGETINTEGER64VSOFT getInteger64 = nullptr;
  // Each room voice's roll-off: the listener's (1 until the game sets it) at the room's scale.
  float rolloff = room::heardRolloff(1.0f);
  Levels levels;
  // The sounds pauseAll() paused.
  std::vector<SoundCore*> paused;
  // Every source this device made that still exists.
  std::set<SoundCore*> sounds;
  // OpenAL's error flag is read at the end of a handler, not after every call: the last call made
  // (its voice's name and the operation) names a failure found there.
  const std::string* lastWho = nullptr;
  const char* lastOp = "";
  // An error read early (by a call that checks its own errors at once), kept for that check.
  ALenum keptError = AL_NO_ERROR;
  std::string keptCall;

  // Whether the device reports a lost output (ALC_EXT_disconnect), and whether it lost it: a
  // lost device keeps its context, whose sources still answer for their settings, until reopen()
  // makes a new one on a new device.
  bool reportsLoss = false;
  bool lost = false;
  // Opens the same output again, with a context made as the first one was; nullptr when it cannot
  // be opened (yet). Unset: the device is never opened again.
  std::function<std::pair<ALCdevice*, ALCcontext*>()> reopener;

  ~DeviceCore() { close(); }
  bool open() const { return context != nullptr; }
  void use() const {
    if (g_current != context) makeCurrent(context);
  }
  void called(const std::string& who, const char* op) {
    lastWho = &who;
    lastOp = op;
  }
  // Moves OpenAL's error flag into the kept error (the first one stays), naming the last call.
  void collect() {
    ALenum e = alGetError();
    if (e != AL_NO_ERROR && keptError == AL_NO_ERROR) {
      keptError = e;
      keptCall = lastWho ? *lastWho + "." + lastOp : std::string("device");
    }
  }
  void checkCalls();
  void close();
  // Whether the output still plays; a loss is kept until reopen().
  bool stillConnected();
  // As stillConnected(), noting first where each sound is (its state and place) while it does,
  // for rebuilding it on a new device.
  bool watch();
  // A lost device opened again: a new context with the listener, and every sound with its
  // samples, settings, state and place. True when the device plays (again).
  bool reopen();
};

// One source with its own buffer.
struct SoundCore {
  std::shared_ptr<DeviceCore> device;
  ALuint source = 0;
  ALuint buffer = 0;
  // Voices of the room take the listener's roll-off; the speech voice does not.
  bool takesRolloff = false;
  // What the buffer holds: OpenAL gives no samples back, and a new device needs them.
  std::vector<int16_t> samples;
  int32_t sampleRate = 0;
  // Where the sound was when last looked at (or last told to play or stop): the state a new
  // device gives it after a loss, and the sample it goes on from.
  ALint savedState = AL_INITIAL;
  ALint savedOffset = 0;
  // Its gain under the device's levels (the room's voices, the speech).
  virtual float levelledGain(const Levels& levels) const { return levels.speech; }

  SoundCore() = default;
  SoundCore(const SoundCore&) = delete;
  SoundCore& operator=(const SoundCore&) = delete;
  virtual ~SoundCore() { release(); }

  bool alive() const { return source != 0 && device && device->open(); }
  void release() {
    if (device && device->open()) {
      device->use();
      device->collect();
      if (source) alDeleteSources(1, &source);
      if (buffer) alDeleteBuffers(1, &buffer);
      alGetError();
      device->sounds.erase(this);
      auto& paused = device->paused;
      paused.erase(std::remove(paused.begin(), paused.end(), this), paused.end());
    }
    source = 0;
    buffer = 0;
  }
  // What the device does when it closes under a sound: the names go with the context.
  void forget() {
    source = 0;
    buffer = 0;
  }
};

struct PlainCore : SoundCore {
  double lengthMs = 0;
};

struct Registry {
  std::vector<Device*> open;
  Levels levels;
};

inline ALint stateOf(ALuint source) {
  ALint state = AL_INITIAL;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}

// Makes a source playing `mono` at its own rate. Fails with GameError(call, ...).
template <typename T>
std::shared_ptr<T> makeSound(const std::shared_ptr<DeviceCore>& device, const std::string& call,
                             const std::vector<int16_t>& mono, int32_t rate) {
  if (!device->open()) throw GameError(call, "the sound device is closed");
  device->use();
  device->collect();
  auto sound = std::make_shared<T>();
  sound->device = device;
  device->sounds.insert(sound.get());
  alGenBuffers(1, &sound->buffer);
  if (ALenum e = alGetError()) {
    sound->buffer = 0;
    throw GameError(call, alErrorText(e));
  }
  sound->samples = mono;
  sound->sampleRate = rate;
  alBufferData(sound->buffer, AL_FORMAT_MONO16, mono.data(),
               static_cast<ALsizei>(mono.size() * sizeof(int16_t)), rate);
  if (ALenum e = alGetError()) throw GameError(call, alErrorText(e));
  alGenSources(1, &sound->source);
  if (ALenum e = alGetError()) {
    sound->source = 0;
    throw GameError(call, alErrorText(e));
  }
  alSourcei(sound->source, AL_BUFFER, static_cast<ALint>(sound->buffer));
  if (ALenum e = alGetError()) throw GameError(call, alErrorText(e));
  return sound;
}

// A context made on `device` with `attrs` and the HRTF request; closes the device and fails with
// GameError(call, ...) when it cannot be made.
ALCcontext* makeContext(ALCdevice* device, std::vector<ALCint> attrs, const std::string& call,
                        Hrtf hrtf);
// The core of a device whose context was made.
std::shared_ptr<DeviceCore> adopt(ALCdevice* device, ALCcontext* context);

// The listener of a device, and a room voice from a decoded recording (openal_voices.cpp).
std::unique_ptr<Listener> makeListener(std::shared_ptr<DeviceCore> core);
std::unique_ptr<Voice> makeVoice(const std::shared_ptr<DeviceCore>& core, const std::string& name,
                                 const std::string& call, const WavData& wav);

}  // namespace rd::openal

#include "platform/openal/openal_sound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <optional>
#include <set>

#include "platform/openal/mapping.h"
#include "platform/service_error.h"
#include "platform/wav/wav_file.h"

namespace rd::openal {

namespace {

// The context OpenAL calls go to on this thread. Everything runs on the game's one thread, and a
// device makes its context current only when a call on it finds another one current.
thread_local ALCcontext* g_current = nullptr;

// A context current on this thread alone spares every call OpenAL Soft's global lock; without the
// extension the context is made current for the whole process.
PFNALCSETTHREADCONTEXTPROC threadContextCall() {
  static const auto call = alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context")
                               ? reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(
                                     alcGetProcAddress(nullptr, "alcSetThreadContext"))
                               : nullptr;
  return call;
}

void makeCurrent(ALCcontext* context) {
  if (auto setThreadContext = threadContextCall()) {
    setThreadContext(context);
  } else {
    alcMakeContextCurrent(context);
  }
  g_current = context;
}

// The game's own periods: two of 256 frames, about 5.8 ms each at 44.1 kHz. A key press is mixed
// into the next period and heard one period later.
constexpr int32_t kPeriodFrames = 256;
constexpr int32_t kPeriods = 2;
// The rate the periods are reckoned at (OpenAL Soft's default mixing rate).
constexpr int32_t kReckonedRate = 44100;

// How far away a voice is heard, at the room's scale. The room is closed, 40 units wide and about
// 10 high, and the listener in the room view sits 4 units over its centre.
// - A voice is at full level within kMinDistance. A smaller distance the game gives (0.7 or 1)
//   counts as this: beside the listener a voice would otherwise be 26 to 29 dB louder than across
//   the room, more than the mix can hold without the far side sinking under the room or the near
//   side clipping.
// - Its fading never stops inside the room (kMaxDistance): a smaller one the game gives (8 to 20)
//   would make the enemy sound the same at 10, 14 and 20 units.
// - It fades at kRoomRolloff times the listener's roll-off. The walls' echoes keep a far sound in
//   a closed room from fading as it would in the open, so with the game's roll-off of 1 a voice
//   is 3 dB down at 11 units, 6 dB at 20 and 9 dB in the farthest corner (30 units): distance is
//   heard across the room, and a crash, a landing or the dog in a far corner still stands out.
constexpr float kMinDistance = 5.0f;
constexpr float kMaxDistance = 60.0f;
constexpr float kRoomRolloff = 0.35f;

const char* alErrorText(ALenum e) {
  switch (e) {
    case AL_INVALID_NAME:
      return "OpenAL: no such object";
    case AL_INVALID_ENUM:
      return "OpenAL: unknown setting";
    case AL_INVALID_VALUE:
      return "OpenAL: value out of range";
    case AL_INVALID_OPERATION:
      return "OpenAL: operation not allowed now";
    case AL_OUT_OF_MEMORY:
      return "OpenAL: out of memory";
    default:
      return "OpenAL: unknown error";
  }
}

std::string alcErrorText(ALCenum e) {
  switch (e) {
    case ALC_INVALID_DEVICE:
      return "invalid device";
    case ALC_INVALID_CONTEXT:
      return "invalid context";
    case ALC_INVALID_ENUM:
      return "unknown attribute";
    case ALC_INVALID_VALUE:
      return "attribute value out of range";
    case ALC_OUT_OF_MEMORY:
      return "out of memory";
    default:
      return "error " + std::to_string(e);
  }
}

bool finite(float x, float y, float z) {
  return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

std::vector<int16_t> toMono(const WavData& wav) {
  if (wav.channels == 1) return wav.samples;
  // A 3D voice is one point in the room: a stereo recording is mixed down to one channel.
  std::vector<int16_t> mono(static_cast<size_t>(wav.frames()));
  for (size_t i = 0; i < mono.size(); ++i) {
    int sum = 0;
    for (int32_t c = 0; c < wav.channels; ++c) sum += wav.samples[i * wav.channels + c];
    mono[i] = static_cast<int16_t>(sum / wav.channels);
  }
  return mono;
}

}  // namespace

struct SoundCore;

struct DeviceCore {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
  LPALCGETINTEGER64VSOFT getInteger64 = nullptr;
  // Each room voice's roll-off: the listener's (1 until the game sets it) at the room's scale.
  float rolloff = kRoomRolloff;
  Levels levels;
  // The sounds pauseAll() paused.
  std::vector<ALuint> paused;
  // Every source this device made that still exists.
  std::set<SoundCore*> sounds;
  // OpenAL's error flag is read at the end of a handler, not after every call: the last call made
  // (its voice's name and the operation) names a failure found there.
  const std::string* lastWho = nullptr;
  const char* lastOp = "";
  // An error read early (by a call that checks its own errors at once), kept for that check.
  ALenum keptError = AL_NO_ERROR;
  std::string keptCall;

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
};

// One source with its own buffer.
struct SoundCore {
  std::shared_ptr<DeviceCore> device;
  ALuint source = 0;
  ALuint buffer = 0;
  // Voices of the room take the listener's roll-off; the speech voice does not.
  bool takesRolloff = false;
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

void DeviceCore::checkCalls() {
  if (!open()) return;
  use();
  collect();
  lastWho = nullptr;
  lastOp = "";
  if (keptError == AL_NO_ERROR) return;
  ALenum e = keptError;
  keptError = AL_NO_ERROR;
  throw ServiceError(std::move(keptCall), alErrorText(e));
}

void DeviceCore::close() {
  if (!context) return;
  use();
  for (SoundCore* s : sounds) {
    if (s->source) alDeleteSources(1, &s->source);
    if (s->buffer) alDeleteBuffers(1, &s->buffer);
    s->forget();
  }
  sounds.clear();
  alGetError();
  makeCurrent(nullptr);
  alcDestroyContext(context);
  alcCloseDevice(device);
  paused.clear();
  context = nullptr;
  device = nullptr;
}

namespace {

// Makes a source playing `mono` at its own rate. Fails with ServiceError(call, ...).
template <typename T>
std::shared_ptr<T> makeSound(const std::shared_ptr<DeviceCore>& device, const std::string& call,
                             const std::vector<int16_t>& mono, int32_t rate) {
  if (!device->open()) throw ServiceError(call, "the sound device is closed");
  device->use();
  device->collect();
  auto sound = std::make_shared<T>();
  sound->device = device;
  device->sounds.insert(sound.get());
  alGenBuffers(1, &sound->buffer);
  if (ALenum e = alGetError()) {
    sound->buffer = 0;
    throw ServiceError(call, alErrorText(e));
  }
  alBufferData(sound->buffer, AL_FORMAT_MONO16, mono.data(),
               static_cast<ALsizei>(mono.size() * sizeof(int16_t)), rate);
  if (ALenum e = alGetError()) throw ServiceError(call, alErrorText(e));
  alGenSources(1, &sound->source);
  if (ALenum e = alGetError()) {
    sound->source = 0;
    throw ServiceError(call, alErrorText(e));
  }
  alSourcei(sound->source, AL_BUFFER, static_cast<ALint>(sound->buffer));
  if (ALenum e = alGetError()) throw ServiceError(call, alErrorText(e));
  return sound;
}

struct VoiceCore : SoundCore {
  std::string name;
  int32_t rate = 0;
  int32_t frequency = 0;
  Mode3D mode = Mode3D::normal;
  AlVector position, velocity;
  // What the source was last told, so that a value it already has costs no call.
  int32_t volume = 0;
  bool looping = false;
  float minDistance = 1.0f, maxDistance = 0.0f;
  int32_t coneInside = 360, coneOutside = 360, coneOutsideVolume = 0;

  float levelledGain(const Levels& levels) const override {
    return gainFromVolume(volume) * levels.effects;
  }
  ~VoiceCore() override {
    // The device names its last call by this voice's name: a failure it made is read now.
    if (device && device->lastWho == &name) {
      if (device->open()) {
        device->use();
        device->collect();
      }
      device->lastWho = nullptr;
    }
  }

  // The source, ready for a call named `op`; fails when the voice or its device is gone.
  ALuint ready(const char* op) const {
    if (!device || !device->open()) fail(op, "the sound device is closed");
    if (!source) fail(op, "the voice was released");
    device->use();
    device->called(name, op);
    return source;
  }
  [[noreturn]] void fail(const char* op, const std::string& why) const {
    throw ServiceError(name + "." + op, why);
  }

  // Where OpenAL places the source: unpositioned voices sit on the listener, with no motion and
  // no cone; the others where the game put them.
  void applyPlacement() const {
    if (mode == Mode3D::off) {
      alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
      alSource3f(source, AL_POSITION, 0, 0, 0);
      alSource3f(source, AL_VELOCITY, 0, 0, 0);
      alSource3f(source, AL_DIRECTION, 0, 0, 0);
      return;
    }
    alSourcei(source, AL_SOURCE_RELATIVE, mode == Mode3D::headRelative ? AL_TRUE : AL_FALSE);
    alSource3f(source, AL_POSITION, position.x, position.y, position.z);
    alSource3f(source, AL_VELOCITY, velocity.x, velocity.y, velocity.z);
    // A cone points straight ahead along the room's z, as a 3D sound card's cones do by default.
    AlVector ahead = toAl(0, 0, 1);
    alSource3f(source, AL_DIRECTION, ahead.x, ahead.y, ahead.z);
  }
};

struct Voice3DImpl : Voice3D {
  explicit Voice3DImpl(std::shared_ptr<VoiceCore> v) : v_(std::move(v)) {}

  // Positions and velocities that did not change make no call; an unpositioned voice keeps them
  // for when it is placed again.
  void setPosition(float x, float y, float z) override {
    ALuint s = v_->ready("setPosition");
    if (!finite(x, y, z)) v_->fail("setPosition", "a coordinate is not a number");
    AlVector p = toAl(x, y, z);
    if (same(p, v_->position)) return;
    v_->position = p;
    if (v_->mode != Mode3D::off) alSource3f(s, AL_POSITION, p.x, p.y, p.z);
  }
  void setVelocity(float x, float y, float z) override {
    ALuint s = v_->ready("setVelocity");
    if (!finite(x, y, z)) v_->fail("setVelocity", "a component is not a number");
    AlVector u = toAl(x, y, z);
    if (same(u, v_->velocity)) return;
    v_->velocity = u;
    if (v_->mode != Mode3D::off) alSource3f(s, AL_VELOCITY, u.x, u.y, u.z);
  }
  void setMinDistance(float d) override {
    ALuint s = v_->ready("setMinDistance");
    checkDistance("setMinDistance", d);
    if (d == v_->minDistance) return;
    // At the room's scale: a smaller distance counts as the room's own.
    alSourcef(s, AL_REFERENCE_DISTANCE, std::max(d, kMinDistance));
    v_->minDistance = d;
  }
  void setMaxDistance(float d) override {
    ALuint s = v_->ready("setMaxDistance");
    checkDistance("setMaxDistance", d);
    if (d == v_->maxDistance) return;
    alSourcef(s, AL_MAX_DISTANCE, std::max(d, kMaxDistance));
    v_->maxDistance = d;
  }
  void setMode(Mode3D mode) override {
    v_->ready("setMode");
    if (mode != Mode3D::normal && mode != Mode3D::headRelative && mode != Mode3D::off)
      v_->fail("setMode", "no such mode " + std::to_string(static_cast<int>(mode)));
    if (mode == v_->mode) return;
    v_->mode = mode;
    v_->applyPlacement();
  }
  void setConeAngles(int32_t inside, int32_t outside) override {
    ALuint s = v_->ready("setConeAngles");
    if (inside < 0 || outside < 0 || inside > 360 || outside > 360)
      v_->fail("setConeAngles", "cone angles lie within 0 to 360 degrees");
    if (inside != v_->coneInside) alSourcef(s, AL_CONE_INNER_ANGLE, static_cast<float>(inside));
    if (outside != v_->coneOutside) alSourcef(s, AL_CONE_OUTER_ANGLE, static_cast<float>(outside));
    v_->coneInside = inside;
    v_->coneOutside = outside;
  }
  void setConeOutsideVolume(int32_t hundredthsDb) override {
    ALuint s = v_->ready("setConeOutsideVolume");
    int32_t volume = clampVolume(hundredthsDb);
    if (volume == v_->coneOutsideVolume) return;
    alSourcef(s, AL_CONE_OUTER_GAIN, gainFromVolume(volume));
    v_->coneOutsideVolume = volume;
  }

  void checkDistance(const char* op, float d) const {
    if (!(d >= 0) || !std::isfinite(d)) v_->fail(op, "a distance is 0 or more");
  }
  static bool same(const AlVector& a, const AlVector& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
  }

  std::shared_ptr<VoiceCore> v_;
};

ALint stateOf(ALuint source) {
  ALint state = AL_INITIAL;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}

struct VoiceImpl : Voice {
  explicit VoiceImpl(std::shared_ptr<VoiceCore> v) : v_(std::move(v)) {}
  ~VoiceImpl() override { v_->release(); }

  // Once: a voice already playing plays on and stops at its end; a stopped one resumes where it
  // was stopped, or starts over when it had played to its end.
  void play() override { start("play", false); }
  // Looping: a voice already playing goes on from where it is, now looping.
  void loop() override { start("loop", true); }
  // Stopping keeps the place: the next play or loop goes on from there.
  // Pausing a voice that is not playing leaves it as it is.
  void stop() override { alSourcePause(v_->ready("stop")); }
  // A volume or frequency the voice already has makes no call; the player's effects level scales
  // what the game asks for.
  void setVolume(int32_t hundredthsDb) override {
    ALuint s = v_->ready("setVolume");
    int32_t volume = clampVolume(hundredthsDb);
    if (volume == v_->volume) return;
    v_->volume = volume;
    alSourcef(s, AL_GAIN, v_->levelledGain(v_->device->levels));
  }
  void setFrequency(int32_t hz) override {
    ALuint s = v_->ready("setFrequency");
    int32_t frequency = clampFrequency(hz);
    if (frequency == v_->frequency) return;
    alSourcef(s, AL_PITCH, pitchFor(frequency, v_->rate));
    v_->frequency = frequency;
  }
  int32_t getFrequency() override {
    v_->ready("getFrequency");
    return v_->frequency;
  }
  std::unique_ptr<Voice3D> take3D() override {
    v_->ready("get3D");
    return std::make_unique<Voice3DImpl>(v_);
  }

  // Sets looping and starts a voice that is not playing (from where it stopped, or from the
  // start after it played to its end); a playing voice only takes the new looping.
  void start(const char* op, bool looping) {
    ALuint s = v_->ready(op);
    ALint state = stateOf(s);
    if (looping != v_->looping) {
      alSourcei(s, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
      v_->looping = looping;
    }
    if (state != AL_PLAYING) alSourcePlay(s);
  }

  std::shared_ptr<VoiceCore> v_;
};

struct ListenerImpl : Listener {
  explicit ListenerImpl(std::shared_ptr<DeviceCore> d) : d_(std::move(d)) {}

  void ready(const char* op) const {
    if (!d_->open()) fail(op, "the sound device is closed");
    d_->use();
    d_->called(kName, op);
  }
  [[noreturn]] static void fail(const char* op, const std::string& why) {
    throw ServiceError(kName + "." + op, why);
  }

  // An orientation, position or velocity the listener already has makes no call.
  void setOrientation(float fx, float fy, float fz, float tx, float ty, float tz) override {
    ready("setOrientation");
    if (!finite(fx, fy, fz) || !finite(tx, ty, tz))
      fail("setOrientation", "a component is not a number");
    AlVector front = toAl(fx, fy, fz), top = toAl(tx, ty, tz);
    const std::array<ALfloat, 6> v = {front.x, front.y, front.z, top.x, top.y, top.z};
    if (hasOrientation_ && v == orientation_) return;
    alListenerfv(AL_ORIENTATION, v.data());
    orientation_ = v;
    hasOrientation_ = true;
  }
  void setPosition(float x, float y, float z) override {
    ready("setPosition");
    if (!finite(x, y, z)) fail("setPosition", "a coordinate is not a number");
    AlVector p = toAl(x, y, z);
    if (hasPosition_ && Voice3DImpl::same(p, position_)) return;
    alListener3f(AL_POSITION, p.x, p.y, p.z);
    position_ = p;
    hasPosition_ = true;
  }
  void setVelocity(float x, float y, float z) override {
    ready("setVelocity");
    if (!finite(x, y, z)) fail("setVelocity", "a component is not a number");
    AlVector v = toAl(x, y, z);
    if (hasVelocity_ && Voice3DImpl::same(v, velocity_)) return;
    alListener3f(AL_VELOCITY, v.x, v.y, v.z);
    velocity_ = v;
    hasVelocity_ = true;
  }
  void setDopplerFactor(float factor) override {
    ready("setDopplerFactor");
    alDopplerFactor(factor);
  }
  // The listener's roll-off scales every voice's fading with distance, also of voices made later.
  void setRolloffFactor(float factor) override {
    ready("setRolloffFactor");
    if (!(factor >= 0) || !std::isfinite(factor))
      fail("setRolloffFactor", "a roll-off factor is 0 or more");
    d_->rolloff = factor * kRoomRolloff;
    for (SoundCore* s : d_->sounds)
      if (s->takesRolloff) alSourcef(s->source, AL_ROLLOFF_FACTOR, d_->rolloff);
  }

  static inline const std::string kName = "listener";
  std::shared_ptr<DeviceCore> d_;
  std::array<ALfloat, 6> orientation_{};
  AlVector position_, velocity_;
  bool hasOrientation_ = false, hasPosition_ = false, hasVelocity_ = false;
};

}  // namespace

struct PlainCore : SoundCore {
  double lengthMs = 0;
};

struct Registry {
  std::vector<Device*> open;
  Levels levels;
};

namespace {

void applyLevels(DeviceCore& core, const Levels& levels) {
  if (!core.open()) return;
  core.levels = levels;
  core.use();
  alListenerf(AL_GAIN, levels.volume);
  for (SoundCore* s : core.sounds) alSourcef(s->source, AL_GAIN, s->levelledGain(levels));
  alGetError();
}

}  // namespace

// ---- PlainSound

PlainSound::PlainSound(std::shared_ptr<PlainCore> core) : core_(std::move(core)) {}

PlainSound::~PlainSound() {
  if (core_) core_->release();
}

bool PlainSound::playing() const {
  if (!core_ || !core_->alive()) return false;
  core_->device->use();
  bool playing = stateOf(core_->source) == AL_PLAYING;
  core_->device->collect();
  return playing;
}

double PlainSound::lengthMs() const { return core_ ? core_->lengthMs : 0; }

double PlainSound::playedMs() const {
  if (!core_ || !core_->alive()) return 0;
  core_->device->use();
  ALfloat seconds = 0;
  alGetSourcef(core_->source, AL_SEC_OFFSET, &seconds);
  core_->device->collect();
  return seconds * 1000.0;
}

// ---- Device

Device::Device(std::shared_ptr<Registry> registry, std::shared_ptr<DeviceCore> core)
    : registry_(std::move(registry)), core_(std::move(core)) {
  registry_->open.push_back(this);
  applyLevels(*core_, registry_->levels);
}

Device::~Device() {
  auto& open = registry_->open;
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  listener_.reset();
  core_->close();
}

Listener& Device::createListener() {
  if (!core_->open()) throw ServiceError("listener.create", "the sound device is closed");
  if (!listener_) listener_ = std::make_unique<ListenerImpl>(core_);
  return *listener_;
}

std::unique_ptr<Voice> Device::createVoice(const std::string& name, const std::string& path) {
  const std::string call = name + ".create";
  if (!core_->open()) throw ServiceError(call, "the sound device is closed");
  WavData wav = bank_.read(call, path);
  auto v = makeSound<VoiceCore>(core_, call, toMono(wav), wav.sampleRate);
  v->name = name;
  v->rate = wav.sampleRate;
  v->frequency = clampFrequency(wav.sampleRate);
  v->minDistance = kMinDistance;
  v->maxDistance = kMaxDistance;
  v->takesRolloff = true;
  alSourcef(v->source, AL_GAIN, v->levelledGain(core_->levels));
  alSourcef(v->source, AL_ROLLOFF_FACTOR, core_->rolloff);
  alSourcef(v->source, AL_REFERENCE_DISTANCE, kMinDistance);
  alSourcef(v->source, AL_MAX_DISTANCE, kMaxDistance);
  alSourcef(v->source, AL_PITCH, pitchFor(v->frequency, v->rate));
  // Outside a cone a voice is at full level until the game says otherwise (OpenAL's own default
  // would silence it there).
  alSourcef(v->source, AL_CONE_OUTER_GAIN, gainFromVolume(0));
  v->applyPlacement();
  if (ALenum e = alGetError()) throw ServiceError(call, alErrorText(e));
  return std::make_unique<VoiceImpl>(std::move(v));
}

std::string Device::hrtfStatus() const {
  if (!core_->open()) return "the sound device is closed";
  if (!alcIsExtensionPresent(core_->device, "ALC_SOFT_HRTF")) return "not offered by this OpenAL";
  ALCint status = ALC_HRTF_DISABLED_SOFT;
  alcGetIntegerv(core_->device, ALC_HRTF_STATUS_SOFT, 1, &status);
  std::string text;
  switch (status) {
    case ALC_HRTF_ENABLED_SOFT:
      text = "enabled";
      break;
    case ALC_HRTF_REQUIRED_SOFT:
      text = "enabled (required by the OpenAL Soft configuration)";
      break;
    case ALC_HRTF_HEADPHONES_DETECTED_SOFT:
      text = "enabled (headphones detected)";
      break;
    case ALC_HRTF_DENIED_SOFT:
      return "off (denied by the OpenAL Soft configuration)";
    case ALC_HRTF_UNSUPPORTED_FORMAT_SOFT:
      return "off (the output is not stereo or its rate has no HRTF data)";
    default:
      return "off";
  }
  if (const ALCchar* name = alcGetString(core_->device, ALC_HRTF_SPECIFIER_SOFT); name && *name)
    text += ": " + std::string(name);
  return text;
}

bool Device::hrtfEnabled() const { return hrtfStatus().rfind("enabled", 0) == 0; }

double Device::outputLatencyMs() const {
  if (!core_->open() || !core_->getInteger64) return 0;
  ALCint64SOFT nanos = 0;
  core_->getInteger64(core_->device, ALC_DEVICE_LATENCY_SOFT, 1, &nanos);
  return static_cast<double>(nanos) / 1e6;
}

int32_t Device::outputRate() const {
  if (!core_->open()) return 0;
  ALCint rate = 0;
  alcGetIntegerv(core_->device, ALC_FREQUENCY, 1, &rate);
  return rate;
}

std::unique_ptr<PlainSound> Device::playPlain(const std::string& call,
                                              const std::vector<int16_t>& mono,
                                              int32_t sampleRate) {
  if (mono.empty()) return std::make_unique<PlainSound>(nullptr);
  auto p = makeSound<PlainCore>(core_, call, mono, sampleRate);
  p->lengthMs = static_cast<double>(mono.size()) * 1000.0 / sampleRate;
  // In the middle of the head: on the listener, never faded by distance.
  alSourcei(p->source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(p->source, AL_POSITION, 0, 0, 0);
  alSourcef(p->source, AL_ROLLOFF_FACTOR, 0);
  alSourcef(p->source, AL_GAIN, p->levelledGain(core_->levels));
  alSourcePlay(p->source);
  if (ALenum e = alGetError()) throw ServiceError(call, alErrorText(e));
  return std::make_unique<PlainSound>(std::move(p));
}

void Device::render(int32_t frames, int16_t* buffer) {
  if (!core_->open()) throw ServiceError("render", "the sound device is closed");
  if (!core_->renderSamples) throw ServiceError("render", "not a loopback device");
  core_->use();
  core_->renderSamples(core_->device, buffer, frames);
}

void Device::pauseAll() {
  if (!core_->open()) return;
  core_->use();
  for (SoundCore* s : core_->sounds) {
    if (s->source && stateOf(s->source) == AL_PLAYING) {
      alSourcePause(s->source);
      core_->paused.push_back(s->source);
    }
  }
  alGetError();
}

void Device::resumeAll() {
  if (!core_->open()) return;
  core_->use();
  // Only those still paused and still there: a sound released meanwhile has lost its name.
  for (ALuint source : core_->paused)
    if (alIsSource(source) && stateOf(source) == AL_PAUSED) alSourcePlay(source);
  core_->paused.clear();
  alGetError();
}

void Device::setLevels(const Levels& levels) { applyLevels(*core_, levels); }

// ---- SoundBackend

SoundBackend::SoundBackend() : registry_(std::make_shared<Registry>()) {}
SoundBackend::~SoundBackend() = default;

std::unique_ptr<SoundDevice> SoundBackend::createDevice() { return openDevice("device.create"); }

std::unique_ptr<Device> SoundBackend::openDevice(const std::string& call) {
  return std::make_unique<Device>(registry_, openCore(call));
}

Device* SoundBackend::current() const {
  return registry_->open.empty() ? nullptr : registry_->open.back();
}

std::string SoundBackend::hrtfStatus() const {
  Device* d = current();
  return d ? d->hrtfStatus() : "no sound device is open";
}

void SoundBackend::setLevels(const Levels& levels) {
  registry_->levels = levels;
  for (Device* d : registry_->open) d->setLevels(levels);
}

const Levels& SoundBackend::levels() const { return registry_->levels; }

void SoundBackend::setPaused(bool paused) {
  for (Device* d : registry_->open) {
    if (paused) {
      d->pauseAll();
    } else {
      d->resumeAll();
    }
  }
}

double SoundBackend::outputLatencyMs() const {
  Device* d = current();
  return d ? d->outputLatencyMs() : 0;
}

namespace {

// A context made: inverse-distance-clamped fading (full level within the minimum distance, no
// further fading beyond the maximum), and the device's clock when it has one.
std::shared_ptr<DeviceCore> adopt(ALCdevice* device, ALCcontext* context) {
  auto core = std::make_shared<DeviceCore>();
  core->device = device;
  core->context = context;
  core->use();
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  alGetError();
  if (alcIsExtensionPresent(device, "ALC_SOFT_device_clock"))
    core->getInteger64 =
        reinterpret_cast<LPALCGETINTEGER64VSOFT>(alcGetProcAddress(device, "alcGetInteger64vSOFT"));
  return core;
}

ALCcontext* makeContext(ALCdevice* device, std::vector<ALCint> attrs, const std::string& call,
                        Hrtf hrtf) {
  if (alcIsExtensionPresent(device, "ALC_SOFT_HRTF")) {
    attrs.push_back(ALC_HRTF_SOFT);
    attrs.push_back(hrtf == Hrtf::off ? ALC_FALSE : ALC_TRUE);
  }
  attrs.push_back(0);
  ALCcontext* context = alcCreateContext(device, attrs.data());
  if (!context) {
    ALCenum e = alcGetError(device);
    alcCloseDevice(device);
    throw ServiceError(call, "the sound device refused a context: " + alcErrorText(e));
  }
  return context;
}

}  // namespace

namespace {

struct Periods {
  int32_t frames = kPeriodFrames;
  int32_t count = kPeriods;
};

// The latency asked for is the whole buffer. Below the default's it is cut in three periods, so
// that a change waits less for the next mix; above it, in as many periods of about 256 frames as
// it holds (2 to 16).
Periods periodsFor(const DeviceOptions& options) {
  Periods p;
  if (options.latencyMs <= 0) return p;
  int32_t frames =
      std::clamp(options.latencyMs, DeviceOptions::kMinLatencyMs, DeviceOptions::kMaxLatencyMs) *
      kReckonedRate / 1000;
  p.count = frames < kPeriods * kPeriodFrames
                ? 3
                : std::clamp((frames + kPeriodFrames / 2) / kPeriodFrames, 2, 16);
  p.frames = std::max(64, (frames / p.count + 16) / 32 * 32);
  return p;
}

}  // namespace

std::string playbackDefaults(const DeviceOptions& options) {
  std::string text =
      "# Rotor Duel's defaults; the user's own alsoft.conf and ALSOFT_CONF override them.\n"
      "[general]\n"
      // Mixed in float, the output needs no limiter: it would add a period of delay and a share
      // of the mixing time.
      "output-limiter = false\n"
      "resampler = bsinc12\n";
  if (options.latencyMs == DeviceOptions::kAutoLatency) return text;
  Periods periods = periodsFor(options);
  text += "period_size = " + std::to_string(periods.frames) + "\n";
  text += "periods = " + std::to_string(periods.count) + "\n";
  return text;
}

namespace {

// OpenAL Soft reads the folders of XDG_CONFIG_DIRS (the first one ranking highest) before the
// user's own file, the one beside the program and ALSOFT_CONF. The defaults go into a private
// folder put first in that list while the first device opens; the list is restored after.
#ifndef _WIN32
class ConfigFolder {
 public:
  explicit ConfigFolder(const std::string& text) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/rotorduel-XXXXXX";
    if (!mkdtemp(pattern.data())) return;
    folder_ = pattern;
    // A colon would split the folder in two in the list.
    if (folder_.find(':') != std::string::npos) return;
    std::ofstream out(folder_ + "/alsoft.conf");
    out << text;
    if (!out.flush()) return;
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    hadDirs_ = dirs != nullptr;
    if (dirs) oldDirs_ = dirs;
    // An empty or missing list means /etc/xdg.
    std::string rest = dirs && *dirs ? dirs : "/etc/xdg";
    setenv("XDG_CONFIG_DIRS", (folder_ + ":" + rest).c_str(), 1);
    set_ = true;
  }
  ~ConfigFolder() {
    if (set_) {
      if (hadDirs_) {
        setenv("XDG_CONFIG_DIRS", oldDirs_.c_str(), 1);
      } else {
        unsetenv("XDG_CONFIG_DIRS");
      }
    }
    if (!folder_.empty()) {
      std::remove((folder_ + "/alsoft.conf").c_str());
      rmdir(folder_.c_str());
    }
  }
  ConfigFolder(const ConfigFolder&) = delete;
  ConfigFolder& operator=(const ConfigFolder&) = delete;

 private:
  std::string folder_, oldDirs_;
  bool hadDirs_ = false, set_ = false;
};
#else
// On Windows OpenAL Soft reads no XDG folders: the periods are its own or the user's alsoft.ini.
class ConfigFolder {
 public:
  explicit ConfigFolder(const std::string&) {}
};
#endif

// OpenAL Soft reads its configuration once, at the first device: later devices cannot change it.
bool g_configRead = false;

}  // namespace

PlaybackSound::PlaybackSound(std::string deviceName, DeviceOptions options)
    : deviceName_(std::move(deviceName)), options_(options) {}

std::shared_ptr<DeviceCore> PlaybackSound::openCore(const std::string& call) {
  // The game's defaults are in place while the first device of the process opens: OpenAL Soft
  // reads its configuration then.
  std::optional<ConfigFolder> defaults;
  if (!g_configRead) {
    defaults.emplace(playbackDefaults(options_));
    g_configRead = true;
  }
  ALCdevice* device = alcOpenDevice(deviceName_.empty() ? nullptr : deviceName_.c_str());
  if (!device)
    throw ServiceError(call, deviceName_.empty() ? "no sound output device could be opened"
                                                 : "the sound output device '" + deviceName_ +
                                                       "' cannot be opened");
  // Newer OpenAL Soft releases take the period from the refresh rate asked for.
  ALCcontext* context =
      makeContext(device, {ALC_REFRESH, kReckonedRate / periodsFor(options_).frames}, call, hrtf_);
  return adopt(device, context);
}

std::shared_ptr<DeviceCore> LoopbackSound::openCore(const std::string& call) {
  // A render is mixed as the player hears it: the same resampler and limiter (the periods do not
  // matter here), if this is the first device of the process.
  std::optional<ConfigFolder> defaults;
  if (!g_configRead) {
    defaults.emplace(playbackDefaults({DeviceOptions::kAutoLatency}));
    g_configRead = true;
  }
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
    throw ServiceError(call, "this OpenAL has no loopback device");
  auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto formatSupported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
      alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
  auto renderSamples =
      reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!openLoopback || !formatSupported || !renderSamples)
    throw ServiceError(call, "this OpenAL has no loopback device");
  ALCdevice* device = openLoopback(nullptr);
  if (!device) throw ServiceError(call, "the loopback device cannot be opened");
  if (!formatSupported(device, kRate, ALC_STEREO_SOFT, ALC_SHORT_SOFT)) {
    alcCloseDevice(device);
    throw ServiceError(call, "the loopback device cannot mix 44.1 kHz 16-bit stereo");
  }
  ALCcontext* context = makeContext(device,
                                    {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT, ALC_FREQUENCY, kRate},
                                    call, hrtf_);
  auto core = adopt(device, context);
  core->renderSamples = renderSamples;
  return core;
}

void LoopbackSound::render(int32_t frames, int16_t* buffer) {
  if (frames <= 0) return;
  if (Device* d = current()) {
    d->render(frames, buffer);
  } else {
    std::fill(buffer, buffer + static_cast<size_t>(frames) * 2, int16_t{0});
  }
}

}  // namespace rd::openal

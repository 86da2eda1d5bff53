#include "platform/openal/openal_sound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "platform/openal/mapping.h"
#include "platform/service_error.h"
#include "platform/wav/wav_file.h"

namespace rd::openal {

namespace {

// The context OpenAL calls go to. Everything runs on the game's one thread, and a device makes its
// context current only when a call on it finds another one current.
ALCcontext* g_current = nullptr;

// Playback devices are asked for short mixing periods: about 5.8 ms at 44.1 kHz. OpenAL Soft 1.19
// takes the period from its configuration (the alsoft.conf beside the program); newer releases
// also honour this request.
constexpr ALCint kRefreshHz = 172;

// The distances of a voice the game leaves at the device's defaults (the television, the wind,
// the impacts at the walls, the named cues, the finder's tones): full level within kMinDistance,
// then 6 dB down for each doubling of the distance (the game's roll-off of 1), so a crash, a
// scrape or a landing at the far wall is still well heard, 12 dB under one beside the listener,
// and distance is heard all the way across the room. The room is 40 units wide and about 10 high,
// so with kMaxDistance no two places in it are far enough apart for the fading to stop.
constexpr float kMinDistance = 5.0f;
constexpr float kMaxDistance = 60.0f;

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
  float rolloff = 1.0f;
  // Every source this device made that still exists.
  std::set<SoundCore*> sounds;

  ~DeviceCore() { close(); }
  bool open() const { return context != nullptr; }
  void use() const {
    if (g_current != context) {
      alcMakeContextCurrent(context);
      g_current = context;
    }
  }
  void close();
};

// One source with its own buffer.
struct SoundCore {
  std::shared_ptr<DeviceCore> device;
  ALuint source = 0;
  ALuint buffer = 0;
  // Voices of the room take the listener's roll-off; the speech voice does not.
  bool takesRolloff = false;

  SoundCore() = default;
  SoundCore(const SoundCore&) = delete;
  SoundCore& operator=(const SoundCore&) = delete;
  virtual ~SoundCore() { release(); }

  bool alive() const { return source != 0 && device && device->open(); }
  void release() {
    if (device && device->open()) {
      device->use();
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
  alcMakeContextCurrent(nullptr);
  g_current = nullptr;
  alcDestroyContext(context);
  alcCloseDevice(device);
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
  alGetError();
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

  // The source, ready for a call named `op`; fails when the voice or its device is gone.
  ALuint ready(const char* op) const {
    if (!device || !device->open()) fail(op, "the sound device is closed");
    if (!source) fail(op, "the voice was released");
    device->use();
    return source;
  }
  void check(const char* op) const {
    if (ALenum e = alGetError()) fail(op, alErrorText(e));
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

  void setPosition(float x, float y, float z) override {
    ALuint s = v_->ready("setPosition");
    if (!finite(x, y, z)) v_->fail("setPosition", "a coordinate is not a number");
    v_->position = toAl(x, y, z);
    if (v_->mode != Mode3D::off)
      alSource3f(s, AL_POSITION, v_->position.x, v_->position.y, v_->position.z);
    v_->check("setPosition");
  }
  void setVelocity(float x, float y, float z) override {
    ALuint s = v_->ready("setVelocity");
    if (!finite(x, y, z)) v_->fail("setVelocity", "a component is not a number");
    v_->velocity = toAl(x, y, z);
    if (v_->mode != Mode3D::off)
      alSource3f(s, AL_VELOCITY, v_->velocity.x, v_->velocity.y, v_->velocity.z);
    v_->check("setVelocity");
  }
  void setMinDistance(float d) override {
    alSourcef(v_->ready("setMinDistance"), AL_REFERENCE_DISTANCE, d);
    v_->check("setMinDistance");
  }
  void setMaxDistance(float d) override {
    alSourcef(v_->ready("setMaxDistance"), AL_MAX_DISTANCE, d);
    v_->check("setMaxDistance");
  }
  void setMode(Mode3D mode) override {
    v_->ready("setMode");
    if (mode != Mode3D::normal && mode != Mode3D::headRelative && mode != Mode3D::off)
      v_->fail("setMode", "no such mode " + std::to_string(static_cast<int>(mode)));
    v_->mode = mode;
    v_->applyPlacement();
    v_->check("setMode");
  }
  void setConeAngles(int32_t inside, int32_t outside) override {
    ALuint s = v_->ready("setConeAngles");
    if (inside < 0 || outside < 0 || inside > 360 || outside > 360)
      v_->fail("setConeAngles", "cone angles lie within 0 to 360 degrees");
    alSourcef(s, AL_CONE_INNER_ANGLE, static_cast<float>(inside));
    alSourcef(s, AL_CONE_OUTER_ANGLE, static_cast<float>(outside));
    v_->check("setConeAngles");
  }
  void setConeOutsideVolume(int32_t hundredthsDb) override {
    alSourcef(v_->ready("setConeOutsideVolume"), AL_CONE_OUTER_GAIN, gainFromVolume(hundredthsDb));
    v_->check("setConeOutsideVolume");
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
  void play() override { start("play", AL_FALSE); }
  // Looping: a voice already playing goes on from where it is, now looping.
  void loop() override { start("loop", AL_TRUE); }
  // Stopping keeps the place: the next play or loop goes on from there.
  void stop() override {
    ALuint s = v_->ready("stop");
    if (stateOf(s) == AL_PLAYING) alSourcePause(s);
    v_->check("stop");
  }
  void setVolume(int32_t hundredthsDb) override {
    alSourcef(v_->ready("setVolume"), AL_GAIN, gainFromVolume(hundredthsDb));
    v_->check("setVolume");
  }
  void setFrequency(int32_t hz) override {
    ALuint s = v_->ready("setFrequency");
    alSourcef(s, AL_PITCH, pitchFor(hz, v_->rate));
    v_->check("setFrequency");
    v_->frequency = clampFrequency(hz);
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
  void start(const char* op, ALboolean looping) {
    ALuint s = v_->ready(op);
    ALint state = stateOf(s);
    alSourcei(s, AL_LOOPING, looping);
    if (state != AL_PLAYING) alSourcePlay(s);
    v_->check(op);
  }

  std::shared_ptr<VoiceCore> v_;
};

struct ListenerImpl : Listener {
  explicit ListenerImpl(std::shared_ptr<DeviceCore> d) : d_(std::move(d)) {}

  void ready(const char* op) const {
    if (!d_->open()) fail(op, "the sound device is closed");
    d_->use();
  }
  void check(const char* op) const {
    if (ALenum e = alGetError()) fail(op, alErrorText(e));
  }
  [[noreturn]] static void fail(const char* op, const std::string& why) {
    throw ServiceError(std::string("listener.") + op, why);
  }

  void setOrientation(float fx, float fy, float fz, float tx, float ty, float tz) override {
    ready("setOrientation");
    if (!finite(fx, fy, fz) || !finite(tx, ty, tz))
      fail("setOrientation", "a component is not a number");
    AlVector front = toAl(fx, fy, fz), top = toAl(tx, ty, tz);
    const ALfloat v[6] = {front.x, front.y, front.z, top.x, top.y, top.z};
    alListenerfv(AL_ORIENTATION, v);
    check("setOrientation");
  }
  void setPosition(float x, float y, float z) override {
    ready("setPosition");
    if (!finite(x, y, z)) fail("setPosition", "a coordinate is not a number");
    AlVector p = toAl(x, y, z);
    alListener3f(AL_POSITION, p.x, p.y, p.z);
    check("setPosition");
  }
  void setVelocity(float x, float y, float z) override {
    ready("setVelocity");
    if (!finite(x, y, z)) fail("setVelocity", "a component is not a number");
    AlVector v = toAl(x, y, z);
    alListener3f(AL_VELOCITY, v.x, v.y, v.z);
    check("setVelocity");
  }
  void setDopplerFactor(float factor) override {
    ready("setDopplerFactor");
    alDopplerFactor(factor);
    check("setDopplerFactor");
  }
  // The listener's roll-off scales every voice's fading with distance, also of voices made later.
  void setRolloffFactor(float factor) override {
    ready("setRolloffFactor");
    if (!(factor >= 0) || !std::isfinite(factor))
      fail("setRolloffFactor", "a roll-off factor is 0 or more");
    for (SoundCore* s : d_->sounds)
      if (s->takesRolloff) alSourcef(s->source, AL_ROLLOFF_FACTOR, factor);
    check("setRolloffFactor");
    d_->rolloff = factor;
  }

  std::shared_ptr<DeviceCore> d_;
};

}  // namespace

struct PlainCore : SoundCore {
  double lengthMs = 0;
};

struct Registry {
  std::vector<Device*> open;
};

// ---- PlainSound

PlainSound::PlainSound(std::shared_ptr<PlainCore> core) : core_(std::move(core)) {}

PlainSound::~PlainSound() {
  if (core_) core_->release();
}

bool PlainSound::playing() const {
  if (!core_ || !core_->alive()) return false;
  core_->device->use();
  bool playing = stateOf(core_->source) == AL_PLAYING;
  alGetError();
  return playing;
}

double PlainSound::lengthMs() const { return core_ ? core_->lengthMs : 0; }

double PlainSound::playedMs() const {
  if (!core_ || !core_->alive()) return 0;
  core_->device->use();
  ALfloat seconds = 0;
  alGetSourcef(core_->source, AL_SEC_OFFSET, &seconds);
  alGetError();
  return seconds * 1000.0;
}

// ---- Device

Device::Device(std::shared_ptr<Registry> registry, std::shared_ptr<DeviceCore> core)
    : registry_(std::move(registry)), core_(std::move(core)) {
  registry_->open.push_back(this);
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
  WavData wav = readWav(call, path);
  auto v = makeSound<VoiceCore>(core_, call, toMono(wav), wav.sampleRate);
  v->name = name;
  v->rate = wav.sampleRate;
  v->frequency = clampFrequency(wav.sampleRate);
  v->takesRolloff = true;
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

ALCcontext* makeContext(ALCdevice* device, std::vector<ALCint> attrs, const std::string& call) {
  if (alcIsExtensionPresent(device, "ALC_SOFT_HRTF")) {
    attrs.push_back(ALC_HRTF_SOFT);
    attrs.push_back(ALC_TRUE);
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

PlaybackSound::PlaybackSound(std::string deviceName) : deviceName_(std::move(deviceName)) {}

std::shared_ptr<DeviceCore> PlaybackSound::openCore(const std::string& call) {
  ALCdevice* device = alcOpenDevice(deviceName_.empty() ? nullptr : deviceName_.c_str());
  if (!device)
    throw ServiceError(call, deviceName_.empty() ? "no sound output device could be opened"
                                                 : "the sound output device '" + deviceName_ +
                                                       "' cannot be opened");
  ALCcontext* context = makeContext(device, {ALC_REFRESH, kRefreshHz}, call);
  return adopt(device, context);
}

std::shared_ptr<DeviceCore> LoopbackSound::openCore(const std::string& call) {
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
                                    call);
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

// The OpenAL context and its errors: the context current on the game's thread, OpenAL's error
// codes in words, the error a handler's calls left, and the context made for a device.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/openal/openal_core.h"

namespace rd::openal {

thread_local ALCcontext* g_current = nullptr;

namespace {

// A context current on this thread alone spares every call OpenAL Soft's global lock; without the
// extension the context is made current for the whole process.
PFNALCSETTHREADCONTEXTPROC threadContextCall() {
  static const auto call = alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context")
                               ? reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(
                                     alcGetProcAddress(nullptr, "alcSetThreadContext"))
                               : nullptr;
  return call;
}

}  // namespace

void makeCurrent(ALCcontext* context) {
  if (auto setThreadContext = threadContextCall()) {
    setThreadContext(context);
  } else {
    alcMakeContextCurrent(context);
  }
  g_current = context;
}

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

void DeviceCore::checkCalls() {
  if (!open()) return;
  use();
  collect();
  lastWho = nullptr;
  lastOp = "";
  if (keptError == AL_NO_ERROR) return;
  ALenum e = keptError;
  keptError = AL_NO_ERROR;
  throw GameError(std::move(keptCall), alErrorText(e));
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

bool DeviceCore::stillConnected() {
  if (lost) return false;
  if (!open() || !reportsLoss) return true;
  ALCint connected = ALC_TRUE;
  alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
  lost = connected == ALC_FALSE;
  return !lost;
}

bool DeviceCore::watch() {
  if (lost || !open()) return stillConnected();
  use();
  // A device lost while the sounds were looked at has already stopped them: what was seen is
  // kept only when the device still played after the look.
  std::vector<std::pair<ALint, ALint>> seen;
  seen.reserve(sounds.size());
  for (SoundCore* s : sounds) {
    ALint offset = 0;
    const ALint state = s->source ? stateOf(s->source) : AL_INITIAL;
    if (s->source) alGetSourcei(s->source, AL_SAMPLE_OFFSET, &offset);
    seen.emplace_back(state, offset);
  }
  alGetError();
  if (!stillConnected()) return false;
  size_t i = 0;
  for (SoundCore* s : sounds) {
    s->savedState = seen[i].first;
    s->savedOffset = seen[i].second;
    ++i;
  }
  return true;
}

namespace {

// What a source was told, read back from the lost device's context, which still answers.
struct SourceSettings {
  static constexpr std::array<ALenum, 10> kFloats = {AL_PITCH,
                                                     AL_GAIN,
                                                     AL_MIN_GAIN,
                                                     AL_MAX_GAIN,
                                                     AL_REFERENCE_DISTANCE,
                                                     AL_MAX_DISTANCE,
                                                     AL_ROLLOFF_FACTOR,
                                                     AL_CONE_INNER_ANGLE,
                                                     AL_CONE_OUTER_ANGLE,
                                                     AL_CONE_OUTER_GAIN};
  static constexpr std::array<ALenum, 3> kVectors = {AL_POSITION, AL_VELOCITY, AL_DIRECTION};
  static constexpr std::array<ALenum, 2> kInts = {AL_SOURCE_RELATIVE, AL_LOOPING};
  std::array<ALfloat, kFloats.size()> floats{};
  std::array<std::array<ALfloat, 3>, kVectors.size()> vectors{};
  std::array<ALint, kInts.size()> ints{};

  void read(ALuint source) {
    for (size_t i = 0; i < kFloats.size(); ++i) alGetSourcef(source, kFloats[i], &floats[i]);
    for (size_t i = 0; i < kVectors.size(); ++i)
      alGetSourcefv(source, kVectors[i], vectors[i].data());
    for (size_t i = 0; i < kInts.size(); ++i) alGetSourcei(source, kInts[i], &ints[i]);
  }
  // All but the gain, which comes last, once the source is where it was.
  void write(ALuint source) const {
    for (size_t i = 0; i < kFloats.size(); ++i)
      if (kFloats[i] != AL_GAIN) alSourcef(source, kFloats[i], floats[i]);
    for (size_t i = 0; i < kVectors.size(); ++i) alSourcefv(source, kVectors[i], vectors[i].data());
    for (size_t i = 0; i < kInts.size(); ++i) alSourcei(source, kInts[i], ints[i]);
  }
  ALfloat gain() const { return floats[1]; }
};

struct ListenerSettings {
  ALfloat gain = 1;
  std::array<ALfloat, 3> position{}, velocity{};
  std::array<ALfloat, 6> orientation{};
  ALfloat doppler = 1, speedOfSound = 343.3f;
  ALint distanceModel = AL_INVERSE_DISTANCE_CLAMPED;

  void read() {
    alGetListenerf(AL_GAIN, &gain);
    alGetListenerfv(AL_POSITION, position.data());
    alGetListenerfv(AL_VELOCITY, velocity.data());
    alGetListenerfv(AL_ORIENTATION, orientation.data());
    doppler = alGetFloat(AL_DOPPLER_FACTOR);
    speedOfSound = alGetFloat(AL_SPEED_OF_SOUND);
    distanceModel = alGetInteger(AL_DISTANCE_MODEL);
  }
  void write() const {
    alListenerf(AL_GAIN, gain);
    alListenerfv(AL_POSITION, position.data());
    alListenerfv(AL_VELOCITY, velocity.data());
    alListenerfv(AL_ORIENTATION, orientation.data());
    alDopplerFactor(doppler);
    alSpeedOfSound(speedOfSound);
    alDistanceModel(distanceModel);
  }
};

// A sound made again on the current context from its samples, with the settings it had, in the
// state and at the sample it was in.
void rebuild(SoundCore& s, const SourceSettings& settings) {
  s.source = s.buffer = 0;
  alGenBuffers(1, &s.buffer);
  if (alGetError() != AL_NO_ERROR) s.buffer = 0;
  if (s.buffer && !s.samples.empty())
    alBufferData(s.buffer, AL_FORMAT_MONO16, s.samples.data(),
                 static_cast<ALsizei>(s.samples.size() * sizeof(int16_t)), s.sampleRate);
  alGenSources(1, &s.source);
  if (alGetError() != AL_NO_ERROR) {
    s.source = 0;
    return;
  }
  alSourcei(s.source, AL_BUFFER, static_cast<ALint>(s.buffer));
  settings.write(s.source);
  alSourcef(s.source, AL_GAIN, 0);
  const auto length = static_cast<ALint>(s.samples.size());
  const ALint offset = s.savedOffset >= 0 && s.savedOffset < length ? s.savedOffset : 0;
  if (s.savedState == AL_PLAYING || s.savedState == AL_PAUSED) {
    alSourcei(s.source, AL_SAMPLE_OFFSET, offset);
    alSourcePlay(s.source);
    if (s.savedState == AL_PAUSED) {
      alSourcePause(s.source);
      alSourcei(s.source, AL_SAMPLE_OFFSET, offset);
    }
  }
  alSourcef(s.source, AL_GAIN, settings.gain());
  alGetError();
}

}  // namespace

bool DeviceCore::reopen() {
  if (!lost) return true;
  if (!reopener || !open()) return false;
  auto [newDevice, newContext] = reopener();
  if (!newDevice || !newContext) return false;
  // Everything is read from the old context before it goes.
  use();
  collect();
  ListenerSettings listener;
  listener.read();
  std::vector<SourceSettings> settings(sounds.size());
  size_t i = 0;
  for (SoundCore* s : sounds) {
    if (s->source) settings[i].read(s->source);
    ++i;
  }
  alGetError();
  makeCurrent(nullptr);
  alcDestroyContext(context);
  alcCloseDevice(device);
  device = newDevice;
  context = newContext;
  lost = false;
  reportsLoss = alcIsExtensionPresent(device, "ALC_EXT_disconnect") == ALC_TRUE;
  use();
  listener.write();
  i = 0;
  for (SoundCore* s : sounds) rebuild(*s, settings[i++]);
  alGetError();
  return stillConnected();
}

// A context made: inverse-distance-clamped fading (full level within the minimum distance, no
// further fading beyond the maximum), and the device's clock when it has one.
std::shared_ptr<DeviceCore> adopt(ALCdevice* device, ALCcontext* context) {
  auto core = std::make_shared<DeviceCore>();
  core->device = device;
  core->context = context;
  core->reportsLoss = alcIsExtensionPresent(device, "ALC_EXT_disconnect") == ALC_TRUE;
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
    throw GameError(call, "the sound device refused a context: " + alcErrorText(e));
  }
  return context;
}

}  // namespace rd::openal

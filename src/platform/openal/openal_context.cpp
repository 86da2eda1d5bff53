// The OpenAL context and its errors: the context current on the game's thread, OpenAL's error
// codes in words, the error a handler's calls left, and the context made for a device.
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
    throw GameError(call, "the sound device refused a context: " + alcErrorText(e));
  }
  return context;
}

}  // namespace rd::openal

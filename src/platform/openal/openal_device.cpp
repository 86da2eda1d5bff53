// The device and its levels: the voices and the listener it makes, the speech played plain
// through it, pausing and the player's levels, and the sound root that knows the open devices.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/openal/openal_core.h"

namespace rd::openal {

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
  if (!core_->open()) throw GameError("listener.create", "the sound device is closed");
  if (!listener_) listener_ = makeListener(core_);
  return *listener_;
}

std::unique_ptr<Voice> Device::createVoice(const std::string& name, const std::string& path) {
  const std::string call = name + ".create";
  if (!core_->open()) throw GameError(call, "the sound device is closed");
  WavData wav = bank_.read(call, path);
  return makeVoice(core_, name, call, wav);
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
  if (ALenum e = alGetError()) throw GameError(call, alErrorText(e));
  return std::make_unique<PlainSound>(std::move(p));
}

void Device::render(int32_t frames, int16_t* buffer) {
  if (!core_->open()) throw GameError("render", "the sound device is closed");
  if (!core_->renderSamples) throw GameError("render", "not a loopback device");
  core_->use();
  core_->renderSamples(core_->device, buffer, frames);
}

void Device::pauseAll() {
  if (!core_->open()) return;
  core_->use();
  // A lost device has stopped everything: what was playing is known from the last look.
  const bool lost = !core_->stillConnected();
  for (SoundCore* s : core_->sounds) {
    if (!s->source || (lost ? s->savedState : stateOf(s->source)) != AL_PLAYING) continue;
    if (!lost) alSourcePause(s->source);
    s->savedState = AL_PAUSED;
    core_->paused.push_back(s);
  }
  alGetError();
}

void Device::resumeAll() {
  if (!core_->open()) return;
  core_->use();
  const bool lost = !core_->stillConnected();
  // Only those still paused: a sound released meanwhile has left the list.
  for (SoundCore* s : core_->paused) {
    if (!s->source || (lost ? s->savedState : stateOf(s->source)) != AL_PAUSED) continue;
    if (!lost) alSourcePlay(s->source);
    s->savedState = AL_PLAYING;
  }
  core_->paused.clear();
  alGetError();
}

bool Device::connected() { return core_->watch(); }
bool Device::stillConnected() { return core_->stillConnected(); }
bool Device::reopen() { return core_->reopen(); }

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

bool SoundBackend::connected() {
  bool all = true;
  for (Device* d : registry_->open) all = d->connected() && all;
  return all;
}

bool SoundBackend::reopen() {
  bool all = true;
  for (Device* d : registry_->open) all = d->reopen() && all;
  return all;
}

double SoundBackend::outputLatencyMs() const {
  Device* d = current();
  return d ? d->outputLatencyMs() : 0;
}

}  // namespace rd::openal

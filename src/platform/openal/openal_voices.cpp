// The room's voices and the listener on OpenAL: each voice one source with its own buffer, placed
// at the room's scale; values a source already has cost no call.
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/openal/mapping.h"
#include "platform/openal/openal_core.h"

namespace rd::openal {

namespace {

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
    throw GameError(name + "." + op, why);
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
    alSourcef(s, AL_REFERENCE_DISTANCE, room::heardMinDistance(d));
    v_->minDistance = d;
  }
  void setMaxDistance(float d) override {
    ALuint s = v_->ready("setMaxDistance");
    checkDistance("setMaxDistance", d);
    if (d == v_->maxDistance) return;
    alSourcef(s, AL_MAX_DISTANCE, room::heardMaxDistance(d));
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
  void stop() override {
    alSourcePause(v_->ready("stop"));
    if (v_->savedState == AL_PLAYING) v_->savedState = AL_PAUSED;
  }
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
    // A lost device has stopped every source: the state it had is the one last seen.
    ALint state = v_->device->lost ? v_->savedState : stateOf(s);
    if (looping != v_->looping) {
      alSourcei(s, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
      v_->looping = looping;
    }
    if (state != AL_PLAYING) {
      alSourcePlay(s);
      if (state != AL_PAUSED) v_->savedOffset = 0;
    }
    v_->savedState = AL_PLAYING;
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
    throw GameError(kName + "." + op, why);
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
    d_->rolloff = room::heardRolloff(factor);
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

std::unique_ptr<Listener> makeListener(std::shared_ptr<DeviceCore> core) {
  return std::make_unique<ListenerImpl>(std::move(core));
}

std::unique_ptr<Voice> makeVoice(const std::shared_ptr<DeviceCore>& core, const std::string& name,
                                 const std::string& call, const WavData& wav) {
  auto v = makeSound<VoiceCore>(core, call, toMono(wav), wav.sampleRate);
  v->name = name;
  v->rate = wav.sampleRate;
  v->frequency = clampFrequency(wav.sampleRate);
  v->minDistance = room::kMinDistance;
  v->maxDistance = room::kMaxDistance;
  v->takesRolloff = true;
  alSourcef(v->source, AL_GAIN, v->levelledGain(core->levels));
  alSourcef(v->source, AL_ROLLOFF_FACTOR, core->rolloff);
  alSourcef(v->source, AL_REFERENCE_DISTANCE, room::kMinDistance);
  alSourcef(v->source, AL_MAX_DISTANCE, room::kMaxDistance);
  alSourcef(v->source, AL_PITCH, pitchFor(v->frequency, v->rate));
  // Outside a cone a voice is at full level until the game says otherwise (OpenAL's own default
  // would silence it there).
  alSourcef(v->source, AL_CONE_OUTER_GAIN, gainFromVolume(0));
  v->applyPlacement();
  if (ALenum e = alGetError()) throw GameError(call, alErrorText(e));
  return std::make_unique<VoiceImpl>(std::move(v));
}

}  // namespace rd::openal

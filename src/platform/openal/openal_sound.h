// The 3D sound device on OpenAL Soft. A voice is one source with its own buffer; the listener is
// the context's listener; HRTF is asked for when the context is made. Two kinds of device: the
// default playback device for the game, and a loopback device that renders into memory (for
// writing a replay to a file and for tests that need no sound card).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/limits.h"
#include "platform/sound_device.h"
#include "platform/wav/wav_file.h"

namespace rd::openal {

struct DeviceCore;
struct PlainCore;
struct Registry;

// The player's levels, each a gain from 0 to 1: `volume` scales everything (the listener's gain),
// `effects` every voice of the room, `speech` the speech voice.
struct Levels {
  float volume = 1.0f;
  float effects = 1.0f;
  float speech = 1.0f;
};

// What the context asks OpenAL Soft for: HRTF (which its configuration may still turn off), or no
// HRTF at all.
enum class Hrtf { ask, off };

// A sound played once through a device, unpositioned, in the middle of the head (the speech
// voice). Destroying it stops it and frees its source and buffer.
class PlainSound {
 public:
  explicit PlainSound(std::shared_ptr<PlainCore> core);
  ~PlainSound();
  PlainSound(const PlainSound&) = delete;
  PlainSound& operator=(const PlainSound&) = delete;

  // Whether the device is still playing it (false once the device has closed).
  bool playing() const;
  double lengthMs() const;
  // How much of it the device has mixed so far.
  double playedMs() const;

 private:
  std::shared_ptr<PlainCore> core_;
};

// One open OpenAL device with its context. Destroying it deletes every source and buffer it made,
// destroys the context and closes the device (a wave-file backend then finishes its file).
class Device : public SoundDevice {
 public:
  Device(std::shared_ptr<Registry> registry, std::shared_ptr<DeviceCore> core);
  ~Device() override;

  Listener& createListener() override;
  std::unique_ptr<Voice> createVoice(const std::string& name, const std::string& path) override;

  // What became of the HRTF request: "enabled", "denied by the OpenAL Soft configuration", ...
  std::string hrtfStatus() const;
  bool hrtfEnabled() const;
  // The output latency the device reports.
  double outputLatencyMs() const;
  // The mixing rate of the device.
  int32_t outputRate() const;

  // Plays mono samples once, unpositioned. Fails with GameError(call, ...).
  std::unique_ptr<PlainSound> playPlain(const std::string& call, const std::vector<int16_t>& mono,
                                        int32_t sampleRate);

  // Mixes `frames` stereo frames of 16-bit sound into `buffer` (loopback devices only).
  void render(int32_t frames, int16_t* buffer);

  // Pauses every sound that is playing, and later plays exactly those on.
  void pauseAll();
  void resumeAll();
  void setLevels(const Levels& levels);

  // Whether the output still plays, noting where every sound is while it does; once lost, false
  // until reopen() has opened the same output again with every sound as it was.
  bool connected() override;
  bool reopen() override;
  // The loss alone, without the look at the sounds: cheap enough for every wait.
  bool stillConnected();

 private:
  std::shared_ptr<Registry> registry_;
  std::shared_ptr<DeviceCore> core_;
  std::unique_ptr<Listener> listener_;
  WavBank bank_;
};

// The sound root on OpenAL Soft. It knows the devices it opened that are still open, so that the
// speech voice can play through the game's device (or open one of its own when the game has none).
class SoundBackend : public SoundSystem {
 public:
  SoundBackend();
  ~SoundBackend() override;

  // The game's device ("device.create").
  std::unique_ptr<SoundDevice> createDevice() override;
  // A device of the same kind, failing with GameError(call, ...).
  std::unique_ptr<Device> openDevice(const std::string& call);
  // The device opened last that is still open; nullptr when none is.
  Device* current() const;

  // Of the current device: its HRTF status ("no device is open" without one) and latency.
  std::string hrtfStatus() const;
  double outputLatencyMs() const;

  // The levels of every open device and of those opened later.
  void setLevels(const Levels& levels);
  const Levels& levels() const;
  // For devices opened later.
  void setHrtf(Hrtf hrtf) { hrtf_ = hrtf; }
  // Every open device's sounds paused (true) or played on (false).
  void setPaused(bool paused);
  // Whether every open device still plays; reopen() opens the lost ones again, true once all
  // play.
  bool connected();
  bool reopen();

 protected:
  Hrtf hrtf_ = Hrtf::ask;

  virtual std::shared_ptr<DeviceCore> openCore(const std::string& call) = 0;

 private:
  std::shared_ptr<Registry> registry_;
};

// How the playback device buffers its output.
struct DeviceOptions {
  // Asks for the output latency from a call to the ear: kShortLatency is the game's own three
  // periods of 128 frames (about 6 ms reported), kAutoLatency leaves the periods to OpenAL Soft
  // and its configuration, and any other value is milliseconds (kMinLatencyMs to kMaxLatencyMs).
  static constexpr int32_t kShortLatency = 0;
  static constexpr int32_t kAutoLatency = limits::kAutoLatency;
  static constexpr int32_t kMinLatencyMs = limits::kMinLatencyMs;
  static constexpr int32_t kMaxLatencyMs = limits::kMaxLatencyMs;
  int32_t latencyMs = kShortLatency;
};

// What the game asks of OpenAL Soft before opening its device: an alsoft.conf in the form OpenAL
// Soft reads ("[general]", "key = value" lines).
std::string playbackDefaults(const DeviceOptions& options);

// The default playback device (or the one named), HRTF asked for. OpenAL Soft 1.19 takes the
// mixing period from its configuration, which it reads once, at the first device a process opens:
// the first PlaybackSound to open one hands it the game's defaults (playbackDefaults) as the
// lowest-ranking user file, so ~/.config/alsoft.conf and ALSOFT_CONF still override them.
class PlaybackSound : public SoundBackend {
 public:
  explicit PlaybackSound(std::string deviceName = {}, DeviceOptions options = {});

 protected:
  std::shared_ptr<DeviceCore> openCore(const std::string& call) override;

 private:
  std::string deviceName_;
  DeviceOptions options_;
};

// A loopback device: 44.1 kHz stereo, HRTF on, mixed only when asked.
class LoopbackSound : public SoundBackend {
 public:
  static constexpr int32_t kRate = 44100;

  // Mixes `frames` stereo frames of 16-bit sound from the current device into `buffer`; silence
  // while no device is open.
  void render(int32_t frames, int16_t* buffer);

 protected:
  std::shared_ptr<DeviceCore> openCore(const std::string& call) override;
};

}  // namespace rd::openal

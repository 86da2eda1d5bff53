// Opening a device: the game's OpenAL Soft defaults (periods, resampler, no limiter) in place
// while the first device of the process opens, the playback device, and the loopback device.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/openal/openal_core.h"

namespace rd::openal {

namespace {

// The unit a long latency is cut in: periods of about 256 frames, 5.8 ms each at 44.1 kHz.
constexpr int32_t kPeriodFrames = 256;
constexpr int32_t kPeriods = 2;
// The game's own periods: three of 128 frames, 2.9 ms each at 44.1 kHz. A key press is mixed into
// the next period, at most 2.9 ms away, and heard two periods later. On PulseAudio and PipeWire
// they underran less often than two of 256, idle and under load (docs/performance.md).
constexpr int32_t kOwnPeriodFrames = 128;
constexpr int32_t kOwnPeriods = 3;
// The rate the periods are reckoned at (OpenAL Soft's default mixing rate).
constexpr int32_t kReckonedRate = 44100;

struct Periods {
  int32_t frames = kPeriodFrames;
  int32_t count = kPeriods;
};

// The latency asked for is the whole buffer. Below two periods of 256 frames it is cut in three
// periods, so that a change waits less for the next mix; above it, in as many periods of about
// 256 frames as it holds (2 to 16).
Periods periodsFor(const DeviceOptions& options) {
  Periods p;
  if (options.latencyMs <= 0) return {kOwnPeriodFrames, kOwnPeriods};
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
    throw GameError(call, deviceName_.empty()
                              ? "no sound output device could be opened"
                              : "the sound output device '" + deviceName_ + "' cannot be opened");
  // The refresh rate the periods give, for an OpenAL that reads it: 1.19 and 1.24 take the periods
  // from the settings alone.
  const std::vector<ALCint> attrs = {ALC_REFRESH, kReckonedRate / periodsFor(options_).frames};
  ALCcontext* context = makeContext(device, attrs, call, hrtf_);
  auto core = adopt(device, context);
  // A lost output is opened again as this one was: the same name and context.
  core->reopener = [name = deviceName_, attrs,
                    hrtf = hrtf_]() -> std::pair<ALCdevice*, ALCcontext*> {
    ALCdevice* again = alcOpenDevice(name.empty() ? nullptr : name.c_str());
    if (!again) return {nullptr, nullptr};
    try {
      return {again, makeContext(again, attrs, "device.reopen", hrtf)};
    } catch (const GameError&) {
      return {nullptr, nullptr};
    }
  };
  return core;
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
    throw GameError(call, "this OpenAL has no loopback device");
  auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto formatSupported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
      alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
  auto renderSamples =
      reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!openLoopback || !formatSupported || !renderSamples)
    throw GameError(call, "this OpenAL has no loopback device");
  ALCdevice* device = openLoopback(nullptr);
  if (!device) throw GameError(call, "the loopback device cannot be opened");
  if (!formatSupported(device, kRate, ALC_STEREO_SOFT, ALC_SHORT_SOFT)) {
    alcCloseDevice(device);
    throw GameError(call, "the loopback device cannot mix 44.1 kHz 16-bit stereo");
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

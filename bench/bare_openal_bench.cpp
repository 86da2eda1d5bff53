// The same work as the device benchmarks, done by plain OpenAL Soft calls: the baselines that the
// game's sound device is compared with, measured in the same run. The recordings are read with
// the game's own decoder and placed as the new game places them.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "paced.h"
#include "platform/wav/wav_file.h"
#include "room.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr ALCint kLoopbackRate = 44100;
constexpr ALCint kRefreshHz = 172;  // what the game asks of its playback device

float gain(int32_t hundredthsDb) {
  return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

// An open device with its context and the bank's buffers and sources. The room's z runs ahead,
// OpenAL's back at the listener: every z is negated.
struct BareRoom {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  std::vector<ALuint> buffers, sources;
  std::map<std::string, ALuint> source;
  std::map<std::string, int32_t> rate;

  BareRoom() = default;
  BareRoom(const BareRoom&) = delete;
  BareRoom& operator=(const BareRoom&) = delete;
  ~BareRoom() {
    if (!context) return;
    alcMakeContextCurrent(context);
    alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
    alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
  }

  // A context on `device` with HRTF asked for; false when the device refuses.
  bool makeContext(ALCdevice* opened, std::vector<ALCint> attrs) {
    device = opened;
    if (!device) return false;
    attrs.insert(attrs.end(), {ALC_HRTF_SOFT, ALC_TRUE, 0});
    context = alcCreateContext(device, attrs.data());
    if (!context) {
      alcCloseDevice(device);
      return false;
    }
    alcMakeContextCurrent(context);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    return true;
  }

  void loadBank() {
    for (const auto& [name, file] : rd::bench::bank()) {
      rd::WavData wav = rd::readWav(name, rd::bench::soundFile(file));
      ALuint b = 0, s = 0;
      alGenBuffers(1, &b);
      alBufferData(b, AL_FORMAT_MONO16, wav.samples.data(),
                   static_cast<ALsizei>(wav.samples.size() * sizeof(int16_t)), wav.sampleRate);
      alGenSources(1, &s);
      alSourcei(s, AL_BUFFER, static_cast<ALint>(b));
      buffers.push_back(b);
      sources.push_back(s);
      source[name] = s;
      rate[name] = wav.sampleRate;
    }
  }

  // The listener and the six loops as the new game leaves them.
  void placeRoom() {
    const auto& l = rd::bench::kRoomListener;
    const ALfloat orientation[6] = {l.front[0], l.front[1], -l.front[2],
                                    l.top[0],   l.top[1],   -l.top[2]};
    alListenerfv(AL_ORIENTATION, orientation);
    alListener3f(AL_POSITION, l.position[0], l.position[1], -l.position[2]);
    alDopplerFactor(l.doppler);
    for (const char* name : {"sndTargetX", "sndTargetY", "sndAcquired"})
      alSourcei(source[name], AL_SOURCE_RELATIVE, AL_TRUE);
    for (const auto& loop : rd::bench::kRoomLoops) {
      ALuint s = source[loop.voice];
      alSource3f(s, AL_DIRECTION, 0, 0, -1);
      if (loop.coneInside != 360 || loop.coneOutside != 360) {
        alSourcef(s, AL_CONE_INNER_ANGLE, static_cast<float>(loop.coneInside));
        alSourcef(s, AL_CONE_OUTER_ANGLE, static_cast<float>(loop.coneOutside));
        alSourcef(s, AL_CONE_OUTER_GAIN, gain(loop.coneOutsideVolume));
      }
      if (loop.minDistance != 0) {
        alSourcef(s, AL_REFERENCE_DISTANCE, loop.minDistance);
        alSourcef(s, AL_MAX_DISTANCE, loop.maxDistance);
      }
      if (loop.frequency != 0)
        alSourcef(s, AL_PITCH, static_cast<float>(loop.frequency) / rate[loop.voice]);
      alSourcef(s, AL_GAIN, gain(loop.volume));
      alSource3f(s, AL_POSITION, loop.x, loop.y, -loop.z);
      alSourcei(s, AL_LOOPING, AL_TRUE);
      alSourcePlay(s);
    }
  }

  std::string hrtfStatus() const {
    ALCint status = ALC_HRTF_DISABLED_SOFT;
    alcGetIntegerv(device, ALC_HRTF_STATUS_SOFT, 1, &status);
    if (status != ALC_HRTF_ENABLED_SOFT && status != ALC_HRTF_REQUIRED_SOFT &&
        status != ALC_HRTF_HEADPHONES_DETECTED_SOFT)
      return "HRTF off (status " + std::to_string(status) + ")";
    return std::string("enabled: ") + alcGetString(device, ALC_HRTF_SPECIFIER_SOFT);
  }
};

bool openPlayback(BareRoom& room) {
  return room.makeContext(alcOpenDevice(nullptr), {ALC_REFRESH, kRefreshHz});
}

// The same 30 things as BM_TickSoundCalls, as plain calls: a voice that is told to play or stop is
// asked its state first (a playing one plays on), and errors are read once at the end.
struct BareTick {
  explicit BareTick(BareRoom& room)
      : rotor(room.source["sndRotor"]),
        wind(room.source["sndWind"]),
        enemy(room.source["sndEnemy"]),
        dog(room.source["sndDogBark"]),
        fan(room.source["sndFan"]),
        tv(room.source["sndTv"]),
        targetX(room.source["sndTargetX"]),
        targetY(room.source["sndTargetY"]),
        acquired(room.source["sndAcquired"]),
        crash(room.source["sndCrash"]),
        scrape(room.source["sndScrape"]),
        rotorRate(static_cast<float>(room.rate["sndRotor"])),
        windPitch(11025.0f / room.rate["sndWind"]),
        enemyPitch(30000.0f / room.rate["sndEnemy"]),
        targetXPitch(44100.0f / room.rate["sndTargetX"]),
        targetYPitch(30000.0f / room.rate["sndTargetY"]),
        windGain(gain(-3000)) {}

  // False when a call failed.
  bool operator()(float t) {
    const ALfloat orientation[6] = {0.1f, 0, -0.99f, 0, 1, 0};
    ALint playing = 0;
    ALfloat pitch = 0;
    alListener3f(AL_POSITION, t, 4, -(1 + t));                                                // 1
    alListenerfv(AL_ORIENTATION, orientation);                                                // 2
    alListener3f(AL_VELOCITY, 1, 0, -1);                                                      // 3
    alSource3f(rotor, AL_POSITION, t, 4, -(1 + t));                                           // 4
    alSource3f(rotor, AL_VELOCITY, 1, 0, -1);                                                 // 5
    alSourcef(rotor, AL_PITCH, static_cast<float>(20000 + static_cast<int>(t)) / rotorRate);  // 6
    alGetSourcef(rotor, AL_PITCH, &pitch);                                                    // 7
    benchmark::DoNotOptimize(pitch);
    alSource3f(wind, AL_POSITION, t, 4, -(1 + t));   // 8
    alSourcef(wind, AL_GAIN, windGain);              // 9
    alSourcef(wind, AL_PITCH, windPitch);            // 10
    alSource3f(enemy, AL_POSITION, 18 - t, 3, -18);  // 11
    alSource3f(enemy, AL_VELOCITY, -1, 0, 0);        // 12
    alSourcef(enemy, AL_PITCH, enemyPitch);          // 13
    alGetSourcef(enemy, AL_PITCH, &pitch);           // 14
    benchmark::DoNotOptimize(pitch);
    alSource3f(dog, AL_POSITION, 13 - t, 0, -13);      // 15
    alSource3f(fan, AL_POSITION, 0, 9, 0);             // 16
    alSource3f(tv, AL_POSITION, -5, 0, -12);           // 17
    alSourcef(targetX, AL_PITCH, targetXPitch);        // 18
    alSource3f(targetX, AL_POSITION, 0.5f, 0, -0.8f);  // 19
    alSourcef(targetY, AL_PITCH, targetYPitch);        // 20
    alSource3f(targetY, AL_POSITION, 0.5f, 0, -0.8f);  // 21
    alGetSourcei(targetY, AL_SOURCE_STATE, &playing);  // 22
    if (playing != AL_PLAYING) alSourcePlay(targetY);
    alGetSourcei(acquired, AL_SOURCE_STATE, &playing);  // 23
    if (playing == AL_PLAYING) alSourcePause(acquired);
    alSourcei(rotor, AL_SOURCE_RELATIVE, AL_FALSE);  // 24
    alSourcef(enemy, AL_REFERENCE_DISTANCE, 1);      // 25
    alSourcef(enemy, AL_MAX_DISTANCE, 10);           // 26
    alSourcef(enemy, AL_GAIN, 1);                    // 27
    alSource3f(crash, AL_POSITION, t, 0, -1);        // 28
    alSource3f(scrape, AL_POSITION, t, 0, -1);       // 29
    alSourcei(rotor, AL_LOOPING, AL_TRUE);           // 30
    alGetSourcei(rotor, AL_SOURCE_STATE, &playing);
    if (playing != AL_PLAYING) alSourcePlay(rotor);
    return alGetError() == AL_NO_ERROR;
  }

  ALuint rotor, wind, enemy, dog, fan, tv, targetX, targetY, acquired, crash, scrape;
  float rotorRate, windPitch, enemyPitch, targetXPitch, targetYPitch, windGain;
};

void BM_BareTickSoundCalls(benchmark::State& state) {
  BareRoom room;
  if (!openPlayback(room)) return state.SkipWithError("no playback device");
  room.loadBank();
  room.placeRoom();
  BareTick tick(room);
  float t = 0;
  for (auto _ : state)
    if (!tick(t += 0.01f)) return state.SkipWithError("an OpenAL call failed");
  state.counters["calls"] = 30;
}
BENCHMARK(BM_BareTickSoundCalls)->Unit(benchmark::kMicrosecond);

// The same calls at the game's pace, one tick every 15.625 ms.
void BM_BareColdTick(benchmark::State& state) {
  BareRoom room;
  if (!openPlayback(room)) return state.SkipWithError("no playback device");
  room.loadBank();
  room.placeRoom();
  BareTick tick(room);
  rd::bench::Paced pace(state);
  float t = 0;
  for (auto _ : state) {
    auto begin = pace.next();
    bool fine = tick(t += 0.01f);
    pace.done(begin);
    if (!fine) return state.SkipWithError("an OpenAL call failed");
  }
}
BENCHMARK(BM_BareColdTick)
    ->Iterations(rd::bench::pacedTicks())
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The room on a loopback device (44.1 kHz 16-bit stereo, HRTF), its bank loaded and placed; the
// device's render call, or nullptr when this OpenAL has no loopback device.
LPALCRENDERSAMPLESSOFT openLoopbackRoom(BareRoom& room) {
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return nullptr;
  auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto renderSamples =
      reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!openLoopback || !renderSamples ||
      !room.makeContext(openLoopback(nullptr),
                        {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                         ALC_SHORT_SOFT, ALC_FREQUENCY, kLoopbackRate}))
    return nullptr;
  room.loadBank();
  room.placeRoom();
  return renderSamples;
}

// The six loops rendered for one second on a loopback device: 44.1 kHz 16-bit stereo, HRTF.
void BM_BareRenderRoomSecond(benchmark::State& state) {
  BareRoom room;
  LPALCRENDERSAMPLESSOFT renderSamples = openLoopbackRoom(room);
  if (!renderSamples) return state.SkipWithError("no loopback device");
  std::vector<int16_t> buffer(static_cast<size_t>(kLoopbackRate) * 2);
  for (auto _ : state) {
    renderSamples(room.device, buffer.data(), kLoopbackRate);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.counters["realTimeFactor"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(room.hrtfStatus());
}
BENCHMARK(BM_BareRenderRoomSecond)->UseRealTime()->Unit(benchmark::kMillisecond);

// The whole bank looping (21 voices, HRTF) mixed in periods of 256 frames on a loopback device,
// every voice in the room moved a little at each tick, as BM_RenderRoomPeriods.
void BM_BareRenderRoomPeriods(benchmark::State& state) {
  BareRoom room;
  LPALCRENDERSAMPLESSOFT renderSamples = openLoopbackRoom(room);
  if (!renderSamples) return state.SkipWithError("no loopback device");
  std::vector<ALuint> moving;
  for (const auto& [name, file] : rd::bench::bank()) {
    alSourcei(room.source[name], AL_LOOPING, AL_TRUE);
    alSourcePlay(room.source[name]);
    if (name != "sndTargetX" && name != "sndTargetY" && name != "sndAcquired")
      moving.push_back(room.source[name]);
  }
  rd::bench::TickedPeriods mix(kLoopbackRate);
  std::vector<int16_t> buffer(static_cast<size_t>(mix.kPeriod) * 2);
  auto move = [&](float t) {
    for (size_t i = 0; i < moving.size(); ++i) {
      float phase = t + static_cast<float>(i);
      alSource3f(moving[i], AL_POSITION, std::sin(phase) * 8, static_cast<float>(1 + i % 4),
                 -std::cos(phase) * 8);
    }
  };
  auto render = [&](int32_t frames) { renderSamples(room.device, buffer.data(), frames); };
  for (auto _ : state) {
    mix.second(move, render);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.counters["realTimeFactor"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * mix.mixedSeconds(), benchmark::Counter::kIsRate);
  state.SetLabel(room.hrtfStatus());
}
BENCHMARK(BM_BareRenderRoomPeriods)->UseRealTime()->Unit(benchmark::kMillisecond);

// Start-up by plain calls: the playback device with HRTF, 21 buffers and sources from the files,
// the listener turned, the rotor looping at its idle pitch.
void BM_BareStartUpToFirstLoop(benchmark::State& state) {
  for (auto _ : state) {
    auto begin = Clock::now();
    BareRoom room;
    if (!openPlayback(room)) return state.SkipWithError("no playback device");
    room.loadBank();
    const ALfloat orientation[6] = {0, 0, -1, 0, 1, 0};
    alListenerfv(AL_ORIENTATION, orientation);
    ALuint rotor = room.source["sndRotor"];
    alSourcef(rotor, AL_PITCH, 5000.0f / room.rate["sndRotor"]);
    alSourcei(rotor, AL_LOOPING, AL_TRUE);
    alSourcePlay(rotor);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
  }
}
BENCHMARK(BM_BareStartUpToFirstLoop)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

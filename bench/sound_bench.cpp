// Benchmarks of the sound device and the speech voice. The playback device is the default output;
// on a machine without a sound card OpenAL Soft's null backend stands in (it mixes on its own
// clock as a card would). Recordings come from sounds/ beside the program.
//
//   ninja -C build rotorduel_bench && build/rotorduel_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "paced.h"
#include "platform/espeak/espeak_speech.h"
#include "platform/openal/openal_sound.h"
#include "room.h"

namespace rd::bench {

// The game's playback device, with the game's own defaults (it is opened first, in main).
rd::openal::PlaybackSound& playback() {
  static rd::openal::PlaybackSound sound;
  return sound;
}

}  // namespace rd::bench

namespace {

using rd::bench::playback;

using Clock = std::chrono::steady_clock;

using rd::bench::bank;
using rd::bench::soundFile;

// A room as the new game leaves it: the device, the listener, the bank, the six loops at their
// places.
struct Room {
  std::unique_ptr<rd::SoundDevice> device;
  rd::Listener* listener = nullptr;
  std::map<std::string, std::unique_ptr<rd::Voice>> voices;
  std::map<std::string, std::unique_ptr<rd::Voice3D>> controls;

  explicit Room(rd::SoundSystem& sound) {
    device = sound.createDevice();
    listener = &device->createListener();
    for (const auto& [name, file] : bank()) {
      voices[name] = device->createVoice(name, soundFile(file));
      controls[name] = voices[name]->take3D();
    }
    const auto& l = rd::bench::kRoomListener;
    listener->setOrientation(l.front[0], l.front[1], l.front[2], l.top[0], l.top[1], l.top[2]);
    listener->setPosition(l.position[0], l.position[1], l.position[2]);
    listener->setDopplerFactor(l.doppler);
    listener->setRolloffFactor(l.rolloff);
    controls["sndTargetX"]->setMode(rd::Mode3D::headRelative);
    controls["sndTargetY"]->setMode(rd::Mode3D::headRelative);
    controls["sndAcquired"]->setMode(rd::Mode3D::off);
    for (const auto& loop : rd::bench::kRoomLoops) {
      rd::Voice& voice = *voices[loop.voice];
      rd::Voice3D& place = *controls[loop.voice];
      if (loop.coneInside != 360 || loop.coneOutside != 360) {
        place.setConeAngles(loop.coneInside, loop.coneOutside);
        place.setConeOutsideVolume(loop.coneOutsideVolume);
      }
      if (loop.minDistance != 0) {
        place.setMinDistance(loop.minDistance);
        place.setMaxDistance(loop.maxDistance);
      }
      if (loop.frequency != 0) voice.setFrequency(loop.frequency);
      if (loop.volume != 0) voice.setVolume(loop.volume);
      place.setPosition(loop.x, loop.y, loop.z);
      voice.loop();
    }
  }
};

// One tick's worth of sound-device calls: the flight moves the listener (or the rotor) and the
// wind, the enemy flies and its rotor follows its speed, the dog trots, the finder retunes. The
// voices are looked up before the clock runs, as the game holds them.
struct TickCalls {
  explicit TickCalls(Room& room)
      : device(*room.device),
        listener(*room.listener),
        rotor(*room.voices.at("sndRotor")),
        wind(*room.voices.at("sndWind")),
        enemy(*room.voices.at("sndEnemy")),
        targetX(*room.voices.at("sndTargetX")),
        targetY(*room.voices.at("sndTargetY")),
        acquired(*room.voices.at("sndAcquired")),
        rotor3D(*room.controls.at("sndRotor")),
        wind3D(*room.controls.at("sndWind")),
        enemy3D(*room.controls.at("sndEnemy")),
        dog3D(*room.controls.at("sndDogBark")),
        fan3D(*room.controls.at("sndFan")),
        tv3D(*room.controls.at("sndTv")),
        targetX3D(*room.controls.at("sndTargetX")),
        targetY3D(*room.controls.at("sndTargetY")),
        crash3D(*room.controls.at("sndCrash")),
        scrape3D(*room.controls.at("sndScrape")) {}

  // With `again`, the same tick once more but only the calls that set a value: each finds the
  // value already there and makes no OpenAL call, so the layer's own objects are read and
  // nothing of the library runs.
  void operator()(float t, bool again = false) {
    listener.setPosition(t, 4, 1 + t);                 // 1
    listener.setOrientation(0.1f, 0, 0.99f, 0, 1, 0);  // 2
    listener.setVelocity(1, 0, 1);                     // 3
    rotor3D.setPosition(t, 4, 1 + t);                  // 4
    rotor3D.setVelocity(1, 0, 1);                      // 5
    rotor.setFrequency(20000 + static_cast<int>(t));   // 6
    benchmark::DoNotOptimize(rotor.getFrequency());    // 7
    wind3D.setPosition(t, 4, 1 + t);                   // 8
    wind.setVolume(-3000);                             // 9
    wind.setFrequency(11025);                          // 10
    enemy3D.setPosition(18 - t, 3, 18);                // 11
    enemy3D.setVelocity(-1, 0, 0);                     // 12
    enemy.setFrequency(30000);                         // 13
    benchmark::DoNotOptimize(enemy.getFrequency());    // 14
    dog3D.setPosition(13 - t, 0, 13);                  // 15
    fan3D.setPosition(0, 9, 0);                        // 16
    tv3D.setPosition(-5, 0, 12);                       // 17
    targetX.setFrequency(44100);                       // 18
    targetX3D.setPosition(0.5f, 0, 0.8f);              // 19
    targetY.setFrequency(30000);                       // 20
    targetY3D.setPosition(0.5f, 0, 0.8f);              // 21
    if (!again) targetY.play();                        // 22
    if (!again) acquired.stop();                       // 23
    rotor3D.setMode(rd::Mode3D::normal);               // 24
    enemy3D.setMinDistance(1);                         // 25
    enemy3D.setMaxDistance(10);                        // 26
    enemy.setVolume(0);                                // 27
    crash3D.setPosition(t, 0, 1);                      // 28
    scrape3D.setPosition(t, 0, 1);                     // 29
    if (again) return;
    rotor.loop();         // 30
    device.checkCalls();  // the end of the tick
  }

  rd::SoundDevice& device;
  rd::Listener& listener;
  rd::Voice &rotor, &wind, &enemy, &targetX, &targetY, &acquired;
  rd::Voice3D &rotor3D, &wind3D, &enemy3D, &dog3D, &fan3D, &tv3D, &targetX3D, &targetY3D, &crash3D,
      &scrape3D;
};

void BM_TickSoundCalls(benchmark::State& state) {
  Room room(playback());
  TickCalls tick(room);
  float t = 0;
  for (auto _ : state) tick(t += 0.01f);
  state.counters["calls"] = 30;
}
BENCHMARK(BM_TickSoundCalls)->Unit(benchmark::kMicrosecond);

// The same calls at the game's pace, one tick every 15.625 ms: the caches as cold as in play.
void BM_ColdTickSoundCalls(benchmark::State& state) {
  Room room(playback());
  TickCalls tick(room);
  rd::bench::Paced pace(state);
  float t = 0;
  for (auto _ : state) {
    auto begin = pace.next();
    tick(t += 0.01f);
    pace.done(begin);
  }
}
BENCHMARK(BM_ColdTickSoundCalls)
    ->Iterations(rd::bench::pacedTicks())
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// As BM_ColdTickSoundCalls, with the layer's own objects and code brought into the caches before
// the clock starts (the last tick repeated, which makes no library call): what is left of the cold
// tick's cost over the bare library's once those objects are out of the way.
void BM_ColdTickSoundCallsLayerWarm(benchmark::State& state) {
  Room room(playback());
  TickCalls tick(room);
  rd::bench::Paced pace(state);
  float t = 0;
  tick(t);
  for (auto _ : state) {
    auto begin = pace.next([&] { tick(t, true); });
    tick(t += 0.01f);
    pace.done(begin);
  }
}
BENCHMARK(BM_ColdTickSoundCallsLayerWarm)
    ->Iterations(rd::bench::pacedTicks())
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// A short sentence from the speak call to the device mixing its first sample: synthesis, the
// buffer handed over, and the wait for the mixer's next period.
void BM_SpeakToFirstSample(benchmark::State& state, const char* text) {
  Room room(playback());
  rd::espeak::EspeakSpeech speech(playback());
  speech.synthesize("0");  // espeak-ng made ready
  double handOverMs = 0;
  for (auto _ : state) {
    auto begin = Clock::now();
    auto playing = speech.start(speech.synthesize(text));
    handOverMs += std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    while (playing->playedMs() == 0 && playing->playing()) std::this_thread::yield();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
  }
  state.counters["handOverMs"] = benchmark::Counter(handOverMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_SpeakToFirstSample, number, "-12.5")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeakToFirstSample, sentence, "the score is: you got")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One second of the room (six loops, HRTF) rendered on the loopback device.
void BM_RenderRoomSecond(benchmark::State& state) {
  rd::openal::LoopbackSound sound;
  Room room(sound);
  std::vector<int16_t> buffer(static_cast<size_t>(rd::openal::LoopbackSound::kRate) * 2);
  for (auto _ : state) {
    sound.render(rd::openal::LoopbackSound::kRate, buffer.data());
    benchmark::DoNotOptimize(buffer.data());
  }
  // Seconds of sound per second of work: how many times faster than real time.
  state.counters["realTimeFactor"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(sound.hrtfStatus());
}
BENCHMARK(BM_RenderRoomSecond)->UseRealTime()->Unit(benchmark::kMillisecond);

// A short readout as the player hears it: the speak call comes at a random moment of the mixer's
// period (as a key press does), and the time runs until the device has mixed its first sample,
// plus the output latency the device reports (the mixed sound still queued before the ear).
void BM_SpeakToEar(benchmark::State& state, const char* text) {
  Room room(playback());
  rd::espeak::EspeakSpeech speech(playback());
  speech.synthesize("0");  // espeak-ng made ready
  std::mt19937 random(14);
  std::uniform_int_distribution<int> phaseMicros(0, 20000);
  std::vector<double> heardMs;
  const double latencyMs = playback().outputLatencyMs();
  for (auto _ : state) {
    std::this_thread::sleep_for(std::chrono::microseconds(phaseMicros(random)));
    auto begin = Clock::now();
    auto playing = speech.start(speech.synthesize(text));
    while (playing->playedMs() == 0 && playing->playing()) std::this_thread::yield();
    double mixed = std::chrono::duration<double>(Clock::now() - begin).count();
    state.SetIterationTime(mixed + latencyMs / 1000);
    heardMs.push_back(mixed * 1000 + latencyMs);
  }
  std::sort(heardMs.begin(), heardMs.end());
  auto at = [&](double q) { return heardMs[static_cast<size_t>(q * (heardMs.size() - 1))]; };
  state.counters["p50ms"] = at(0.5);
  state.counters["p99ms"] = at(0.99);
  state.counters["latencyMs"] = latencyMs;
}
BENCHMARK_CAPTURE(BM_SpeakToEar, number, "-12.5")
    ->Iterations(std::min(200, rd::bench::pacedTicks()))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One second of the whole bank playing (21 voices looping, HRTF) mixed the way a playback device
// mixes it, in periods of 256 frames, with every voice in the room moved a little at each tick.
void BM_RenderRoomPeriods(benchmark::State& state) {
  rd::openal::LoopbackSound sound;
  Room room(sound);
  std::vector<std::pair<rd::Voice3D*, int>> moving;
  for (const auto& [name, file] : bank()) {
    room.voices[name]->loop();
    if (name != "sndTargetX" && name != "sndTargetY" && name != "sndAcquired")
      moving.emplace_back(room.controls[name].get(), static_cast<int>(moving.size()));
  }
  rd::bench::TickedPeriods mix(rd::openal::LoopbackSound::kRate);
  std::vector<int16_t> buffer(static_cast<size_t>(mix.kPeriod) * 2);
  auto move = [&](float t) {
    for (auto [voice, i] : moving)
      voice->setPosition(std::sin(t + i) * 8, static_cast<float>(1 + i % 4), std::cos(t + i) * 8);
    room.device->checkCalls();
  };
  auto render = [&](int32_t frames) { sound.render(frames, buffer.data()); };
  for (auto _ : state) {
    mix.second(move, render);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.counters["realTimeFactor"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * mix.mixedSeconds(), benchmark::Counter::kIsRate);
  state.SetLabel(sound.hrtfStatus());
}
BENCHMARK(BM_RenderRoomPeriods)->UseRealTime()->Unit(benchmark::kMillisecond);

// Start-up: the playback device, the listener, the 21 voices from their files, the first loop.
void BM_StartUpToFirstLoop(benchmark::State& state) {
  for (auto _ : state) {
    auto begin = Clock::now();
    auto device = playback().createDevice();
    auto& listener = device->createListener();
    std::vector<std::unique_ptr<rd::Voice>> voices;
    for (const auto& [name, file] : bank())
      voices.push_back(device->createVoice(name, soundFile(file)));
    listener.setOrientation(0, 0, 1, 0, 1, 0);
    voices[1]->setFrequency(5000);  // sndRotor
    voices[1]->loop();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
    voices.clear();
    device.reset();
  }
}
BENCHMARK(BM_StartUpToFirstLoop)->UseManualTime()->Unit(benchmark::kMillisecond);

// The output latency the playback device reports (ALC_SOFT_device_clock), as a counter.
void BM_OutputLatency(benchmark::State& state) {
  auto device = playback().createDevice();
  for (auto _ : state) benchmark::DoNotOptimize(playback().outputLatencyMs());
  state.counters["latencyMs"] = playback().outputLatencyMs();
  state.SetLabel("HRTF " + playback().hrtfStatus());
}
BENCHMARK(BM_OutputLatency)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  // Without a sound card (a build machine, CI) the default device cannot open: mix on OpenAL
  // Soft's null backend instead, unless told otherwise.
  if (!std::getenv("ALSOFT_DRIVERS") && !std::filesystem::exists("/dev/snd"))
    setenv("ALSOFT_DRIVERS", "null", 0);
  // The game's device first: OpenAL Soft takes the game's defaults (periods, no limiter,
  // resampler) from it, and every device of the run, loopback ones too, mixes with them.
  try {
    playback().createDevice();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rotorduel_bench: %s (ALSOFT_DRIVERS=null mixes without a sound card)\n",
                 e.what());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

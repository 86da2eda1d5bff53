// Benchmarks of the sound device and the speech voice. The playback device is the default output;
// on a machine without a sound card OpenAL Soft's null backend stands in (it mixes on its own
// clock as a card would). Recordings come from sounds/ beside the program.
//
//   ninja -C build rotorduel_bench && build/rotorduel_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/espeak/espeak_speech.h"
#include "platform/openal/openal_sound.h"
#include "sound/sound_bank.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string soundsDir() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (exe.parent_path() / "sounds").string();
}

std::string soundFile(const std::string& name) { return soundsDir() + "/" + name; }

// The bank's 21 voices, in load order.
const std::vector<std::pair<std::string, std::string>>& bank() {
  static const std::vector<std::pair<std::string, std::string>> voices = {
#define RD_ENTRY(voice, file) {#voice, file},
      RD_SOUND_BANK(RD_ENTRY)
#undef RD_ENTRY
  };
  return voices;
}

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
    listener->setOrientation(0, 0, 1, 0, 1, 0);
    listener->setPosition(0, 4, 0);
    listener->setDopplerFactor(10);
    controls["sndRotor"]->setConeAngles(5, 10);
    controls["sndRotor"]->setConeOutsideVolume(-1000);
    controls["sndWind"]->setConeAngles(5, 30);
    controls["sndWind"]->setConeOutsideVolume(-2000);
    controls["sndTargetX"]->setMode(rd::Mode3D::headRelative);
    controls["sndTargetY"]->setMode(rd::Mode3D::headRelative);
    controls["sndAcquired"]->setMode(rd::Mode3D::off);
    voices["sndRotor"]->setFrequency(5000);
    controls["sndRotor"]->setPosition(0.1f, 0, 1);
    controls["sndWind"]->setPosition(0.1f, 0, 1);
    voices["sndWind"]->setVolume(-4000);
    controls["sndEnemy"]->setPosition(18, 3, 18);
    controls["sndTv"]->setPosition(-5, 0, 12);
    controls["sndFan"]->setPosition(0, 9, 0);
    controls["sndDogBark"]->setPosition(13, 0, 13);
    for (const char* loop : {"sndRotor", "sndWind", "sndEnemy", "sndTv", "sndFan", "sndDogBark"})
      voices[loop]->loop();
  }
};

rd::openal::PlaybackSound& playback() {
  static rd::openal::PlaybackSound sound;
  return sound;
}

// One tick's worth of sound-device calls: the flight moves the listener (or the rotor) and the
// wind, the enemy flies and its rotor follows its speed, the dog trots, the finder retunes.
void BM_TickSoundCalls(benchmark::State& state) {
  Room room(playback());
  auto& v = room.voices;
  auto& c = room.controls;
  float t = 0;
  for (auto _ : state) {
    t += 0.01f;
    room.listener->setPosition(t, 4, 1 + t);                   // 1
    room.listener->setOrientation(0.1f, 0, 0.99f, 0, 1, 0);    // 2
    room.listener->setVelocity(1, 0, 1);                       // 3
    c["sndRotor"]->setPosition(t, 4, 1 + t);                   // 4
    c["sndRotor"]->setVelocity(1, 0, 1);                       // 5
    v["sndRotor"]->setFrequency(20000 + static_cast<int>(t));  // 6
    benchmark::DoNotOptimize(v["sndRotor"]->getFrequency());   // 7
    c["sndWind"]->setPosition(t, 4, 1 + t);                    // 8
    v["sndWind"]->setVolume(-3000);                            // 9
    v["sndWind"]->setFrequency(11025);                         // 10
    c["sndEnemy"]->setPosition(18 - t, 3, 18);                 // 11
    c["sndEnemy"]->setVelocity(-1, 0, 0);                      // 12
    v["sndEnemy"]->setFrequency(30000);                        // 13
    benchmark::DoNotOptimize(v["sndEnemy"]->getFrequency());   // 14
    c["sndDogBark"]->setPosition(13 - t, 0, 13);               // 15
    c["sndFan"]->setPosition(0, 9, 0);                         // 16
    c["sndTv"]->setPosition(-5, 0, 12);                        // 17
    v["sndTargetX"]->setFrequency(44100);                      // 18
    c["sndTargetX"]->setPosition(0.5f, 0, 0.8f);               // 19
    v["sndTargetY"]->setFrequency(30000);                      // 20
    c["sndTargetY"]->setPosition(0.5f, 0, 0.8f);               // 21
    v["sndTargetY"]->play();                                   // 22
    v["sndAcquired"]->stop();                                  // 23
    c["sndRotor"]->setMode(rd::Mode3D::normal);                // 24
    c["sndEnemy"]->setMinDistance(1);                          // 25
    c["sndEnemy"]->setMaxDistance(10);                         // 26
    v["sndEnemy"]->setVolume(0);                               // 27
    c["sndCrash"]->setPosition(t, 0, 1);                       // 28
    c["sndScrape"]->setPosition(t, 0, 1);                      // 29
    v["sndRotor"]->loop();                                     // 30
  }
  state.counters["calls"] = 30;
}
BENCHMARK(BM_TickSoundCalls)->Unit(benchmark::kMicrosecond);

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
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

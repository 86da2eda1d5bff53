#include "platform/espeak/espeak_speech.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/service_error.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace rd::espeak {

namespace {

// Where espeak-ng finds its voice data: the system's place, or ESPEAK_DATA_PATH when it is set
// (nullptr). On Windows the game carries its own: espeak-ng-data beside rotorduel.exe.
std::string dataFolder() {
#ifdef _WIN32
  if (std::getenv("ESPEAK_DATA_PATH")) return {};
  wchar_t exe[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  // espeak-ng opens its files in the ANSI code page: the short form of the folder spells a name
  // with other letters in ASCII.
  std::wstring folder(exe, n);
  folder.resize(folder.find_last_of(L"\\/"));
  wchar_t shortForm[MAX_PATH];
  DWORD m = GetShortPathNameW(folder.c_str(), shortForm, MAX_PATH);
  if (m > 0 && m < MAX_PATH) folder.assign(shortForm, m);
  char narrow[MAX_PATH * 2];
  int k =
      WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
  return k > 0 ? std::string(narrow) : std::string();
#else
  return {};
#endif
}

// espeak-ng is one engine per process, made ready once.
struct Engine {
  int sampleRate = 0;  // 0 until ready
  std::string failure;
};

// Where the synthesis callback puts the sound of the sentence being synthesised.
std::vector<int16_t>* g_sink = nullptr;

int collect(short* wav, int count, espeak_EVENT*) {
  if (wav && count > 0 && g_sink) g_sink->insert(g_sink->end(), wav, wav + count);
  return 0;
}

const Engine& engine() {
  static const Engine ready = [] {
    Engine e;
    // Synchronous: espeak_Synth returns when the whole text has gone through the callback. The
    // engine must not end the program when its data is missing.
    const std::string data = dataFolder();
    int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, data.empty() ? nullptr : data.c_str(),
                                 espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
      e.failure = "espeak-ng cannot start (is its voice data, espeak-ng-data, installed?)";
      return e;
    }
    espeak_SetSynthCallback(collect);
    if (espeak_SetVoiceByName(kVoiceName) != EE_OK) {
      e.failure = std::string("espeak-ng has no voice '") + kVoiceName + "'";
      return e;
    }
    e.sampleRate = rate;
    return e;
  }();
  return ready;
}

class EspeakVoice : public SpeechVoice {
 public:
  explicit EspeakVoice(EspeakSpeech& owner) : owner_(owner) {}
  void speak(const std::string& text) override { owner_.say(owner_.synthesize(text)); }

 private:
  EspeakSpeech& owner_;
};

}  // namespace

void trimSilence(std::vector<int16_t>& samples, int threshold) {
  auto loud = [threshold](int16_t s) { return std::abs(static_cast<int>(s)) > threshold; };
  auto first = std::find_if(samples.begin(), samples.end(), loud);
  if (first == samples.end()) {
    samples.clear();
    return;
  }
  auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
  samples.erase(last, samples.end());
  samples.erase(samples.begin(), first);
}

EspeakSpeech::EspeakSpeech(openal::SoundBackend& sound, WaitFor waitFor)
    : sound_(sound), waitFor_(std::move(waitFor)) {}

std::unique_ptr<SpeechVoice> EspeakSpeech::createVoice() {
  const Engine& e = engine();
  if (!e.sampleRate) throw ServiceError("speech.create", e.failure);
  return std::make_unique<EspeakVoice>(*this);
}

Utterance EspeakSpeech::synthesize(const std::string& text) {
  const Engine& e = engine();
  if (!e.sampleRate) throw ServiceError("speech.speak", e.failure);
  Utterance u;
  u.sampleRate = e.sampleRate;
  g_sink = &u.samples;
  // Plain text as the game formed it: no markup, no phoneme codes, no pause added at the end.
  espeak_ERROR status = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                     espeakCHARS_UTF8, nullptr, nullptr);
  g_sink = nullptr;
  if (status != EE_OK)
    throw ServiceError("speech.speak", "espeak-ng could not synthesise the text (status " +
                                           std::to_string(static_cast<int>(status)) + ")");
  trimSilence(u.samples);
  return u;
}

std::unique_ptr<openal::PlainSound> EspeakSpeech::start(const Utterance& sentence) {
  if (sentence.samples.empty()) return nullptr;
  openal::Device* device = sound_.current();
  if (!device) throw ServiceError("speech.speak", "no sound device is open");
  return device->playPlain("speech.speak", sentence.samples, sentence.sampleRate);
}

void EspeakSpeech::say(const Utterance& sentence) {
  if (sentence.samples.empty()) return;
  // Before the new game has made the game's device, a sentence opens one of its own.
  std::unique_ptr<openal::Device> own;
  openal::Device* device = sound_.current();
  if (!device) {
    own = sound_.openDevice("speech.speak");
    device = own.get();
  }
  auto playing = device->playPlain("speech.speak", sentence.samples, sentence.sampleRate);
  waitUntilHeard(*playing, *device);
}

void EspeakSpeech::waitUntilHeard(const openal::PlainSound& playing, const openal::Device& device) {
  if (waitFor_) {
    waitFor_(playing.lengthMs());
    return;
  }
  using namespace std::chrono;
  const auto begin = steady_clock::now();
  const auto length = duration<double, std::milli>(playing.lengthMs());
  // A device that stops mixing (unplugged) must not hold the game for ever.
  const auto limit = begin + duration_cast<steady_clock::duration>(length) + seconds(2);
  std::this_thread::sleep_for(length * 0.9);
  while (playing.playing() && steady_clock::now() < limit) std::this_thread::sleep_for(1ms);
  // What the device has mixed but not yet sent out is heard a little later.
  std::this_thread::sleep_for(duration<double, std::milli>(device.outputLatencyMs()));
}

}  // namespace rd::espeak

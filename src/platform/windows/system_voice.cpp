#include "platform/windows/system_voice.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// sapi.h needs windows.h before it, so it stands in a block of its own.
#include <sapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "base/game_error.h"
#include "platform/windows/wide.h"

namespace rd::windows {

namespace {

constexpr int kUsualRate = 175;
// How long one look at the voice waits for the sentence's end.
constexpr ULONG kSliceMs = 5;

std::string hresult(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

}  // namespace

int sapiRate(int wpm) {
  const double r = 10.0 * std::log(std::max(1, wpm) / double{kUsualRate}) / std::log(3.0);
  return std::clamp(static_cast<int>(std::lround(r)), -10, 10);
}

int wordsPerMinuteOfSapi(int rate) {
  return static_cast<int>(
      std::lround(kUsualRate * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0)));
}

SystemVoiceSpeech::SystemVoiceSpeech() {
  // S_FALSE: COM was ready on this thread already (SDL makes it so), which is as good.
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comReady_ = SUCCEEDED(init);
  if (FAILED(init) && init != RPC_E_CHANGED_MODE) {
    failure_ = "the system voice (SAPI) cannot start: COM answers " + hresult(init);
    return;
  }
  const HRESULT hr = CoCreateInstance(__uuidof(SpVoice), nullptr, CLSCTX_ALL, __uuidof(ISpVoice),
                                      reinterpret_cast<void**>(&voice_));
  if (FAILED(hr)) {
    voice_ = nullptr;
    failure_ = "no system voice: SAPI's voice cannot be made (" + hresult(hr) + ")";
  }
}

SystemVoiceSpeech::~SystemVoiceSpeech() {
  if (voice_) voice_->Release();
  if (comReady_) CoUninitialize();
}

namespace {

class SystemVoice : public SpeechVoice {
 public:
  explicit SystemVoice(SystemVoiceSpeech& owner) : owner_(owner) {}
  void speak(const std::string& text) override { owner_.say(text); }

 private:
  SystemVoiceSpeech& owner_;
};

}  // namespace

std::unique_ptr<SpeechVoice> SystemVoiceSpeech::createVoice() {
  if (!voice_) throw GameError("speech.create", failure_);
  return std::make_unique<SystemVoice>(*this);
}

void SystemVoiceSpeech::setRate(int wpm) {
  if (voice_ && FAILED(voice_->SetRate(sapiRate(wpm))))
    throw GameError("speech.setRate", "the system voice (SAPI) refused the rate");
}

int SystemVoiceSpeech::rate() const {
  long r = 0;
  if (!voice_ || FAILED(voice_->GetRate(&r))) return kUsualRate;
  return wordsPerMinuteOfSapi(static_cast<int>(r));
}

void SystemVoiceSpeech::say(const std::string& text) {
  if (!voice_) throw GameError("speech.speak", failure_);
  if (text.empty()) return;
  const std::wstring wide = widen(text);
  // Plain text, not SAPI's markup; a sentence still sounding is cut.
  HRESULT hr =
      voice_->Speak(wide.c_str(), SPF_ASYNC | SPF_IS_NOT_XML | SPF_PURGEBEFORESPEAK, nullptr);
  if (FAILED(hr))
    throw GameError("speech.speak", "the system voice (SAPI) cannot speak (" + hresult(hr) + ")");
  // A voice that stops reporting must not hold the game for ever: far longer than the slowest
  // reading of the sentence.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5) +
                     std::chrono::milliseconds(400) * text.size();
  for (;;) {
    hr = voice_->WaitUntilDone(kSliceMs);
    if (hr == S_OK) return;
    if (hr != S_FALSE)
      throw GameError("speech.speak",
                      "the system voice (SAPI) failed while speaking (" + hresult(hr) + ")");
    if (std::chrono::steady_clock::now() >= limit) {
      voice_->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
      throw GameError("speech.speak", "the system voice (SAPI) never finished the sentence");
    }
    if (!whileWaiting_) continue;
    try {
      whileWaiting_();
    } catch (...) {
      voice_->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
      throw;
    }
  }
}

}  // namespace rd::windows

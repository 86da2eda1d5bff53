#include "platform/windows/screen_reader.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <type_traits>

#include "base/game_error.h"
#include "platform/windows/wide.h"

namespace rd::windows {

namespace {

// The rate a screen reader is taken to speak at until the player says another (speech-rate, F3
// and F4): a synthesiser's usual rate, on the slow side, so that a sentence is rarely cut.
constexpr int kUsualRate = 175;
// How long after the call a screen reader starts to speak.
constexpr double kStartMs = 150;

}  // namespace

double sentenceMs(const std::string& text, int wpm) {
  double words = 0, pauses = 0;
  int chars = 0;  // of the word being counted
  auto endWord = [&] {
    if (chars > 0) words += std::max(1.0, chars / 6.0);
    chars = 0;
  };
  for (unsigned char c : text) {
    if (c == ' ' || c == '\t' || c == '\n') {
      endWord();
    } else if (c >= '0' && c <= '9') {
      chars += 4;
    } else if (c == ',' || c == ';' || c == ':') {
      pauses += 0.3;
    } else if (c == '.' || c == '!' || c == '?') {
      pauses += 0.5;
    } else if ((c & 0xC0) != 0x80) {  // one letter, however many bytes UTF-8 gives it
      ++chars;
    }
  }
  endWord();
  if (words == 0) return 0;
  return kStartMs + (words + pauses) * 60000.0 / std::max(1, wpm);
}

// The client's four calls; each returns 0 or a Windows error code.
struct ScreenReaderSpeech::Client {
  HMODULE dll = nullptr;
  using Test = unsigned long(__stdcall*)();
  using Text = unsigned long(__stdcall*)(const wchar_t*);
  Test testIfRunning = nullptr;
  Text speakText = nullptr;
  Test cancelSpeech = nullptr;
  Text brailleMessage = nullptr;
  ~Client() {
    if (dll) FreeLibrary(dll);
  }
};

ScreenReaderSpeech::ScreenReaderSpeech() : rate_(kUsualRate) {
  const std::wstring path = programFolder() + L"\\" + kControllerClient;
  auto client = std::make_unique<Client>();
  // Only the folder named: no search of the system's folders for a DLL of that name.
  client->dll = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!client->dll) {
    failure_ = "no screen reader: " + narrow(kControllerClient) + " is not beside the program";
    return;
  }
  auto find = [&](auto& f, const char* name) {
    f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(
        reinterpret_cast<void*>(GetProcAddress(client->dll, name)));
    return f != nullptr;
  };
  if (!find(client->testIfRunning, "nvdaController_testIfRunning") ||
      !find(client->speakText, "nvdaController_speakText") ||
      !find(client->cancelSpeech, "nvdaController_cancelSpeech") ||
      !find(client->brailleMessage, "nvdaController_brailleMessage")) {
    failure_ = "no screen reader: " + narrow(kControllerClient) +
               " is not NVDA's controller client (a call is missing)";
    return;
  }
  if (unsigned long status = client->testIfRunning(); status != 0) {
    failure_ = "no screen reader: NVDA is not running (its controller client answers " +
               std::to_string(status) + ")";
    return;
  }
  client_ = std::move(client);
}

ScreenReaderSpeech::~ScreenReaderSpeech() = default;

namespace {

class ScreenReaderVoice : public SpeechVoice {
 public:
  explicit ScreenReaderVoice(ScreenReaderSpeech& owner) : owner_(owner) {}
  void speak(const std::string& text) override { owner_.say(text); }

 private:
  ScreenReaderSpeech& owner_;
};

}  // namespace

std::unique_ptr<SpeechVoice> ScreenReaderSpeech::createVoice() {
  if (!client_) throw GameError("speech.create", failure_);
  return std::make_unique<ScreenReaderVoice>(*this);
}

void ScreenReaderSpeech::say(const std::string& text) {
  if (!client_) throw GameError("speech.speak", failure_);
  if (text.empty()) return;
  const std::wstring wide = widen(text);
  // A new sentence cuts the one before, as the game's own voice is never behind the game.
  client_->cancelSpeech();
  if (unsigned long status = client_->speakText(wide.c_str()); status != 0) {
    failure_ = "the screen reader stopped answering (NVDA's controller client answers " +
               std::to_string(status) + ")";
    client_.reset();
    throw GameError("speech.speak", failure_);
  }
  // Braille is a display the player may not have: what it answers does not matter.
  client_->brailleMessage(wide.c_str());
  using namespace std::chrono;
  const auto end = steady_clock::now() + duration_cast<steady_clock::duration>(
                                             duration<double, std::milli>(sentenceMs(text, rate_)));
  for (auto now = steady_clock::now(); now < end; now = steady_clock::now()) {
    if (whileWaiting_) {
      try {
        whileWaiting_();
      } catch (...) {
        client_->cancelSpeech();
        throw;
      }
    }
    std::this_thread::sleep_for(std::min<steady_clock::duration>(end - now, 5ms));
  }
}

}  // namespace rd::windows

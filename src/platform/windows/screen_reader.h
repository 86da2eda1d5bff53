// The speech voice on the player's running screen reader, NVDA, through NV Access's controller
// client (nvdaControllerClient64.dll beside rotorduel.exe, loaded when the game starts; the game
// runs without it). Each sentence goes to speech and to braille, cutting the one before. The client
// never says when a sentence has been heard, so speak() holds the game for the sentence's length
// estimated at the screen reader's rate.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/speech.h"

namespace rd::windows {

// The controller client's file name, looked for beside the program.
inline constexpr const wchar_t* kControllerClient = L"nvdaControllerClient64.dll";

// How long a screen reader takes to say `text` (UTF-8) at `wordsPerMinute`, in milliseconds: a
// word for every six characters (a digit, which is read as a word of its own, counts as four),
// each word at least one, a pause at each comma and full stop, and the screen reader's delay
// before it starts.
double sentenceMs(const std::string& text, int wordsPerMinute);

class ScreenReaderSpeech : public SpeechSystem {
 public:
  // Loads the controller client from the program's folder and asks whether NVDA is running.
  ScreenReaderSpeech();
  ~ScreenReaderSpeech() override;
  ScreenReaderSpeech(const ScreenReaderSpeech&) = delete;
  ScreenReaderSpeech& operator=(const ScreenReaderSpeech&) = delete;

  // Whether the screen reader answered; failure() says why not.
  bool running() const { return failure_.empty(); }
  const std::string& failure() const { return failure_; }

  std::unique_ptr<SpeechVoice> createVoice() override;  // "speech.create"

  // Speaks `text`, shows it in braille, and holds for its length ("speech.speak").
  void say(const std::string& text);
  // Called every few milliseconds while a sentence is held; what it throws cuts the sentence
  // (cancelSpeech) and passes on (a quit).
  void setWhileWaiting(std::function<void()> f) { whileWaiting_ = std::move(f); }

  // The screen reader keeps its own rate: this is the rate the holds are estimated at.
  void setRate(int wordsPerMinute) { rate_ = wordsPerMinute; }
  int rate() const { return rate_; }

 private:
  struct Client;
  std::unique_ptr<Client> client_;
  std::string failure_;
  std::function<void()> whileWaiting_;
  int rate_;
};

}  // namespace rd::windows

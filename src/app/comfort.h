// The comfort keys, answered by the window before the game sees a key: F1 the key list, F2 the
// last sentence again, F3/F4 the speech rate, F5/F6 the volume, Pause. Each speaks through the
// game's own speech service; changed rates and volumes are kept in the settings file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/speech.h"

namespace rd::app {

// The game's speech service, noting the last sentence spoken (by the game or by a comfort key).
class NotedSpeech : public SpeechSystem {
 public:
  explicit NotedSpeech(SpeechSystem& inner) : inner_(inner) {}
  std::unique_ptr<SpeechVoice> createVoice() override;
  const std::string& last() const { return last_; }
  // Called with every sentence before it is spoken and after it has been heard (a trace for the
  // tests, when set).
  std::function<void(const std::string&)> onSentence;
  std::function<void(const std::string&)> onHeard;

 private:
  friend class NotedVoice;
  SpeechSystem& inner_;
  std::string last_;
};

class Comfort {
 public:
  struct Hooks {
    std::function<int()> rate;            // words a minute in force
    std::function<void(int)> setRate;     // words a minute
    std::function<void(int)> setVolume;   // 0..100
    std::function<void(bool)> setPaused;  // the window's timers and the sound's voices
    // Keeps a setting; returns nothing when kept, else why not ("the disk is full").
    std::function<std::optional<std::string>(const std::string& name, const std::string& value)>
        save;
    std::function<void(const std::string&)> report;  // a failure that does not end the game
  };
  Comfort(NotedSpeech& speech, int volume, Hooks hooks);

  // Whether `code` (a virtual-key code) is a comfort key; a key-down is answered here.
  bool key(int16_t code, bool down);
  bool paused() const { return paused_; }
  void say(const std::string& text);

 private:
  void answer(int16_t code);
  void changeRate(double factor);
  void changeVolume(int step);
  // `name = value` kept, and `said` spoken with the reason when it could not be.
  void saveAndSay(const char* name, int value, const std::string& said);

  NotedSpeech& speech_;
  std::unique_ptr<SpeechVoice> voice_;
  int volume_;
  bool paused_ = false;
  Hooks hooks_;
};

// The keys in short spoken form.
extern const char* const kKeyList;

}  // namespace rd::app

// The shell around the game: the spoken main menu at launch, and from it a round of the game
// (again and again), the tutorial's lessons, the sounds named one by one, the settings, the best
// scores and the help. It runs on the program's one window, sound root and voice; each round is
// a new game made by the program (playRound), on the same services.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/comfort.h"
#include "app/menu.h"
#include "app/settings.h"
#include "app/sound_watch.h"
#include "platform/openal/openal_sound.h"
#include "platform/sdl/sdl_window.h"

namespace rd::app {

// Thrown from the voice's wait when a key comes for the menu: the sentence is cut and the key is
// answered.
struct SpeechCut {};

// How a round ended.
struct RoundResult {
  enum class End { gameOver, escape, lessonDone, closed, failed } end = End::escape;
  int status = 0;  // the program's exit status, for closed and failed
  long long playerScore = 0;
  long long enemyScore = 0;
  int winner = 0;           // at the game's end: 1 the player, -1 the enemy, 0 a draw
  std::string lessonWords;  // what the lesson said at its end
};

class Shell {
 public:
  struct Services {
    sdl::SdlWindow& window;
    openal::SoundBackend& sound;
    NotedSpeech& speech;
    Settings& settings;
    // A round of the game with this lesson of the tutorial beside it (-1 for Play), until it ends.
    std::function<RoundResult(int lesson)> playRound;
    // The speech rate in force, in words a minute.
    std::function<int()> rate;
    // Another voice chosen in the game, put in use at once; nothing when it is, else why it
    // cannot be had (the choice is then not made).
    std::function<std::optional<std::string>(SpeechChoice)> useSpeech;
    // A setting changed in the game: applied to the running services (the rate, the levels...).
    std::function<void(const std::string& name)> applied;
    // Keeps a setting in the settings file (an empty value: its default); nothing when kept, else
    // why not.
    std::function<std::optional<std::string>(const std::string& name, const std::string& value)>
        save;
    // A failure that does not end the program.
    std::function<void(const std::string&)> report;
    // The sound's output went away (false) or is back (true), for the trace.
    std::function<void(bool back)> soundChanged;
  };
  explicit Shell(Services services);
  ~Shell();

  // The main menu until the player quits; returns the exit status. Closing the window or a signal
  // ends it at once (ProgramEnd).
  int run();

  // The help list, also opened by F1 during a round; returns when the player leaves it.
  void help();

 private:
  // A menu until Escape; `opened` answers Enter on an item and returns false to leave the menu.
  void runMenu(Menu& menu, const std::function<bool(int item)>& opened,
               const std::string& firstWords = {});
  void say(const std::string& text);
  void play(MenuSound sound);
  void openDevice();
  void closeDevice();
  void afterRound(const RoundResult& result);
  void learnSounds();
  void settingsMenu();
  void bestScores();
  void tutorial();
  // Waits up to `ms` for a key; true when the wait ran out with no key.
  bool quietFor(int ms);
  // How often the menu looks at the desktop while it waits for a key.
  static constexpr int kLookMs = 250;

  struct Sounds;
  Services s_;
  std::unique_ptr<SpeechVoice> voice_;
  std::unique_ptr<Sounds> sounds_;
  bool quit_ = false;
  SoundWatch soundWatch_;
};

// The help list's items: a few topics, then each key of the game with what it does.
std::vector<std::string> helpItems();

}  // namespace rd::app

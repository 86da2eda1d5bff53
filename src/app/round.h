// A round of the game on the desktop, with a lesson of the tutorial beside it when there is one:
// the lesson watches the game record after each of the game's ticks and keys, and its practice
// rule is kept between them, around the game and never inside it.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/comfort.h"
#include "app/tutorial.h"
#include "game/game.h"
#include "platform/sdl/sdl_window.h"

namespace rd::app {

class Round : public GameEvents {
 public:
  // `lesson` is the tutorial's lesson, or -1 for a round of the game; `number` counts the rounds
  // of this run from 1.
  Round(Game& game, int lesson, sdl::SdlWindow& window, NotedSpeech& speech, int number);

  // Called once the game has started, for the trace.
  std::function<void()> onStarted;

  void start() override;
  void onTimer(TimerId id) override;
  void onKeyDown(int16_t code) override;
  void onKeyUp(int16_t code) override { game_.onKeyUp(code); }
  void onMouse() override { game_.onMouse(); }

  // The lesson was passed, with its last words.
  bool done() const { return done_; }
  const std::string& words() const { return words_; }

 private:
  void say(const std::string& text);
  void keepPractice();

  Game& game_;
  sdl::SdlWindow& window_;
  NotedSpeech& speech_;
  int number_;
  std::optional<LessonSteps> lesson_;
  std::unique_ptr<SpeechVoice> voice_;
  bool holdFire_ = false;
  bool dogStays_ = false;
  std::array<float, 2> dog_{};
  std::array<float, 3> enemy_{};
  bool done_ = false;
  std::string words_;
};

// Who won a round that ended by itself: 1 the player, -1 the enemy, 0 a draw.
int winnerOf(const Game& g);

}  // namespace rd::app

// The tutorial's lessons on the real game, each a round of its own: lift off, turn with the knob
// and the arrows, climb to the enemy's height by the height tone, lock on by the bearing blip,
// fire, land. Each step is spoken, and the next is given only when the game record shows this one
// done. The first four lessons are practice: the enemy holds its fire and the dog stays.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace rd {
struct GameRecord;
}  // namespace rd

namespace rd::app {

// What a lesson does to its round.
struct LessonHooks {
  std::function<void(const std::string&)> say;
  // Ends the lesson's round, with the words to be said after it.
  std::function<void(const std::string&)> end;
  std::function<void(bool enemyHoldsFire, bool dogStays)> setPractice;
};

// The lessons in their order.
int lessonCount();
const char* lessonName(int lesson);

class LessonSteps {
 public:
  LessonSteps(int lesson, LessonHooks hooks) : lesson_(lesson), hooks_(std::move(hooks)) {}

  // On the round's start values: the practice rule and the first step.
  void begin(const GameRecord& game);
  // After each tick (`key` 0) or key-down the round handled: the progress, and the next step
  // once the game record shows this one done; the end after the last.
  void watch(const GameRecord& game, int16_t key);

  // The step being learnt, from 0; the lesson's step count once it has ended.
  int step() const { return step_; }
  bool ended() const;

  // The presses of Page Down still needed, from this engine speed and height, to fly (above
  // height 1, where the knob and the arrows turn the helicopter).
  static int pressesToFly(int32_t rotorHz, float height);

 private:
  void give(const GameRecord& game);
  bool stepDone(const GameRecord& game, int16_t key);

  int lesson_;
  LessonHooks hooks_;
  int step_ = 0;
  // The engine speed as the keys have set it since the last loss, for the lift-off's progress.
  int32_t engineHz_ = 0;
  int32_t losses_ = 0;
  // Noted when the step was given, for the steps that ask for a change.
  int32_t startHeading_ = 0;
  int32_t startScore_ = 0;
  int knobPresses_ = 0;
  int climbs_ = 0;
  bool apart_ = false;
};

}  // namespace rd::app

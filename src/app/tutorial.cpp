#include "app/tutorial.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

#include "base/rules.h"
#include "game/game_state.h"
#include "platform/keys.h"

namespace rd::app {

namespace {

// The engine speed above which a climb lifts the helicopter, its top, and a climb's step.
constexpr int32_t kLiftHz = 10000;
constexpr int32_t kTopHz = 70000;
constexpr int32_t kClimbStepHz = 100;
constexpr int kProgressEvery = 10;

enum class Goal { fly, centreKnob, turn, level, lockOn, shoot, land };

struct Step {
  Goal goal;
  const char* words;
};

constexpr Step kFlyFirst = {Goal::fly, "First lift off: hold Page Down until you fly."};

struct Plan {
  const char* name;
  bool practice;
  const char* opening;
  Step steps[3];
};

// clang-format off
constexpr Plan kLessons[] = {
    {"Lift off", true, "Lesson 1 of 6: lift off.",
     {{Goal::fly, "Your helicopter stands on the floor with its engine idling. Press Page Down "
                  "again and again, or hold it: the first 50 presses speed the engine up, each "
                  "one after that lifts you a tenth, and after 60 you are above height 1, where "
                  "you fly."}}},
    {"Turn", true, "Lesson 2 of 6: turn.",
     {kFlyFirst,
      {Goal::centreKnob, "While you fly, the knob turns you by itself. K reads it; End turns it to "
                         "the left, Home to the right. Bring it to the centre."},
      {Goal::turn, "Now the arrows: each press of Left or Right arrow turns you 5 degrees, and A "
                   "reads your heading. Turn a quarter of the way round, 90 degrees."}}},
    {"The enemy's height", true, "Lesson 3 of 6: the enemy's height.",
     {kFlyFirst,
      {Goal::level, "While you fly higher or lower than the enemy, a bong sounds twice a second "
                    "from its direction, lower the further apart you are. Climb with Page Down "
                    "until you hear it, then find the enemy's height again with Page Up and Page "
                    "Down: the bong stops."}}},
    {"Lock on", true, "Lesson 4 of 6: lock on.",
     {kFlyFirst,
      {Goal::lockOn, "Stay at the enemy's height, where the bong is silent. Near the enemy a short "
                     "blip comes from its direction, higher the nearer it is to your nose. Turn "
                     "toward it with the arrows, and fly closer with Up arrow, until a steady "
                     "tone sounds: you are locked on."}}},
    {"Fire", false, "Lesson 5 of 6: fire. The enemy fires back now, and the dog runs free.",
     {kFlyFirst,
      {Goal::lockOn, "Find the enemy's height and lock on, as in lesson 4."},
      {Goal::shoot, "Locked on and near, within a range of 10, Space shoots the enemy down; R "
                    "reads the range. Shoot it down."}}},
    {"Land", false, "Lesson 6 of 6: land.",
     {kFlyFirst,
      {Goal::land, "Page Up slows the engine; once it is slow enough you land where you are. "
                   "Come down steadily: falling fast crashes."}}},
};
// clang-format on

int stepCount(int lesson) {
  int n = 0;
  for (const Step& s : kLessons[lesson].steps) n += s.words != nullptr;
  return n;
}

// Degrees between two headings, the short way round.
int32_t turned(int32_t from, int32_t to) {
  int32_t d = std::abs(to - from) % 360;
  return d > 180 ? 360 - d : d;
}

// Flying as the game has it: above height 1, where the knob and the arrows turn the helicopter.
bool flying(const GameRecord& r) { return !r.landed && r.playerY > 1; }

bool level(const GameRecord& r) { return std::floor(r.playerY) == std::floor(r.enemyY); }

}  // namespace

int lessonCount() { return static_cast<int>(std::size(kLessons)); }

const char* lessonName(int lesson) { return kLessons[lesson].name; }

int LessonSteps::pressesToFly(int32_t rotorHz, float height) {
  // The presses that only speed the engine up, then one climb of 0.1 each until above 1, added
  // as the game adds them.
  int presses = rotorHz <= kLiftHz ? (kLiftHz - rotorHz) / kClimbStepHz : 0;
  for (float h = height; !(h > 1); h = static_cast<float>(static_cast<double>(h) + 0.1)) ++presses;
  return presses;
}

bool LessonSteps::ended() const { return step_ >= stepCount(lesson_); }

void LessonSteps::begin(const GameRecord& game) {
  const Plan& plan = kLessons[lesson_];
  step_ = 0;
  engineHz_ = rules::kIdleRotorHz;
  losses_ = game.enemyScore - game.playerLives;
  if (hooks_.setPractice) hooks_.setPractice(plan.practice, plan.practice);
  hooks_.say(std::string(plan.opening) + " Escape leaves the lesson.");
  give(game);
}

void LessonSteps::give(const GameRecord& game) {
  startHeading_ = game.playerHeading;
  startScore_ = game.playerScore;
  knobPresses_ = 0;
  climbs_ = 0;
  apart_ = false;
  if (ended()) {
    hooks_.end("Lesson " + std::to_string(lesson_ + 1) + " done: " + lessonName(lesson_) + ".");
    return;
  }
  // A step already done as it is given is passed at once: there is nothing to learn in it.
  if (stepDone(game, 0)) {
    ++step_;
    give(game);
    return;
  }
  hooks_.say(kLessons[lesson_].steps[step_].words);
}

void LessonSteps::watch(const GameRecord& game, int16_t key) {
  if (ended()) return;
  // The engine as the keys set it; a crash or a shot leaves it idling.
  if (key == Key::PageDown && engineHz_ < kTopHz) engineHz_ += kClimbStepHz;
  if (key == Key::PageUp && engineHz_ > rules::kIdleRotorHz) engineHz_ -= kClimbStepHz;
  const int32_t losses = game.enemyScore - game.playerLives;
  if (losses != losses_) engineHz_ = rules::kIdleRotorHz;
  losses_ = losses;
  if (key == Key::End || key == Key::Home) ++knobPresses_;

  if (!stepDone(game, key)) return;
  ++step_;
  give(game);
}

bool LessonSteps::stepDone(const GameRecord& game, int16_t key) {
  switch (kLessons[lesson_].steps[step_].goal) {
    case Goal::fly:
      if (flying(game)) return true;
      if (key == Key::PageDown && ++climbs_ % kProgressEvery == 0)
        hooks_.say(std::to_string(climbs_) + " presses, " +
                   std::to_string(pressesToFly(engineHz_, game.playerY)) + " to go.");
      return false;
    case Goal::centreKnob:
      return game.knob == 0 && knobPresses_ > 0;
    case Goal::turn:
      return turned(startHeading_, game.playerHeading) >= 90;
    case Goal::level:
      // Found, not stayed at: the bong has to have sounded first.
      if (!level(game)) apart_ = true;
      return apart_ && level(game) && flying(game);
    case Goal::lockOn:
      return game.lockedOn;
    case Goal::shoot:
      return game.playerScore > startScore_;
    case Goal::land:
      return game.landed;
  }
  return false;
}

}  // namespace rd::app

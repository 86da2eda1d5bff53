// The game window: the game record, the sound module, the input objects of start-up, and every
// procedure of the game. Its procedures are defined in the folder of their subsystem.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/rules.h"
#include "base/values.h"
#include "game/game_state.h"
#include "platform/platform.h"
#include "sound/sound_bank.h"

namespace rd {

// A coordinate found beyond a wall goes back one unit inside it; true when it had to.
inline bool putInsideWalls(Single& coordinate) {
  if (coordinate > rules::kWall) {
    coordinate = rules::kInsideWall;
    return true;
  }
  if (coordinate < -rules::kWall) {
    coordinate = -rules::kInsideWall;
    return true;
  }
  return false;
}

class Game : public GameRecord, public GameEvents {
 public:
  explicit Game(Platform platform);
  ~Game() override;

  // ---- Entry points: what the window delivers (game/entry.cpp; the keys in
  // controls/keyboard.cpp, the mouse in controls/mouse.cpp). A failure that reaches a key
  // or timer entry ends the program with a report; the mouse returns it as its status.
  void start() override;
  void onTimer(TimerId id) override;
  void onKeyDown(int16_t keyCode) override;
  void onKeyUp(int16_t keyCode) override;
  void onMouse() override;

  // A procedure without arguments by its name, for scripts; nullptr when there is none.
  using Procedure = void (Game::*)();
  static Procedure procedureByName(const std::string& name);
  // Runs a procedure as an entry point: a failure ends the program as from a timer.
  void runAsEntry(std::string_view what, Procedure procedure);
  // The end of a handler's sound calls: a call the device refused fails now (see checkCalls).
  void checkSoundCalls();

  // ---- Start-up and the new game (game/)
  void newGame();

  // ---- Sound module (sound/)
  void loadSounds();
  void shutDown();
  void playSoundFile(const std::string& name);
  void playKnobClick();
  // The knob voice's click at (x, z) around the head, higher at the centre; heard only when
  // `audible`.
  void clickKnob(Single x, Single z, bool centre, bool audible);
  void endGame();

  // ---- Manoeuvres and weapon (controls/)
  void flyForward();
  void flyBackward();
  void turnLeft();
  void turnRight();
  void climb();
  void descend();
  void fireLaser();

  // ---- The tick and player flight (sim/tick.cpp); the tick runs the steps below in its own
  // order, interleaved with the enemy's and the room's.
  void tick();
  void orientListener();
  void headingStep();
  void playerMomentum();
  void overallSpeed();
  void rememberPositions();
  void listeningPosition();
  void windVoice();

  // ---- Enemy flight (sim/enemy.cpp)
  void enemyAltitudeFloor();
  void enemyDodgeOrPursue();
  void enemyBearingTurn();
  void enemyVoicePitch();
  void enemyFires();
  void enemyMomentum();

  // ---- Room hazards and contact tests (sim/room.cpp)
  void enemyAtWalls();
  void enemyAndTelevision();
  void helicoptersCollide();
  void enemyAndFan();
  void enemyAtFanCentre();
  void playerAndFan();
  void dogWanders();
  void dogAndPlayer();
  void dogAndEnemy();

  // ---- Target cycle and television (opponent/)
  void targetCycle();
  void televisionResumes();
  // The compass bearing from (x1, z1) to (x2, z2); sets bearingDx, bearingDz and inRange.
  Single getBearing(Single x1, Single z1, Single x2, Single z2);
  // A rounded bearing relative to the player's heading.
  Long relativeBearing(Long bearing) const;

  // ---- Crashes and collisions (outcomes/crashes.cpp)
  void smash();
  void enemySmash();
  void playerCrash();
  void scraped();
  void collide();
  void enemyCrash();
  // The player sinks to about height 1, `counts` of busy wait between steps, the rotor 54 Hz
  // lower each step.
  void playerFall(Long counts);
  // The enemy likewise; with `pitchFloor` its rotor only drops while above 5100 Hz.
  void enemyFall(Long counts, bool pitchFloor);
  void impactSound(Single x, Single y, Single z);
  // Momentum back to 1 on every axis, as after every crash and shot.
  void resetPlayerMomentum();
  void resetEnemyMomentum();
  // One spare helicopter fewer and the rotor back at idle; false when none was left to lose.
  bool playerLosesLife();
  // Holds the game for a busy wait of `counts` turns, leaving delayCount past the last count.
  void busyWait(Long counts);

  // ---- Shots, crunches and score (outcomes/shots.cpp, outcomes/score.cpp)
  void enemyShotDown();
  void playerShotDown();
  void enemyCrunch();
  void playerCrunch();
  void scatterPlayer();
  void randomizeHeading();
  void score();

  // ---- Services, as the game holds them
  Window& window;
  SoundSystem& soundSystem;
  SpeechSystem& speechSystem;
  InputService& inputService;
  SoundBank sounds;
  rd::RandomSource random;
  // A uniform random Single in [0, 1).
  Single randomDraw() { return random(); }
  // Reseeds the random sequence from the clock.
  void reseedRandom() { random.randomize(window.clockSeed()); }

  // The mouse and the speech voice start-up opened, held for the whole run.
  Slot<Mouse> mouse{"mouse"};
  std::unique_ptr<SpeechVoice> voice;

  // Speaks one text through the game's voice, waiting until it has been heard.
  void speak(const std::string& text);

 private:
  [[noreturn]] void fatal(const std::string& entry, const GameError& error);
};

}  // namespace rd

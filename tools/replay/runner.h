// rotorduel-replay: the real game code on the recording platform, driven by a script.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "render.h"
#include "script.h"

namespace rd {
class Game;
namespace fake {
class Trace;
class FakeWindow;
class FakeInput;
class RecordingSound;
}  // namespace fake
}  // namespace rd

namespace rd::replay {

struct Options {
  std::string soundsDir;       // the recordings
  std::string renderPath;      // empty: no sound is rendered
  RenderSettings render = {};  // how a render sounds: the player's levels, rate and HRTF
  // Prints the EBU R128 loudness and sample peak of the rendered sound at the end (rendering it
  // even without a file); from loudnessFromMs on (when 0 or more) also that stretch on its own and
  // the part before it.
  bool loudness = false;
  double loudnessFromMs = -1;
  // Keep the printed lines until an `expect` checks them (run() sets it when the script checks).
  bool keepLines = false;
};

// One run of the game on the recording platform, command by command. execute() lets the game's
// own ProgramEnd, and script errors (ScriptError), pass to the caller.
class Replay {
 public:
  Replay(const Options& options, std::ostream& out);
  ~Replay();
  void start();
  bool started() const;
  void execute(const Command& command);
  // Finishes the rendered file, if any.
  void finish();

  Game& game();
  fake::Trace& trace();
  fake::FakeWindow& window();
  fake::FakeInput& input();
  fake::RecordingSound& sound();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Asks the run in progress to stop before its next tick, timer or command, keeping what was
// rendered; safe to call from a signal handler. run() then returns 128 + `signal`.
void requestStop(int signal);

// Exit status: 0 when the script ran to its end, the program's own status when the game ended
// itself, 2 for a script error, 3 when an `expect` does not hold (message on `err`). The `expect`
// lines right after the command that ended the game are still checked; one after a command that
// never ran fails.
int run(const std::vector<Command>& script, const Options& options, std::ostream& out,
        std::ostream& err);

// The recordings beside the program: its own folder's sounds/ (`argv0` when the system does not
// say where the program is).
std::string besideProgram(const char* argv0);

}  // namespace rd::replay

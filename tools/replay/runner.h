// rotorduel-replay: the real game code on the recording platform, driven by a script.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "script.h"

namespace rd {
class Form1;
namespace fake {
class Trace;
class FakeWindow;
class FakeInput;
class RecordingSound;
}  // namespace fake
}  // namespace rd

namespace rd::replay {

struct Options {
  std::string soundsDir;   // the recordings
  std::string renderPath;  // empty: no sound is rendered
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

  Form1& game();
  fake::Trace& trace();
  fake::FakeWindow& window();
  fake::FakeInput& input();
  fake::RecordingSound& sound();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Exit status: 0 when the script ran to its end, the program's own status when the game ended
// itself, 2 for a script error (message on `err`).
int run(const std::vector<Command>& script, const Options& options, std::ostream& out,
        std::ostream& err);

}  // namespace rd::replay

// A game on the recording platform, with its own small recordings in a temporary folder, for
// unit tests that need to look inside the platform's call log.
#pragma once

#include <string>
#include <vector>

#include "game/game.h"
#include "platform/fake/recording_platform.h"
#include "sound/recordings.h"
#include "support/render_helpers.h"

namespace rd::testing {

// A folder with all the recordings, each 64 silent frames at the rate the game's file has.
class SoundsFolder : public TempFolder {
 public:
  SoundsFolder() {
    for (const RecordingFile& r : kRecordingFiles)
      writeTone(file(std::string(r.file)), r.rate, 0, 64.5 / r.rate);
  }
};

struct FakeGame {
  SoundsFolder sounds;
  fake::Trace trace;
  fake::RecordingSound sound{trace};
  fake::RecordingSpeech speech{trace};
  fake::FakeInput input{trace};
  fake::FakeWindow window{trace, sounds.path()};
  Game game{Platform{window, sound, speech, input}};

  // Runs start-up; returns the program's exit status if it ended, or -1 while it runs.
  int start() {
    return run([&] { game.start(); });
  }

  template <typename F>
  int run(F&& f) {
    try {
      f();
    } catch (const ProgramEnd& end) {
      return end.code;
    }
    return -1;
  }

  // The calls logged since the last clear, in order.
  const std::vector<std::string>& calls() const { return trace.calls(); }
  const std::vector<std::string>& lines() const { return trace.lines(); }
};

}  // namespace rd::testing

// rotorduel-replay: the real game code on the recording platform, driven by a script.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "script.h"

namespace rd::replay {

struct Options {
  std::string soundsDir;   // the recordings
  std::string renderPath;  // empty: no sound is rendered
};

// Exit status: 0 when the script ran to its end, the program's own status when the game ended
// itself, 2 for a script error (message on `err`).
int run(const std::vector<Command>& script, const Options& options, std::ostream& out,
        std::ostream& err);

}  // namespace rd::replay

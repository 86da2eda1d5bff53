// Old names of the game's procedures, timers, entry points and calls, which stored scripts may
// still use in `call`, `print timer`, `expect timer` and `fail`. The replay's output (error lines,
// the timers) follows the code: the game's own names.
#pragma once

#include <string>
#include <string_view>

namespace rd::replay {

// The game's name for a script name (Playercrash -> playerCrash, CheckThings -> simulation); any
// other name comes back as it is.
std::string_view gameName(std::string_view scriptName);

}  // namespace rd::replay

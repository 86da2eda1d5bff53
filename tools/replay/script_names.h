// The names scripts use for the game's procedures, timers and entry points, beside the names the
// game gives them. Scripts and their expected outputs were written with the first; the game has
// since named its parts in its own words. Both are accepted in scripts, and the replay's output
// (error lines, the timers' service calls) keeps the script names.
#pragma once

#include <string>
#include <string_view>

namespace rd::replay {

// The game's name for a script name (Playercrash -> playerCrash, CheckThings -> simulation); any
// other name comes back as it is.
std::string_view gameName(std::string_view scriptName);
// The script name for a game name; any other name comes back as it is.
std::string_view scriptName(std::string_view gameName);
// A name, or an error report's leading entry and procedure names ("start: newGame: ..."), in
// script names ("Form_Load: StartGame: ...").
std::string toScriptNames(const std::string& text);

}  // namespace rd::replay

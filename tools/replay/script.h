// The replay script language: one command a line, '#' starts a comment.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rd::replay {

// What a command does. A verb's spelling, its arguments and their checks are one row of the
// parser's table; the runner does what the kind says.
enum class Verb {
  key,
  keyup,
  mouse,
  mouseEvent,
  tick,
  target,
  tvtimer,
  wait,
  call,
  set,
  setFrequency,
  rnd,
  fail,
  print,
  play,
  expect,
  repeat,
};

struct Command {
  int line = 0;
  Verb kind = Verb::expect;
  std::string verb;  // as written
  std::vector<std::string> args;
  // The numbers the parser read and checked, in order: a key's code; a mouse item's offset and
  // data; a tick or target count (1 when left out); a wait's milliseconds; a frequency; a fail's
  // count (1 when left out); rnd's values.
  std::vector<long long> numbers;
  std::vector<float> randoms;
  // `expect`: the rest of the line as written, inner spaces kept.
  std::string text;
  // `repeat N CMD; CMD; ...`: the commands run in turn, N times over.
  long long times = 0;
  std::vector<Command> body;
};

// A script that cannot run: the message names the line.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line, const std::string& message)
      : std::runtime_error("line " + std::to_string(line) + ": " + message) {}
};

// Parses and checks a whole script (verbs, argument counts, numbers, key names).
std::vector<Command> parseScript(std::string_view text);
// One line of a script, numbered `lineNo`, that holds a command.
Command parseLine(int lineNo, std::string_view line);

// A key's virtual-key code from its name (Esc, PageUp, ..., Space, A-Z) or its number;
// -1 when it is neither.
int keyCode(std::string_view name);

// Whole numbers and decimals as scripts write them; false when the text is not one.
bool parseLong(std::string_view text, long long& value);
bool parseFloat(std::string_view text, float& value);

}  // namespace rd::replay

// What a script's checks read: the lines the game printed, and the printed values they compare.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "script.h"

namespace rd::replay {

// An `expect` that does not hold.
class CheckFailed : public std::runtime_error {
 public:
  CheckFailed(int line, const std::string& message)
      : std::runtime_error("line " + std::to_string(line) + ": " + message) {}
};

// Two printed values are the same when their texts are, or when they are the same numbers
// (3 and 3.0; a position's three coordinates one by one).
bool sameValue(const std::string& a, const std::string& b);

// The value after NAME= among the words of a printed line; empty when it has no such field.
std::string fieldOf(const std::string& line, const std::string& name);

// The printed lines a check may still name. A line check looks from the line after the last one
// it found; `expect nothing` at the lines since the last command other than a check began.
class PrintedLines {
 public:
  void add(const std::string& text) { log_.push_back({text, false}); }
  // A new command begins: lines no check can reach any more are let go.
  void commandBegins();
  // The game started: what it printed in starting is the first command's.
  void started() { commandAt_ = log_.size(); }
  // `expect nothing`: no line but those a check named since the command began.
  void expectNothing(int line) const;
  // `expect LINE`: the game printed `text` since the last line check found its line.
  void expectLine(int line, const std::string& text);

 private:
  struct Printed {
    std::string text;
    bool named;
  };
  std::string unchecked() const;

  std::vector<Printed> log_;
  size_t searchFrom_ = 0, commandAt_ = 0;
};

}  // namespace rd::replay

// The best scores: one line a finished round in $XDG_DATA_HOME/rotorduel/scores
// (~/.local/share/rotorduel/scores; %APPDATA%\rotorduel\scores on Windows):
//   2026-12-07 16:40, you 3, enemy 10, the enemy won
// A line that is not of that form is kept as it is and counted nowhere. A file that cannot be
// read is never written: what it held would be lost.
#pragma once

#include <string>
#include <vector>

namespace rd::app {

struct RoundScore {
  std::string date;  // "2026-12-07 16:40", the local time
  long long player = 0;
  long long enemy = 0;
  int winner = 0;  // 1 the player, -1 the enemy, 0 a draw
};

std::string scoresPath();

// The line for a round, without its newline.
std::string scoreLine(const RoundScore& round);

struct ScoresFile {
  std::vector<RoundScore> rounds;
  std::string text;      // every byte the file held
  int damagedLines = 0;  // lines that are not a round's
  std::string failure;   // why it cannot be read; empty when it can (or is not there yet)
};
ScoresFile readScores(const std::string& path);

// Adds the round's line, keeping every byte the file held, saved whole or not at all (saveFile).
// Returns an empty string, or why it could not (the file is then as it was).
std::string addScore(const std::string& path, const RoundScore& round);

// What "Best scores" reads: rounds played and won, then the best ten, best first.
std::vector<std::string> scoreSummary(const ScoresFile& file);

}  // namespace rd::app

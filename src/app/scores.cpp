#include "app/scores.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/save_file.h"

namespace rd::app {

namespace fs = std::filesystem;

std::string scoresPath() {
#ifdef _WIN32
  const char* appData = std::getenv("APPDATA");
  return (fs::path(appData && *appData ? appData : ".") / "rotorduel" / "scores").string();
#else
  const char* data = std::getenv("XDG_DATA_HOME");
  fs::path base;
  if (data && *data) {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home && *home ? home : ".") / ".local" / "share";
  }
  return (base / "rotorduel" / "scores").string();
#endif
}

std::string scoreLine(const RoundScore& r) {
  const char* won = r.winner > 0 ? "you won" : (r.winner < 0 ? "the enemy won" : "a draw");
  return r.date + ", you " + std::to_string(r.player) + ", enemy " + std::to_string(r.enemy) +
         ", " + won;
}

ScoresFile readScores(const std::string& path) {
  ScoresFile file;
  std::error_code ec;
  if (!fs::exists(path, ec) && !ec) return file;
  if (!fs::is_regular_file(path, ec)) {
    file.failure = path + " cannot be read: it is not a file";
    return file;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    file.failure = path + " cannot be read: " + std::strerror(errno);
    return file;
  }
  std::ostringstream all;
  all << in.rdbuf();
  if (in.bad()) {
    file.failure = path + " cannot be read";
    return file;
  }
  file.text = all.str();
  static const std::regex kLine(
      R"((\d{4}-\d\d-\d\d \d\d:\d\d), you (\d{1,9}), enemy (\d{1,9}), (you won|the enemy won|a draw))");
  std::istringstream lines(file.text);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_match(line, m, kLine)) {
      ++file.damagedLines;
      continue;
    }
    const int winner = m[4] == "you won" ? 1 : (m[4] == "a draw" ? 0 : -1);
    file.rounds.push_back({m[1], std::stoll(m[2]), std::stoll(m[3]), winner});
  }
  return file;
}

std::string addScore(const std::string& path, const RoundScore& round) {
  const ScoresFile old = readScores(path);
  if (!old.failure.empty()) return old.failure;
  std::string text = old.text;
  if (!text.empty() && text.back() != '\n') text += '\n';
  text += scoreLine(round) + '\n';
  const auto why = saveFile(path, text);
  return why ? path + ": " + *why : std::string();
}

std::vector<std::string> scoreSummary(const ScoresFile& file) {
  const auto won = std::count_if(file.rounds.begin(), file.rounds.end(),
                                 [](const RoundScore& r) { return r.winner > 0; });
  std::vector<std::string> items;
  items.push_back(std::to_string(file.rounds.size()) + " rounds played, " + std::to_string(won) +
                  " won");
  std::vector<RoundScore> best = file.rounds;
  // Best first: the widest lead, then the most points, then the latest.
  std::stable_sort(best.begin(), best.end(), [](const RoundScore& a, const RoundScore& b) {
    if (a.player - a.enemy != b.player - b.enemy) return a.player - a.enemy > b.player - b.enemy;
    if (a.player != b.player) return a.player > b.player;
    return a.date > b.date;
  });
  if (best.size() > 10) best.resize(10);
  for (const RoundScore& r : best) items.push_back(scoreLine(r));
  return items;
}

}  // namespace rd::app

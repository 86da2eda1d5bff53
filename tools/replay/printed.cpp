#include "printed.h"

#include <algorithm>
#include <sstream>

namespace rd::replay {

bool sameValue(const std::string& a, const std::string& b) {
  if (a == b) return true;
  size_t ia = 0, ib = 0;
  for (;;) {
    size_t ea = a.find(',', ia), eb = b.find(',', ib);
    float x = 0, y = 0;
    if (!parseFloat(a.substr(ia, ea - ia), x) || !parseFloat(b.substr(ib, eb - ib), y) || x != y)
      return false;
    if (ea == std::string::npos || eb == std::string::npos) return ea == eb;
    ia = ea + 1;
    ib = eb + 1;
  }
}

std::string fieldOf(const std::string& line, const std::string& name) {
  std::istringstream words(line);
  for (std::string w; words >> w;)
    if (w.size() > name.size() && w.compare(0, name.size(), name) == 0 && w[name.size()] == '=')
      return w.substr(name.size() + 1);
  return {};
}

void PrintedLines::commandBegins() {
  const size_t done = std::min(searchFrom_, log_.size());
  log_.erase(log_.begin(), log_.begin() + static_cast<long>(done));
  // A long run that checks little keeps only its latest lines.
  constexpr size_t kKept = 100000;
  if (log_.size() > kKept)
    log_.erase(log_.begin(), log_.begin() + static_cast<long>(log_.size() - kKept / 2));
  searchFrom_ = 0;
  commandAt_ = log_.size();
}

void PrintedLines::expectNothing(int line) const {
  std::string unnamed;
  for (size_t k = commandAt_; k < log_.size(); ++k)
    if (!log_[k].named) unnamed += "\n  " + log_[k].text;
  if (!unnamed.empty())
    throw CheckFailed(line, "expected nothing more from the last command; it printed:" + unnamed);
}

void PrintedLines::expectLine(int line, const std::string& text) {
  auto it = std::find_if(log_.begin() + static_cast<long>(searchFrom_), log_.end(),
                         [&text](const Printed& p) { return p.text == text; });
  if (it == log_.end()) {
    throw CheckFailed(line, "expected the line '" + text + "'; " +
                                (searchFrom_ == log_.size()
                                     ? "nothing was printed since the last check"
                                     : "since the last check the game printed:" + unchecked()));
  }
  it->named = true;
  searchFrom_ = static_cast<size_t>(it - log_.begin()) + 1;
}

std::string PrintedLines::unchecked() const {
  std::string text;
  for (size_t k = searchFrom_; k < log_.size(); ++k) text += "\n  " + log_[k].text;
  return text;
}

}  // namespace rd::replay

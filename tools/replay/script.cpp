#include "script.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

#include "platform/keys.h"

namespace rd::replay {

namespace {

struct Arity {
  size_t min, max;
};

// Each verb with the number of arguments it takes.
const std::map<std::string, Arity, std::less<>>& verbs() {
  static const std::map<std::string, Arity, std::less<>> table = {
      {"key", {1, 1}},  {"keyup", {1, 1}},     {"mouse", {2, 2}},         {"mouse-event", {0, 0}},
      {"tick", {0, 1}}, {"target", {0, 1}},    {"tvtimer", {0, 0}},       {"wait", {1, 1}},
      {"call", {1, 1}}, {"set", {2, 10000}},   {"set-frequency", {2, 2}}, {"rnd", {1, 10000}},
      {"fail", {1, 2}}, {"print", {1, 10000}}, {"play", {1, 1}},          {"expect", {1, 10000}},
  };
  return table;
}

std::vector<std::string> words(std::string_view line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    size_t start = i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i > start) out.emplace_back(line.substr(start, i - start));
  }
  return out;
}

void requireCount(const Command& c, const std::string& what, size_t index, long long min,
                  long long max) {
  long long v = 0;
  if (!parseLong(c.args[index], v) || v < min || v > max)
    throw ScriptError(c.line, c.verb + ": " + what + " must be a whole number from " +
                                  std::to_string(min) + " to " + std::to_string(max) + ", not '" +
                                  c.args[index] + "'");
}

void check(const Command& c) {
  auto it = verbs().find(c.verb);
  if (it == verbs().end()) throw ScriptError(c.line, "unknown command '" + c.verb + "'");
  if (c.args.size() < it->second.min || c.args.size() > it->second.max)
    throw ScriptError(c.line, "wrong number of arguments for '" + c.verb + "'");
  const std::string& v = c.verb;
  if (v == "key" || v == "keyup") {
    if (keyCode(c.args[0]) < 0) throw ScriptError(c.line, "unknown key '" + c.args[0] + "'");
  } else if (v == "mouse") {
    requireCount(c, "the offset", 0, -2147483648LL, 2147483647LL);
    requireCount(c, "the data", 1, -2147483648LL, 2147483647LL);
  } else if (v == "tick" || v == "target") {
    if (!c.args.empty()) requireCount(c, "the count", 0, 0, 100000000);
  } else if (v == "wait") {
    requireCount(c, "the time", 0, 0, 86400000);
  } else if (v == "set") {
    if (c.args.size() % 2 != 0) throw ScriptError(c.line, "set takes NAME VALUE pairs");
  } else if (v == "set-frequency") {
    requireCount(c, "the frequency", 1, -2147483648LL, 2147483647LL);
  } else if (v == "rnd") {
    for (const auto& a : c.args) {
      float r = 0;
      if (!parseFloat(a, r) || !(r >= 0.0f && r < 1.0f))
        throw ScriptError(c.line, "rnd: '" + a + "' is not a number in [0, 1)");
    }
  } else if (v == "fail") {
    if (c.args.size() == 2) requireCount(c, "the count", 1, 1, 1000000);
  } else if (v == "print") {
    if (c.args[0] == "timer" && c.args.size() != 2)
      throw ScriptError(c.line, "print timer takes one timer name");
    if (c.args[0] == "listener" && c.args.size() != 1)
      throw ScriptError(c.line, "print listener takes nothing more");
  }
}

}  // namespace

bool parseLong(std::string_view text, long long& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  return res.ec == std::errc() && res.ptr == text.data() + text.size() && !text.empty();
}

bool parseFloat(std::string_view text, float& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  return res.ec == std::errc() && res.ptr == text.data() + text.size() && !text.empty() &&
         std::isfinite(value);
}

int keyCode(std::string_view name) {
  static const std::map<std::string, int, std::less<>> named = {
      {"Esc", Key::Escape}, {"PageUp", Key::PageUp}, {"PageDown", Key::PageDown},
      {"End", Key::End},    {"Home", Key::Home},     {"Left", Key::Left},
      {"Up", Key::Up},      {"Right", Key::Right},   {"Down", Key::Down},
      {"Space", Key::Space}};
  if (auto it = named.find(name); it != named.end()) return it->second;
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return name[0];
  long long code = 0;
  if (parseLong(name, code) && code >= 0 && code <= 255) return static_cast<int>(code);
  return -1;
}

// One command from the words of a line; `repeat N A; B` holds its commands in `body`.
static Command parseCommand(int lineNo, std::string_view line, bool nested) {
  std::vector<std::string> w = words(line);
  Command c;
  c.line = lineNo;
  c.verb = w[0];
  c.args.assign(w.begin() + 1, w.end());
  if (c.verb == "expect" && !c.args.empty()) {
    // The line to expect is the rest as written: spoken texts hold runs of spaces.
    std::string_view rest = line.substr(line.find(c.verb) + c.verb.size());
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front())))
      rest.remove_prefix(1);
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back())))
      rest.remove_suffix(1);
    c.text = std::string(rest);
  }
  if (c.verb != "repeat") {
    check(c);
    return c;
  }
  if (nested) throw ScriptError(lineNo, "a repeat cannot hold another repeat");
  if (w.size() < 3) throw ScriptError(lineNo, "repeat needs a count and a command");
  if (!parseLong(w[1], c.times) || c.times < 0 || c.times > 1000000)
    throw ScriptError(
        lineNo, "repeat: the count must be a whole number from 0 to 1000000, not '" + w[1] + "'");
  // The commands are what follows the count, separated by ';'.
  size_t at = line.find(w[1], line.find("repeat") + 6) + w[1].size();
  std::string_view rest = line.substr(at);
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(';', start);
    if (end == std::string_view::npos) end = rest.size();
    std::string_view piece = rest.substr(start, end - start);
    if (words(piece).empty()) throw ScriptError(lineNo, "repeat: an empty command");
    c.body.push_back(parseCommand(lineNo, piece, true));
    start = end + 1;
  }
  c.args.clear();
  return c;
}

std::vector<Command> parseScript(std::string_view text) {
  // An editor may begin a UTF-8 file with a byte order mark.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<Command> commands;
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    if (words(line).empty()) {
      if (end == text.size()) break;
      continue;
    }
    commands.push_back(parseCommand(lineNo, line, false));
    if (end == text.size()) break;
  }
  return commands;
}

}  // namespace rd::replay

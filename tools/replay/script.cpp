#include "script.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

#include "platform/keys.h"

namespace rd::replay {

namespace {

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

// The argument at `index`, a whole number from `min` to `max`.
long long whole(const Command& c, const std::string& what, size_t index, long long min,
                long long max) {
  long long v = 0;
  if (!parseLong(c.args[index], v) || v < min || v > max)
    throw ScriptError(c.line, c.verb + ": " + what + " must be a whole number from " +
                                  std::to_string(min) + " to " + std::to_string(max) + ", not '" +
                                  c.args[index] + "'");
  return v;
}

constexpr long long kIntMin = -2147483648LL, kIntMax = 2147483647LL;

void keyArgs(Command& c) {
  const int code = keyCode(c.args[0]);
  if (code < 0) throw ScriptError(c.line, "unknown key '" + c.args[0] + "'");
  c.numbers = {code};
}
void mouseArgs(Command& c) {
  c.numbers = {whole(c, "the offset", 0, kIntMin, kIntMax),
               whole(c, "the data", 1, kIntMin, kIntMax)};
}
void countArgs(Command& c) {
  c.numbers = {c.args.empty() ? 1 : whole(c, "the count", 0, 0, 100000000)};
}
void waitArgs(Command& c) { c.numbers = {whole(c, "the time", 0, 0, 86400000)}; }
void setArgs(Command& c) {
  if (c.args.size() % 2 != 0) throw ScriptError(c.line, "set takes NAME VALUE pairs");
}
void frequencyArgs(Command& c) { c.numbers = {whole(c, "the frequency", 1, kIntMin, kIntMax)}; }
void rndArgs(Command& c) {
  for (const auto& a : c.args) {
    float r = 0;
    if (!parseFloat(a, r) || !(r >= 0.0f && r < 1.0f))
      throw ScriptError(c.line, "rnd: '" + a + "' is not a number in [0, 1)");
    c.randoms.push_back(r);
  }
}
void failArgs(Command& c) {
  c.numbers = {c.args.size() == 2 ? whole(c, "the count", 1, 1, 1000000) : 1};
}
void printArgs(Command& c) {
  if (c.args[0] == "timer" && c.args.size() != 2)
    throw ScriptError(c.line, "print timer takes one timer name");
  if (c.args[0] == "listener" && c.args.size() != 1)
    throw ScriptError(c.line, "print listener takes nothing more");
}

struct VerbRule {
  Verb kind;
  size_t min, max;         // how many arguments
  void (*read)(Command&);  // checks them and reads their numbers; null when nothing to check
};

// Every verb but repeat, which holds commands of its own.
const std::map<std::string, VerbRule, std::less<>>& verbs() {
  constexpr size_t kMany = 10000;
  static const std::map<std::string, VerbRule, std::less<>> table = {
      {"key", {Verb::key, 1, 1, keyArgs}},
      {"keyup", {Verb::keyup, 1, 1, keyArgs}},
      {"mouse", {Verb::mouse, 2, 2, mouseArgs}},
      {"mouse-event", {Verb::mouseEvent, 0, 0, nullptr}},
      {"tick", {Verb::tick, 0, 1, countArgs}},
      {"target", {Verb::target, 0, 1, countArgs}},
      {"tvtimer", {Verb::tvtimer, 0, 0, nullptr}},
      {"wait", {Verb::wait, 1, 1, waitArgs}},
      {"call", {Verb::call, 1, 1, nullptr}},
      {"set", {Verb::set, 2, kMany, setArgs}},
      {"set-frequency", {Verb::setFrequency, 2, 2, frequencyArgs}},
      {"rnd", {Verb::rnd, 1, kMany, rndArgs}},
      {"fail", {Verb::fail, 1, 2, failArgs}},
      {"print", {Verb::print, 1, kMany, printArgs}},
      {"play", {Verb::play, 1, 1, nullptr}},
      {"expect", {Verb::expect, 1, kMany, nullptr}},
  };
  return table;
}

void check(Command& c) {
  auto it = verbs().find(c.verb);
  if (it == verbs().end()) throw ScriptError(c.line, "unknown command '" + c.verb + "'");
  const VerbRule& rule = it->second;
  if (c.args.size() < rule.min || c.args.size() > rule.max)
    throw ScriptError(c.line, "wrong number of arguments for '" + c.verb + "'");
  c.kind = rule.kind;
  if (rule.read) rule.read(c);
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
  c.kind = Verb::repeat;
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

Command parseLine(int lineNo, std::string_view line) {
  if (words(line).empty()) throw ScriptError(lineNo, "no command");
  return parseCommand(lineNo, line, false);
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

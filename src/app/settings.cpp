#include "app/settings.h"

#include <ini.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/save_file.h"
#include "version.h"

namespace rd::app {

namespace {

struct Description {
  const char* name;
  const char* help;
};

// clang-format off
constexpr Description kSettings[] = {
#ifdef _WIN32
    {"speech", "screenreader (NVDA), system (SAPI), builtin (espeak-ng) or auto (the first of them that answers)"},
#else
    {"speech", "builtin (espeak-ng), desktop (speech-dispatcher) or auto (the desktop's when it answers)"},
#endif
    {"speech-rate", "words a minute, 80 to 900 (default: the voice's own)"},
    {"speech-volume", "the speech, 0 to 100"},
    {"volume", "everything, 0 to 100"},
    {"effects-volume", "every sound but the speech, 0 to 100"},
    {"hrtf", "auto, on or off: 3D sound for headphones (OpenAL Soft)"},
    {"welcome", "on or off: the spoken welcome at start-up"},
    {"readouts", "labelled or bare: a short label before each readout's numbers, or the numbers alone"},
    {"latency", "milliseconds of output latency, 3 to 500, or auto"},
    {"menu", "on or off: the spoken menu at start-up; off starts a round at once, and its end or Esc ends the program"},
};
// clang-format on

[[noreturn]] void refuse(const std::string& where, const std::string& name,
                         const std::string& why) {
  // An option names itself; a line of the file is followed by the setting's name.
  if (where == "--" + name) throw SettingsError(where + ": " + why);
  throw SettingsError((where.empty() ? "" : where + ": ") + name + ": " + why);
}

int whole(const std::string& where, const std::string& name, const std::string& value, int lo,
          int hi, const char* unit = "") {
  int n = 0;
  auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (value.empty() || ec != std::errc() || end != value.data() + value.size() || n < lo || n > hi)
    refuse(where, name,
           "'" + value + "' is not a whole number" + unit + " from " + std::to_string(lo) + " to " +
               std::to_string(hi));
  return n;
}

template <typename T>
T oneOf(const std::string& where, const std::string& name, const std::string& value,
        std::initializer_list<std::pair<const char*, T>> choices) {
  std::string list;
  for (const auto& [word, choice] : choices) {
    if (value == word) return choice;
    list += (list.empty() ? "" : ", ") + std::string(word);
  }
  refuse(where, name, "'" + value + "' is not one of " + list);
}

std::string trim(const std::string& s) {
  const char* blank = " \t\r";
  size_t b = s.find_first_not_of(blank);
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(blank) - b + 1);
}

struct FileRead {
  Settings* settings;
  std::string path;
  std::string failure;  // the first refusal's reason
};

int onEntry(void* user, const char* section, const char* name, const char* value) {
  auto& read = *static_cast<FileRead*>(user);
  try {
    if (section && *section)
      throw SettingsError(std::string(name) + ": settings are not put in sections ([" + section +
                          "])");
    applySetting(*read.settings, name, value);
  } catch (const SettingsError& e) {
    if (read.failure.empty()) read.failure = e.what();
    return 0;
  }
  return 1;
}

}  // namespace

void applySetting(Settings& s, const std::string& name, const std::string& value,
                  const std::string& where) {
  if (name == "speech") {
    const SpeechChoice choice = oneOf<SpeechChoice>(where, name, value,
                                                    {{"builtin", SpeechChoice::builtin},
                                                     {"desktop", SpeechChoice::desktop},
                                                     {"screenreader", SpeechChoice::screenreader},
                                                     {"system", SpeechChoice::system},
                                                     {"auto", SpeechChoice::automatic}});
    // Each system has its own voices: the others' are refused, not turned into another voice.
#ifdef _WIN32
    if (choice == SpeechChoice::desktop)
      refuse(where, name,
             "desktop speech (speech-dispatcher) is not available on Windows: use "
             "screenreader, system, builtin or auto");
#else
    if (choice == SpeechChoice::screenreader || choice == SpeechChoice::system)
      refuse(where, name,
             "'" + value + "' (" + (choice == SpeechChoice::system ? "SAPI" : "NVDA") +
                 ") is Windows only: on Linux use desktop (speech-dispatcher, which your screen "
                 "reader speaks through), builtin or auto");
#endif
    s.speech = choice;
  } else if (name == "speech-rate") {
    s.speechRate = whole(where, name, value, limits::kSlowestSpeechRate, limits::kFastestSpeechRate,
                         " of words a minute");
  } else if (name == "speech-volume") {
    s.speechVolume = whole(where, name, value, 0, 100);
  } else if (name == "volume") {
    s.volume = whole(where, name, value, 0, 100);
  } else if (name == "effects-volume") {
    s.effectsVolume = whole(where, name, value, 0, 100);
  } else if (name == "hrtf") {
    s.hrtf = oneOf<HrtfChoice>(
        where, name, value,
        {{"auto", HrtfChoice::automatic}, {"on", HrtfChoice::on}, {"off", HrtfChoice::off}});
  } else if (name == "welcome") {
    s.welcome = oneOf<bool>(where, name, value, {{"on", true}, {"off", false}});
  } else if (name == "readouts") {
    s.readouts = oneOf<ReadoutChoice>(
        where, name, value, {{"labelled", ReadoutChoice::labelled}, {"bare", ReadoutChoice::bare}});
  } else if (name == "menu") {
    s.menu = oneOf<bool>(where, name, value, {{"on", true}, {"off", false}});
  } else if (name == "latency") {
    if (value == "auto") {
      s.latencyMs = Settings::kAutoLatency;
    } else {
      s.latencyMs = whole(where, name, value, limits::kMinLatencyMs, limits::kMaxLatencyMs,
                          " of milliseconds (or auto)");
    }
  } else {
    std::string names;
    for (const auto& d : kSettings) names += (names.empty() ? "" : ", ") + std::string(d.name);
    refuse(where, name, "no such setting (the settings are: " + names + ")");
  }
}

std::string settingsPath() {
  namespace fs = std::filesystem;
#ifdef _WIN32
  // %APPDATA%\rotorduel\settings.ini, where Windows keeps a user's program settings.
  const char* appData = std::getenv("APPDATA");
  return (fs::path(appData && *appData ? appData : ".") / "rotorduel" / "settings.ini").string();
#else
  const char* config = std::getenv("XDG_CONFIG_HOME");
  fs::path base;
  if (config && *config) {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home && *home ? home : ".") / ".config";
  }
  return (base / "rotorduel" / "settings.ini").string();
#endif
}

void readSettingsFile(Settings& settings, const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  std::ifstream in(path);
  if (!in) throw SettingsError(path + ": cannot be read: " + std::strerror(errno));
  // Indenting is only layout here: inih would take an indented line as more of the value above.
  std::string text;
  for (std::string line; std::getline(in, line);) text += trim(line) + '\n';
  FileRead read{&settings, path, {}};
  int line = ini_parse_string(text.c_str(), onEntry, &read);
  if (line > 0) {
    std::string why = read.failure.empty() ? "not a 'name = value' line" : read.failure;
    throw SettingsError(path + " line " + std::to_string(line) + ": " + why);
  }
}

std::optional<std::string> saveSetting(const std::string& path, const std::string& name,
                                       const std::string& value) {
  std::vector<std::string> lines;
  {
    std::ifstream in(path);
    // A file that is there but cannot be read is never replaced by one with this line alone.
    std::error_code ec;
    if (!in && std::filesystem::exists(path, ec)) return "the file cannot be read";
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  bool replaced = false;
  for (auto line = lines.begin(); line != lines.end();) {
    size_t eq = line->find('=');
    if (eq != std::string::npos && trim(line->substr(0, eq)) == name) {
      // No value: the setting's line goes, and its default is in force.
      if (value.empty()) {
        line = lines.erase(line);
        continue;
      }
      *line = name + " = " + value;
      replaced = true;
    }
    ++line;
  }
  if (!replaced && !value.empty()) lines.push_back(name + " = " + value);
  std::string text;
  for (const auto& line : lines) text += line + '\n';
  return saveFile(path, text);
}

void addSettingOptions(CLI::App& app, std::map<std::string, std::string>& given) {
  // A path that starts with a slash (as under Wine) is a file, never an option.
  app.allow_windows_style_options(false);
  for (const auto& d : kSettings) {
    std::string name = d.name;
    app.add_option_function<std::string>(
           "--" + name, [&given, name](const std::string& v) { given[name] = v; }, d.help)
        ->type_name("VALUE");
  }
  app.set_version_flag("--version", app.get_name() + " " + version());
  app.footer("The same names, as 'name = value' lines, are read from " + settingsPath() +
             "; an option wins over the file.");
}

Settings loadSettings(Settings s, const std::map<std::string, std::string>& given,
                      const std::string& path) {
  readSettingsFile(s, path);
  for (const auto& [name, value] : given) applySetting(s, name, value, "--" + name);
  return s;
}

int parseCommandLine(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return 0;
  } catch (const CLI::CallForVersion& e) {
    std::cout << e.what() << '\n';
    return 0;
  } catch (const CLI::ParseError& e) {
    std::cerr << app.get_name() << ": " << e.what() << " (see --help)\n";
    return 2;
  }
  return -1;
}

const char* version() { return ROTORDUEL_VERSION; }

}  // namespace rd::app

// The player's settings: the file $XDG_CONFIG_HOME/rotorduel/settings.ini (`name = value` lines)
// and the same names as command-line options, which win over the file. Both programs read them, so
// a render sounds as the game does. A bad value or an unknown name is refused before anything
// starts, naming the setting and, for the file, its line.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/limits.h"

namespace CLI {
class App;
}

namespace rd::app {

// desktop is Linux's speech service; screenreader and system are Windows' (NVDA, SAPI).
enum class SpeechChoice { builtin, desktop, automatic, screenreader, system };
enum class HrtfChoice { automatic, on, off };
// How a readout is spoken: each number after a short label ("heading 306, enemy 288"), or the
// game's bare numbers.
enum class ReadoutChoice { labelled, bare };

struct Settings {
  SpeechChoice speech = SpeechChoice::automatic;
  std::optional<int> speechRate;  // words a minute; unset: the voice's own rate
  int speechVolume = 100;         // 0..100, the speech
  int volume = 100;               // 0..100, everything
  int effectsVolume = 100;        // 0..100, every voice but the speech
  HrtfChoice hrtf = HrtfChoice::automatic;
  bool welcome = true;
  ReadoutChoice readouts = ReadoutChoice::labelled;
  bool menu = true;  // the spoken menu at start-up; off: a round at once, as one game a run
  // The sound's buffering: 0 is the game's own short default, kAutoLatency leaves it to OpenAL
  // Soft and its configuration, anything else is milliseconds (3 to 500).
  static constexpr int kAutoLatency = limits::kAutoLatency;
  int latencyMs = 0;
};

class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Sets `name` to `value`; throws SettingsError naming the setting (and `where`, when given, e.g.
// "settings.ini line 3") for an unknown name or a bad value.
void applySetting(Settings& settings, const std::string& name, const std::string& value,
                  const std::string& where = {});

// $XDG_CONFIG_HOME/rotorduel/settings.ini, or ~/.config/rotorduel/settings.ini; on Windows
// %APPDATA%\rotorduel\settings.ini.
std::string settingsPath();

// Applies the file at `path` to `settings`; a missing file changes nothing.
void readSettingsFile(Settings& settings, const std::string& path);

// Writes `name = value` into the file at `path`, replacing the setting's line or adding one and
// keeping every other line, as saveFile() saves; an empty `value` takes the setting's line
// out (its default is then in force). Returns nothing when saved, else why not, in
// words for the player ("the disk is full").
std::optional<std::string> saveSetting(const std::string& path, const std::string& name,
                                       const std::string& value);

// The settings as options on a program's command line: each name as --NAME VALUE, collected into
// `given`, plus --version. After parsing, loadSettings() lays them over the file.
void addSettingOptions(CLI::App& app, std::map<std::string, std::string>& given);
Settings loadSettings(Settings defaults, const std::map<std::string, std::string>& given,
                      const std::string& path);

// Parses the command line with `app`. Returns -1 to go on, or the exit status: 0 after --help or
// --version (printed on stdout), 2 after a bad option (message on stderr).
int parseCommandLine(CLI::App& app, int argc, char** argv);

const char* version();

}  // namespace rd::app

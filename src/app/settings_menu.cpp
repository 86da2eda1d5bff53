// The settings menu: each setting with its value, changed with Left and Right (or Enter), kept in
// the settings file and put in force.
#include <algorithm>

#include "app/shell.h"
#include "platform/keys.h"
#include "platform/limits.h"

namespace rd::app {

namespace {

constexpr int kVolumeStep = 10;
constexpr int kRateStep = 25;
// The latencies offered, after the game's own short one and OpenAL Soft's.
constexpr int kLatencies[] = {10, 20, 50, 100, 200, 500};

std::string onOff(bool on) { return on ? "on" : "off"; }

}  // namespace

void Shell::settingsMenu() {
  Settings& st = s_.settings;
  // A change goes through the same rules as a line of the file, then is kept and put in force.
  auto set = [this](const std::string& name, const std::string& value) {
    Settings changed = s_.settings;
    try {
      applySetting(changed, name, value);
    } catch (const SettingsError& e) {
      say(e.what());
      return;
    }
    // A voice that cannot be had is no choice: the one in use stays, and the file keeps it.
    if (name == "speech" && s_.useSpeech) {
      if (auto why = s_.useSpeech(changed.speech)) {
        say("Speech stays as it was: " + *why + ".");
        return;
      }
    }
    s_.settings = changed;
    if (s_.save) {
      if (auto why = s_.save(name, value)) say(name + " is in force but not kept: " + *why);
    }
    if (s_.applied) s_.applied(name);
    if (name == "hrtf") {
      // Heard at once: the menu's device made again with it.
      closeDevice();
      openDevice();
    }
  };
  auto cycle = [](const std::vector<std::string>& choices, const std::string& now, int step) {
    auto at = std::find(choices.begin(), choices.end(), now);
    const int n = static_cast<int>(choices.size());
    int i = at == choices.end() ? 0 : static_cast<int>(at - choices.begin());
    return choices[static_cast<size_t>(((i + step) % n + n) % n)];
  };
  auto level = [&](const char* name, int Settings::*field) {
    return MenuItem{name, [&st, field] { return std::to_string(st.*field) + " percent"; },
                    [&st, field, name, set](int step) {
                      std::string key = name;
                      std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) {
                        return c == ' ' ? '-' : std::tolower(c);
                      });
                      set(key, std::to_string(std::clamp(st.*field + step * kVolumeStep, 0, 100)));
                    }};
  };
  // The voices this system has, as the file names them and as the menu says them.
  struct Voice {
    SpeechChoice choice;
    const char* word;
    const char* spoken;
  };
  static const std::vector<Voice> voices = {
#ifdef _WIN32
      {SpeechChoice::automatic, "auto", "the screen reader, else the system voice"},
      {SpeechChoice::screenreader, "screenreader", "the screen reader"},
      {SpeechChoice::system, "system", "the system voice"},
      {SpeechChoice::builtin, "builtin", "the built-in voice"},
#else
      {SpeechChoice::automatic, "auto", "the desktop's voice when it answers"},
      {SpeechChoice::builtin, "builtin", "the built-in voice"},
      {SpeechChoice::desktop, "desktop", "the desktop's voice"},
#endif
  };
  auto voiceNow = [&st] {
    auto at = std::find_if(voices.begin(), voices.end(),
                           [&st](const Voice& v) { return v.choice == st.speech; });
    return at == voices.end() ? voices.front() : *at;
  };
  auto hrtfWord = [&st] {
    return st.hrtf == HrtfChoice::on    ? std::string("on")
           : st.hrtf == HrtfChoice::off ? std::string("off")
                                        : std::string("auto");
  };
  auto latencyWord = [&st] {
    if (st.latencyMs == 0) return std::string("short");
    if (st.latencyMs == Settings::kAutoLatency) return std::string("auto");
    return std::to_string(st.latencyMs);
  };
  std::vector<MenuItem> items = {
      {"Speech", [=] { return std::string(voiceNow().spoken); },
       [=](int step) {
         std::vector<std::string> words;
         for (const Voice& v : voices) words.push_back(v.word);
         set("speech", cycle(words, voiceNow().word, step));
       }},
      {"Speech rate",
       [this] {
         return std::to_string(s_.settings.speechRate.value_or(s_.rate())) + " words a minute";
       },
       [this, set](int step) {
         const int now = s_.settings.speechRate.value_or(s_.rate());
         set("speech-rate",
             std::to_string(std::clamp(now + step * kRateStep, limits::kSlowestSpeechRate,
                                       limits::kFastestSpeechRate)));
       }},
      level("Volume", &Settings::volume),
      level("Effects volume", &Settings::effectsVolume),
      level("Speech volume", &Settings::speechVolume),
      {"HRTF",
       [=] { return hrtfWord() + (hrtfWord() == "auto" ? ", as OpenAL Soft decides" : ""); },
       [=](int step) {
         set("hrtf", cycle({"auto", "on", "off"}, hrtfWord(), step));
       }},
      {"Welcome", [&st] { return onOff(st.welcome); },
       [&st, set](int) { set("welcome", onOff(!st.welcome)); }},
      {"Latency",
       [=] {
         const std::string w = latencyWord();
         return (w == "short"  ? std::string("the game's short one")
                 : w == "auto" ? std::string("as OpenAL Soft decides")
                               : w + " milliseconds") +
                ", from the next start";
       },
       [=](int step) {
         std::vector<std::string> choices = {"short", "auto"};
         for (int ms : kLatencies) choices.push_back(std::to_string(ms));
         const std::string next = cycle(choices, latencyWord(), step);
         // The short one is the game's own: no line in the file.
         set("latency", next == "short" ? std::string() : next);
       }},
      {"Menu",
       [&st] {
         return onOff(st.menu) + (st.menu ? "" : ": the next start goes straight into a round");
       },
       [&st, set](int) { set("menu", onOff(!st.menu)); }},
      {"Reset to defaults"},
  };
  Menu menu("Settings", std::move(items));
  const int reset = menu.size() - 1;
  runMenu(menu, [&](int i) {
    if (i != reset) return true;
    say("Reset every setting to its default? Enter to reset, any other key to keep them.");
    int16_t code = 0;
    while ((code = s_.window.nextKey(kLookMs)) == 0) {
    }
    if (code != Key::Return) {
      say("Settings kept.");
      return true;
    }
    // No line in the file is each setting's default.
    for (const char* name : {"speech", "speech-rate", "volume", "effects-volume", "speech-volume",
                             "hrtf", "welcome", "latency", "menu"})
      if (s_.save) s_.save(name, "");
    const SpeechChoice before = s_.settings.speech;
    s_.settings = Settings{};
    if (s_.useSpeech && before != s_.settings.speech) s_.useSpeech(s_.settings.speech);
    for (const char* name : {"speech-rate", "volume", "effects-volume", "speech-volume", "hrtf"})
      if (s_.applied) s_.applied(name);
    closeDevice();
    openDevice();
    say("Every setting is back to its default.");
    return true;
  });
}

}  // namespace rd::app

// rotorduel-replay [--sounds DIR] [--render OUT.wav] [settings...] SCRIPT
#include <CLI/CLI.hpp>
#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/settings.h"
#include "runner.h"

int main(int argc, char** argv) {
  rd::replay::Options options;
  options.soundsDir = rd::replay::besideProgram(argv[0]);
  std::string scriptPath;
  std::map<std::string, std::string> given;
  CLI::App app("The game run by a script, its sound optionally rendered to a WAV file.",
               "rotorduel-replay");
  app.add_option("--sounds", options.soundsDir, "the folder of recordings")->type_name("DIR");
  app.add_option("--render", options.renderPath, "write what is heard to a WAV file")
      ->type_name("OUT.wav");
  app.add_flag("--loudness", options.loudness,
               "print the loudness (EBU R128) and sample peak of what is rendered");
  app.add_option("--loudness-from", options.loudnessFromMs,
                 "also the loudness of the part from this many milliseconds on, and before it")
      ->type_name("MS")
      ->check(CLI::NonNegativeNumber);
  app.add_option("script", scriptPath, "the script, or - for standard input")->required();
  rd::app::addSettingOptions(app, given);
  if (int status = rd::app::parseCommandLine(app, argc, argv); status >= 0) return status;
  if (options.loudnessFromMs >= 0) options.loudness = true;

  // A render holds the speech in its own mix: the built-in voice unless told otherwise.
  rd::app::Settings defaults;
  defaults.speech = rd::app::SpeechChoice::builtin;
  rd::app::Settings settings;
  try {
    settings = rd::app::loadSettings(defaults, given, rd::app::settingsPath());
    if (settings.speech == rd::app::SpeechChoice::desktop && !given.count("speech"))
      settings.speech = rd::app::SpeechChoice::builtin;
    if (settings.speech == rd::app::SpeechChoice::desktop)
      throw rd::app::SettingsError(
          "--speech: rotorduel-replay speaks with the built-in voice, "
          "which a render holds in its own mix");
  } catch (const rd::app::SettingsError& e) {
    std::cerr << "rotorduel-replay: " << e.what() << '\n';
    return 2;
  }
  options.render.volume = static_cast<float>(settings.volume) / 100.0f;
  options.render.effects = static_cast<float>(settings.effectsVolume) / 100.0f;
  options.render.speech = static_cast<float>(settings.speechVolume) / 100.0f;
  options.render.speechRate = settings.speechRate.value_or(0);
  options.render.hrtf = settings.hrtf != rd::app::HrtfChoice::off;

  std::stringstream text;
  if (scriptPath == "-") {
    text << std::cin.rdbuf();
  } else {
    std::ifstream in(scriptPath, std::ios::binary);
    if (!in) {
      std::cerr << "rotorduel-replay: cannot read the script '" << scriptPath << "'\n";
      return 2;
    }
    text << in.rdbuf();
  }
  if (!options.renderPath.empty()) {
    // Ctrl+C or a kill during a render ends the run cleanly, with a finished file of what was
    // rendered so far.
#ifdef _WIN32
    // Windows has no sigaction; Ctrl+C arrives as SIGINT all the same.
    std::signal(SIGINT, rd::replay::requestStop);
    std::signal(SIGTERM, rd::replay::requestStop);
#else
    struct sigaction stop {};
    stop.sa_handler = rd::replay::requestStop;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
#endif
  }
  try {
    auto script = rd::replay::parseScript(text.str());
    return rd::replay::run(script, options, std::cout, std::cerr);
  } catch (const rd::replay::ScriptError& e) {
    std::cerr << scriptPath << ": " << e.what() << '\n';
    return 2;
  }
}

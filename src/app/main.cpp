// rotorduel: the game on the desktop's window, sound device and speech voice. Its recordings are in
// sounds/ beside it or, installed, in the data folder beside its own; the player's settings come
// from the settings file and the command line (see --help). The exit status is 0 when the player
// ends it (Esc, closing the window, SIGINT or SIGTERM, the end of a game), 1 when something
// failed, which it reports on stderr and in a message box (or, without a window, through the
// voice), and 2 for a bad setting or option, refused before anything starts (and said by the
// voice, but for a command line that cannot be parsed at all).
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "app/comfort.h"
#include "app/settings.h"
#include "core/game.h"
#include "platform/espeak/espeak_speech.h"
#include "platform/openal/openal_sound.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_window.h"
#ifndef _WIN32
#include "platform/speechd/speechd_speech.h"
#endif

namespace {

// How long the desktop's speech service may take to answer: when asked for, time to start it;
// otherwise the game does not wait for it.
constexpr std::chrono::milliseconds kAskedPatience{5000};
constexpr std::chrono::milliseconds kAutoPatience{500};

float gain(int percent) { return static_cast<float>(percent) / 100.0f; }

rd::openal::Levels levelsOf(const rd::app::Settings& s) {
  return {gain(s.volume), gain(s.effectsVolume), gain(s.speechVolume)};
}

// The game on its services, until the program ends. Everything but the window is gone when it
// returns, so the sound device is closed before anything is reported.
int play(rd::sdl::SdlWindow& window, rd::app::Settings settings) {
  rd::sdl::SdlInput input(window);
  rd::openal::PlaybackSound sound({}, rd::openal::DeviceOptions{settings.latencyMs});
  sound.setLevels(levelsOf(settings));
  sound.setHrtf(settings.hrtf == rd::app::HrtfChoice::off ? rd::openal::Hrtf::off
                                                          : rd::openal::Hrtf::ask);
  rd::espeak::EspeakSpeech builtin(sound);
  builtin.setRate(settings.speechRate.value_or(0));
  // Esc, closing the window or a signal cuts a sentence short, and so does a newer sentence of the
  // comfort keys one of theirs.
  rd::app::Comfort* comfortKeys = nullptr;
  auto whileWaiting = [&window, &comfortKeys] {
    window.endIfAsked();
    if (comfortKeys) comfortKeys->whileSpeaking();
  };
  builtin.setWhileWaiting(whileWaiting);
  // The desktop's speech service when asked for, or when it answers at once; else the built-in
  // voice. One asked for that cannot be reached leaves the game without speech, as any voice that
  // cannot be made does.
#ifdef _WIN32
  // No desktop service there (the setting refuses it): auto is the built-in voice.
  std::unique_ptr<rd::espeak::EspeakSpeech> desktop;
#else
  std::unique_ptr<rd::speechd::SpeechdSpeech> desktop;
  if (settings.speech != rd::app::SpeechChoice::builtin) {
    const bool asked = settings.speech == rd::app::SpeechChoice::desktop;
    desktop = std::make_unique<rd::speechd::SpeechdSpeech>(asked ? kAskedPatience : kAutoPatience);
    if (!desktop->connected() && !asked) desktop.reset();
    if (desktop) desktop->setWhileWaiting(whileWaiting);
    if (desktop && desktop->connected() && settings.speechRate)
      desktop->setRate(*settings.speechRate);
  }
#endif
  rd::app::NotedSpeech speech(desktop ? static_cast<rd::SpeechSystem&>(*desktop) : builtin);
  speech.setLabelled(settings.readouts == rd::app::ReadoutChoice::labelled);
  // A trace of what is said and of pausing, for the end-to-end tests.
  const bool trace = std::getenv("ROTORDUEL_TRACE") != nullptr;
  if (trace) {
    std::cerr << "speech: " << (desktop ? "desktop" : "builtin") << '\n';
    speech.onSentence = [](const std::string& s) { std::cerr << "speak: " << s << '\n'; };
    speech.onHeard = [](const std::string& s) { std::cerr << "heard: " << s << '\n'; };
  }

  const std::string path = rd::app::settingsPath();
  rd::app::Comfort::Hooks hooks;
  hooks.rate = [&] { return desktop ? desktop->rate() : builtin.rate(); };
  hooks.setRate = [&](int wpm) {
    if (desktop) {
      desktop->setRate(wpm);
    } else {
      builtin.setRate(wpm);
    }
  };
  hooks.setVolume = [&](int volume) {
    settings.volume = volume;
    sound.setLevels(levelsOf(settings));
  };
  hooks.setPaused = [&](bool paused) {
    window.setPaused(paused);
    sound.setPaused(paused);
    if (trace)
      std::cerr << (paused ? "paused" : "resumed") << " after " << window.timerEvents()
                << " timer events\n";
  };
  hooks.save = [&](const std::string& name, const std::string& value) {
    auto why = rd::app::saveSetting(path, name, value);
    if (why) window.reportError(path + ": " + name + " not saved: " + *why, false);
    return why;
  };
  hooks.report = [&](const std::string& text) { window.reportError(text, false); };
  rd::app::Comfort comfort(speech, settings.volume, std::move(hooks));
  comfortKeys = &comfort;
  window.comfortKey = [&](int16_t code, bool down) { return comfort.key(code, down); };

  if (settings.welcome) comfort.say("Rotor Duel. F1 for help.");
  rd::Game game(rd::Platform{window, sound, speech, input});
  rd::app::ComfortedGame round(game, game, speech, comfort);
  int status = window.run(round);
  window.comfortKey = nullptr;
  comfortKeys = nullptr;
  return status;
}

// The built-in voice says why the program ends, if the sound device and the voice work: many
// players cannot read a message box, and a program started from the desktop's menu has no
// terminal.
void say(const std::string& sentence) {
  try {
    rd::openal::PlaybackSound sound;
    rd::espeak::EspeakSpeech speech(sound);
    speech.createVoice()->speak(sentence);
  } catch (...) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> given;
  CLI::App app("Rotor Duel: a helicopter duel played by ear.", "rotorduel");
  rd::app::addSettingOptions(app, given);
  if (int status = rd::app::parseCommandLine(app, argc, argv); status >= 0) return status;
  rd::app::Settings settings;
  try {
    settings = rd::app::loadSettings({}, given, rd::app::settingsPath());
  } catch (const rd::app::SettingsError& e) {
    std::cerr << "rotorduel: " << e.what() << std::endl;
    say(std::string("Rotor Duel cannot start. ") + e.what());
    return 2;
  }

  std::unique_ptr<rd::sdl::SdlWindow> window;
  std::string failure;
  try {
    window = std::make_unique<rd::sdl::SdlWindow>();
    return play(*window, settings);
  } catch (const rd::ProgramEnd& end) {
    return end.code;
  } catch (const rd::ServiceError& e) {
    failure = e.what();
  } catch (const std::exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "an unknown failure";
  }
  try {
    if (window) {
      // Said, then shown; a signal ends the program at once meanwhile.
      rd::sdl::SdlWindow::endOnSignals();
      say("Rotor Duel has to stop. " + failure);
      window->reportError(failure, true);
    } else {
      std::cerr << "rotorduel: " << failure << std::endl;
      say("Rotor Duel cannot start. " + failure);
    }
  } catch (...) {
  }
  return 1;
}

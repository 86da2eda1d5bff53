// rotorduel: the game on the desktop's window, sound device and speech voice. Its recordings are in
// sounds/ beside it or, installed, in the data folder beside its own; the player's settings come
// from the settings file and the command line (see --help). The exit status is 0 when the player
// ends it (Esc, closing the window, SIGINT or SIGTERM, the end of a game), 1 when something
// failed, which it reports on stderr and in a message box (or, without a window, through the
// voice), and 2 for a bad setting or option, refused before anything starts (and said by the
// voice, but for a command line that cannot be parsed at all).
#include <CLI/CLI.hpp>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/comfort.h"
#include "app/round.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/sound_watch.h"
#include "app/tutorial.h"
#include "game/game.h"
#include "platform/espeak/espeak_speech.h"
#include "platform/fallback/fallback_speech.h"
#include "platform/keys.h"
#include "platform/openal/openal_sound.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_window.h"
#ifdef _WIN32
#include "platform/windows/screen_reader.h"
#include "platform/windows/system_voice.h"
#else
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

// The voices besides the built-in one. At the start the screen reader and the system's voice
// are made before the window, so that one asked for that cannot be had is refused before
// anything starts; a choice made in the game is refused by the settings menu instead.
struct SystemVoices {
#ifdef _WIN32
  std::unique_ptr<rd::windows::ScreenReaderSpeech> screenReader;
  std::unique_ptr<rd::windows::SystemVoiceSpeech> system;
#else
  std::unique_ptr<rd::speechd::SpeechdSpeech> desktop;
#endif
  std::string refusal;               // why the voice asked for cannot be had
  std::vector<std::string> skipped;  // what auto found missing, for the trace
};

// The screen reader, then the system's voice, from the one asked for (auto: the first that
// answers) on: those after it are there to take over if it fails.
SystemVoices makeSystemVoices(rd::app::SpeechChoice choice) {
  SystemVoices v;
#ifdef _WIN32
  using rd::app::SpeechChoice;
  const bool automatic = choice == SpeechChoice::automatic;
  auto missing = [&](SpeechChoice which, const std::string& why) {
    if (choice == which) v.refusal = why;
    v.skipped.push_back(why);
  };
  if (automatic || choice == SpeechChoice::screenreader) {
    v.screenReader = std::make_unique<rd::windows::ScreenReaderSpeech>();
    if (!v.screenReader->running()) {
      missing(SpeechChoice::screenreader, v.screenReader->failure());
      v.screenReader.reset();
    }
  }
  if (choice != SpeechChoice::builtin) {
    v.system = std::make_unique<rd::windows::SystemVoiceSpeech>();
    if (!v.system->made()) {
      missing(SpeechChoice::system, v.system->failure());
      v.system.reset();
    }
  }
#else
  (void)choice;
#endif
  return v;
}

#ifndef _WIN32
// The desktop's speech service when asked for, or when it answers at once. One asked for that
// cannot be reached stays first and hands its first sentence to the built-in voice.
void addDesktop(SystemVoices& v, rd::app::SpeechChoice choice) {
  if (choice == rd::app::SpeechChoice::builtin) return;
  const bool asked = choice == rd::app::SpeechChoice::desktop;
  v.desktop = std::make_unique<rd::speechd::SpeechdSpeech>(asked ? kAskedPatience : kAutoPatience);
  if (!v.desktop->connected() && !asked) {
    v.skipped.push_back(v.desktop->failure());
    v.desktop.reset();
  }
}
#endif

// One voice of the chain, with its rate.
struct ChainedVoice {
  rd::fallback::FallbackSpeech::Voice voice;
  std::function<int()> rate;
  std::function<void(int)> setRate;
};
template <typename Speech>
ChainedVoice chained(const char* name, const char* spoken, Speech& speech) {
  return {{name, spoken, &speech},
          [&speech] { return speech.rate(); },
          [&speech](int wpm) { speech.setRate(wpm); }};
}

// The game on its services, until the program ends: the menu and its rounds, or, without the
// menu, one round. Everything but the window is gone when it returns, so the sound device is
// closed before anything is reported.
int play(rd::sdl::SdlWindow& window, rd::app::Settings settings, SystemVoices& voices) {
  rd::openal::PlaybackSound sound({}, rd::openal::DeviceOptions{settings.latencyMs});
  sound.setLevels(levelsOf(settings));
  sound.setHrtf(settings.hrtf == rd::app::HrtfChoice::off ? rd::openal::Hrtf::off
                                                          : rd::openal::Hrtf::ask);
  rd::espeak::EspeakSpeech builtin(sound);
  builtin.setRate(settings.speechRate.value_or(0));
  // Esc, closing the window or a signal cuts a sentence short, and so does a newer sentence of the
  // comfort keys one of theirs, whichever voice says it.
  rd::app::Comfort* comfortKeys = nullptr;
  auto whileWaiting = [&window, &comfortKeys] {
    window.endIfAsked();
    if (comfortKeys) comfortKeys->whileSpeaking();
    // In the menus any key cuts the sentence.
    if (window.shellKeyWaiting()) throw rd::app::SpeechCut{};
  };
  builtin.setWhileWaiting(whileWaiting);
  // A voice that refuses the rate keeps its own: that is no reason to end the game.
  std::optional<int> askedRate = settings.speechRate;  // the rate the player asked for last
  auto tryRate = [](ChainedVoice& v, int wpm) {
    try {
      v.setRate(wpm);
    } catch (const rd::GameError&) {
    }
  };
  // The voices in the order they are tried: the player's own (the screen reader, the system's
  // voice, the desktop's service) when there is one, the built-in voice after it, taking over for
  // the rest of the run when the one before fails.
  auto chainOf = [&](SystemVoices& v) {
    std::vector<ChainedVoice> c;
#ifdef _WIN32
    if (v.screenReader) {
      v.screenReader->setWhileWaiting(whileWaiting);
      c.push_back(chained("screenreader", "the screen reader", *v.screenReader));
    }
    if (v.system) {
      v.system->setWhileWaiting(whileWaiting);
      c.push_back(chained("system", "the system voice", *v.system));
    }
#else
    if (v.desktop) {
      v.desktop->setWhileWaiting(whileWaiting);
      c.push_back(chained("desktop", "the desktop's speech service", *v.desktop));
    }
#endif
    c.push_back(chained("builtin", "the built-in voice", builtin));
    for (auto& each : c)
      if (askedRate) tryRate(each, *askedRate);
    return c;
  };
  auto orderOf = [](const std::vector<ChainedVoice>& c) {
    std::vector<rd::fallback::FallbackSpeech::Voice> order;
    for (const auto& v : c) order.push_back(v.voice);
    return order;
  };
#ifndef _WIN32
  addDesktop(voices, settings.speech);
#endif
  std::vector<ChainedVoice> chain = chainOf(voices);
  rd::fallback::FallbackSpeech fallback(orderOf(chain));
  rd::app::NotedSpeech speech(fallback);
  speech.setLabelled(settings.readouts == rd::app::ReadoutChoice::labelled);
  // A trace of the voice taken, of what is said and of pausing, for the end-to-end tests.
  const bool trace = std::getenv("ROTORDUEL_TRACE") != nullptr;
  fallback.onFallback = [&](const std::string& failed, const std::string& next,
                            const std::string& why) {
    if (trace) std::cerr << "speech: " << next << " after " << failed << " failed: " << why << '\n';
    if (askedRate) tryRate(chain[fallback.current()], *askedRate);
  };
  auto traceChain = [&] {
    if (!trace) return;
    for (const auto& why : voices.skipped) std::cerr << "speech: passed over: " << why << '\n';
    std::cerr << "speech: " << chain.front().voice.name << '\n';
  };
  traceChain();
  // Another voice chosen in the game speaks from its next sentence. The voices it takes over from
  // go only once the chain no longer holds them.
  auto useSpeech = [&](rd::app::SpeechChoice choice) -> std::optional<std::string> {
    SystemVoices fresh = makeSystemVoices(choice);
    if (!fresh.refusal.empty()) return fresh.refusal;
#ifndef _WIN32
    addDesktop(fresh, choice);
#endif
    std::vector<ChainedVoice> next = chainOf(fresh);
    fallback.replace(orderOf(next));
    chain = std::move(next);
    voices = std::move(fresh);
    traceChain();
    return std::nullopt;
  };
  if (trace) {
    speech.onSentence = [](const std::string& s) { std::cerr << "speak: " << s << '\n'; };
    speech.onHeard = [](const std::string& s) { std::cerr << "heard: " << s << '\n'; };
    speech.onUnheard = [](const std::string& s) { std::cerr << "unheard: " << s << '\n'; };
  }

  const std::string path = rd::app::settingsPath();
  auto rate = [&] { return chain[fallback.current()].rate(); };
  auto setRate = [&](int wpm) {
    askedRate = wpm;
    chain[fallback.current()].setRate(wpm);
  };
  auto save = [&](const std::string& name, const std::string& value) -> std::optional<std::string> {
    auto why = rd::app::saveSetting(path, name, value);
    if (why) window.reportError(path + ": " + name + " not saved: " + *why, false);
    return why;
  };
  auto report = [&](const std::string& text) { window.reportError(text, false); };
  auto traceSound = [trace](bool back) {
    if (trace) std::cerr << (back ? "sound: back\n" : "sound: lost\n");
  };
  std::unique_ptr<rd::app::Shell> shell;
  int rounds = 0;

  auto playRound = [&](int lesson) {
    window.newRound();
    rd::sdl::SdlInput input(window);
    rd::app::Comfort::Hooks hooks;
    hooks.rate = rate;
    hooks.setRate = setRate;
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
    hooks.save = save;
    hooks.report = report;
    rd::app::Comfort comfort(speech, settings.volume, std::move(hooks));
    comfortKeys = &comfort;
    // With the menu, F1 opens the help list, the round paused meanwhile.
    bool helpAsked = false;
    window.comfortKey = [&](int16_t code, bool down) {
      if (shell && code == rd::Key::F1) {
        helpAsked = helpAsked || down;
        return true;
      }
      return comfort.key(code, down);
    };
    // A lost output pauses the round until it plays again.
    rd::app::SoundWatch soundWatch(sound, traceSound);
    auto watchSound = [&] {
      switch (soundWatch.look()) {
        case rd::app::SoundWatch::Change::lost:
          comfort.soundLost();
          break;
        case rd::app::SoundWatch::Change::back:
          comfort.soundBack();
          break;
        case rd::app::SoundWatch::Change::none:
          break;
      }
    };
    window.betweenEvents = [&] {
      watchSound();
      if (!helpAsked) return;
      helpAsked = false;
      const bool wasPaused = comfort.paused();
      window.setPaused(true);
      sound.setPaused(true);
      window.setShellKeys(true);
      shell->help();
      window.setShellKeys(false);
      if (!wasPaused) {
        window.setPaused(false);
        sound.setPaused(false);
      }
    };
    struct Done {
      rd::sdl::SdlWindow& window;
      rd::app::Comfort*& comfortKeys;
      ~Done() {
        window.comfortKey = nullptr;
        window.betweenEvents = nullptr;
        comfortKeys = nullptr;
      }
    } done{window, comfortKeys};

    if (settings.welcome && !shell) comfort.say("Rotor Duel. F1 for help.");
    rd::Game game(rd::Platform{window, sound, speech, input});
    ++rounds;
    rd::app::Round lessonRound(game, lesson, window, speech, rounds);
    if (trace)
      lessonRound.onStarted = [&] {
        // What a round starts from: the same every time.
        std::cerr << "round " << rounds << " starts: score " << game.playerScore << " "
                  << game.enemyScore << ", lives " << game.playerLives << " " << game.enemyLives
                  << ", height " << game.playerY << ", engine "
                  << game.sounds.sndRotor->getFrequency() << " Hz, finder "
                  << (game.finderOn ? "on" : "off") << ", listener "
                  << (game.fixedListener ? "in the room" : "in the cockpit") << ", paused "
                  << (window.paused() ? "yes" : "no") << ", timers";
        for (int t = 0; t < rd::kTimerCount; ++t)
          std::cerr << " " << (window.timerEnabled(static_cast<rd::TimerId>(t)) ? "on" : "off");
        std::cerr << "\n";
      };
    rd::app::ComfortedGame round(lessonRound, game, speech, comfort);
    rd::app::RoundResult result;
    result.status = window.run(round);
    // A round left while paused leaves nothing paused behind it: the menu speaks at once.
    window.setPaused(false);
    sound.setPaused(false);
    if (trace)
      std::cerr << "round " << rounds << " ended: score " << game.playerScore << " "
                << game.enemyScore << ", lives " << game.playerLives << " " << game.enemyLives
                << "\n";
    result.playerScore = game.playerScore;
    result.enemyScore = game.enemyScore;
    result.winner = rd::app::winnerOf(game);
    using End = rd::app::RoundResult::End;
    if (window.closeAsked()) {
      result.end = End::closed;
    } else if (result.status != 0) {
      result.end = End::failed;
    } else if (lessonRound.done()) {
      result.end = End::lessonDone;
      result.lessonWords = lessonRound.words();
    } else if (window.quitRequested()) {
      result.end = End::escape;
    } else {
      result.end = End::gameOver;
    }
    // An Esc that cut a sentence short ended the round before the game's own Esc handler took it:
    // it is spent with the round, or the menu's first sentence would end the program.
    window.newRound();
    return result;
  };

  if (!settings.menu) return playRound(-1).status;

  rd::app::Shell::Services services{window, sound, speech, settings, {}, {}, {}, {}, {}, {}, {}};
  services.playRound = playRound;
  services.rate = rate;
  services.useSpeech = useSpeech;
  services.applied = [&](const std::string& name) {
    if (name == "speech-rate" && settings.speechRate) setRate(*settings.speechRate);
    if (name == "volume" || name == "effects-volume" || name == "speech-volume")
      sound.setLevels(levelsOf(settings));
    if (name == "hrtf")
      sound.setHrtf(settings.hrtf == rd::app::HrtfChoice::off ? rd::openal::Hrtf::off
                                                              : rd::openal::Hrtf::ask);
    if (name == "readouts")
      speech.setLabelled(settings.readouts == rd::app::ReadoutChoice::labelled);
  };
  services.save = save;
  services.report = report;
  services.soundChanged = traceSound;
  shell = std::make_unique<rd::app::Shell>(std::move(services));
  return shell->run();
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

  SystemVoices voices = makeSystemVoices(settings.speech);
  if (!voices.refusal.empty()) {
    std::cerr << "rotorduel: speech: " << voices.refusal << std::endl;
    say("Rotor Duel cannot start. " + voices.refusal);
    return 2;
  }

  std::unique_ptr<rd::sdl::SdlWindow> window;
  std::string failure;
  try {
    window = std::make_unique<rd::sdl::SdlWindow>();
    return play(*window, settings, voices);
  } catch (const rd::ProgramEnd& end) {
    return end.code;
  } catch (const rd::GameError& e) {
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

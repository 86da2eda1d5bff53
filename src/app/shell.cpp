#include "app/shell.h"

#include <algorithm>
#include <ctime>
#include <iostream>

#include "app/scores.h"
#include "app/sound_lessons.h"
#include "app/tutorial.h"
#include "base/game_error.h"
#include "platform/keys.h"
#include "platform/limits.h"

namespace rd::app {

namespace {

// Each stop of the positional demo sounds this long.
constexpr int kDemoStopMs = 1500;

std::optional<MenuKey> menuKey(int16_t code) {
  switch (code) {
    case Key::Up:
      return MenuKey::up;
    case Key::Down:
      return MenuKey::down;
    case Key::Home:
      return MenuKey::home;
    case Key::End:
      return MenuKey::end;
    case Key::Left:
      return MenuKey::left;
    case Key::Right:
      return MenuKey::right;
    case Key::Return:
      return MenuKey::enter;
    case Key::Escape:
      return MenuKey::escape;
    default:
      if (code >= Key::A && code <= Key::Z) return MenuKey::letter;
      return std::nullopt;
  }
}

std::string localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &tm);
  return text;
}

std::string points(long long n) { return std::to_string(n) + (n == 1 ? " point" : " points"); }

}  // namespace

std::vector<std::string> helpItems() {
  std::vector<std::string> items = {
      "How to play: raise the engine with Page Down until you lift off the floor, find the enemy "
      "by the target finder's tones, turn to face it and fire with Space. A shot scores a point; "
      "each side has ten spare helicopters, and the round ends when one side has lost its last.",
      "The target finder: a blip while the enemy is at your height and in range, higher the more "
      "it is ahead of you; a short tone from its side while your heights differ, lower the larger "
      "the gap; a steady tone while it is dead ahead at your height: fire.",
      "In the menus: Up and Down to move, Home and End for the first and last item, a letter to "
      "jump, Enter to open, Left and Right to change a setting, Escape to go back.",
  };
  // Each key of the spoken key list, one item each.
  const std::string list = kKeyList;
  size_t begin = 0;
  while (begin < list.size()) {
    size_t end = list.find(". ", begin);
    std::string item =
        list.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    if (!item.empty() && item.back() == '.') item.pop_back();
    if (!item.empty() && item != "Keys") items.push_back(item);
    if (end == std::string::npos) break;
    begin = end + 2;
  }
  return items;
}

struct Shell::Sounds {
  std::unique_ptr<SoundDevice> device;
  std::unique_ptr<Voice> move, edge, open;
  std::unique_ptr<Voice> learning;
  std::unique_ptr<Voice3D> learning3D;
  bool learningGoesOn = false;  // a loop or the demo, which only a key ends
};

Shell::Shell(Services services)
    : s_(std::move(services)),
      sounds_(std::make_unique<Sounds>()),
      soundWatch_(s_.sound, s_.soundChanged) {}

Shell::~Shell() {
  closeDevice();
  s_.window.setShellKeys(false);
}

void Shell::say(const std::string& text) {
  if (text.empty()) return;
  try {
    if (!voice_) voice_ = s_.speech.createOwnVoice();
    voice_->speak(text);
  } catch (const SpeechCut&) {
    // A key came: the sentence stops here and the key is answered.
  } catch (const GameError& e) {
    if (s_.report) s_.report(e.what());
  }
}

void Shell::openDevice() {
  if (sounds_->device) return;
  try {
    sounds_->device = s_.sound.createDevice();
    Listener& listener = sounds_->device->createListener();
    listener.setOrientation(0, 0, 1, 0, 1, 0);
    listener.setPosition(0, 0, 0);
    auto make = [&](const char* file) {
      return sounds_->device->createVoice(file, s_.window.soundFile(file));
    };
    sounds_->move = make("MenuMove.wav");
    sounds_->edge = make("MenuEdge.wav");
    sounds_->open = make("MenuOpen.wav");
    sounds_->device->checkCalls();
  } catch (const GameError& e) {
    // The menu goes on by its words alone.
    if (s_.report) s_.report(e.what());
  }
}

void Shell::closeDevice() {
  // Voices before the device that made them.
  sounds_->learning3D.reset();
  sounds_->learning.reset();
  sounds_->learningGoesOn = false;
  sounds_->move.reset();
  sounds_->edge.reset();
  sounds_->open.reset();
  sounds_->device.reset();
}

void Shell::play(MenuSound sound) {
  Voice* voice = sound == MenuSound::move   ? sounds_->move.get()
                 : sound == MenuSound::edge ? sounds_->edge.get()
                 : sound == MenuSound::open ? sounds_->open.get()
                                            : nullptr;
  if (!voice) return;
  try {
    voice->play();
  } catch (const GameError& e) {
    if (s_.report) s_.report(e.what());
  }
}

bool Shell::quietFor(int ms) {
  for (int waited = 0; waited < ms; waited += 10) {
    if (s_.window.shellKeyWaiting()) return false;
    s_.window.hold(10);
  }
  return !s_.window.shellKeyWaiting();
}

void Shell::runMenu(Menu& menu, const std::function<bool(int)>& opened,
                    const std::string& firstWords) {
  say(firstWords.empty() ? menu.opening().speech : firstWords + " " + menu.opening().speech);
  while (!quit_) {
    const int16_t code = s_.window.nextKey(kLookMs);
    switch (soundWatch_.look()) {
      case SoundWatch::Change::lost:
        // Heard only through a voice that does not play on the lost output (the desktop's).
        say("Sound lost. The menu's sounds come back when it does.");
        break;
      case SoundWatch::Change::back:
        say("Sound is back. " + menu.opening().speech);
        break;
      case SoundWatch::Change::none:
        break;
    }
    if (code == 0) continue;
    // Any key stops a sound being learnt. Escape does only that while one goes on by itself, so
    // that the player stays in the list.
    const bool stopping = sounds_->learning && sounds_->learningGoesOn;
    sounds_->learning3D.reset();
    sounds_->learning.reset();
    sounds_->learningGoesOn = false;
    if (stopping && code == Key::Escape) {
      say(menu.where());
      continue;
    }
    if (code == Key::F1) {
      help();
      say(menu.opening().speech);
      continue;
    }
    if (code == Key::F2) {
      say(s_.speech.last());
      continue;
    }
    const auto key = menuKey(code);
    if (!key) continue;
    const MenuAnswer answer = menu.key(*key, static_cast<char>(code));
    play(answer.sound);
    if (answer.act == MenuAnswer::Act::back) return;
    say(answer.speech);
    if (answer.act == MenuAnswer::Act::open) {
      if (!opened(answer.item) || quit_) return;
    }
  }
}

int Shell::run() {
  s_.window.show();
  s_.window.keepBetweenRounds();
  s_.window.setShellKeys(true);
  openDevice();
  Menu main("Main menu", {{"Play"},
                          {"Tutorial"},
                          {"Learn the sounds"},
                          {"Settings"},
                          {"Best scores"},
                          {"Help"},
                          {"Quit"}});
  int status = 0;
  runMenu(
      main,
      [&](int item) {
        switch (item) {
          case 0: {
            closeDevice();
            s_.window.setShellKeys(false);
            RoundResult result = s_.playRound(-1);
            s_.window.setShellKeys(true);
            if (result.end == RoundResult::End::closed || result.end == RoundResult::End::failed) {
              status = result.status;
              quit_ = true;
              return false;
            }
            openDevice();
            afterRound(result);
            say(main.opening().speech);
            return true;
          }
          case 1:
            tutorial();
            break;
          case 2:
            learnSounds();
            break;
          case 3:
            settingsMenu();
            break;
          case 4:
            bestScores();
            break;
          case 5:
            help();
            break;
          default:
            quit_ = true;
            return false;
        }
        if (!quit_) say(main.opening().speech);
        return !quit_;
      },
      s_.settings.welcome ? "Rotor Duel. Up and Down to choose, Enter to open, F1 for help." : "");
  return status;
}

void Shell::afterRound(const RoundResult& result) {
  if (result.end != RoundResult::End::gameOver) {
    say("Round ended.");
    return;
  }
  const RoundScore round{localNow(), result.playerScore, result.enemyScore, result.winner};
  const std::string failure = addScore(scoresPath(), round);
  std::string words = "Round over. You " + points(round.player) + ", the enemy " +
                      points(round.enemy) + ". " +
                      (round.winner > 0   ? "You won!"
                       : round.winner < 0 ? "The enemy won."
                                          : "A draw.");
  if (!failure.empty()) {
    if (s_.report) s_.report("the best scores: " + failure);
    words += " The score could not be kept: " + failure;
  }
  say(words);
}

void Shell::help() {
  std::vector<MenuItem> items;
  for (const std::string& text : helpItems()) items.push_back({text});
  Menu menu("Help", std::move(items));
  runMenu(menu, [&](int i) {
    say(menu.said(i));
    return true;
  });
}

void Shell::tutorial() {
  std::vector<MenuItem> items;
  for (int i = 0; i < lessonCount(); ++i) items.push_back({lessonName(i)});
  Menu menu("Tutorial", std::move(items));
  runMenu(menu, [&](int i) {
    closeDevice();
    s_.window.setShellKeys(false);
    RoundResult result = s_.playRound(i);
    s_.window.setShellKeys(true);
    if (result.end == RoundResult::End::closed || result.end == RoundResult::End::failed) {
      quit_ = true;
      return false;
    }
    openDevice();
    say(result.end == RoundResult::End::lessonDone ? result.lessonWords : "Lesson left.");
    say(menu.opening().speech);
    return true;
  });
}

void Shell::learnSounds() {
  const auto& lessons = soundLessons();
  std::vector<MenuItem> items = {{"Where sounds come from: left, ahead, right and behind you"}};
  for (const SoundLesson& l : lessons) items.push_back({l.name});
  Menu menu("Learn the sounds. Enter plays each", std::move(items));
  runMenu(menu, [&](int i) {
    if (!sounds_->device) return true;
    try {
      if (i == 0) {
        // The enemy's rotor at each side of the listener in turn.
        sounds_->learning = sounds_->device->createVoice("demo", s_.window.soundFile("enemy.wav"));
        sounds_->learning3D = sounds_->learning->take3D();
        sounds_->learningGoesOn = true;
        struct Stop {
          const char* name;
          float x, z;
        };
        for (const Stop& stop : {Stop{"Left", -3, 0}, Stop{"Ahead", 0, 3}, Stop{"Right", 3, 0},
                                 Stop{"Behind", 0, -3}}) {
          sounds_->learning->stop();
          say(stop.name);
          if (s_.window.shellKeyWaiting() || !sounds_->learning) return true;
          sounds_->learning3D->setPosition(stop.x, 0, stop.z);
          sounds_->learning->loop();
          sounds_->device->checkCalls();
          if (!quietFor(kDemoStopMs)) return true;
        }
        sounds_->learning->stop();
        sounds_->learningGoesOn = false;
        return true;
      }
      const SoundLesson& l = lessons[static_cast<size_t>(i - 1)];
      sounds_->learning = sounds_->device->createVoice(l.file, s_.window.soundFile(l.file));
      sounds_->learning3D = sounds_->learning->take3D();
      sounds_->learning3D->setMode(Mode3D::headRelative);
      sounds_->learning3D->setPosition(0, 0, 1);
      if (l.frequency > 0) sounds_->learning->setFrequency(l.frequency);
      sounds_->learningGoesOn = l.loops;
      if (l.loops) {
        sounds_->learning->loop();
      } else {
        sounds_->learning->play();
      }
      sounds_->device->checkCalls();
    } catch (const GameError& e) {
      if (s_.report) s_.report(e.what());
      say("That sound cannot be played.");
    }
    return true;
  });
  sounds_->learning3D.reset();
  sounds_->learning.reset();
}

void Shell::bestScores() {
  const ScoresFile file = readScores(scoresPath());
  std::vector<MenuItem> items;
  if (!file.failure.empty()) {
    items.push_back({"The best scores cannot be read: " + file.failure});
  } else {
    for (const std::string& line : scoreSummary(file)) items.push_back({line});
    if (file.damagedLines > 0)
      items.push_back({std::to_string(file.damagedLines) +
                       " lines of the scores file are damaged; they are kept as they are."});
  }
  Menu menu("Best scores", std::move(items));
  runMenu(menu, [&](int i) {
    say(menu.said(i));
    return true;
  });
}

}  // namespace rd::app

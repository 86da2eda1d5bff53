// The window's event rules, first on a fake clock: the timers' beat, handlers that never run
// inside themselves, keys kept in order, held keys that wait once, closing as Esc and before all
// else, and the mouse's buffer and signal. Then the SDL window on SDL's display-less driver:
// desktop events pushed into SDL's queue come out as the game's key codes, mouse items, closing as
// Esc, and the program's exit status.
#include "platform/sdl/sdl_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dispatcher.h"
#include "platform/sdl/sdl_input.h"

namespace rd {
namespace {

using Log = std::vector<std::string>;

// A game that writes down what it is handed (a key-down's end too) and may do something inside
// each handler; its mouse handler reads the mouse's items when it has a mouse.
struct Recorder : GameEvents {
  Log log;
  std::function<void()> onLoad;
  std::function<void(const std::string&)> inside;  // given the handler's entry
  std::unique_ptr<Mouse> mouse;

  void handle(const std::string& entry) {
    log.push_back(entry);
    if (inside) inside(entry);
  }
  void start() override {
    if (onLoad) onLoad();
  }
  void onTimer(TimerId id) override { handle(timerName(id)); }
  void onKeyDown(int16_t code) override {
    handle("down " + std::to_string(code));
    log.push_back("end " + std::to_string(code));
  }
  void onKeyUp(int16_t code) override { log.push_back("up " + std::to_string(code)); }
  void onMouse() override {
    handle("mouse");
    static const char* const kNames[] = {"x", "y", "wheel", "left", "right", "middle", "other"};
    MouseItem items[100];
    for (int32_t i = 0, n = mouse ? mouse->take(items, 100) : 0; i < n; ++i)
      log.push_back(std::string(kNames[static_cast<int>(items[i].input)]) + " " +
                    std::to_string(items[i].amount));
  }
  long count(const std::string& entry) const { return std::ranges::count(log, entry); }
};

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() { events.attach(&game); }
  // Runs the clock in steps of `step` microseconds, looking at the queue after each.
  void runFor(int64_t micros, int64_t step = 1000) {
    for (const int64_t end = now + micros; now < end; events.runPending()) now += step;
  }
  void every(TimerId id, int32_t ms) {
    events.setTimerInterval(id, ms);
    events.setTimerEnabled(id, true);
  }
  int64_t now = 0;
  Recorder game;
  Dispatcher events{[this] { return now; }};
};

TEST_F(DispatcherTest, TheTickRuns64TimesASecondAndAfterAHoldOnceOnItsOldBeat) {
  every(TimerId::targetFinder, 500);
  every(TimerId::television, 9000);
  events.setTimerEnabled(TimerId::television, false);
  every(TimerId::simulation, 1);
  EXPECT_EQ(events.untilNextTimer(), 15625);
  runFor(1'000'000, 125);
  EXPECT_EQ(game.count("simulation"), 64);
  EXPECT_EQ(game.count("targetFinder"), 2);
  EXPECT_EQ(game.count("television"), 0);
  // A second of speech holds the game: afterwards one tick, not a burst, and the next one falls
  // on the old beat, 129 periods after the start, not a period after the hold.
  now += 1'005'000;
  events.runPending();
  events.runPending();
  EXPECT_EQ(game.count("simulation"), 65);
  EXPECT_EQ(events.untilNextTimer(), 129 * 15625 - 2'005'000);
}

TEST_F(DispatcherTest, TimersCountAfreshWhenEnabledOrGivenANewInterval) {
  // A timer that never had an interval never fires, enabled or not.
  events.setTimerEnabled(TimerId::television, true);
  runFor(100'000);
  EXPECT_EQ(events.untilNextTimer(), -1);
  events.setTimerInterval(TimerId::television, 9000);
  runFor(8'000'000);
  events.setTimerEnabled(TimerId::television, false);
  events.setTimerEnabled(TimerId::television, true);
  runFor(8'999'000);
  EXPECT_TRUE(game.log.empty());
  runFor(1000);
  EXPECT_EQ(game.log, Log{"television"});
}

TEST_F(DispatcherTest, ATickThatYieldsLetsOtherTimersRunInsideButNeverItself) {
  every(TimerId::simulation, 1);
  every(TimerId::targetFinder, 500);
  now = 499'000;
  game.inside = [&](const std::string& entry) {
    if (entry != "simulation") return;
    now += 20'000;  // the tick is slow; by now it is due again, and so is the target cycle
    events.runPending();
    game.log.push_back("tick ends");
  };
  events.runPending();
  EXPECT_EQ(game.log, (Log{"simulation", "targetFinder", "tick ends"}));
}

TEST_F(DispatcherTest, AKeyDownWaitsForTheOneRunningAndKeysKeepTheirOrder) {
  events.keyDown(34);
  events.keyUp(34);
  events.keyDown(35);
  game.inside = [&](const std::string& entry) {
    if (entry != "down 34") return;
    events.keyUp(35);  // the player goes on pressing keys meanwhile
    events.keyDown(36);
    events.runPending();  // the key-up runs inside; the next key-down waits, and all behind it
  };
  while (events.ready()) events.runPending();
  EXPECT_EQ(game.log,
            (Log{"down 34", "up 34", "end 34", "down 35", "end 35", "up 35", "down 36", "end 36"}));
}

TEST_F(DispatcherTest, ARepeatWaitsOnceAndAQuitCutsTheHandlerAndDropsTheKeysBeforeIt) {
  int unanswered = 0;
  events.closeUnanswered = [&] { ++unanswered; };
  events.quitNow = [&] {
    game.log.push_back("quit now");
    throw ProgramEnd{0};
  };
  // V is held through a readout: its repeats wait as one press, H behind it.
  game.inside = [&](const std::string& entry) {
    if (entry != "down 86" || game.count(entry) > 1) return;
    for (int i = 0; i < 5; ++i) events.keyDown(86, true);
    events.keyDown(72);
    events.runPending();
  };
  events.keyDown(86);
  while (events.ready()) events.runPending();
  EXPECT_EQ(game.log, (Log{"down 86", "end 86", "down 86", "end 86", "down 72", "end 72"}));
  // Esc while a readout speaks: the readout ends at its next look, the H before Esc is dropped,
  // and Esc is the next thing the game is handed.
  game.log.clear();
  game.inside = [&](const std::string& entry) {
    if (entry != "down 86") return;
    events.keyDown(72);
    events.keyDown(27);
    events.runPending();
  };
  events.keyDown(86);
  EXPECT_THROW(events.runPending(), ProgramEnd);
  events.keyDown(86);
  events.runPending();
  EXPECT_EQ(game.log, (Log{"down 86", "quit now", "down 27", "end 27"}));
  EXPECT_EQ(unanswered, 1);
}

TEST_F(DispatcherTest, TheMouseBuffersOnlyWhileOpenAndLosesWhatDoesNotFit) {
  MouseBuffer& mouse = events.mouse();
  mouse.push({MouseInput::moveX, 5});  // not open yet: lost, and no signal
  events.runPending();
  EXPECT_TRUE(game.log.empty());

  mouse.open(100);
  for (int i = 1; i <= 150; ++i) mouse.push({MouseInput::moveY, i});
  mouse.push({MouseInput::rightButton, 0x80});  // lost too, but it signals
  std::vector<MouseItem> items(100);
  game.inside = [&](const std::string&) {
    EXPECT_EQ(mouse.take(items.data(), 100), 100);
    // A click while the handler runs: signals again, runs after.
    mouse.push({MouseInput::leftButton, 0x80});
    events.runPending();
  };
  events.runPending();
  game.inside = nullptr;
  EXPECT_EQ(items.front().amount, 1);
  EXPECT_EQ(items.back().amount, 100);  // the newest items were the ones lost
  EXPECT_EQ(game.log, Log{"mouse"});
  events.runPending();
  events.runPending();  // one signal, one call: an unread item does not call again
  EXPECT_EQ(game.count("mouse"), 2);

  mouse.close();  // a closed mouse drops what waited and signals no more
  mouse.push({MouseInput::moveX, 1});
  events.runPending();
  EXPECT_EQ(game.count("mouse"), 2);
  EXPECT_EQ(mouse.waiting(), 0u);
}

// A pause that comes from inside one timer's handler holds the timers after it too; resuming
// starts each one a whole interval afresh instead of firing what fell due meanwhile.
TEST_F(DispatcherTest, PausedNoTimerFiresAndResumingStartsWholeIntervals) {
  every(TimerId::simulation, 1);
  every(TimerId::targetFinder, 15);
  game.inside = [&](const std::string&) { events.setPaused(true); };
  runFor(1'000'000);
  EXPECT_EQ(game.log, Log{"simulation"});
  EXPECT_EQ(events.untilNextTimer(), -1);
  game.inside = nullptr;
  events.setPaused(false);
  runFor(15'000);
  EXPECT_EQ(game.log.size(), 1u);
  runFor(1000);
  EXPECT_EQ(game.log, (Log{"simulation", "simulation", "targetFinder"}));
  EXPECT_EQ(events.timerEvents(), 3);
}

class SdlWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
#ifdef _WIN32
    _putenv_s("SDL_VIDEODRIVER", "dummy");
#else
    setenv("SDL_VIDEODRIVER", "dummy", 1);
#endif
  }

  static void push(SDL_Event e) { SDL_PushEvent(&e); }
  static void key(Uint32 type, SDL_Scancode code, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    SDL_Event e{type};
    e.key.keysym = {code, SDLK_UNKNOWN, mod, 0};
    e.key.repeat = repeat;
    push(e);
  }
  static void windowEvent(Uint8 what) {
    SDL_Event e{SDL_WINDOWEVENT};
    e.window.event = what;
    push(e);
  }
  // Runs the game with its tick going from the start.
  int ticking() {
    game.onLoad = [&] {
      window->setTimerInterval(TimerId::simulation, 1);
      window->setTimerEnabled(TimerId::simulation, true);
    };
    return window->run(game);
  }

  std::unique_ptr<sdl::SdlWindow> window = std::make_unique<sdl::SdlWindow>();
  sdl::SdlInput input{*window};
  Recorder game;
};

TEST_F(SdlWindowTest, KeysArriveAsCodesWhateverShiftAndCapsLockAndRepeatAsKeyDowns) {
  game.onLoad = [&] {
    key(SDL_KEYDOWN, SDL_SCANCODE_X, KMOD_LSHIFT);
    key(SDL_KEYUP, SDL_SCANCODE_X, KMOD_LSHIFT);
    key(SDL_KEYDOWN, SDL_SCANCODE_X, KMOD_CAPS);
    key(SDL_KEYDOWN, SDL_SCANCODE_PAGEDOWN);
    key(SDL_KEYDOWN, SDL_SCANCODE_PAGEDOWN, KMOD_NONE, 1);
    key(SDL_KEYDOWN, SDL_SCANCODE_KP_8, KMOD_NUM);
    key(SDL_KEYDOWN, SDL_SCANCODE_MUTE);  // no code: the game never hears it
  };
  game.inside = [&](const std::string& entry) {
    // A repeat while nothing of its key waits is its own key-down.
    if (entry == "down 104") key(SDL_KEYDOWN, SDL_SCANCODE_PAGEDOWN, KMOD_NONE, 1);
    if (entry == "down 34" && game.count(entry) == 2) {
      key(SDL_KEYDOWN, SDL_SCANCODE_F);
      key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);  // goes first; the F before it is dropped
    }
    if (entry == "down 27") window->endProgram(0);
  };
  EXPECT_EQ(window->run(game), 0);
  // The repeat of a Page Down still waiting waits as one with it.
  EXPECT_EQ(game.log, (Log{"down 88", "end 88", "up 88", "down 88", "end 88", "down 34", "end 34",
                           "down 104", "end 104", "down 34", "end 34", "down 27"}));
}

TEST_F(SdlWindowTest, ClosingTheWindowIsEscAndEndsTheProgramWithZero) {
  game.onLoad = [&] {
    // The desktop tells of a close twice: the window's close and the program's quit.
    windowEvent(SDL_WINDOWEVENT_CLOSE);
    push(SDL_Event{SDL_QUIT});
  };
  EXPECT_EQ(window->run(game), 0);  // even though this game ignores Esc
  EXPECT_EQ(game.log, (Log{"down 27", "end 27"}));
}

TEST_F(SdlWindowTest, AQuitEndsAFallInProgress) {
  game.inside = [&](const std::string&) {
    push(SDL_Event{SDL_QUIT});  // what SIGINT and SIGTERM become
    window->hold(1e9);          // a fall's step that would outlast the test's watchdog
    ADD_FAILURE() << "the hold ran to its end";
  };
  EXPECT_EQ(ticking(), 0);
}

TEST_F(SdlWindowTest, TheGameEndingInATickEndsTheLoopThereWithItsStatus) {
  game.inside = [&](const std::string& entry) {
    if (game.count(entry) == 5) window->endProgram(3);
  };
  EXPECT_EQ(ticking(), 3);
  EXPECT_EQ(game.log, Log(5, "simulation"));
}

TEST_F(SdlWindowTest, InTheForegroundMouseMovesAndButtonsBecomeItems) {
  game.onLoad = [&] {
    game.mouse = input.openMouse(100);
    auto motion = [](int x, int y) {
      SDL_Event e{SDL_MOUSEMOTION};
      e.motion.xrel = x;
      e.motion.yrel = y;
      push(e);
    };
    auto button = [](Uint32 type, Uint8 which) {
      SDL_Event e{type};
      e.button.button = which;
      push(e);
    };
    motion(3, 0);  // the window is not in the foreground yet: nothing
    window->yield();
    EXPECT_TRUE(game.log.empty());

    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    window->yield();
    motion(5, -7);
    motion(0, 12);  // pulled toward the player
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1);  // a fourth button is no item
    window->yield();
    EXPECT_EQ(game.log, (Log{"mouse", "x 5", "y -7", "y 12", "left 128", "left 0", "right 128",
                             "middle 128"}));

    game.log.clear();
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    motion(4, 4);
    window->yield();
    EXPECT_TRUE(game.log.empty());
    window->endProgram(0);
  };
  ASSERT_EQ(window->run(game), 0);
}

}  // namespace
}  // namespace rd

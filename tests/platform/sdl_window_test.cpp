// The SDL window on SDL's display-less driver: desktop events pushed into SDL's queue come out as
// the game's key codes, mouse items, closing as Esc, and the program's exit status.
#include "platform/sdl/sdl_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/sdl_input.h"

namespace rd::sdl {
namespace {

using Log = std::vector<std::string>;

// A game that writes down what it is handed.
struct Recorder : GameEvents {
  Log log;
  std::function<void()> onLoad;
  std::function<void(int16_t)> whenKeyDown;
  std::function<void()> whenTimer;
  std::unique_ptr<Mouse> mouse;

  void start() override { onLoad(); }
  void onTimer(TimerId) override { whenTimer(); }
  void onKeyDown(int16_t code) override {
    log.push_back("down " + std::to_string(code));
    if (whenKeyDown) whenKeyDown(code);
  }
  void onKeyUp(int16_t code) override { log.push_back("up " + std::to_string(code)); }
  int32_t onMouse(int32_t eventId) override {
    MouseItem items[100];
    for (int32_t i = 0, n = mouse->getDeviceData(items, 100); i < n; ++i)
      log.push_back(std::to_string(eventId) + ": " + std::to_string(items[i].offset) + " " +
                    std::to_string(items[i].data));
    return 0;
  }
};

class SdlWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { SDL_setenv("SDL_VIDEODRIVER", "dummy", 1); }

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
  // Starts the game's tick, which does `body` each time.
  int ticking(const std::function<void()>& body) {
    game.onLoad = [&] {
      window->setTimerInterval(TimerId::simulation, 1);
      window->setTimerEnabled(TimerId::simulation, true);
    };
    game.whenTimer = body;
    return window->run(game);
  }

  std::unique_ptr<SdlWindow> window = std::make_unique<SdlWindow>();
  SdlInput input{*window};
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
  int pageDowns = 0;
  game.whenKeyDown = [&](int16_t code) {
    // A repeat while nothing of its key waits is its own key-down.
    if (code == 104) key(SDL_KEYDOWN, SDL_SCANCODE_PAGEDOWN, KMOD_NONE, 1);
    if (code == 34 && ++pageDowns == 2) {
      key(SDL_KEYDOWN, SDL_SCANCODE_F);
      key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);  // goes first; the F before it is dropped
    }
    if (code == 27) window->endProgram(0);
  };
  EXPECT_EQ(window->run(game), 0);
  // The repeat of a Page Down still waiting waits as one with it.
  EXPECT_EQ(game.log,
            (Log{"down 88", "up 88", "down 88", "down 34", "down 104", "down 34", "down 27"}));
}

TEST_F(SdlWindowTest, ClosingTheWindowIsEscAndEndsTheProgramWithZero) {
  game.onLoad = [&] {
    // The desktop tells of a close twice: the window's close and the program's quit.
    windowEvent(SDL_WINDOWEVENT_CLOSE);
    push(SDL_Event{SDL_QUIT});
  };
  EXPECT_EQ(window->run(game), 0);  // even though this game ignores Esc
  EXPECT_EQ(game.log, Log{"down 27"});
}

TEST_F(SdlWindowTest, AQuitEndsAFallInProgress) {
  EXPECT_EQ(ticking([&] {
              push(SDL_Event{SDL_QUIT});  // what SIGINT and SIGTERM become
              window->hold(1e9);          // a fall's step that would outlast the test's watchdog
              ADD_FAILURE() << "the hold ran to its end";
            }),
            0);
}

TEST_F(SdlWindowTest, TheGameEndingInATickEndsTheLoopThereWithItsStatus) {
  int ticks = 0;
  EXPECT_EQ(ticking([&] {
              if (++ticks == 5) window->endProgram(3);
            }),
            3);
  EXPECT_EQ(ticks, 5);
}

TEST_F(SdlWindowTest, InTheForegroundMouseMovesAndButtonsBecomeItems) {
  game.onLoad = [&] {
    input.create();
    game.mouse = input.createMouse();
    Mouse* mouse = game.mouse.get();
    mouse->setDataFormat(2);
    mouse->setCooperativeLevel(5);
    mouse->setBufferSize(100);
    const int32_t handle = input.createEvent();
    mouse->setEventNotification(handle);
    mouse->acquire();
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
    window->doEvents();
    EXPECT_TRUE(game.log.empty());

    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    window->doEvents();
    motion(5, -7);
    motion(0, 12);  // pulled toward the player
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1);  // a fourth button is no item
    window->doEvents();
    const std::string m = std::to_string(handle) + ": ";
    EXPECT_EQ(game.log, (Log{m + "0 5", m + "4 -7", m + "4 12", m + "12 128", m + "12 0",
                             m + "13 128", m + "14 128"}));

    game.log.clear();
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    motion(4, 4);
    window->doEvents();
    EXPECT_TRUE(game.log.empty());
    window->endProgram(0);
  };
  ASSERT_EQ(window->run(game), 0);
}

}  // namespace
}  // namespace rd::sdl

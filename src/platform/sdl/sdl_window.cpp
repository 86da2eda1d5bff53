#include "platform/sdl/sdl_window.h"

#include <SDL.h>
#include <unistd.h>
#ifdef __linux__
#include <pthread.h>
#include <sys/prctl.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <thread>

#include "platform/keys.h"
#include "platform/sdl/key_codes.h"
#include "version.h"

namespace rd::sdl {

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The loop looks at the desktop at least this often even when no timer runs.
constexpr int kLongestWaitMs = 250;
// A wait of the game's thread (a fall's step, a sentence) looks for a quit this often.
constexpr std::chrono::milliseconds kLookEvery{5};
// A pressed button's amount in its item, as a buffered mouse reports the button's state byte.
constexpr int32_t kButtonDown = 0x80;

MouseInput buttonInput(uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return MouseInput::leftButton;
    case SDL_BUTTON_RIGHT:
      return MouseInput::rightButton;
    case SDL_BUTTON_MIDDLE:
      return MouseInput::middleButton;
    default:
      return MouseInput::otherButton;
  }
}

}  // namespace

SdlWindow::SdlWindow()
    : start_(std::chrono::steady_clock::now()), dispatcher_([this] { return nowMicros(); }) {
  // The black window is painted without a graphics driver: nothing to set up, nothing to fail,
  // and the window keeps the one identity it is born with.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) throw GameError("window.create", SDL_GetError());
  // Without a desktop SDL falls back to a driver that shows nothing and hears no key: the game
  // would play to nobody. A driver the user names is theirs to choose.
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  const char* driver = SDL_GetCurrentVideoDriver();
  if ((!asked || !*asked) && driver &&
      (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
    SDL_Quit();
    const char* display = SDL_getenv("DISPLAY");
    throw GameError("window.create",
                    display && *display
                        ? std::string("cannot open the desktop's display '") + display + "'"
                        : std::string("there is no desktop display to open the window on "
                                      "(DISPLAY is not set)"));
  }
  window_ = SDL_CreateWindow("Rotor Duel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth,
                             kHeight, SDL_WINDOW_HIDDEN);
  if (!window_) {
    std::string why = SDL_GetError();
    SDL_Quit();
    throw GameError("window.create", why);
  }
  // Keys are keys here, never text: no input method steps between the player and the game.
  SDL_StopTextInput();
  if (char* base = SDL_GetBasePath()) {
    folder_ = base;
    SDL_free(base);
    while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
#ifdef _WIN32
    // There SDL ends the folder with a backslash ("C:\\Games\\Rotor Duel\\" in C's spelling).
    while (folder_.size() > 3 && folder_.back() == '\\') folder_.pop_back();
#endif
  }
  dispatcher_.collect = [this] { collectEvents(); };
  dispatcher_.closeUnanswered = [this] { endProgram(0); };
  dispatcher_.quitNow = [this] { endProgram(0); };
}

SdlWindow::~SdlWindow() {
  if (relativeMode_) SDL_SetRelativeMouseMode(SDL_FALSE);
  SDL_DestroyWindow(window_);
  SDL_Quit();
}

int64_t SdlWindow::nowMicros() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

void SdlWindow::show() {
  SDL_ShowWindow(window_);
  // Ask for the keyboard: the keys drive the game.
  SDL_RaiseWindow(window_);
  paint();
}

void SdlWindow::changeToProgramFolder() {
  if (folder_.empty()) throw GameError("window.chdir", "the program's folder is unknown");
#ifdef _WIN32
  // The folder is UTF-8; chdir would read it in the ANSI code page.
  std::error_code ec;
  std::filesystem::current_path(
      std::u8string(reinterpret_cast<const char8_t*>(folder_.data()), folder_.size()), ec);
  if (ec) throw GameError("window.chdir", folder_ + ": " + ec.message());
#else
  if (::chdir(folder_.c_str()) != 0) {
    throw GameError("window.chdir", folder_ + ": " + std::strerror(errno));
  }
#endif
}

namespace {

// The program's folder is UTF-8. On Windows a path made from a plain string would read it in the
// ANSI code page, and miss a folder whose name has letters outside ASCII.
std::filesystem::path utf8Path(const std::string& text) {
#ifdef _WIN32
  return std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size());
#else
  return text;
#endif
}

std::string utf8Text(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
#else
  return path.string();
#endif
}

}  // namespace

std::string SdlWindow::soundFile(const std::string& name) {
  if (folder_.empty()) return "sounds/" + name;
  // Beside the program, as in the build folder; then where an installed program's are.
  namespace fs = std::filesystem;
  const fs::path beside = utf8Path(folder_) / "sounds";
  const fs::path installed = (utf8Path(folder_) / ROTORDUEL_SOUNDS_FROM_BINDIR).lexically_normal();
  std::error_code ignored;
  for (const fs::path& folder : {beside, installed}) {
    if (fs::exists(folder / name, ignored)) return utf8Text(folder / name);
  }
  throw GameError("sounds.find",
                  name + " is neither in " + utf8Text(beside) + " nor in " + utf8Text(installed),
                  utf8Text(beside / name));
}

void SdlWindow::setTimerInterval(TimerId id, int32_t ms) { dispatcher_.setTimerInterval(id, ms); }
void SdlWindow::setTimerEnabled(TimerId id, bool enabled) {
  dispatcher_.setTimerEnabled(id, enabled);
}
bool SdlWindow::timerEnabled(TimerId id) { return dispatcher_.timerEnabled(id); }
int32_t SdlWindow::timerInterval(TimerId id) { return dispatcher_.timerInterval(id); }

void SdlWindow::yield() { dispatcher_.runPending(); }

void SdlWindow::hold(double ms) {
  if (!(ms > 0)) return;
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::microseconds(std::llround(std::min(ms, 1e12) * 1000.0));
  for (;;) {
    endIfAsked();
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(end - now, kLookEvery));
  }
}

void SdlWindow::endIfAsked() {
  collectEvents();
  if (dispatcher_.quitWaiting() || (shellKeysOn_ && closeAsked_)) endProgram(0);
}

void SdlWindow::setShellKeys(bool on) {
  shellKeysOn_ = on;
  shellKeys_.clear();
}

bool SdlWindow::shellKeyWaiting() {
  collectEvents();
  return !shellKeys_.empty();
}

int16_t SdlWindow::nextKey(int ms) {
  endIfAsked();
  if (shellKeys_.empty() && ms > 0) {
    SDL_WaitEventTimeout(nullptr, ms);
    endIfAsked();
  }
  if (shellKeys_.empty()) return 0;
  const int16_t code = shellKeys_.front();
  shellKeys_.pop_front();
  return code;
}

void SdlWindow::newRound() {
  dispatcher_.reset();
  closeMouse();
}

uint32_t SdlWindow::clockSeed() {
  auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                    std::chrono::system_clock::now().time_since_epoch())
                    .count();
  return static_cast<uint32_t>(micros ^ (micros >> 32));
}

namespace {

extern "C" void endAtOnce(int) { std::_Exit(1); }

#ifdef __linux__
pid_t boxOwner = 0;
// In the process SDL forks to show a message box: it goes when the program goes.
void boxGoesWithProgram() {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != boxOwner) std::_Exit(1);
}
#endif

bool answersBox(const SDL_Event& e) {
  if (e.type == SDL_QUIT) return true;
  if (e.type == SDL_WINDOWEVENT) return e.window.event == SDL_WINDOWEVENT_CLOSE;
  if (e.type != SDL_KEYDOWN) return false;
  const SDL_Keycode key = e.key.keysym.sym;
  return key == SDLK_ESCAPE || key == SDLK_RETURN || key == SDLK_KP_ENTER;
}

}  // namespace

void SdlWindow::endOnSignals() {
  std::signal(SIGINT, endAtOnce);
  std::signal(SIGTERM, endAtOnce);
}

void SdlWindow::reportError(const std::string& text, bool fatal) {
  std::cerr << "rotorduel: " << text << std::endl;
  if (!fatal || !window_) return;
  // The player needs the pointer back to answer the box.
  if (relativeMode_) {
    SDL_SetRelativeMouseMode(SDL_FALSE);
    relativeMode_ = false;
  }
  endOnSignals();
#ifdef __linux__
  boxOwner = ::getpid();
  static const bool registered = ::pthread_atfork(nullptr, nullptr, boxGoesWithProgram) == 0;
  (void)registered;
#endif
  // The box waits for its answer on a thread of its own while this one still hears the game's
  // window: Enter, Escape or closing either of them is the answer, wherever the desktop put the
  // keyboard. A box that cannot be shown is no reason to wait.
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread([done, text] {
    SDL_MessageBoxButtonData ok{
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
    const SDL_MessageBoxData box{
        SDL_MESSAGEBOX_ERROR, nullptr, "Rotor Duel error", text.c_str(), 1, &ok, nullptr};
    int button = 0;
    if (SDL_ShowMessageBox(&box, &button) != 0)
      std::cerr << "rotorduel: the message box cannot be shown: " << SDL_GetError() << std::endl;
    *done = true;
  }).detach();
  while (!*done) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (answersBox(event)) return;
    }
    SDL_Delay(static_cast<Uint32>(kLookEvery.count()));
  }
}

void SdlWindow::programEnding(int) {
  if (relativeMode_) {
    SDL_SetRelativeMouseMode(SDL_FALSE);
    relativeMode_ = false;
  }
  // A round that ends leaves the window to the menu; the program's end takes it away at once.
  if (!keepShown_ || closeAsked_) SDL_HideWindow(window_);
}

int SdlWindow::run(GameEvents& game) {
  dispatcher_.attach(&game);
  try {
    game.start();
    for (;;) {
      if (!dispatcher_.ready()) {
        int64_t wait = dispatcher_.untilNextTimer();
        int ms = wait < 0
                     ? kLongestWaitMs
                     : static_cast<int>(std::min<int64_t>((wait + 999) / 1000, kLongestWaitMs));
        SDL_WaitEventTimeout(nullptr, ms);
      }
      dispatcher_.runPending();
      if (betweenEvents) betweenEvents();
    }
  } catch (const ProgramEnd& end) {
    dispatcher_.attach(nullptr);
    return end.code;
  } catch (...) {
    dispatcher_.attach(nullptr);
    throw;
  }
}

void SdlWindow::collectEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) translate(event);
}

void SdlWindow::translate(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      closeAsked_ = true;
      if (!shellKeysOn_) dispatcher_.closeRequest();
      break;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          closeAsked_ = true;
          if (!shellKeysOn_) dispatcher_.closeRequest();
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          setFocused(true);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          setFocused(false);
          break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          paint();
          break;
        default:
          break;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      // Auto-repeat comes as further key-downs, each one more action in the game, but at most one
      // waits at a time.
      int16_t code =
          virtualKey(e.key.keysym.scancode, e.key.keysym.sym, (e.key.keysym.mod & KMOD_NUM) != 0);
      if (code == 0) break;
      const bool down = e.type == SDL_KEYDOWN;
      if (shellKeysOn_) {
        // A held Esc backs out of one menu, not all of them.
        if (down && !(e.key.repeat && code == rd::Key::Escape)) shellKeys_.push_back(code);
        break;
      }
      if (comfortKey && comfortKey(code, down)) break;
      if (dispatcher_.paused() && code != rd::Key::Escape) break;
      if (down) {
        dispatcher_.keyDown(code, e.key.repeat != 0);
      } else {
        dispatcher_.keyUp(code);
      }
      break;
    }
    case SDL_MOUSEMOTION:
      if (!focused_ || dispatcher_.paused()) break;
      // One item per axis that moved; y grows as the mouse is pulled toward the player.
      if (e.motion.xrel != 0) dispatcher_.mouse().push({MouseInput::moveX, e.motion.xrel});
      if (e.motion.yrel != 0) dispatcher_.mouse().push({MouseInput::moveY, e.motion.yrel});
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (!focused_ || dispatcher_.paused()) break;
      const MouseInput input = buttonInput(e.button.button);
      // The game has no use for a further button: it is no item, and takes no room.
      if (input == MouseInput::otherButton) break;
      dispatcher_.mouse().push({input, e.type == SDL_MOUSEBUTTONDOWN ? kButtonDown : 0});
      break;
    }
    default:
      break;
  }
}

void SdlWindow::setFocused(bool focused) {
  focused_ = focused;
  applyMouseMode();
}

void SdlWindow::openMouse(int32_t capacity) {
  dispatcher_.mouse().open(capacity);
  applyMouseMode();
}

void SdlWindow::closeMouse() {
  dispatcher_.mouse().close();
  applyMouseMode();
}

void SdlWindow::applyMouseMode() {
  bool want = focused_ && dispatcher_.mouse().isOpen();
  if (want == relativeMode_) return;
  // Where the desktop cannot hold the pointer, SDL still reports each movement; the game then
  // hears the same items, only the pointer stays visible.
  SDL_SetRelativeMouseMode(want ? SDL_TRUE : SDL_FALSE);
  relativeMode_ = want;
}

void SdlWindow::paint() {
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  SDL_UpdateWindowSurface(window_);
}

}  // namespace rd::sdl

#include "platform/sdl/key_codes.h"

namespace rd::sdl {

namespace {

// Virtual-key codes of the keys the game and the desktop know by name.
enum : int16_t {
  vkBack = 8,
  vkTab = 9,
  vkClear = 12,
  vkReturn = 13,
  vkShift = 16,
  vkControl = 17,
  vkMenu = 18,
  vkPause = 19,
  vkCapital = 20,
  vkEscape = 27,
  vkSpace = 32,
  vkPrior = 33,  // Page Up
  vkNext = 34,   // Page Down
  vkEnd = 35,
  vkHome = 36,
  vkLeft = 37,
  vkUp = 38,
  vkRight = 39,
  vkDown = 40,
  vkSnapshot = 44,
  vkInsert = 45,
  vkDelete = 46,
  vk0 = 48,
  vkA = 65,
  vkLeftWin = 91,
  vkRightWin = 92,
  vkApps = 93,
  vkNumpad0 = 96,
  vkMultiply = 106,
  vkAdd = 107,
  vkSubtract = 109,
  vkDecimal = 110,
  vkDivide = 111,
  vkF1 = 112,
  vkF13 = 124,
  vkNumLock = 144,
  vkScroll = 145,
  vkOem1 = 186,  // ;:
  vkOemPlus = 187,
  vkOemComma = 188,
  vkOemMinus = 189,
  vkOemPeriod = 190,
  vkOem2 = 191,  // /?
  vkOem3 = 192,  // `~
  vkOem4 = 219,  // [{
  vkOem5 = 220,  // \|
  vkOem6 = 221,  // ]}
  vkOem7 = 222,  // '"
  vkOem102 = 226,
};

int16_t plus(int16_t base, int offset) { return static_cast<int16_t>(base + offset); }

// The number pad's keys 1 to 9 with Num Lock off, in the order of their digits.
constexpr int16_t kPadNavigation[9] = {vkEnd,   vkDown, vkNext, vkLeft, vkClear,
                                       vkRight, vkHome, vkUp,   vkPrior};

}  // namespace

int16_t virtualKey(SDL_Scancode sc, bool numLock) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return plus(vkA, sc - SDL_SCANCODE_A);
  // The digit row runs 1..9 then 0.
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return plus(vk0 + 1, sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) return vk0;
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return plus(vkF1, sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return plus(vkF13, sc - SDL_SCANCODE_F13);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
    int digit = sc - SDL_SCANCODE_KP_1;
    return numLock ? plus(vkNumpad0 + 1, digit) : kPadNavigation[digit];
  }
  switch (sc) {
    case SDL_SCANCODE_ESCAPE:
      return vkEscape;
    case SDL_SCANCODE_SPACE:
      return vkSpace;
    case SDL_SCANCODE_PAGEUP:
      return vkPrior;
    case SDL_SCANCODE_PAGEDOWN:
      return vkNext;
    case SDL_SCANCODE_END:
      return vkEnd;
    case SDL_SCANCODE_HOME:
      return vkHome;
    case SDL_SCANCODE_LEFT:
      return vkLeft;
    case SDL_SCANCODE_UP:
      return vkUp;
    case SDL_SCANCODE_RIGHT:
      return vkRight;
    case SDL_SCANCODE_DOWN:
      return vkDown;
    case SDL_SCANCODE_INSERT:
      return vkInsert;
    case SDL_SCANCODE_DELETE:
      return vkDelete;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return vkReturn;
    case SDL_SCANCODE_BACKSPACE:
      return vkBack;
    case SDL_SCANCODE_TAB:
      return vkTab;
    case SDL_SCANCODE_CAPSLOCK:
      return vkCapital;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return vkShift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return vkControl;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return vkMenu;
    case SDL_SCANCODE_LGUI:
      return vkLeftWin;
    case SDL_SCANCODE_RGUI:
      return vkRightWin;
    case SDL_SCANCODE_APPLICATION:
      return vkApps;
    case SDL_SCANCODE_PAUSE:
      return vkPause;
    case SDL_SCANCODE_PRINTSCREEN:
      return vkSnapshot;
    case SDL_SCANCODE_SCROLLLOCK:
      return vkScroll;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return vkNumLock;
    case SDL_SCANCODE_KP_0:
      return numLock ? vkNumpad0 : vkInsert;
    case SDL_SCANCODE_KP_PERIOD:
      return numLock ? vkDecimal : vkDelete;
    case SDL_SCANCODE_KP_DIVIDE:
      return vkDivide;
    case SDL_SCANCODE_KP_MULTIPLY:
      return vkMultiply;
    case SDL_SCANCODE_KP_MINUS:
      return vkSubtract;
    case SDL_SCANCODE_KP_PLUS:
      return vkAdd;
    case SDL_SCANCODE_SEMICOLON:
      return vkOem1;
    case SDL_SCANCODE_EQUALS:
      return vkOemPlus;
    case SDL_SCANCODE_COMMA:
      return vkOemComma;
    case SDL_SCANCODE_MINUS:
      return vkOemMinus;
    case SDL_SCANCODE_PERIOD:
      return vkOemPeriod;
    case SDL_SCANCODE_SLASH:
      return vkOem2;
    case SDL_SCANCODE_GRAVE:
      return vkOem3;
    case SDL_SCANCODE_LEFTBRACKET:
      return vkOem4;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
      return vkOem5;
    case SDL_SCANCODE_RIGHTBRACKET:
      return vkOem6;
    case SDL_SCANCODE_APOSTROPHE:
      return vkOem7;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return vkOem102;
    default:
      return 0;
  }
}

int16_t virtualKey(SDL_Scancode sc, SDL_Keycode key, bool numLock) {
  if (key >= SDLK_a && key <= SDLK_z) return plus(vkA, key - SDLK_a);
  const bool letterPosition = sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z;
  if (letterPosition && key > 0 && key < 128) return 0;
  return virtualKey(sc, numLock);
}

}  // namespace rd::sdl

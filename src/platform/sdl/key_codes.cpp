#include "platform/sdl/key_codes.h"

#include "platform/keys.h"

namespace rd::sdl {

namespace {

int16_t plus(int16_t base, int offset) { return static_cast<int16_t>(base + offset); }

// The number pad's keys 1 to 9 with Num Lock off, in the order of their digits.
constexpr int16_t kPadNavigation[9] = {Key::End,   Key::Down, Key::PageDown, Key::Left,  Key::Clear,
                                       Key::Right, Key::Home, Key::Up,       Key::PageUp};

}  // namespace

int16_t virtualKey(SDL_Scancode sc, bool numLock) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return plus(Key::A, sc - SDL_SCANCODE_A);
  // The digit row runs 1..9 then 0.
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
    return plus(Key::Digit0 + 1, sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) return Key::Digit0;
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return plus(Key::F1, sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24)
    return plus(Key::F13, sc - SDL_SCANCODE_F13);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
    int digit = sc - SDL_SCANCODE_KP_1;
    return numLock ? plus(Key::Numpad0 + 1, digit) : kPadNavigation[digit];
  }
  switch (sc) {
    case SDL_SCANCODE_ESCAPE:
      return Key::Escape;
    case SDL_SCANCODE_SPACE:
      return Key::Space;
    case SDL_SCANCODE_PAGEUP:
      return Key::PageUp;
    case SDL_SCANCODE_PAGEDOWN:
      return Key::PageDown;
    case SDL_SCANCODE_END:
      return Key::End;
    case SDL_SCANCODE_HOME:
      return Key::Home;
    case SDL_SCANCODE_LEFT:
      return Key::Left;
    case SDL_SCANCODE_UP:
      return Key::Up;
    case SDL_SCANCODE_RIGHT:
      return Key::Right;
    case SDL_SCANCODE_DOWN:
      return Key::Down;
    case SDL_SCANCODE_INSERT:
      return Key::Insert;
    case SDL_SCANCODE_DELETE:
      return Key::Delete;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return Key::Return;
    case SDL_SCANCODE_BACKSPACE:
      return Key::Back;
    case SDL_SCANCODE_TAB:
      return Key::Tab;
    case SDL_SCANCODE_CAPSLOCK:
      return Key::CapsLock;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return Key::Shift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return Key::Control;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return Key::Alt;
    case SDL_SCANCODE_LGUI:
      return Key::LeftWin;
    case SDL_SCANCODE_RGUI:
      return Key::RightWin;
    case SDL_SCANCODE_APPLICATION:
      return Key::Apps;
    case SDL_SCANCODE_PAUSE:
      return Key::Pause;
    case SDL_SCANCODE_PRINTSCREEN:
      return Key::PrintScreen;
    case SDL_SCANCODE_SCROLLLOCK:
      return Key::ScrollLock;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return Key::NumLock;
    case SDL_SCANCODE_KP_0:
      return numLock ? Key::Numpad0 : Key::Insert;
    case SDL_SCANCODE_KP_PERIOD:
      return numLock ? Key::Decimal : Key::Delete;
    case SDL_SCANCODE_KP_DIVIDE:
      return Key::Divide;
    case SDL_SCANCODE_KP_MULTIPLY:
      return Key::Multiply;
    case SDL_SCANCODE_KP_MINUS:
      return Key::Subtract;
    case SDL_SCANCODE_KP_PLUS:
      return Key::Add;
    case SDL_SCANCODE_SEMICOLON:
      return Key::Semicolon;
    case SDL_SCANCODE_EQUALS:
      return Key::Equals;
    case SDL_SCANCODE_COMMA:
      return Key::Comma;
    case SDL_SCANCODE_MINUS:
      return Key::Minus;
    case SDL_SCANCODE_PERIOD:
      return Key::Period;
    case SDL_SCANCODE_SLASH:
      return Key::Slash;
    case SDL_SCANCODE_GRAVE:
      return Key::Grave;
    case SDL_SCANCODE_LEFTBRACKET:
      return Key::LeftBracket;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
      return Key::Backslash;
    case SDL_SCANCODE_RIGHTBRACKET:
      return Key::RightBracket;
    case SDL_SCANCODE_APOSTROPHE:
      return Key::Apostrophe;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return Key::NonUsBackslash;
    default:
      return 0;
  }
}

int16_t virtualKey(SDL_Scancode sc, SDL_Keycode key, bool numLock) {
  if (key >= SDLK_a && key <= SDLK_z) return plus(Key::A, key - SDLK_a);
  const bool letterPosition = sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z;
  if (letterPosition && key > 0 && key < 128) return 0;
  return virtualKey(sc, numLock);
}

}  // namespace rd::sdl

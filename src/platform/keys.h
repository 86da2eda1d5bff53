// The key codes the window hands the game: the desktop's virtual-key codes, one number per
// physical key whatever the layout. Letters arrive as their upper-case code whatever Shift or
// Caps Lock say, digits as '0' to '9'; the number pad's digits and function keys run on from
// Numpad0 and F1.
#pragma once

#include <cstdint>

namespace rd::Key {

enum : int16_t {
  Back = 8,
  Tab = 9,
  Clear = 12,  // the number pad's 5 with Num Lock off
  Return = 13,
  Shift = 16,
  Control = 17,
  Alt = 18,
  Pause = 19,
  CapsLock = 20,
  Escape = 27,
  Space = 32,
  PageUp = 33,
  PageDown = 34,
  End = 35,
  Home = 36,
  Left = 37,
  Up = 38,
  Right = 39,
  Down = 40,
  PrintScreen = 44,
  Insert = 45,
  Delete = 46,
  // clang-format off
  Digit0 = '0', Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
  A = 'A', B = 'B', C = 'C', D = 'D', E = 'E', F = 'F', G = 'G', H = 'H', I = 'I', J = 'J',
  K = 'K', L = 'L', M = 'M', N = 'N', O = 'O', P = 'P', Q = 'Q', R = 'R', S = 'S', T = 'T',
  U = 'U', V = 'V', W = 'W', X = 'X', Y = 'Y', Z = 'Z',
  // clang-format on
  LeftWin = 91,
  RightWin = 92,
  Apps = 93,
  // clang-format off
  Numpad0 = 96, Numpad1, Numpad2, Numpad3, Numpad4, Numpad5, Numpad6, Numpad7, Numpad8, Numpad9,
  // clang-format on
  Multiply = 106,
  Add = 107,
  Subtract = 109,
  Decimal = 110,
  Divide = 111,
  // clang-format off
  F1 = 112, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12, F13,
  // clang-format on
  NumLock = 144,
  ScrollLock = 145,
  Semicolon = 186,
  Equals = 187,
  Comma = 188,
  Minus = 189,
  Period = 190,
  Slash = 191,
  Grave = 192,
  LeftBracket = 219,
  Backslash = 220,
  RightBracket = 221,
  Apostrophe = 222,
  NonUsBackslash = 226,  // the extra key beside the left Shift on European keyboards
};

}  // namespace rd::Key

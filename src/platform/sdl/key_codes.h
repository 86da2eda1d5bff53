// The window system's virtual-key codes that the game's key handlers read, from SDL's scancodes:
// the same physical key gives the same code on every keyboard layout, and a letter gives its
// upper-case code whatever Shift or Caps Lock say.
#pragma once

#include <SDL_scancode.h>

#include <cstdint>

namespace rd::sdl {

// The virtual-key code of a physical key, or 0 when the key has none. The number pad follows
// Num Lock: digits while it is on, the arrow, paging and editing keys while it is off.
int16_t virtualKey(SDL_Scancode scancode, bool numLock);

}  // namespace rd::sdl

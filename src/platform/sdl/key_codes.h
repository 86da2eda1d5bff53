// The window system's virtual-key codes that the game's key handlers read, from SDL's scancodes:
// the same physical key gives the same code on every keyboard layout, and a letter gives its
// upper-case code whatever Shift or Caps Lock say.
#pragma once

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include <cstdint>

namespace rd::sdl {

// The virtual-key code of a physical key, or 0 when the key has none. The number pad follows
// Num Lock: digits while it is on, the arrow, paging and editing keys while it is off.
int16_t virtualKey(SDL_Scancode scancode, bool numLock);

// The virtual-key code of a key press: letters by their label in the layout in force (`key`, SDL's
// key code), every other key by its position. A letter position whose label is no Latin letter
// keeps its position's letter when the label is a letter of another script (a Cyrillic layout), and
// has no code when the label is punctuation (the French layout's comma).
int16_t virtualKey(SDL_Scancode scancode, SDL_Keycode key, bool numLock);

}  // namespace rd::sdl

// Every service the game reaches, handed to it at construction.
#pragma once

#include "base/game_error.h"
#include "platform/input.h"
#include "platform/sound_device.h"
#include "platform/speech.h"
#include "platform/window.h"

namespace rd {

struct Platform {
  Window& window;
  SoundSystem& sound;
  SpeechSystem& speech;
  InputService& input;
};

}  // namespace rd

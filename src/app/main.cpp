// rotorduel: the game on the desktop's window, sound device and speech voice. It reads no command
// line and no environment and writes nothing; its recordings are in sounds/ beside it. The exit
// status is 0 when the player ends it (Esc, closing the window, the end of a game) and 1 when
// something failed, which it reports on stderr and in a message box.
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "core/form1.h"
#include "platform/espeak/espeak_speech.h"
#include "platform/openal/openal_sound.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_window.h"

namespace {

// The game on its services, until the program ends. Everything but the window is gone when it
// returns, so the sound device is closed before anything is reported.
int play(rd::sdl::SdlWindow& window) {
  rd::sdl::SdlInput input(window);
  rd::openal::PlaybackSound sound;
  rd::espeak::EspeakSpeech speech(sound);
  rd::Form1 game(rd::Platform{window, sound, speech, input});
  return window.run(game);
}

}  // namespace

int main() {
  std::unique_ptr<rd::sdl::SdlWindow> window;
  std::string failure;
  try {
    window = std::make_unique<rd::sdl::SdlWindow>();
    return play(*window);
  } catch (const rd::ProgramEnd& end) {
    return end.code;
  } catch (const rd::ServiceError& e) {
    failure = e.what();
  } catch (const std::exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "an unknown failure";
  }
  try {
    if (window) {
      window->reportError(failure, true);
    } else {
      std::cerr << "rotorduel: " << failure << std::endl;
    }
  } catch (...) {
  }
  return 1;
}

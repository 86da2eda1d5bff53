// rotorduel: the game on the desktop's window, sound device and speech voice. Its one option,
// `--latency MS|auto`, raises the sound's buffering; it writes nothing; its recordings are in
// sounds/ beside it. The exit status is 0 when the player ends it (Esc, closing the window, the
// end of a game), 1 when something failed, which it reports on stderr and in a message box, and 2
// for an option it does not know.
#include <charconv>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "core/form1.h"
#include "platform/espeak/espeak_speech.h"
#include "platform/openal/openal_sound.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_window.h"

namespace {

// The game on its services, until the program ends. Everything but the window is gone when it
// returns, so the sound device is closed before anything is reported.
int play(rd::sdl::SdlWindow& window, const rd::openal::DeviceOptions& soundOptions) {
  rd::sdl::SdlInput input(window);
  rd::openal::PlaybackSound sound({}, soundOptions);
  rd::espeak::EspeakSpeech speech(sound);
  rd::Form1 game(rd::Platform{window, sound, speech, input});
  return window.run(game);
}

// The latency from "auto" or whole milliseconds; nothing for anything else.
std::optional<int32_t> parseLatency(const std::string& text) {
  using Options = rd::openal::DeviceOptions;
  if (text == "auto") return Options::kAutoLatency;
  int32_t ms = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ms);
  if (error != std::errc() || end != text.data() + text.size() || ms < Options::kMinLatencyMs ||
      ms > Options::kMaxLatencyMs)
    return std::nullopt;
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  using Options = rd::openal::DeviceOptions;
  Options soundOptions;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i], value;
    if (arg == "--latency" && i + 1 < argc) {
      value = argv[++i];
    } else if (arg.rfind("--latency=", 0) == 0) {
      value = arg.substr(10);
    } else {
      std::cerr << "rotorduel: unknown option '" << arg << "' (the one option is --latency MS|auto)"
                << std::endl;
      return 2;
    }
    auto latency = parseLatency(value);
    if (!latency) {
      std::cerr << "rotorduel: --latency takes milliseconds from " << Options::kMinLatencyMs
                << " to " << Options::kMaxLatencyMs << ", or auto, not '" << value << "'"
                << std::endl;
      return 2;
    }
    soundOptions.latencyMs = *latency;
  }
  std::unique_ptr<rd::sdl::SdlWindow> window;
  std::string failure;
  try {
    window = std::make_unique<rd::sdl::SdlWindow>();
    return play(*window, soundOptions);
  } catch (const rd::ProgramEnd& end) {
    return end.code;
  } catch (const rd::NotWritten& e) {
    failure = "the procedure " + e.procedure + " is not written yet";
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

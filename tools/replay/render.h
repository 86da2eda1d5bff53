// Rendering a replay: the real sound device (OpenAL Soft's loopback device) and the real speech
// voice, with the replay's virtual clock deciding how much sound is written.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "platform/sound_device.h"
#include "platform/speech.h"

namespace rd::replay {

class RenderBackend {
 public:
  virtual ~RenderBackend() = default;
  virtual SoundSystem& sound() = 0;
  virtual SpeechSystem& speech() = 0;
  // Mixes `micros` of sound from the device and appends it to the output.
  virtual void render(int64_t micros) = 0;
  // The speech voice runs the clock by this for as long as a text sounds.
  virtual void setClock(std::function<void(int64_t micros)> advance) = 0;
  // Finishes the output file; throws GameError when it cannot be written.
  virtual void finish() = 0;
};

// The player's settings a render is heard with: gains from 0 to 1, the speech rate in words a
// minute (0: the voice's own), and whether HRTF is asked for.
struct RenderSettings {
  float volume = 1.0f;
  float effects = 1.0f;
  float speech = 1.0f;
  int speechRate = 0;
  bool hrtf = true;
};

// What to measure of the rendered sound (EBU R128 loudness and the sample peak).
struct LoudnessOptions {
  std::ostream* report = nullptr;  // where finish() prints the figures; nullptr: not measured
  // From this many milliseconds on, the sound is also measured on its own, and the part before it
  // too: a sound played over the room against the room alone. Negative: the whole only.
  double fromMs = -1;
};

// A backend that writes a 44.1 kHz stereo WAV to `path` (no file when it is empty), heard with
// `settings` and measured as `loudness` asks; throws GameError when the loopback device or the
// speech voice cannot be made.
std::unique_ptr<RenderBackend> makeRenderBackend(const std::string& path,
                                                 const RenderSettings& settings = {},
                                                 const LoudnessOptions& loudness = {});

}  // namespace rd::replay

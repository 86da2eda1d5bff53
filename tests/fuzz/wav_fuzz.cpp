// Feeds arbitrary bytes to the recording decoder as a file: it must fail cleanly or decode,
// never crash, hang or read out of bounds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/game_error.h"
#include "platform/wav/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      "/dev/shm/rotorduel-wav-fuzz-" + std::to_string(getpid()) + ".wav";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  try {
    rd::WavData wav = rd::readWav("sndFuzz.create", path);
    if (wav.channels < 1 || wav.sampleRate <= 0 || wav.samples.empty()) __builtin_trap();
  } catch (const rd::GameError& e) {
    if (e.file() != path) __builtin_trap();  // every failure names the file
  }
  return 0;
}

// A game on the recording platform, with its own small recordings in a temporary folder, for
// unit tests that need to look inside the platform's call log.
#pragma once

#include <sndfile.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/game.h"
#include "platform/fake/recording_platform.h"
#include "script_names.h"
#include "sound/recordings.h"

namespace rd::testing {

// Writes a short mono 16-bit WAV at `rate`.
inline void writeWav(const std::string& path, int rate, int frames = 64) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  std::vector<short> samples(static_cast<size_t>(frames), 0);
  sf_write_short(f, samples.data(), frames);
  sf_close(f);
}

// A folder with all 31 recordings at the rates the game's files have.
class SoundsFolder {
 public:
  SoundsFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("rotorduel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
    std::filesystem::create_directories(path_);
    for (const RecordingFile& r : kRecordingFiles) writeWav(file(std::string(r.file)), r.rate);
  }
  ~SoundsFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::string path() const { return path_.string(); }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  std::filesystem::path path_;
};

struct FakeGame {
  SoundsFolder sounds;
  fake::Trace trace;
  fake::RecordingSound sound{trace};
  fake::RecordingSpeech speech{trace};
  fake::FakeInput input{trace};
  fake::FakeWindow window{trace, sounds.path()};
  Game game{Platform{window, sound, speech, input}};

  // Reports and logs in the names the replay prints.
  FakeGame() { window.logNames = replay::toScriptNames; }

  // Runs start-up; returns the program's exit status if it ended, or -1 while it runs.
  int start() {
    return run([&] { game.start(); });
  }

  template <typename F>
  int run(F&& f) {
    try {
      f();
    } catch (const ProgramEnd& end) {
      return end.code;
    }
    return -1;
  }

  // The calls logged since the last clear, in order.
  const std::vector<std::string>& calls() const { return trace.calls(); }
  const std::vector<std::string>& lines() const { return trace.lines(); }
};

}  // namespace rd::testing

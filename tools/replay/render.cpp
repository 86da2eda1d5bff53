// Rendering a replay: the loopback device mixes exactly as much sound as the virtual clock runs,
// and the speech voice runs the clock for as long as a sentence sounds.
#include "render.h"

#include <sndfile.h>

#include <cmath>
#include <vector>

#include "platform/espeak/espeak_speech.h"
#include "platform/openal/openal_sound.h"
#include "platform/service_error.h"

namespace rd::replay {

namespace {

class FileRender : public RenderBackend {
 public:
  FileRender(const std::string& path, const RenderSettings& settings)
      : path_(path), speech_(sound_, [this](double ms) { runClock(ms); }) {
    sound_.setLevels({settings.volume, settings.effects, settings.speech});
    sound_.setHrtf(settings.hrtf ? openal::Hrtf::ask : openal::Hrtf::off);
    speech_.setRate(settings.speechRate);
    SF_INFO info{};
    info.samplerate = openal::LoopbackSound::kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file_)
      throw ServiceError("render.create", "cannot write '" + path + "': " + sf_strerror(nullptr),
                         path);
  }
  ~FileRender() override {
    if (file_) sf_close(file_);
  }

  SoundSystem& sound() override { return sound_; }
  SpeechSystem& speech() override { return speech_; }

  void render(int64_t micros) override {
    if (micros <= 0 || !file_) return;
    // The frames due by the clock's new time, counted from the start, so that stretches of a
    // fractional number of frames (a tick is 689.0625 frames) add up without drift.
    elapsedMicros_ += micros;
    const int64_t due = elapsedMicros_ * openal::LoopbackSound::kRate / 1000000;
    while (written_ < due) {
      const int64_t n = std::min<int64_t>(due - written_, kChunkFrames);
      buffer_.resize(static_cast<size_t>(n) * 2);
      sound_.render(static_cast<int32_t>(n), buffer_.data());
      if (sf_writef_short(file_, buffer_.data(), n) != n)
        throw ServiceError("render.write", "cannot write '" + path_ + "': " + sf_strerror(file_),
                           path_);
      written_ += n;
    }
  }

  void setClock(std::function<void(int64_t micros)> advance) override {
    clock_ = std::move(advance);
  }

  void finish() override {
    if (!file_) return;
    int status = sf_close(file_);
    file_ = nullptr;
    if (status != 0)
      throw ServiceError("render.finish",
                         "cannot finish '" + path_ + "': " + sf_error_number(status), path_);
  }

 private:
  static constexpr int64_t kChunkFrames = 4096;

  // A sentence lasts as long as it sounds: the clock runs that long (and so the file grows).
  void runClock(double ms) {
    const auto micros = static_cast<int64_t>(std::llround(ms * 1000.0));
    if (clock_) {
      clock_(micros);
    } else {
      render(micros);
    }
  }

  std::string path_;
  openal::LoopbackSound sound_;
  espeak::EspeakSpeech speech_;
  SNDFILE* file_ = nullptr;
  std::function<void(int64_t)> clock_;
  int64_t elapsedMicros_ = 0;
  int64_t written_ = 0;
  std::vector<int16_t> buffer_;
};

}  // namespace

std::unique_ptr<RenderBackend> makeRenderBackend(const std::string& path,
                                                 const RenderSettings& settings) {
  return std::make_unique<FileRender>(path, settings);
}

}  // namespace rd::replay

// Rendering a replay: the loopback device mixes exactly as much sound as the virtual clock runs,
// and the speech voice runs the clock for as long as a sentence sounds.
#include "render.h"

#include <ebur128.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>
#include <vector>

#include "base/game_error.h"
#include "platform/espeak/espeak_speech.h"
#include "platform/openal/openal_sound.h"

namespace rd::replay {

namespace {

constexpr int64_t kRate = openal::LoopbackSound::kRate;

// The EBU R128 loudness of a stretch of the render (libebur128) and its sample peak. The
// short-term and momentary maxima are read every 100 ms, as the standard defines them.
class Meter {
 public:
  explicit Meter(std::string label)
      : label_(std::move(label)),
        state_(ebur128_init(2, kRate, EBUR128_MODE_I | EBUR128_MODE_S | EBUR128_MODE_SAMPLE_PEAK)) {
    if (!state_) throw GameError("render.loudness", "libebur128 cannot start a meter");
  }
  ~Meter() { ebur128_destroy(&state_); }
  Meter(const Meter&) = delete;
  Meter& operator=(const Meter&) = delete;

  void add(const int16_t* frames, int64_t n) {
    while (n > 0) {
      const int64_t take = std::min(n, kReadEvery - sinceRead_);
      ebur128_add_frames_short(state_, frames, static_cast<size_t>(take));
      frames += take * 2;
      n -= take;
      sinceRead_ += take;
      if (sinceRead_ == kReadEvery) {
        sinceRead_ = 0;
        double m = 0, s = 0;
        if (ebur128_loudness_momentary(state_, &m) == EBUR128_SUCCESS)
          momentaryMax_ = std::max(momentaryMax_, m);
        if (ebur128_loudness_shortterm(state_, &s) == EBUR128_SUCCESS)
          shortTermMax_ = std::max(shortTermMax_, s);
      }
    }
  }

  void report(std::ostream& out) const {
    double integrated = -HUGE_VAL, left = 0, right = 0;
    ebur128_loudness_global(state_, &integrated);
    ebur128_sample_peak(state_, 0, &left);
    ebur128_sample_peak(state_, 1, &right);
    const double peak = std::max(left, right);
    out << label_ << ": integrated " << figure(integrated) << " LUFS, short-term max "
        << figure(shortTermMax_) << " LUFS, momentary max " << figure(momentaryMax_)
        << " LUFS, sample peak " << figure(peak > 0 ? 20 * std::log10(peak) : -HUGE_VAL)
        << " dBFS\n";
  }

 private:
  static constexpr int64_t kReadEvery = kRate / 10;

  static std::string figure(double v) {
    if (!std::isfinite(v)) return "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
  }

  std::string label_;
  ebur128_state* state_;
  int64_t sinceRead_ = 0;
  double momentaryMax_ = -HUGE_VAL;
  double shortTermMax_ = -HUGE_VAL;
};

class FileRender : public RenderBackend {
 public:
  FileRender(const std::string& path, const RenderSettings& settings,
             const LoudnessOptions& loudness)
      : path_(path),
        report_(loudness.report),
        speech_(sound_, [this](double ms) { runClock(ms); }) {
    sound_.setLevels({settings.volume, settings.effects, settings.speech});
    sound_.setHrtf(settings.hrtf ? openal::Hrtf::ask : openal::Hrtf::off);
    speech_.setRate(settings.speechRate);
    if (report_) {
      whole_.emplace("loudness");
      if (loudness.fromMs >= 0) {
        splitFrame_ = std::llround(loudness.fromMs * kRate / 1000.0);
        char ms[32];
        std::snprintf(ms, sizeof ms, "%g ms", loudness.fromMs);
        before_.emplace(std::string("loudness before ") + ms);
        after_.emplace(std::string("loudness from ") + ms);
      }
    }
    if (path.empty()) return;
    SF_INFO info{};
    info.samplerate = openal::LoopbackSound::kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file_)
      throw GameError("render.create", "cannot write '" + path + "': " + sf_strerror(nullptr),
                      path);
  }
  ~FileRender() override {
    if (file_) sf_close(file_);
  }

  SoundSystem& sound() override { return sound_; }
  SpeechSystem& speech() override { return speech_; }

  void render(int64_t micros) override {
    if (micros <= 0 || finished_) return;
    // The frames due by the clock's new time, counted from the start, so that stretches of a
    // fractional number of frames (a tick is 689.0625 frames) add up without drift.
    elapsedMicros_ += micros;
    const int64_t due = elapsedMicros_ * openal::LoopbackSound::kRate / 1000000;
    while (written_ < due) {
      const int64_t n = std::min<int64_t>(due - written_, kChunkFrames);
      buffer_.resize(static_cast<size_t>(n) * 2);
      sound_.render(static_cast<int32_t>(n), buffer_.data());
      if (file_ && sf_writef_short(file_, buffer_.data(), n) != n)
        throw GameError("render.write", "cannot write '" + path_ + "': " + sf_strerror(file_),
                        path_);
      measure(n);
      written_ += n;
    }
  }

  void setClock(std::function<void(int64_t micros)> advance) override {
    clock_ = std::move(advance);
  }

  void finish() override {
    if (finished_) return;
    finished_ = true;
    if (report_) {
      for (const auto* meter : {&whole_, &before_, &after_})
        if (*meter) (*meter)->report(*report_);
      report_->flush();
    }
    if (!file_) return;
    int status = sf_close(file_);
    file_ = nullptr;
    if (status != 0)
      throw GameError("render.finish", "cannot finish '" + path_ + "': " + sf_error_number(status),
                      path_);
  }

 private:
  static constexpr int64_t kChunkFrames = 4096;

  // The `n` frames just mixed into buffer_, written_ frames from the start.
  void measure(int64_t n) {
    if (!whole_) return;
    whole_->add(buffer_.data(), n);
    if (!before_) return;
    const int64_t early = std::clamp<int64_t>(splitFrame_ - written_, 0, n);
    if (early > 0) before_->add(buffer_.data(), early);
    if (early < n) after_->add(buffer_.data() + early * 2, n - early);
  }

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
  std::ostream* report_;
  std::optional<Meter> whole_, before_, after_;
  int64_t splitFrame_ = 0;
  bool finished_ = false;
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
                                                 const RenderSettings& settings,
                                                 const LoudnessOptions& loudness) {
  return std::make_unique<FileRender>(path, settings, loudness);
}

}  // namespace rd::replay

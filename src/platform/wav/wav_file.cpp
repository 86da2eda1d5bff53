#include "platform/wav/wav_file.h"

#include <sndfile.h>

#include <memory>

#include "platform/service_error.h"

namespace rd {

namespace {

struct CloseSndfile {
  void operator()(SNDFILE* f) const { sf_close(f); }
};

}  // namespace

WavData readWav(const std::string& call, const std::string& path) {
  auto fail = [&](const std::string& why) -> ServiceError {
    return ServiceError(call, "cannot read '" + path + "': " + why, path);
  };
  SF_INFO info{};
  std::unique_ptr<SNDFILE, CloseSndfile> file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) throw fail(sf_strerror(nullptr));
  if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV &&
      (info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAVEX)
    throw fail("not a WAV file");
  if (info.channels < 1 || info.channels > 2)
    throw fail("has " + std::to_string(info.channels) + " channels; a recording has 1 or 2");
  if (info.samplerate < 1000 || info.samplerate > 192000)
    throw fail("has an impossible sample rate of " + std::to_string(info.samplerate) + " Hz");
  if (info.frames <= 0) throw fail("holds no sound");
  if (info.frames > kMaxWavFrames) throw fail("is longer than ten minutes");

  WavData wav;
  wav.sampleRate = info.samplerate;
  wav.channels = info.channels;
  wav.samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  sf_count_t got = sf_readf_short(file.get(), wav.samples.data(), info.frames);
  if (got != info.frames) throw fail("is truncated");
  return wav;
}

}  // namespace rd

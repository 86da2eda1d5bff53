#include "platform/wav/wav_file.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#define ENABLE_SNDFILE_WINDOWS_PROTOTYPES 1
#endif
#include <sndfile.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/service_error.h"

namespace rd {

namespace {

struct CloseSndfile {
  void operator()(SNDFILE* f) const { sf_close(f); }
};

// libsndfile reads a damaged header leniently: a data chunk longer than the file is cut to what
// is there, a wrong block alignment is recomputed. Each repair is noted in its log as
// "NAME : VALUE (should be VALUE)". Returns the first such line, or "" for a sound header.
std::string repairedLine(const std::string& log) {
  size_t at = log.find("(should be");
  if (at == std::string::npos) return {};
  size_t begin = log.rfind('\n', at);
  begin = begin == std::string::npos ? 0 : begin + 1;
  size_t end = log.find('\n', at);
  std::string line = log.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
  line.erase(0, line.find_first_not_of(' '));
  return line;
}

// Paths are UTF-8, as SDL gives the program's folder. On Windows libsndfile's narrow sf_open
// misses folders with letters outside ASCII, so a UTF-8 path goes in as UTF-16; anything else (a
// path in the ANSI code page, from a command line) goes in as it is.
SNDFILE* openForReading(const std::string& path, SF_INFO* info) {
#ifdef _WIN32
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
  if (n > 0) {
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    return sf_wchar_open(wide.c_str(), SFM_READ, info);
  }
#endif
  return sf_open(path.c_str(), SFM_READ, info);
}

// The sample width the header declares; 0 when the log does not say.
int declaredBitWidth(const std::string& log) {
  size_t at = log.find("Bit Width");
  if (at == std::string::npos) return 0;
  at = log.find(':', at);
  return at == std::string::npos ? 0 : std::atoi(log.c_str() + at + 1);
}

}  // namespace

WavData readWav(const std::string& call, const std::string& path) {
  auto fail = [&](const std::string& why) -> ServiceError {
    return ServiceError(call, "cannot read '" + path + "': " + why, path);
  };
  SF_INFO info{};
  std::unique_ptr<SNDFILE, CloseSndfile> file(openForReading(path, &info));
  if (!file) throw fail(sf_strerror(nullptr));
  if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV &&
      (info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAVEX)
    throw fail("not a WAV file");
  if (info.channels < 1 || info.channels > 2)
    throw fail("has " + std::to_string(info.channels) + " channels; a recording has 1 or 2");
  if (info.samplerate < 1000 || info.samplerate > 192000)
    throw fail("has an impossible sample rate of " + std::to_string(info.samplerate) + " Hz");
  std::string log(16384, '\0');
  sf_command(file.get(), SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
  log.resize(log.find('\0'));
  if (std::string line = repairedLine(log); !line.empty()) {
    if (line.rfind("data", 0) == 0 || line.rfind("RIFF", 0) == 0)
      throw fail("is truncated: its header promises more than the file holds (" + line + ")");
    throw fail("has a damaged header (" + line + ")");
  }
  if (int bits = declaredBitWidth(log);
      bits != 0 && bits != 8 && bits != 16 && bits != 24 && bits != 32 && bits != 64)
    throw fail("declares samples of " + std::to_string(bits) + " bits");
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

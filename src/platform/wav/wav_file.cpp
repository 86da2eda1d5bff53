#include "platform/wav/wav_file.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#define ENABLE_SNDFILE_WINDOWS_PROTOTYPES 1
#else
#include <unistd.h>
#endif
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "base/game_error.h"

namespace rd {

namespace {

struct CloseSndfile {
  void operator()(SNDFILE* f) const { sf_close(f); }
};

struct CloseFd {
  int fd;
  ~CloseFd() {
#ifdef _WIN32
    if (fd >= 0) ::_close(fd);
#else
    if (fd >= 0) ::close(fd);
#endif
  }
};

uint32_t le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool readAt(int fd, int64_t offset, unsigned char* into, size_t bytes) {
  size_t got = 0;
  while (got < bytes) {
#ifdef _WIN32
    if (_lseeki64(fd, offset + static_cast<int64_t>(got), SEEK_SET) < 0) return false;
    int n = ::_read(fd, into + got, static_cast<unsigned>(bytes - got));
#else
    ssize_t n = ::pread(fd, into + got, bytes - got, static_cast<off_t>(offset + got));
#endif
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

// Walks the file's chunks by their own sizes and returns "" when the layout is sound, or what is
// wrong. libsndfile reads a damaged layout leniently (a data chunk longer than the file is cut to
// what is there), so the promises are checked here, before it reads.
std::string layoutFault(int fd, int64_t size) {
  unsigned char head[12];
  if (!readAt(fd, 0, head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0)
    return {};  // not RIFF/WAVE: libsndfile tells what it is
  bool sawData = false;
  for (int64_t at = 12; at + 8 <= size;) {
    unsigned char chunk[8];
    if (!readAt(fd, at, chunk, sizeof chunk)) break;
    const int64_t length = le32(chunk + 4);
    const int64_t body = at + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16 && body + 16 <= size) {
      unsigned char fmt[16];
      if (!readAt(fd, body, fmt, sizeof fmt)) break;
      const uint16_t tag = le16(fmt), channels = le16(fmt + 2), align = le16(fmt + 12),
                     bits = le16(fmt + 14);
      // Plain PCM has whole bytes per sample and frames of exactly those bytes; the packed
      // formats (ADPCM and the like) have their own rules, which libsndfile checks.
      if (tag == 1) {
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
          return "declares samples of " + std::to_string(bits) + " bits";
        if (align != channels * (bits / 8))
          return "has a damaged header (a frame of " + std::to_string(align) + " bytes for " +
                 std::to_string(channels) + " channels of " + std::to_string(bits) + " bits)";
      }
    }
    if (std::memcmp(chunk, "data", 4) == 0) {
      if (body + length > size)
        return "is truncated: its data chunk claims " + std::to_string(length) +
               " bytes, but the file holds " + std::to_string(size - body) + " after its header";
      sawData = true;
      break;
    }
    at = body + length + (length & 1);
  }
  if (!sawData) return "is truncated: it has no complete data chunk";
  return {};
}

#ifdef _WIN32
// Paths are UTF-8, as SDL gives the program's folder; the narrow calls would read them in the ANSI
// code page and miss folders with letters outside ASCII. Anything that is not UTF-8 (a path in the
// ANSI code page, from a command line) is taken as it is.
std::wstring widePath(const std::string& path) {
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
  if (n <= 0) n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, wide.data(), n) <= 0)
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}
#endif

}  // namespace

WavData readWav(const std::string& call, const std::string& path) {
  auto fail = [&](const std::string& why) -> GameError {
    return GameError(call, "cannot read '" + path + "': " + why, path);
  };
#ifdef _WIN32
  // A folder cannot be opened there at all: it is told apart before.
  const std::wstring wide = widePath(path);
  // Its stat takes no separator at the end of a folder's name (but does after a drive's).
  std::wstring bare = wide;
  while (bare.size() > 3 && (bare.back() == L'\\' || bare.back() == L'/')) bare.pop_back();
  struct _stat64 st {};
  if (::_wstat64(bare.c_str(), &st) != 0) throw fail(std::strerror(errno));
  if ((st.st_mode & _S_IFMT) != _S_IFREG) throw fail("is not a regular file");
  CloseFd fd{::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY)};
  if (fd.fd < 0) throw fail(std::strerror(errno));
  if (std::string fault = layoutFault(fd.fd, st.st_size); !fault.empty()) throw fail(fault);
  // libsndfile reads through a handle of its own there, opened by the same name.
  SF_INFO info{};
  std::unique_ptr<SNDFILE, CloseSndfile> file(sf_wchar_open(wide.c_str(), SFM_READ, &info));
#else
  // Not blocking: a pipe or a device under a recording's name must not hold the game.
  CloseFd fd{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (fd.fd < 0) throw fail(std::strerror(errno));
  struct stat st {};
  if (::fstat(fd.fd, &st) != 0) throw fail(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) throw fail("is not a regular file");
  if (std::string fault = layoutFault(fd.fd, st.st_size); !fault.empty()) throw fail(fault);

  SF_INFO info{};
  std::unique_ptr<SNDFILE, CloseSndfile> file(sf_open_fd(fd.fd, SFM_READ, &info, SF_FALSE));
#endif
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

WavData WavBank::read(const std::string& call, const std::string& path) {
  WavData wav = readWav(call, path);
  const int64_t bytes = static_cast<int64_t>(wav.samples.size() * sizeof(int16_t));
  int64_t& held = held_[path];
  if (total_ - held + bytes > limit_) {
    throw GameError(call,
                    "cannot read '" + path + "': the recordings would take more than " +
                        std::to_string(limit_ / (1024 * 1024)) + " MB together",
                    path);
  }
  total_ += bytes - held;
  held = bytes;
  return wav;
}

}  // namespace rd

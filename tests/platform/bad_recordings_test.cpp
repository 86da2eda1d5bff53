// Recordings that are not what they should be fail the voice's creation with an error that names
// the file; none of them crashes the device or leaves it unusable.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "platform/openal/openal_sound.h"
#include "platform/service_error.h"
#include "platform/wav/wav_file.h"
#include "render_helpers.h"

namespace rd {
namespace {

struct Fmt {
  uint16_t tag = 1;  // PCM
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint32_t byteRate = 44100;
  uint16_t blockAlign = 2;
  uint16_t bits = 16;
};

void put16(std::string& s, uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); }
void put32(std::string& s, uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }

// A RIFF/WAVE file with the given format chunk and `dataBytes` of sound, whose data chunk claims
// `claimed` bytes (the true size unless told otherwise).
std::string wavBytes(const Fmt& f, uint32_t dataBytes, int64_t claimed = -1) {
  std::string s = "RIFF";
  put32(s, 36 + dataBytes);
  s += "WAVEfmt ";
  put32(s, 16);
  put16(s, f.tag);
  put16(s, f.channels);
  put32(s, f.rate);
  put32(s, f.byteRate);
  put16(s, f.blockAlign);
  put16(s, f.bits);
  s += "data";
  put32(s, claimed < 0 ? dataBytes : static_cast<uint32_t>(claimed));
  for (uint32_t i = 0; i < dataBytes; ++i) s += static_cast<char>((i * 37) & 0xff);
  return s;
}

class BadRecordings : public testing::LoopbackTest {
 protected:
  std::string write(const std::string& name, const std::string& bytes) {
    std::string path = folder_.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // The voice cannot be made; the error names the call and the file.
  void expectRefused(const std::string& path, const std::string& why = {}) {
    try {
      device_->createVoice("sndFan", path);
      ADD_FAILURE() << "a voice was made of " << path;
    } catch (const ServiceError& e) {
      EXPECT_EQ(e.call(), "sndFan.create");
      EXPECT_EQ(e.file(), path);
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
      EXPECT_NE(e.reason().find(why), std::string::npos) << e.reason();
    }
  }
};

TEST_F(BadRecordings, FilesThatHoldNoSoundOrContradictTheirHeaderAreRefused) {
  const std::string whole = wavBytes(Fmt{}, 44100);
  // So many chunks before the data chunk that a parser's log of them runs long.
  std::string junk;
  for (int i = 0; i < 400; ++i) {
    junk += "junk";
    put32(junk, 6);
    junk += "filler";
  }
  const struct {
    const char* name;
    std::string bytes;
    const char* why;
  } cases[] = {
      {"empty.wav", "", ""},
      {"text.wav", "This is not a recording.\n", ""},
      {"header-only.wav", wavBytes(Fmt{}, 0), "holds no sound"},
      {"cut-in-header.wav", whole.substr(0, 30), ""},
      {"cut-in-data.wav", whole.substr(0, 44 + 20000), "truncated"},
      {"junk-then-cut.wav", whole.substr(0, 36) + junk + whole.substr(36, 8 + 20000), "truncated"},
      {"data-claims-4gb.wav", wavBytes(Fmt{}, 4000, 0xFFFFFFF0u), "truncated"},
      {"unknown-encoding.wav", wavBytes({.tag = 0x1234}, 4000), ""},
      {"rate-0.wav", wavBytes({.rate = 0}, 4000), ""},
      {"rate-huge.wav", wavBytes({.rate = 0xFFFFFFF0u}, 4000), ""},
      {"channels-9.wav", wavBytes({.channels = 9, .blockAlign = 18}, 4000), "channels"},
      {"bits-3.wav", wavBytes({.bits = 3}, 4000), ""},
      {"block-0.wav", wavBytes({.blockAlign = 0}, 4000), ""}};
  for (const auto& c : cases) expectRefused(write(c.name, c.bytes), c.why);
  expectRefused(folder_.file("nowhere.wav"));
  // An AIFF recording under a WAV name.
  SF_INFO info{0, 22050, 1, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 0, 0};
  const std::string aiff = folder_.file("aiff.wav");
  SNDFILE* f = sf_open(aiff.c_str(), SFM_WRITE, &info);
  const std::vector<short> samples(1000, 100);
  sf_write_short(f, samples.data(), 1000);
  sf_close(f);
  expectRefused(aiff, "not a WAV");
  // The device goes on after refusing them.
  auto v =
      device_->createVoice("sndFan", testing::writeTone(folder_.file("fan.wav"), 22050, 1000, 0.5));
  v->loop();
  testing::render(sound_, 30);
  EXPECT_GT(testing::render(sound_, 100).both(), 0.05);
}

TEST_F(BadRecordings, OnlyRegularFilesAreOpenedAndTheBankHasATotal) {
#ifndef _WIN32
  // A pipe under a recording's name would wait for a writer for ever.
  const std::string pipe = folder_.file("pipe.wav");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  expectRefused(pipe, "not a regular file");
#endif
  expectRefused(folder_.file(""), "not a regular file");
  // Each file counts once, at its latest size; the one that crosses the total is named.
  WavBank bank(3 * 22050 * 2);
  const std::string a = testing::writeTone(folder_.file("a.wav"), 22050, 440, 1.0);
  bank.read("sndFan.create", a);
  bank.read("sndFan.create", a);
  bank.read("sndTv.create", testing::writeTone(folder_.file("b.wav"), 22050, 440, 1.5));
  try {
    bank.read("sndDogBark.create", testing::writeTone(folder_.file("c.wav"), 22050, 440, 1.0));
    ADD_FAILURE() << "the total was passed";
  } catch (const ServiceError& e) {
    EXPECT_EQ(e.file(), folder_.file("c.wav"));
    EXPECT_NE(e.reason().find("MB together"), std::string::npos) << e.reason();
  }
}

TEST_F(BadRecordings, EveryEncodingLibsndfileDecodesIsAccepted) {
#ifdef _WIN32
  GTEST_SKIP() << "the encodings are written by sox, a Linux program";
#endif
  // ADPCM as sox writes it: block alignments and sample widths unlike plain PCM.
  for (const std::string encoding : {"ima-adpcm", "ms-adpcm", "u-law", "floating-point"}) {
    const std::string path = folder_.file(encoding + ".wav");
    const std::string command =
        "sox -n -r 22050 -c 1 -e " + encoding + " '" + path + "' synth 0.5 sine 440 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_NO_THROW(device_->createVoice("sndFan", path)->play()) << encoding;
  }
}

}  // namespace
}  // namespace rd

// The 3D sound device on OpenAL Soft's loopback device: what a player hears, measured in renders.
// Recordings that are not what they should be fail the voice's creation with an error that names
// the file; none of them crashes the device or leaves it unusable.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

#include "base/game_error.h"
#include "platform/openal/openal_sound.h"
#include "platform/wav/wav_file.h"
#include "support/render_helpers.h"

namespace rd {
namespace {

using testing::render;
using testing::Rendered;

class LoopbackRoom : public testing::LoopbackTest {
 protected:
  void SetUp() override { listener_.setOrientation(0, 0, 1, 0, 1, 0); }

  // A voice and its 3D part, playing a tone high enough for the head's shadow to tell the ears
  // apart; `looping` starts it.
  struct Tone {
    std::unique_ptr<Voice> voice;
    std::unique_ptr<Voice3D> at;
  };
  Tone tone(const std::string& name, bool looping = true, Mode3D mode = Mode3D::normal,
            int rate = 22050, double hz = 1500, double seconds = 1.0, double silence = 0) {
    Tone t{device_->createVoice(
               name, testing::writeTone(folder_.file(name + ".wav"), rate, hz, seconds, silence)),
           nullptr};
    t.at = t.voice->take3D();
    t.at->setMode(mode);
    if (looping) t.voice->loop();
    return t;
  }
  // What the next `ms` sound like, after the device has settled on new settings.
  Rendered hear(double ms = 200) {
    render(sound_, 30);
    return render(sound_, ms);
  }
  double level() { return hear().both(); }
  // Which ear hears the next 200 ms clearly louder: "right", "left", or "both" when neither does.
  std::string side() {
    const Rendered r = hear();
    return r.right() > 1.5 * r.left() ? "right" : r.left() > 1.5 * r.right() ? "left" : "both";
  }

  Listener& listener_ = device_->createListener();
};

TEST_F(LoopbackRoom, PlacesVoicesAroundTheListenerWhoFacesAlongZ) {
  EXPECT_EQ(sound_.hrtfStatus().rfind("enabled", 0), 0u) << sound_.hrtfStatus();
  auto v = tone("sndFan");
  v.at->setPosition(3, 0, 0);
  EXPECT_EQ(side(), "right");
  v.at->setPosition(-3, 0, 0);
  EXPECT_EQ(side(), "left");
  v.at->setPosition(0, 0, -3);  // behind the listener: still heard, with both ears
  EXPECT_EQ(side(), "both");
  EXPECT_GT(level(), 0.02);

  // With 3D off it is in the middle of the head, even when moved meanwhile; normal mode puts it
  // where it was last put.
  v.at->setMode(Mode3D::off);
  v.at->setPosition(-6, 0, 2);
  const Rendered centred = hear();
  EXPECT_GT(centred.both(), 0.05);
  EXPECT_NEAR(centred.left(), centred.right(), 0.05 * centred.both());
  v.at->setMode(Mode3D::normal);
  EXPECT_EQ(side(), "left");
}

TEST_F(LoopbackRoom, HeadRelativeVoiceKeepsItsPlaceWhenTheListenerTurnsAndMoves) {
  auto v = tone("sndTargetX", true, Mode3D::headRelative);
  v.at->setPosition(2, 0, 0);
  const Rendered before = hear();
  EXPECT_GT(before.right(), 1.5 * before.left());
  listener_.setOrientation(-1, 0, 0, 0, 1, 0);
  listener_.setPosition(10, 3, -7);
  const Rendered after = hear();
  EXPECT_NEAR(after.right(), before.right(), 0.05 * before.right());
  EXPECT_NEAR(after.left(), before.left(), 0.05 * before.left() + 0.001);
}

TEST_F(LoopbackRoom, ConePointsAlongZAndItsOutsideVolumeAppliesOutsideOnly) {
  auto v = tone("sndWind");
  v.at->setConeAngles(5, 30);
  // Ahead of the listener, the cone points away from it: the listener is outside.
  v.at->setPosition(0, 0, 3);
  const double full = level();
  v.at->setConeOutsideVolume(-2000);
  EXPECT_NEAR(level() / full, 0.1, 0.02);
  // Behind the listener, the cone points at it: inside, the outside volume does not count.
  v.at->setPosition(0, 0, -3);
  const double inside = level();
  v.at->setConeOutsideVolume(0);
  EXPECT_NEAR(inside, level(), 0.02 * inside);
}

TEST_F(LoopbackRoom, VolumeDistanceAndRolloffFadeAsTheGameSetsThem) {
  auto v = tone("sndTv");
  v.at->setPosition(0, 0, 2);
  const double full = level();
  v.voice->setVolume(-600);
  EXPECT_NEAR(level() / full, 0.5, 0.03);
  // The player's effects level reaches a voice already playing, on top of its volume.
  sound_.setLevels({.effects = 0.5f});
  EXPECT_NEAR(level() / full, 0.25, 0.03);
  sound_.setLevels({});
  v.voice->setVolume(-30000);
  EXPECT_LT(level(), 0.001);
  v.voice->setVolume(0);

  // Distance at the room's scale: full level within 5 units, whatever smaller minimum the game
  // gives; past it the level keeps falling, beyond a smaller maximum too; a larger minimum counts.
  v.at->setMinDistance(1);
  v.at->setMaxDistance(4);
  v.at->setPosition(0, 0, 1);
  const double near = level();
  v.at->setPosition(0, 0, 5);
  EXPECT_NEAR(level(), near, 0.03 * near);
  v.at->setPosition(0, 0, 10);
  const double ten = level();
  v.at->setPosition(0, 0, 20);
  EXPECT_LT(ten, 0.85 * near);
  EXPECT_LT(level(), 0.85 * ten);
  v.at->setMinDistance(20);
  EXPECT_NEAR(level(), near, 0.03 * near);
  v.voice->stop();

  // The listener's roll-off reaches voices made before it is set and after.
  auto before = tone("sndEnemy");
  before.at->setPosition(0, 0, 40);
  const double faded = level();
  listener_.setRolloffFactor(0);
  const double unfaded = level();
  EXPECT_GT(unfaded, 2.5 * faded);
  before.voice->stop();
  auto after = tone("sndDogBark");
  after.at->setPosition(0, 0, 40);
  EXPECT_NEAR(level(), unfaded, 0.03 * unfaded);
}

TEST_F(LoopbackRoom, FrequencyIsReportedClampedAndHeardCapped) {
  auto v = tone("sndRotor", false, Mode3D::off, 11025, 100);
  EXPECT_EQ(v.voice->getFrequency(), 11025);
  v.voice->loop();
  EXPECT_NEAR(hear(1000).pitchHz(), 100, 3);
  v.voice->setFrequency(22050);
  EXPECT_EQ(v.voice->getFrequency(), 22050);
  EXPECT_NEAR(hear(1000).pitchHz(), 200, 4);
  v.voice->setFrequency(0);
  EXPECT_EQ(v.voice->getFrequency(), 100);
  v.voice->setFrequency(-50);
  EXPECT_EQ(v.voice->getFrequency(), 100);
  // 200000 Hz would be 18 times the recording's rate; the voice plays at ten times.
  v.voice->setFrequency(250000);
  EXPECT_EQ(v.voice->getFrequency(), 200000);
  EXPECT_NEAR(hear(1000).pitchHz(), 1000, 20);
}

TEST_F(LoopbackRoom, StopKeepsThePlaceAndPlayLetsALoopRunToItsEnd) {
  // 0.2 s of tone, then 0.2 s of silence.
  const Tone t = tone("sndTv", false, Mode3D::off, 22050, 441, 0.2, 0.2);
  Voice& v = *t.voice;
  v.play();
  EXPECT_GT(render(sound_, 100).both(), 0.05);  // 0.0-0.1: tone
  v.stop();
  render(sound_, 10);                           // fading out
  EXPECT_LT(render(sound_, 90).both(), 0.001);  // stopped
  v.play();
  EXPECT_GT(render(sound_, 90).both(), 0.05);    // 0.1-0.19: tone, resumed where it stopped
  render(sound_, 20);                            // 0.19-0.21
  EXPECT_LT(render(sound_, 150).both(), 0.001);  // 0.21-0.36: the silent half, not a restart
  render(sound_, 100);                           // played to its end
  v.play();
  EXPECT_GT(render(sound_, 150).both(), 0.05);  // from the start again

  const Tone looping = tone("sndEnemyAlarm", true, Mode3D::off, 22050, 441, 0.2);
  Voice& alarm = *looping.voice;
  EXPECT_GT(render(sound_, 500).both(), 0.05);  // loops past its length
  alarm.play();
  render(sound_, 250);  // what is left of the current pass
  EXPECT_LT(render(sound_, 200).both(), 0.001);
  alarm.loop();  // looping again starts over after an end
  EXPECT_GT(render(sound_, 500).both(), 0.05);
}

// Values no card accepts, released voices and a closed device fail the call by name; values
// refused leave the device going on.
TEST_F(LoopbackRoom, BadValuesReleasedVoicesAndAClosedDeviceFailByName) {
  auto v = tone("sndFan", false);
  auto callOf = [](const std::function<void()>& f) {
    try {
      f();
    } catch (const GameError& e) {
      return e.call();
    }
    return std::string("no error");
  };
  EXPECT_EQ(callOf([&] { v.at->setConeAngles(10, 400); }), "sndFan.setConeAngles");
  EXPECT_THROW(v.at->setPosition(NAN, 0, 0), GameError);
  EXPECT_THROW(listener_.setRolloffFactor(-1), GameError);
  v.at->setPosition(0, 0, 2);
  v.voice->loop();
  EXPECT_GT(level(), 0.05);

  v.voice.reset();
  EXPECT_EQ(callOf([&] { v.at->setPosition(1, 2, 3); }), "sndFan.setPosition");
  EXPECT_LT(level(), 0.001);  // released voices fall silent

  auto w = device_->createVoice("sndTv", testing::writeTone(folder_.file("tv.wav"), 22050, 440, 1));
  device_.reset();
  EXPECT_THROW(w->loop(), GameError);
  EXPECT_THROW(w->take3D(), GameError);
  EXPECT_EQ(sound_.current(), nullptr);
  EXPECT_EQ(render(sound_, 50).both(), 0);
}

// A 16-bit mono RIFF/WAVE file with `dataBytes` of sound, with numbers put over its header's: at
// byte 20 the encoding, 22 the channels, 24 the rate, 32 the block alignment, 34 the sample width,
// 40 the data chunk's size.
struct Put {
  size_t at;
  uint32_t value;
  size_t bytes = 2;
};
std::string wavBytes(uint32_t dataBytes, std::initializer_list<Put> puts = {}) {
  const uint32_t header[] = {0x46464952 /* RIFF */,
                             36 + dataBytes,
                             0x45564157 /* WAVE */,
                             0x20746d66 /* fmt */,
                             16,
                             0x00010001 /* PCM, mono */,
                             22050,
                             44100,
                             0x00100002 /* 2 bytes a frame, 16 bits */,
                             0x61746164 /* data */,
                             dataBytes};
  std::string s(reinterpret_cast<const char*>(header), sizeof header);
  for (const Put& p : puts) std::memcpy(s.data() + p.at, &p.value, p.bytes);
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
    } catch (const GameError& e) {
      EXPECT_EQ(e.call(), "sndFan.create");
      EXPECT_EQ(e.file(), path);
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
      EXPECT_NE(e.reason().find(why), std::string::npos) << e.reason();
    }
  }
};

TEST_F(BadRecordings, FilesThatHoldNoSoundOrContradictTheirHeaderAreRefused) {
  const std::string whole = wavBytes(44100);
  // So many chunks before the data chunk that a parser's log of them runs long.
  std::string junk;
  for (int i = 0; i < 400; ++i) junk += std::string("junk\6\0\0\0filler", 14);
  const struct {
    const char* name;
    std::string bytes;
    const char* why;
  } cases[] = {
      {"empty.wav", "", ""},
      {"text.wav", "This is not a recording.\n", ""},
      {"header-only.wav", wavBytes(0), "holds no sound"},
      {"cut-in-header.wav", whole.substr(0, 30), ""},
      {"cut-in-data.wav", whole.substr(0, 44 + 20000), "truncated"},
      {"junk-then-cut.wav", whole.substr(0, 36) + junk + whole.substr(36, 8 + 20000), "truncated"},
      {"data-claims-4gb.wav", wavBytes(4000, {{40, 0xFFFFFFF0u, 4}}), "truncated"},
      {"unknown-encoding.wav", wavBytes(4000, {{20, 0x1234}}), ""},
      {"rate-0.wav", wavBytes(4000, {{24, 0, 4}}), ""},
      {"rate-huge.wav", wavBytes(4000, {{24, 0xFFFFFFF0u, 4}}), ""},
      {"channels-9.wav", wavBytes(4000, {{22, 9}, {32, 18}}), "channels"},
      {"bits-3.wav", wavBytes(4000, {{34, 3}}), ""},
      {"block-0.wav", wavBytes(4000, {{32, 0}}), ""},
      // A Sun/NeXT recording (16-bit, 22050 Hz, mono) under a WAV name.
      {"au.wav",
       std::string(".snd\0\0\0\x18\0\0\0\x08\0\0\0\3\0\0\x56\x22\0\0\0\1\1\0\2\0\3\0\4\0", 32),
       "not a WAV"}};
  for (const auto& c : cases) expectRefused(write(c.name, c.bytes), c.why);
  expectRefused(folder_.file("nowhere.wav"));
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
  } catch (const GameError& e) {
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

// The game's own OpenAL Soft settings reach the playback device on every release it runs on (its
// configuration files changed between them): three periods of 128 frames at whatever rate the
// device mixes, no output limiter, and the 12-point band-limited sinc resampler.
TEST(PlaybackDefaults, PeriodsLimiterAndResamplerReachTheDevice) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows OpenAL Soft reads no XDG folders: the settings are its own";
#else
  // OpenAL Soft reads its settings once, when a process opens its first device.
  if (::testing::UnitTest::GetInstance()->test_to_run_count() > 1)
    GTEST_SKIP() << "run alone: an earlier device of this process has read the settings";
  setenv("ALSOFT_DRIVERS", "null", 1);
  unsetenv("ALSOFT_CONF");
  openal::PlaybackSound sound;
  auto device = sound.createDevice();
  using GetThreadContext = ALCcontext*(ALC_APIENTRY*)();
  auto threadContext =
      reinterpret_cast<GetThreadContext>(alcGetProcAddress(nullptr, "alcGetThreadContext"));
  ALCcontext* context = threadContext ? threadContext() : nullptr;
  if (!context) context = alcGetCurrentContext();
  ASSERT_NE(context, nullptr);
  ALCdevice* al = alcGetContextsDevice(context);
  ALCint rate = 0, refresh = 0, limiter = -1;
  alcGetIntegerv(al, ALC_FREQUENCY, 1, &rate);
  alcGetIntegerv(al, ALC_REFRESH, 1, &refresh);
  alcGetIntegerv(al, ALC_OUTPUT_LIMITER_SOFT, 1, &limiter);
  EXPECT_EQ(refresh, rate / 128) << "at " << rate << " Hz";
  // The null output reports the periods queued behind the one being mixed: two.
  EXPECT_NEAR(sound.outputLatencyMs(), 2 * 128 * 1000.0 / rate, 0.05);
  EXPECT_EQ(limiter, ALC_FALSE);
  auto name = reinterpret_cast<LPALGETSTRINGISOFT>(alGetProcAddress("alGetStringiSOFT"));
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name(AL_RESAMPLER_NAME_SOFT, alGetInteger(AL_DEFAULT_RESAMPLER_SOFT)),
               "11th order Sinc");
#endif
}

}  // namespace
}  // namespace rd

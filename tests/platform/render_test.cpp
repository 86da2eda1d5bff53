// rotorduel-replay --render: the script's clock decides how much sound is written.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "platform/espeak/espeak_speech.h"
#include "render_helpers.h"
#include "runner.h"
#include "sound/recordings.h"

namespace rd {
namespace {

struct WavFile {
  SF_INFO info{};
  testing::Rendered sound;
};

WavFile readBack(const std::string& path) {
  WavFile w;
  w.sound = testing::readRendered(path, &w.info);
  return w;
}

class ReplayRender : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const RecordingFile& r : kRecordingFiles)
      testing::writeTone(folder_.file(std::string(r.file)), 22050, 600, 0.5, 0, 0.1);
  }
  int run(const std::string& script, replay::RenderSettings settings = {}) {
    replay::Options options;
    options.soundsDir = folder_.file("");
    options.renderPath = out_;
    options.render = settings;
    std::ostringstream out, err;
    int status = replay::run(replay::parseScript(script), options, out, err);
    log_ = out.str() + err.str();
    return status;
  }

  testing::TempFolder folder_;
  std::string out_ = folder_.file("out.wav");
  std::string log_;
};

// The game ending itself stops the clock and still leaves a complete file.
TEST_F(ReplayRender, TicksAreTheirTimeOfSoundWithoutDriftUpToTheEnd) {
  ASSERT_EQ(run("tick 300\nkey Esc\ntick 64\n"), 0) << log_;
  ASSERT_NE(log_.find("exit: 0"), std::string::npos) << log_;
  WavFile w = readBack(out_);
  EXPECT_EQ(w.info.samplerate, 44100);
  EXPECT_EQ(w.info.channels, 2);
  // 300 ticks of 15.625 ms are 206718.75 frames.
  EXPECT_EQ(w.info.frames, 206718);
  EXPECT_GT(w.sound.both(), 0.01);  // the room's loops
}

TEST_F(ReplayRender, ASentenceLastsAsLongAsItSounds) {
  openal::LoopbackSound sound;
  espeak::EspeakSpeech speech(sound);
  const double sentenceMs = speech.synthesize("0").lengthMs();

  // X reads the player's x, 0.1, cut down to "0".
  ASSERT_EQ(run("tick 64\nkey X\ntick 64\n"), 0) << log_;
  ASSERT_NE(log_.find("speak: 0\n"), std::string::npos) << log_;
  WavFile w = readBack(out_);
  // espeak-ng's sentences differ by a fraction of a millisecond from one time to the next.
  const double expected = (2000.0 + sentenceMs) * 44.1;
  EXPECT_NEAR(static_cast<double>(w.info.frames), expected, 5 * 44.1);
}

TEST_F(ReplayRender, ThePlayersSpeechRateShortensTheReadout) {
  ASSERT_EQ(run("key S\n"), 0) << log_;
  const double usual = static_cast<double>(readBack(out_).info.frames);
  ASSERT_EQ(run("key S\n", {.speechRate = 350}), 0) << log_;
  EXPECT_LE(static_cast<double>(readBack(out_).info.frames), 0.65 * usual);
}

// Half the effects level halves the room's amplitude (6 dB) and leaves the speech as it was. While
// the score is read, room and speech add up in power: the render without effects is the speech.
TEST_F(ReplayRender, TheEffectsLevelScalesTheRoomAndNotTheSpeech) {
  auto power = [&](float effects, int64_t from, int64_t to) {
    EXPECT_EQ(run("tick 128\nkey S\n", {.effects = effects}), 0) << log_;
    testing::Rendered r = readBack(out_).sound;
    // espeak-ng's sentences differ by a fraction of a millisecond from one time to the next.
    r.frames.resize(std::min(r.frames.size(), static_cast<size_t>(to) * 2));
    r.frames.erase(r.frames.begin(), r.frames.begin() + from * 2);
    return r.both() * r.both();
  };
  const int64_t second = 44100, speechFrom = 2 * 44100, speechTo = speechFrom + 20000;
  EXPECT_NEAR(std::sqrt(power(0.5f, second, speechFrom) / power(1, second, speechFrom)), 0.5, 0.02);
  const double speech = power(0, speechFrom, speechTo), full = power(1, speechFrom, speechTo);
  ASSERT_GT(speech, 0.1 * full);
  EXPECT_NEAR(power(0.5f, speechFrom, speechTo), speech + (full - speech) / 4, 0.05 * full);
}

}  // namespace
}  // namespace rd

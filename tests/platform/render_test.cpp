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
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &w.info);
  if (!f) return w;
  w.sound.frames.resize(static_cast<size_t>(w.info.frames) * 2);
  sf_readf_short(f, w.sound.frames.data(), w.info.frames);
  sf_close(f);
  return w;
}

class ReplayRender : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const RecordingFile& r : kRecordingFiles)
      testing::writeTone(folder_.file(std::string(r.file)), 22050, 600, 0.5);
  }
  int run(const std::string& script) {
    replay::Options options;
    options.soundsDir = folder_.file("");
    options.renderPath = out_;
    std::ostringstream out, err;
    int status = replay::run(replay::parseScript(script), options, out, err);
    log_ = out.str() + err.str();
    return status;
  }

  testing::TempFolder folder_;
  std::string out_ = folder_.file("out.wav");
  std::string log_;
};

TEST_F(ReplayRender, TicksAreTheirTimeOfSoundWithoutDrift) {
  ASSERT_EQ(run("tick 300\n"), 0) << log_;
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

TEST_F(ReplayRender, TheGameEndingItselfStillLeavesACompleteFile) {
  ASSERT_EQ(run("tick 64\nkey Esc\ntick 64\n"), 0) << log_;
  ASSERT_NE(log_.find("exit: 0"), std::string::npos) << log_;
  WavFile w = readBack(out_);
  EXPECT_EQ(w.info.frames, 44100);
}

}  // namespace
}  // namespace rd

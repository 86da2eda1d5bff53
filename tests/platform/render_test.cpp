// The speech voice on espeak-ng heard through the loopback device, and rotorduel-replay --render,
// where the script's clock decides how much sound is written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "platform/espeak/espeak_speech.h"
#include "runner.h"
#include "sound/recordings.h"
#include "support/render_helpers.h"

namespace rd {
namespace {

// A speech voice whose waiting renders the sentence, as a replay's clock does.
class SpeechRender : public ::testing::Test {
 protected:
  openal::LoopbackSound sound_;
  espeak::EspeakSpeech speech_{sound_, [this](double ms) {
                                 ++waits_;
                                 testing::Rendered r = testing::render(sound_, ms);
                                 heard_.frames.insert(heard_.frames.end(), r.frames.begin(),
                                                      r.frames.end());
                               }};
  testing::Rendered heard_;
  int waits_ = 0;
};

// Before the game has a device the voice uses one of its own for the sentence; then, wherever the
// listener is and looks, the voice is in the middle of the head.
TEST_F(SpeechRender, ASentenceIsHeardInTheMiddleOfTheHead) {
  speech_.createVoice()->speak("The sound file fan.wav is missing.");
  EXPECT_GT(heard_.both(), 0.02);
  EXPECT_EQ(sound_.current(), nullptr);

  heard_.frames.clear();
  auto device = sound_.createDevice();
  auto& listener = device->createListener();
  listener.setPosition(15, 8, -12);
  listener.setOrientation(1, 0, 0, 0, 1, 0);
  auto voice = speech_.createVoice();
  voice->speak("Rotor Duel cannot start.");
  EXPECT_EQ(waits_, 2);
  EXPECT_GT(heard_.both(), 0.02);
  EXPECT_NEAR(heard_.left(), heard_.right(), 0.05 * heard_.both());
  voice->speak("");
  voice->speak(" ");
  EXPECT_EQ(waits_, 2);  // an empty sentence is not waited for
}

// The game's readouts are numbers of a few digits: no silence at their ends, longer texts longer.
TEST_F(SpeechRender, ASentenceHasNoSilenceAtItsEnds) {
  espeak::Utterance five = speech_.synthesize("5");
  ASSERT_FALSE(five.samples.empty());
  EXPECT_GT(std::abs(five.samples.front()), espeak::kSilenceThreshold);
  EXPECT_GT(std::abs(five.samples.back()), espeak::kSilenceThreshold);
  EXPECT_GT(five.lengthMs(), 150);
  EXPECT_LT(five.lengthMs(), 1200);
  EXPECT_GT(speech_.synthesize("-12.5").lengthMs(), five.lengthMs());
}

class ReplayRender : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const RecordingFile& r : kRecordingFiles)
      testing::writeTone(folder_.file(std::string(r.file)), 22050, 600, 0.5, 0, 0.1);
  }
  // Runs the script with its sound rendered, and reads back what was rendered.
  testing::Rendered render(const std::string& script, replay::RenderSettings settings = {}) {
    replay::Options options;
    options.soundsDir = folder_.file("");
    options.renderPath = out_;
    options.render = settings;
    std::ostringstream out, err;
    EXPECT_EQ(replay::run(replay::parseScript(script), options, out, err), 0) << err.str();
    log_ = out.str() + err.str();
    return testing::readRendered(out_);
  }

  testing::TempFolder folder_;
  std::string out_ = folder_.file("out.wav");
  std::string log_;
};

// The game ending itself stops the clock and still leaves a complete file.
TEST_F(ReplayRender, TicksAreTheirTimeOfSoundWithoutDriftUpToTheEnd) {
  const testing::Rendered w = render("tick 300\nkey Esc\ntick 64\n");
  ASSERT_NE(log_.find("exit: 0"), std::string::npos) << log_;
  EXPECT_EQ(w.info.samplerate, 44100);
  EXPECT_EQ(w.info.channels, 2);
  // 300 ticks of 15.625 ms are 206718.75 frames.
  EXPECT_EQ(w.info.frames, 206718);
  EXPECT_GT(w.both(), 0.01);  // the room's loops
}

TEST_F(ReplayRender, ASentenceLastsAsLongAsItSoundsAtThePlayersRate) {
  openal::LoopbackSound sound;
  const double sentenceMs = espeak::EspeakSpeech(sound).synthesize("0").lengthMs();
  // X reads the player's x, 0.1, cut down to "0".
  const double frames = static_cast<double>(render("tick 64\nkey X\ntick 64\n").info.frames);
  ASSERT_NE(log_.find("speak: 0\n"), std::string::npos) << log_;
  // espeak-ng's sentences differ by a fraction of a millisecond from one time to the next.
  EXPECT_NEAR(frames, (2000.0 + sentenceMs) * 44.1, 5 * 44.1);
  const double usual = static_cast<double>(render("key S\n").info.frames);
  EXPECT_LE(static_cast<double>(render("key S\n", {.speechRate = 350}).info.frames), 0.65 * usual);
}

// Half the effects level halves the room's amplitude (6 dB) and leaves the speech as it was. While
// the score is read, room and speech add up in power: the render without effects is the speech.
TEST_F(ReplayRender, TheEffectsLevelScalesTheRoomAndNotTheSpeech) {
  auto power = [&](float effects, int64_t from, int64_t to) {
    testing::Rendered r = render("tick 128\nkey S\n", {.effects = effects});
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

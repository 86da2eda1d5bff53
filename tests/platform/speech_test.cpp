// The speech voice on espeak-ng, heard through the loopback device.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/espeak/espeak_speech.h"
#include "render_helpers.h"

namespace rd {
namespace {

using testing::Rendered;

// A speech voice whose waiting renders the sentence, as a replay's clock does.
class SpeechRender : public ::testing::Test {
 protected:
  openal::LoopbackSound sound_;
  espeak::EspeakSpeech speech_{sound_, [this](double ms) {
                                 ++waits_;
                                 Rendered r = testing::render(sound_, ms);
                                 heard_.frames.insert(heard_.frames.end(), r.frames.begin(),
                                                      r.frames.end());
                               }};
  Rendered heard_;
  int waits_ = 0;
};

// Before the game has a device the voice uses one of its own for the sentence; then, wherever the
// listener is and looks, the voice is in the middle of the head.
TEST_F(SpeechRender, ASentenceIsHeardInTheMiddleOfTheHeadForAsLongAsItLasts) {
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
  double seconds = static_cast<double>(heard_.size()) / openal::LoopbackSound::kRate;
  EXPECT_GT(seconds, 0.8);
  EXPECT_LT(seconds, 4.0);
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

}  // namespace
}  // namespace rd

// The voices in the player's order: a voice that fails hands over to the next for good, which
// says once what happened and then the sentence that failed.
#include "platform/fallback/fallback_speech.h"

#include <gtest/gtest.h>

#include "base/game_error.h"

namespace rd::fallback {
namespace {

// A voice that notes what it says, and fails from its `failFrom`th sentence on (counted from 0).
struct Noted : SpeechSystem {
  struct Voice : SpeechVoice {
    Noted& owner;
    explicit Voice(Noted& o) : owner(o) {}
    void speak(const std::string& text) override {
      if (owner.asked++ >= owner.failFrom) throw GameError("speech.speak", "gone");
      if (owner.soundLost) throw SpeechUnheard("speech.speak", "the sound device is lost");
      owner.said.push_back(text);
    }
  };
  std::unique_ptr<SpeechVoice> createVoice() override {
    if (cannotMake) throw GameError("speech.create", "never there");
    return std::make_unique<Voice>(*this);
  }
  int failFrom = 1 << 30;
  bool soundLost = false;
  int asked = 0;
  bool cannotMake = false;
  std::vector<std::string> said;
};

TEST(FallbackSpeech, AFailedVoiceHandsOverForGoodAndTheNextSaysSoOnce) {
  Noted reader, system, builtin;
  reader.failFrom = 1;
  system.failFrom = 0;  // fails on the notice, before the sentence
  FallbackSpeech chain({{"screenreader", "the screen reader", &reader},
                        {"system", "the system voice", &system},
                        {"builtin", "the built-in voice", &builtin}});
  std::vector<std::string> handovers;
  chain.onFallback = [&](const std::string& from, const std::string& to, const std::string&) {
    handovers.push_back(from + ">" + to);
  };
  auto game = chain.createVoice(), comfort = chain.createVoice();
  game->speak("one");
  comfort->speak("two");
  game->speak("three");
  EXPECT_EQ(reader.said, std::vector<std::string>{"one"});
  EXPECT_EQ(reader.asked, 2);  // never asked again
  EXPECT_EQ(builtin.said,
            (std::vector<std::string>{
                "Speech through the screen reader failed; the built-in voice speaks from now on.",
                "two", "three"}));
  EXPECT_EQ(handovers, (std::vector<std::string>{"screenreader>system", "system>builtin"}));
  EXPECT_EQ(chain.current(), 2u);

  // A sentence unheard for want of sound is no failure of the voice: it passes on, and the voice
  // stays.
  builtin.soundLost = true;
  EXPECT_THROW(game->speak("unheard"), SpeechUnheard);
  builtin.soundLost = false;
  EXPECT_EQ(chain.current(), 2u);

  // The last voice's failure passes on, as any failing service call does.
  builtin.failFrom = 0;
  EXPECT_THROW(game->speak("four"), GameError);
}

TEST(FallbackSpeech, AVoiceThatCannotBeMadeIsPassedAndAQuitIsNoFailure) {
  Noted desktop, builtin;
  desktop.cannotMake = true;
  FallbackSpeech chain({{"desktop", "the desktop's speech service", &desktop},
                        {"builtin", "the built-in voice", &builtin}});
  auto voice = chain.createVoice();
  EXPECT_EQ(chain.current(), 1u);

  struct Quit {};
  Noted quitting;
  struct Quitter : SpeechVoice {
    void speak(const std::string&) override { throw Quit{}; }
  };
  struct QuitSystem : SpeechSystem {
    std::unique_ptr<SpeechVoice> createVoice() override { return std::make_unique<Quitter>(); }
  } quitter;
  FallbackSpeech quitChain({{"a", "a", &quitter}, {"b", "b", &quitting}});
  EXPECT_THROW(quitChain.createVoice()->speak("x"), Quit);
  EXPECT_EQ(quitChain.current(), 0u);
  voice->speak("hello");
  EXPECT_EQ(builtin.said.front(),
            "Speech through the desktop's speech service failed; the built-in voice speaks from "
            "now on.");
}

// The player picks another voice in the game: the voices already handed out speak through the
// new list's first at once, and an old failure is not told in the new voice.
TEST(FallbackSpeech, ANewListSpeaksAtOnceThroughTheVoicesAlreadyMade) {
  Noted desktop, builtin, again;
  desktop.failFrom = 0;
  FallbackSpeech chain({{"desktop", "the desktop's speech service", &desktop},
                        {"builtin", "the built-in voice", &builtin}});
  auto voice = chain.createVoice();
  EXPECT_EQ(chain.current(), 0u);
  chain.replace({{"desktop", "the desktop's speech service", &again},
                 {"builtin", "the built-in voice", &builtin}});
  voice->speak("Speech, the desktop's voice");
  EXPECT_EQ(again.said, std::vector<std::string>{"Speech, the desktop's voice"});
  EXPECT_TRUE(builtin.said.empty());

  // After a handover, a new list starts again from its first voice.
  again.failFrom = 1;
  voice->speak("lost");
  EXPECT_EQ(chain.current(), 1u);
  chain.replace({{"builtin", "the built-in voice", &builtin}});
  voice->speak("after");
  EXPECT_EQ(chain.current(), 0u);
  EXPECT_EQ(builtin.said,
            (std::vector<std::string>{
                "Speech through the desktop's speech service failed; the built-in voice speaks "
                "from now on.",
                "lost", "after"}));
}

}  // namespace
}  // namespace rd::fallback

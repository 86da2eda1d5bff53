// The comfort layer around the real game on the recording platform: what the readouts say with
// and without their labels, F2's whole readout, the words for T, P, K, a lift-off and a landing,
// and the layer's own sentences cutting each other instead of sounding on top of each other.
#include "app/comfort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/keys.h"
#include "support/fake_game.h"

namespace rd {
namespace {

using Lines = std::vector<std::string>;

// A voice that logs each sentence as it starts, runs `whileHeard` while it is heard (as the real
// voices' wait looks at the desktop) and logs "cut" when that throws.
struct HeardSpeech : SpeechSystem {
  Lines log;
  std::function<void(const std::string&)> whileHeard;
  int heard = 0, mostAtOnce = 0;
  bool soundLost = false;  // every sentence is then unheard
  struct Voice : SpeechVoice {
    HeardSpeech& s;
    explicit Voice(HeardSpeech& owner) : s(owner) {}
    void speak(const std::string& text) override {
      s.log.push_back(text);
      if (s.soundLost) throw SpeechUnheard("speech.speak", "the sound device is lost");
      s.mostAtOnce = std::max(s.mostAtOnce, ++s.heard);
      try {
        if (s.whileHeard) s.whileHeard(text);
      } catch (...) {
        --s.heard;
        s.log.push_back("cut");
        throw;
      }
      --s.heard;
    }
  };
  std::unique_ptr<SpeechVoice> createVoice() override { return std::make_unique<Voice>(*this); }
};

struct Round {
  testing::SoundsFolder sounds;
  fake::Trace trace;
  fake::RecordingSound sound{trace};
  HeardSpeech heard;
  app::NotedSpeech speech{heard};
  fake::FakeInput input{trace};
  fake::FakeWindow window{trace, sounds.path()};
  Game game{Platform{window, sound, speech, input}};
  int rate = 175;
  app::Comfort comfort{speech, 50, hooks()};
  app::ComfortedGame round{game, game, speech, comfort};

  explicit Round(bool labelled = true) {
    speech.setLabelled(labelled);
    round.start();
    heard.log.clear();
  }
  app::Comfort::Hooks hooks() {
    app::Comfort::Hooks h;
    h.rate = [this] { return rate; };
    h.setRate = [this](int wpm) { rate = wpm; };
    h.setVolume = [](int) {};
    h.setPaused = [this](bool paused) { heard.log.push_back(paused ? "pause" : "resume"); };
    return h;
  }
  Lines said(int16_t key) {
    heard.log.clear();
    if (!comfort.key(key, true)) round.onKeyDown(key);
    return heard.log;
  }
  Lines said(std::initializer_list<int16_t> keys) {
    Lines all;
    for (int16_t k : keys)
      for (auto& line : said(k)) all.push_back(line);
    return all;
  }
};

const std::initializer_list<int16_t> kReadoutKeys = {Key::X, Key::Y, Key::Z, Key::A, Key::D,
                                                     Key::R, Key::V, Key::H, Key::E, Key::S};

// At the new game's places: each value named before its first number, the height with what its
// whole number hides, the score's words left alone. Bare, the readouts are the game's own
// sentences, as a round without the comfort layer says them.
TEST(Readouts, LabelledNameEachValueAndBareAreTheGamesOwn) {
  Round labelled;
  EXPECT_EQ(labelled.said(kReadoutKeys), (Lines{"x 0",
                                                "y 1",
                                                "height 0, on the floor",
                                                "heading 0",
                                                "enemy 0",
                                                "dog 13",
                                                "13",
                                                "range 1",
                                                "momentum 1",
                                                "1",
                                                "1",
                                                "enemy 0",
                                                "speed 0",
                                                "enemy 18",
                                                "18",
                                                "height 1",
                                                "the score is: you got",
                                                "0",
                                                ".  I got",
                                                "0",
                                                " points."}));

  Round bare(false);
  testing::FakeGame plain;
  ASSERT_EQ(plain.start(), -1);
  for (int16_t k : kReadoutKeys) plain.game.onKeyDown(k);
  Lines game;
  for (const auto& line : plain.lines())
    if (line.rfind("speak: ", 0) == 0) game.push_back(line.substr(7));
  EXPECT_EQ(bare.said(kReadoutKeys), game);
}

// F2 says the whole last readout, every piece in one sentence, labelled or bare; a comfort
// sentence is a readout of its own.
TEST(Readouts, F2RepeatsEveryPieceOfTheLast) {
  Round labelled;
  labelled.said(Key::V);
  EXPECT_EQ(labelled.said(Key::F2), Lines{"momentum 1 1 1, enemy 0"});
  labelled.said(Key::A);
  EXPECT_EQ(labelled.said(Key::F2), Lines{"heading 0, enemy 0"});
  EXPECT_EQ(labelled.said(Key::F2), Lines{"heading 0, enemy 0"});
  labelled.said(Key::F6);
  EXPECT_EQ(labelled.said(Key::F2), Lines{"Volume 60"});
  Round bare(false);
  bare.said(Key::E);
  EXPECT_EQ(bare.said(Key::F2), Lines{"18 18 1"});
}

// T, P and K say what they did or read; the game's own switches act as written.
TEST(Words, TPAndKSayWhatTheySwitchedToAndTheKnob) {
  Round r;
  EXPECT_EQ(r.said({Key::T, Key::T}), (Lines{"Target finder off", "Target finder on"}));
  EXPECT_TRUE(r.game.finderOn);
  EXPECT_EQ(r.said({Key::P, Key::P}),
            (Lines{"Listening from the cockpit", "Listening from the room"}));
  r.game.knob = 10;
  EXPECT_EQ(r.said(Key::K), Lines{"Knob 10 right"});
  EXPECT_EQ(r.said({Key::End, Key::End, Key::K}), Lines{"Knob 8 right"});
  r.game.knob = -3;
  EXPECT_EQ(r.said(Key::K), Lines{"Knob 3 left"});
  r.game.knob = 0;
  EXPECT_EQ(r.said(Key::K), Lines{"Knob centred"});
}

// Labelled, the climb from the floor is heard: just off the floor, the lift-off once with the knob
// that will turn the helicopter, the landing once. Bare says neither.
TEST(Words, LiftOffAndLandingAreToldOnceWhenLabelled) {
  for (bool labelled : {true, false}) {
    Round r(labelled);
    r.game.knob = 7;
    Lines words;
    for (int i = 0; i < 55; ++i)
      for (auto& line : r.said(Key::PageDown)) words.push_back(line);
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(r.said(Key::Z), Lines{labelled ? "height 0, just off the floor" : "0"});
    for (int i = 0; i < 20; ++i)
      for (auto& line : r.said(Key::PageDown)) words.push_back(line);
    for (int i = 0; i < 80; ++i)
      for (auto& line : r.said(Key::PageUp)) words.push_back(line);
    ASSERT_TRUE(r.game.landed);
    const Lines told = {"Lift-off. Knob 7 right, turning you; End and Home centre it.", "Landed."};
    EXPECT_EQ(words, labelled ? told : Lines{});
  }
}

// Three quick F4 presses, or Pause, while the key list is heard: the newer sentence cuts the one
// heard, so there is never more than one of them at once, and the last press is what is said.
// Pause (or F9) cutting the list pauses the game; a second Pause cutting "Paused" leaves it
// running.
TEST(OwnSentences, CutEachOtherAndNeverSoundAtOnce) {
  Round r;
  std::vector<int16_t> during = {Key::F4, Key::F4, Key::F4};
  r.heard.whileHeard = [&](const std::string&) {
    std::vector<int16_t> now;
    now.swap(during);
    for (int16_t k : now) r.comfort.key(k, true);
    r.comfort.whileSpeaking();
  };
  r.said(Key::F1);
  EXPECT_EQ(r.heard.log, (Lines{app::kKeyList, "cut", "Speech rate 233"}));
  EXPECT_EQ(r.rate, 233);
  EXPECT_EQ(r.heard.mostAtOnce, 1);

  during = {Key::F9};
  r.said(Key::F1);
  EXPECT_EQ(r.heard.log, (Lines{app::kKeyList, "cut", "Paused", "pause"}));
  r.said(Key::Pause);
  EXPECT_EQ(r.heard.log, (Lines{"resume", "Resumed"}));
  during = {Key::Pause};
  r.said(Key::Pause);
  EXPECT_EQ(r.heard.log, (Lines{"Paused", "cut", "Resumed"}));
  EXPECT_FALSE(r.comfort.paused());
}

// A comfort key pressed while the game's readout is heard waits for the end of its handler: the
// readout is whole and F2 says all of it.
TEST(OwnSentences, WaitForTheGamesReadoutToEnd) {
  Round r;
  bool pressed = false;
  r.heard.whileHeard = [&](const std::string& text) {
    if (text == "18" && !pressed) {
      pressed = true;
      EXPECT_TRUE(r.comfort.key(Key::F2, true));
    }
    r.comfort.whileSpeaking();
  };
  EXPECT_EQ(r.said(Key::E), (Lines{"enemy 18", "18", "height 1", "enemy 18 18, height 1"}));
  EXPECT_EQ(r.heard.mostAtOnce, 1);
}

// The sound device lost: the round paused as by Pause, every sentence meanwhile unheard and never
// counted heard, and Pause playing on only once the sound is back.
TEST(SoundLoss, PausesTheRoundUntilTheSoundIsBack) {
  Round r;
  int heard = 0, unheard = 0;
  r.speech.onHeard = [&](const std::string&) { ++heard; };
  r.speech.onUnheard = [&](const std::string&) { ++unheard; };
  r.heard.soundLost = true;
  r.comfort.soundLost();
  EXPECT_EQ(r.heard.log, (Lines{"pause", "Sound lost. The game is paused until it comes back."}));
  EXPECT_TRUE(r.comfort.paused());
  EXPECT_NO_THROW(r.said(Key::S));
  EXPECT_EQ(r.said(Key::Pause), (Lines{"Sound is still lost. The game waits for it."}));
  EXPECT_TRUE(r.comfort.paused());
  EXPECT_EQ(heard, 0);
  EXPECT_GT(unheard, 2);

  r.heard.soundLost = false;
  r.heard.log.clear();
  r.comfort.soundBack();
  EXPECT_EQ(r.heard.log, (Lines{"Sound is back. Pause or F9 to play on."}));
  EXPECT_EQ(r.said(Key::Pause), (Lines{"resume", "Resumed"}));
  EXPECT_FALSE(r.comfort.paused());
}

}  // namespace
}  // namespace rd

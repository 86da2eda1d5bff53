// Start-up and the new game on the recording platform: the start values, the order of the
// platform calls, and what each failure does.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "fake_game.h"

namespace rd {
namespace {

using testing::FakeGame;

std::vector<std::string> loops(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines)
    if (l.ends_with(" loop")) out.push_back(l);
  return out;
}

const std::vector<std::string> kRoomLoops = {"sound: sndRotor loop", "sound: sndWind loop",
                                             "sound: sndEnemy loop", "sound: sndTv loop",
                                             "sound: sndFan loop",   "sound: sndDogBark loop"};

TEST(NewGame, EveryStartValue) {
  FakeGame g;
  g.game.random.force(0.0f);  // the knob's draw
  ASSERT_EQ(g.load(), -1);
  const Form1& f = g.game;
  EXPECT_EQ(f.playerX, 0.1f);
  EXPECT_EQ(f.playerY, 0.0f);
  EXPECT_EQ(f.playerZ, 1.0f);
  EXPECT_EQ(f.playerHeading, 0);
  EXPECT_EQ(f.playerLives, 10);
  EXPECT_EQ(f.enemyLives, 10);
  EXPECT_EQ(f.playerScore, 0);
  EXPECT_EQ(f.enemyScore, 0);
  EXPECT_EQ(f.enemyX, 18.0f);
  EXPECT_EQ(f.enemyY, 1.0f);
  EXPECT_EQ(f.enemyZ, 18.0f);
  EXPECT_EQ(f.enemyHeading, 0);
  EXPECT_EQ(f.enemySpeed, 1.0f);
  EXPECT_EQ(f.tvOn, vbTrue);
  EXPECT_EQ(f.fanOn, vbTrue);
  EXPECT_EQ(f.lockedOn, vbFalse);
  EXPECT_EQ(f.inRange, vbFalse);
  EXPECT_EQ(f.finderOn, vbTrue);
  EXPECT_EQ(f.fixedListener, vbTrue);
  EXPECT_EQ(f.tvX, -5.0f);
  EXPECT_EQ(f.tvY, 0.0f);
  EXPECT_EQ(f.tvZ, 12.0f);
  EXPECT_EQ(f.fanX, 0.0f);
  EXPECT_EQ(f.fanY, 9.0f);
  EXPECT_EQ(f.fanZ, 0.0f);
  EXPECT_EQ(f.dogX, 13.0f);
  EXPECT_EQ(f.dogY, 0.0f);
  EXPECT_EQ(f.dogZ, 13.0f);
  EXPECT_EQ(f.enemyRange, 1);
  EXPECT_EQ(f.stepDivX, 10.0f);
  EXPECT_EQ(f.stepDivZ, 10.0f);
  EXPECT_EQ(f.playerSpeed, 0.0f);
  EXPECT_EQ(f.knob, -4);  // Int(0 * 30 + 1) - 5
  // The player's momentum is 1 along all three axes; the enemy's is still 0.
  EXPECT_EQ(f.playerVelX, 1.0f);
  EXPECT_EQ(f.playerVelY, 1.0f);
  EXPECT_EQ(f.playerVelZ, 1.0f);
  EXPECT_EQ(f.enemyVelX, 0.0f);
  // Variables no one has written yet read 0 or False.
  EXPECT_EQ(f.landed, vbFalse);
  EXPECT_EQ(f.enemyBoosted, vbFalse);
  EXPECT_EQ(f.windLevel, 0.0f);
  EXPECT_EQ(f.heightGap, 0);
  EXPECT_TRUE(f.voice != nullptr);

  // The voices sound from their places; the enemy 2 above its recorded height.
  EXPECT_EQ(g.sound.voice("sndRotor")->frequency, 5000);
  EXPECT_EQ(g.sound.voice("sndWind")->volume, -4000);
  EXPECT_EQ(g.sound.voice("sndEnemy")->position.y, 3.0f);
  EXPECT_EQ(g.sound.voice("sndDogBark")->maxDistance, 20.0f);
  EXPECT_EQ(g.sound.voice("sndRotor")->coneOutsideVolume, -1000);
  EXPECT_EQ(g.sound.voice("sndTargetX")->mode, Mode3D::headRelative);
  EXPECT_EQ(g.sound.voice("sndAcquired")->mode, Mode3D::off);
  EXPECT_EQ(loops(g.lines()), kRoomLoops);

  EXPECT_TRUE(g.window.timerEnabled(TimerId::CheckThings));
  EXPECT_TRUE(g.window.timerEnabled(TimerId::targetTimer));
  EXPECT_FALSE(g.window.timerEnabled(TimerId::TVTimer));
  EXPECT_EQ(g.window.timerInterval(TimerId::CheckThings), 1);
  EXPECT_EQ(g.window.timerInterval(TimerId::targetTimer), 500);
  EXPECT_EQ(g.window.timerInterval(TimerId::TVTimer), 9000);
}

TEST(NewGame, KnobStartsWithinMinusFourAndTwentyFive) {
  FakeGame g;
  g.game.random.force(0.99999994f);  // the largest draw below 1
  ASSERT_EQ(g.load(), -1);
  EXPECT_EQ(g.game.knob, 25);
}

TEST(NewGame, PlatformCallsInOrder) {
  FakeGame g;
  ASSERT_EQ(g.load(), -1);
  std::vector<std::string> expected = testing::kStartUpSteps;
  expected.push_back("device.create");
  expected.push_back("listener.create");
  for (const char* v : {"sndEnemyAlarm", "sndRotor",       "sndBreak",   "sndTv",      "sndCrunch",
                        "sndDogBark",    "sndWind",        "sndFan",     "sndFanHit",  "sndSwitch",
                        "sndEnemyLaser", "sndPlayerLaser", "sndExplode", "sndTargetY", "sndTargetX",
                        "sndAcquired",   "sndEnemy",       "sndCrash",   "sndLand",    "sndScrape",
                        "sndKnob"})
    expected.push_back(std::string(v) + ".create");
  for (const char* v :
       {"sndRotor", "sndEnemyAlarm", "sndBreak", "sndEnemy", "sndTv", "sndCrunch", "sndWind",
        "sndFan", "sndFanHit", "sndSwitch", "sndPlayerLaser", "sndEnemyLaser", "sndExplode",
        "sndTargetX", "sndTargetY", "sndAcquired", "sndDogBark"})
    expected.push_back(std::string(v) + ".get3D");
  // clang-format off
  for (const char* c : {
        "listener.setOrientation", "listener.setPosition", "sndRotor.setConeAngles",
        "sndRotor.setConeOutsideVolume", "sndAcquired.setMode", "sndWind.setConeAngles",
        "sndWind.setConeOutsideVolume", "sndRotor.setPosition", "sndTargetX.setMode",
        "sndTargetY.setMode", "listener.setDopplerFactor", "sndEnemy.setMinDistance",
        "sndEnemy.setMaxDistance", "sndRotor.setMinDistance", "sndRotor.setMaxDistance",
        "sndDogBark.setMinDistance", "sndDogBark.setMaxDistance", "sndFan.setMinDistance",
        "sndFan.setMaxDistance", "listener.setRolloffFactor", "sndRotor.setFrequency",
        "sndRotor.loop", "sndWind.setPosition", "sndWind.setVolume", "sndWind.loop",
        "sndEnemy.setPosition", "sndEnemy.loop", "sndTv.setPosition", "sndTv.loop",
        "sndFan.setPosition", "sndFan.loop", "sndDogBark.setPosition", "sndDogBark.loop",
        "CheckThings.setInterval", "targetTimer.setInterval", "targetTimer.setEnabled",
        "TVTimer.setInterval", "TVTimer.setEnabled", "CheckThings.setEnabled"})
    expected.push_back(c);
  // clang-format on
  EXPECT_EQ(g.calls(), expected);
}

TEST(NewGame, MissingFanRecordingStopsTheLoadAndSaysSo) {
  FakeGame g;
  std::filesystem::remove(g.sounds.file("fan.wav"));
  EXPECT_EQ(g.load(), 1);
  // The first seven voices were made; the fan and everything after it were not.
  for (const char* v :
       {"sndEnemyAlarm", "sndRotor", "sndBreak", "sndTv", "sndCrunch", "sndDogBark", "sndWind"})
    EXPECT_NE(g.sound.voice(v), nullptr) << v;
  EXPECT_EQ(g.sound.voice("sndFan"), nullptr);
  EXPECT_EQ(g.sound.voice("sndKnob"), nullptr);
  for (const auto& c : g.calls()) {
    EXPECT_FALSE(c.ends_with(".get3D")) << c;
    EXPECT_FALSE(c.ends_with(".setInterval")) << c;
    EXPECT_FALSE(c.starts_with("listener.set")) << c;
  }
  EXPECT_TRUE(loops(g.lines()).empty());
  // The player hears why, and the report names the file.
  ASSERT_EQ(g.lines().size(), 3u);
  EXPECT_EQ(g.lines()[0],
            "speak: Rotor Duel cannot start. The sound file fan.wav is missing or cannot be read.");
  EXPECT_TRUE(g.lines()[1].starts_with("error: Form_Load: StartGame: sndFan.create failed"));
  EXPECT_NE(g.lines()[1].find(g.window.soundFile("fan.wav")), std::string::npos);
  EXPECT_EQ(g.lines()[2], "exit: 1");
}

TEST(NewGame, CorruptRecordingFailsLikeAMissingOne) {
  FakeGame g;
  {
    std::ofstream f(g.sounds.file("tv.wav"), std::ios::binary | std::ios::trunc);
    f << "RIFF\x24\0\0\0WAVEfmt garbage";
  }
  EXPECT_EQ(g.load(), 1);
  EXPECT_EQ(g.sound.voice("sndTv"), nullptr);
  EXPECT_TRUE(g.lines().back() == "exit: 1");
}

TEST(StartUp, EachFailingStepIsSkippedAndTheGameStillStarts) {
  for (const std::string& call : testing::kStartUpSteps) {
    SCOPED_TRACE(call);
    FakeGame g;
    g.trace.failNext(call);
    ASSERT_EQ(g.load(), -1);
    EXPECT_EQ(loops(g.lines()), kRoomLoops);
    EXPECT_TRUE(g.window.timerEnabled(TimerId::CheckThings));
    EXPECT_EQ(g.game.fixedListener, vbTrue);
    EXPECT_EQ(g.game.stepDivX, 10.0f);
    EXPECT_EQ(g.game.voice != nullptr, call != "speech.create");
  }
}

TEST(StartUp, WithoutAnInputServiceNoMouseStepIsTried) {
  FakeGame g;
  g.trace.failNext("input.create");
  ASSERT_EQ(g.load(), -1);
  for (const auto& c : g.calls()) EXPECT_FALSE(c.starts_with("mouse.")) << c;
  EXPECT_FALSE(g.game.mouse);
  EXPECT_TRUE(g.game.voice != nullptr);
}

TEST(StartUp, WithoutSpeechAFailedGameStillReportsAndEnds) {
  FakeGame g;
  g.trace.failNext("speech.create");
  g.trace.failNext("device.create");
  EXPECT_EQ(g.load(), 1);
  ASSERT_EQ(g.lines().size(), 2u);
  EXPECT_EQ(g.lines()[0], "error: Form_Load: StartGame: device.create failed: failure injected");
}

TEST(NewGame, AnyFailingCallEndsTheProgramWithAReportNamingIt) {
  FakeGame probe;
  ASSERT_EQ(probe.load(), -1);
  std::vector<std::string> calls(probe.calls().begin() + testing::kStartUpSteps.size(),
                                 probe.calls().end());
  std::set<std::string> seen;
  for (const auto& call : calls) {
    if (!seen.insert(call).second) continue;
    SCOPED_TRACE(call);
    FakeGame g;
    g.trace.failNext(call);
    EXPECT_EQ(g.load(), 1);
    ASSERT_GE(g.lines().size(), 3u);
    EXPECT_EQ(g.lines()[g.lines().size() - 2],
              "error: Form_Load: StartGame: " + call + " failed: failure injected");
    EXPECT_EQ(g.lines()[g.lines().size() - 3],
              "speak: Rotor Duel cannot start. The call " + call + " failed.");
  }
}

TEST(ShutDown, StopsTheLoopsInOrderReleasesEverythingAndEnds) {
  FakeGame g;
  ASSERT_EQ(g.load(), -1);
  g.trace.clear();
  EXPECT_EQ(g.run([&] { g.game.shutDown(); }), 0);
  EXPECT_EQ(g.lines(), (std::vector<std::string>{"sound: sndAcquired stop", "sound: sndRotor stop",
                                                 "sound: sndDogBark stop", "sound: sndTv stop",
                                                 "sound: sndWind stop", "sound: sndTargetX stop",
                                                 "sound: sndTargetY stop", "sound: sndEnemy stop",
                                                 "sound: sndFan stop", "exit: 0"}));
  EXPECT_FALSE(g.sound.deviceOpen());
  EXPECT_FALSE(g.game.snd.sndRotor);
}

TEST(ShutDown, AMissingVoiceFailsBeforeTheProgramEnds) {
  FakeGame g;
  g.trace.failNext("sndFan.create");
  ASSERT_EQ(g.load(), 1);
  // Had the program gone on, its shut-down would stop at the first voice that does not exist.
  EXPECT_THROW(g.game.shutDown(), ServiceError);
}

}  // namespace
}  // namespace rd

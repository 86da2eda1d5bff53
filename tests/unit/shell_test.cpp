// The shell's parts that know nothing of the window: the menu model, the scores file and the names
// of the sounds.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/menu.h"
#include "app/scores.h"
#include "app/sound_lessons.h"
#include "sound/recordings.h"

namespace rd::app {
namespace {

Menu mainMenu() {
  return Menu("Main menu", {{"Play"},
                            {"Tutorial"},
                            {"Learn the sounds"},
                            {"Settings"},
                            {"Best scores"},
                            {"Help"},
                            {"Quit"}});
}

TEST(Menu, MovesSayTheItemAndItsPlaceAndTheEdgesSayItAgain) {
  Menu m = mainMenu();
  EXPECT_EQ(m.opening().speech, "Main menu. Play, 1 of 7");
  MenuAnswer a = m.key(MenuKey::up);
  EXPECT_EQ(a.sound, MenuSound::edge);
  EXPECT_EQ(a.speech, "Play, 1 of 7");
  a = m.key(MenuKey::down);
  EXPECT_EQ(a.sound, MenuSound::move);
  EXPECT_EQ(a.speech, "Tutorial, 2 of 7");
  EXPECT_EQ(m.key(MenuKey::end).speech, "Quit, 7 of 7");
  a = m.key(MenuKey::down);
  EXPECT_EQ(a.sound, MenuSound::edge);
  EXPECT_EQ(a.speech, "Quit, 7 of 7");
  EXPECT_EQ(m.key(MenuKey::home).speech, "Play, 1 of 7");
  EXPECT_EQ(m.key(MenuKey::home).sound, MenuSound::edge);
}

TEST(Menu, ALetterJumpsToTheNextItemWithItRoundFromTheTop) {
  Menu m = mainMenu();
  EXPECT_EQ(m.key(MenuKey::letter, 'S').speech, "Settings, 4 of 7");
  EXPECT_EQ(m.key(MenuKey::letter, 's').speech, "Settings, 4 of 7");  // the only one: edge
  EXPECT_EQ(m.key(MenuKey::letter, 'P').speech, "Play, 1 of 7");
  EXPECT_EQ(m.key(MenuKey::letter, 'T').speech, "Tutorial, 2 of 7");
  const MenuAnswer none = m.key(MenuKey::letter, 'Z');
  EXPECT_EQ(none.sound, MenuSound::edge);
  EXPECT_EQ(none.speech, "");
  EXPECT_EQ(m.current(), 1);
  Menu two("Settings", {{"Speech"}, {"Speech rate"}, {"HRTF"}});
  EXPECT_EQ(two.key(MenuKey::letter, 'S').speech, "Speech rate, 2 of 3");
  EXPECT_EQ(two.key(MenuKey::letter, 'S').speech, "Speech, 1 of 3");
}

TEST(Menu, EnterAndRightOpenEscapeGoesBackAndASettingChangesWithLeftAndRight) {
  Menu m = mainMenu();
  m.key(MenuKey::end);
  MenuAnswer a = m.key(MenuKey::enter);
  EXPECT_EQ(a.act, MenuAnswer::Act::open);
  EXPECT_EQ(a.item, 6);
  EXPECT_EQ(a.sound, MenuSound::open);
  EXPECT_EQ(m.key(MenuKey::right).act, MenuAnswer::Act::open);
  EXPECT_EQ(m.key(MenuKey::left).act, MenuAnswer::Act::stay);
  EXPECT_EQ(m.key(MenuKey::escape).act, MenuAnswer::Act::back);

  int rate = 350;
  Menu s("Settings", {{"Speech rate", [&] { return std::to_string(rate) + " words a minute"; },
                       [&](int step) { rate += 25 * step; }},
                      {"Reset to defaults"}});
  EXPECT_EQ(s.opening().speech, "Settings. Speech rate, 350 words a minute, 1 of 2");
  a = s.key(MenuKey::right);
  EXPECT_EQ(a.act, MenuAnswer::Act::stay);
  EXPECT_EQ(a.speech, "Speech rate, 375 words a minute");
  EXPECT_EQ(s.key(MenuKey::left).speech, "Speech rate, 350 words a minute");
  EXPECT_EQ(s.key(MenuKey::left).speech, "Speech rate, 325 words a minute");
  EXPECT_EQ(s.key(MenuKey::down).speech, "Reset to defaults, 2 of 2");
}

// A recording added to the table without a name here fails; so does a name for a file that is
// not in the table.
TEST(LearnTheSounds, EveryRecordingHasANameAndEveryNameARecording) {
  std::set<std::string> named;
  for (const SoundLesson& l : soundLessons()) {
    named.insert(l.file);
    EXPECT_FALSE(l.name.empty());
  }
  std::set<std::string> table;
  for (const RecordingFile& r : kRecordingFiles) {
    table.insert(std::string(r.file));
    EXPECT_TRUE(named.count(std::string(r.file))) << r.file << " has no name to learn it by";
  }
  for (const std::string& f : named) EXPECT_TRUE(table.count(f)) << f << " is no recording";
}

class Scores : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir_ + "/rotorduel"); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string read() {
    std::stringstream s;
    s << std::ifstream(path_, std::ios::binary).rdbuf();
    return s.str();
  }
  std::string dir_ = ::testing::TempDir() + "rotorduel-scores-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string path_ = dir_ + "/rotorduel/scores";
};

TEST_F(Scores, EachRoundAddsALineAndTheSummaryCountsAndRanksThem) {
  for (int i = 0; i < 12; ++i)
    ASSERT_EQ(addScore(path_, {"2026-12-07 16:" + std::to_string(10 + i), i, 5, i > 5 ? 1 : -1}),
              "");
  ASSERT_EQ(addScore(path_, {"2026-12-07 17:00", 3, 3, 0}), "");
  const ScoresFile f = readScores(path_);
  EXPECT_EQ(f.rounds.size(), 13u);
  EXPECT_EQ(f.damagedLines, 0);
  const auto items = scoreSummary(f);
  ASSERT_EQ(items.size(), 11u);
  EXPECT_EQ(items[0], "13 rounds played, 6 won");
  EXPECT_EQ(items[1], "2026-12-07 16:21, you 11, enemy 5, you won");
  EXPECT_EQ(items[8], "2026-12-07 17:00, you 3, enemy 3, a draw");
  EXPECT_EQ(items[10], "2026-12-07 16:13, you 3, enemy 5, the enemy won");
  EXPECT_NE(read().find("2026-12-07 17:00, you 3, enemy 3, a draw\n"), std::string::npos);
}

// Whatever goes wrong, the file keeps at least what it held.
TEST_F(Scores, DamagedUnreadableFullOrInterruptedKeepsWhatWasThere) {
  const std::string held =
      "2026-12-01 10:00, you 4, enemy 2, you won\n\x01garbage\xff\n"
      "2026-12-01 11:00, you 9, enemy 2, nobody won";
  write(held);
  ScoresFile f = readScores(path_);
  EXPECT_EQ(f.rounds.size(), 1u);
  EXPECT_EQ(f.damagedLines, 2);
  ASSERT_EQ(addScore(path_, {"2026-12-07 16:00", 1, 2, -1}), "");
  EXPECT_EQ(read(), held + "\n2026-12-07 16:00, you 1, enemy 2, the enemy won\n");

  const std::string before = read();
#ifndef _WIN32
  // A full disk: the new file cannot be written whole. Windows has no file size limit to set.
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit tight = old;
  tight.rlim_cur = before.size() + 8;
  setrlimit(RLIMIT_FSIZE, &tight);
  const std::string full = addScore(path_, {"2026-12-07 16:30", 1, 2, -1});
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_NE(full, "");
  EXPECT_EQ(read(), before);
  EXPECT_FALSE(std::filesystem::exists(path_ + ".new"));
#endif

  // A write interrupted before its new file was put in place leaves that file behind; the scores
  // are what they were, and the next round is added to them.
  write(before);
  std::ofstream(path_ + ".new") << "2026-12-07 16:40, you";
  EXPECT_EQ(readScores(path_).text, before);
  ASSERT_EQ(addScore(path_, {"2026-12-07 16:50", 0, 0, 0}), "");
  EXPECT_EQ(read(), before + "2026-12-07 16:50, you 0, enemy 0, a draw\n");

  // Unreadable: nothing is written over it.
  std::filesystem::remove(path_);
  std::filesystem::create_directories(path_ + "/inside");
  EXPECT_NE(readScores(path_).failure, "");
  EXPECT_NE(addScore(path_, {"2026-12-07 17:00", 1, 0, 1}), "");
  EXPECT_TRUE(std::filesystem::exists(path_ + "/inside"));
}

}  // namespace
}  // namespace rd::app

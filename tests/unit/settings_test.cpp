// The player's settings: the file, the options over it, and what is refused.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace rd::app {
namespace {

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void write(const std::string& text) { std::ofstream(path_) << text; }
  std::string read() {
    std::stringstream s;
    s << std::ifstream(path_).rdbuf();
    return s.str();
  }
  std::string refusal(const std::map<std::string, std::string>& given) {
    try {
      loadSettings({}, given, path_);
    } catch (const SettingsError& e) {
      return e.what();
    }
    return "accepted";
  }

  std::string dir_ = ::testing::TempDir() + "rotorduel-settings-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string path_ = dir_ + "/settings.ini";
};

TEST_F(SettingsFile, OptionsWinOverTheFileAndAMissingFileKeepsTheDefaults) {
  EXPECT_FALSE(loadSettings({}, {}, path_).speechRate.has_value());
  write("; mine\nspeech-rate = 300\nvolume=40\n  welcome = off  \nhrtf = off\nlatency = auto\n");
  Settings s = loadSettings({}, {{"speech-rate", "350"}, {"speech", "builtin"}}, path_);
  EXPECT_EQ(s.speechRate, 350);
  EXPECT_EQ(s.volume, 40);
  EXPECT_FALSE(s.welcome);
  EXPECT_EQ(s.hrtf, HrtfChoice::off);
  EXPECT_EQ(s.speech, SpeechChoice::builtin);
  EXPECT_EQ(s.effectsVolume, 100);
}

TEST_F(SettingsFile, RefusalsNameTheSettingAndWhereItStands) {
  const char* files[][2] = {
      {"volume = 50\nspeech-rate = fast\n",
       " line 2: speech-rate: 'fast' is not a whole number of words a minute from 80 to 900"},
      {"colour = red\n", " line 1: colour: no such setting"},
      {"volume 50\n", " line 1: not a 'name = value' line"},
      {"[sound]\nvolume = 50\n", " line 2: volume: settings are not put in sections"}};
  for (auto [text, refused] : files) {
    write(text);
    EXPECT_EQ(refusal({}).find(path_ + refused), 0u) << refusal({});
  }
  std::filesystem::remove(path_);
  EXPECT_EQ(refusal({{"speech-rate", "abc"}}),
            "--speech-rate: 'abc' is not a whole number of words a minute from 80 to 900");
#ifdef _WIN32
  // No speech-dispatcher there: asking for it is refused, not silently turned into another voice.
  const char* kDesktop = "builtin";
  EXPECT_NE(refusal({{"speech", "desktop"}}).find("not available on Windows"), std::string::npos);
#else
  const char* kDesktop = "desktop";
#endif
  // The ends of each range, and numbers that are not whole or not only a number: NAME GOOD BAD.
  std::istringstream cases(
      "speech-rate 80 79  speech-rate 900 901  volume 0 -1  volume 100 10x  "
      "effects-volume 100 101  speech-volume 100 50.5  latency 3 2  "
      "latency 500 501  welcome on yes  hrtf auto Auto  speech " +
      std::string(kDesktop) + " Desktop");
  for (std::string name, good, bad; cases >> name >> good >> bad;) {
    EXPECT_EQ(refusal({{name, good}}), "accepted") << name << " " << good;
    EXPECT_NE(refusal({{name, bad}}).find("--" + name + ": '" + bad + "'"), std::string::npos)
        << name << " " << bad;
  }
  EXPECT_NE(refusal({{"hrtf", ""}}).find("--hrtf: ''"), std::string::npos);
}

TEST_F(SettingsFile, SavingReplacesTheOneLineAndKeepsTheRest) {
  saveSetting(path_ + ".d/settings.ini", "volume", "70");
  EXPECT_EQ(loadSettings({}, {}, path_ + ".d/settings.ini").volume, 70);
  std::filesystem::remove_all(path_ + ".d");
  write("# my settings\nvolume = 50\nwelcome = off\n");
  saveSetting(path_, "volume", "60");
  saveSetting(path_, "speech-rate", "400");
  EXPECT_EQ(read(), "# my settings\nvolume = 60\nwelcome = off\nspeech-rate = 400\n");
}

}  // namespace
}  // namespace rd::app

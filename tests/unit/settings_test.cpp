// The player's settings: the file, the options over it, and what is refused.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#ifndef _WIN32
#include <sys/mount.h>
#endif

namespace rd::app {
namespace {

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override {
#ifndef _WIN32
    if (!mounted_.empty()) ::umount2(mounted_.c_str(), MNT_DETACH);
#endif
    std::filesystem::remove_all(dir_);
  }
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
  std::string mounted_;  // a file system mounted by the test, taken away after it
};

TEST_F(SettingsFile, OptionsWinOverTheFileAndAMissingFileKeepsTheDefaults) {
  EXPECT_FALSE(loadSettings({}, {}, path_).speechRate.has_value());
  write(
      "; mine\nspeech-rate = 300\nvolume=40\n  welcome = off  \nhrtf = off\nlatency = "
      "auto\nreadouts = bare\n");
  Settings s = loadSettings({}, {{"speech-rate", "350"}, {"speech", "builtin"}}, path_);
  EXPECT_EQ(s.speechRate, 350);
  EXPECT_EQ(s.volume, 40);
  EXPECT_FALSE(s.welcome);
  EXPECT_EQ(s.hrtf, HrtfChoice::off);
  EXPECT_EQ(s.speech, SpeechChoice::builtin);
  EXPECT_EQ(s.effectsVolume, 100);
  EXPECT_EQ(s.readouts, ReadoutChoice::bare);
  EXPECT_EQ(loadSettings({}, {}, path_ + ".none").readouts, ReadoutChoice::labelled);
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
  // Another system's voice is refused, naming it, not silently turned into another voice.
#ifdef _WIN32
  const char* kDesktop = "screenreader";
  EXPECT_NE(refusal({{"speech", "desktop"}}).find("not available on Windows"), std::string::npos);
  EXPECT_EQ(refusal({{"speech", "system"}}), "accepted");
#else
  const char* kDesktop = "desktop";
  EXPECT_EQ(
      refusal({{"speech", "screenreader"}}).find("--speech: 'screenreader' (NVDA) is Windows only"),
      0u);
  EXPECT_EQ(refusal({{"speech", "system"}}).find("--speech: 'system' (SAPI) is Windows only"), 0u);
#endif
  // The ends of each range, and numbers that are not whole or not only a number: NAME GOOD BAD.
  std::istringstream cases(
      "speech-rate 80 79  speech-rate 900 901  volume 0 -1  volume 100 10x  "
      "effects-volume 100 101  speech-volume 100 50.5  latency 3 2  "
      "latency 500 501  welcome on yes  readouts bare labeled  hrtf auto Auto  speech " +
      std::string(kDesktop) + " Desktop");
  for (std::string name, good, bad; cases >> name >> good >> bad;) {
    EXPECT_EQ(refusal({{name, good}}), "accepted") << name << " " << good;
    EXPECT_NE(refusal({{name, bad}}).find("--" + name + ": '" + bad + "'"), std::string::npos)
        << name << " " << bad;
  }
  EXPECT_NE(refusal({{"hrtf", ""}}).find("--hrtf: ''"), std::string::npos);
}

TEST_F(SettingsFile, SavingReplacesTheOneLineAndKeepsTheRest) {
  EXPECT_EQ(saveSetting(path_ + ".d/settings.ini", "volume", "70"), std::nullopt);
  EXPECT_EQ(loadSettings({}, {}, path_ + ".d/settings.ini").volume, 70);
  std::filesystem::remove_all(path_ + ".d");
  write("# my settings\nvolume = 50\nwelcome = off\n");
  saveSetting(path_, "volume", "60");
  saveSetting(path_, "speech-rate", "400");
  EXPECT_EQ(read(), "# my settings\nvolume = 60\nwelcome = off\nspeech-rate = 400\n");
}

#ifndef _WIN32
// Saves where the disk says no: a folder in the file's place, a read-only disk and a full one
// (small file systems of their own, mounted here when run as root), and a file that is a link
// kept by a dotfile manager. Nothing is ever left beside the file.
TEST_F(SettingsFile, SavingSaysWhyItCouldNotAndKeepsLinksAndNoLeftovers) {
  namespace fs = std::filesystem;
  auto names = [](const fs::path& folder) {
    std::set<std::string> sorted;
    for (const auto& entry : fs::directory_iterator(folder))
      sorted.insert(entry.path().filename().string());
    std::string all;
    for (const auto& name : sorted) all += name + " ";
    return all;
  };
  auto contents = [](const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path).rdbuf();
    return s.str();
  };
  fs::create_directories(dir_ + "/dotfiles");
  std::ofstream(dir_ + "/dotfiles/rotorduel.ini") << "welcome = off\n";
  fs::create_symlink("dotfiles/rotorduel.ini", path_);
  EXPECT_EQ(saveSetting(path_, "volume", "60"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(read(), "welcome = off\nvolume = 60\n");
  EXPECT_EQ(names(dir_ + "/dotfiles"), "rotorduel.ini ");
  fs::remove(path_);

  fs::create_directory(path_);
  EXPECT_EQ(saveSetting(path_, "volume", "60"), "a folder stands where the file should be");
  EXPECT_EQ(names(dir_), "dotfiles settings.ini ");
  fs::remove(path_);

  const std::string disk = dir_ + "/disk", file = disk + "/settings.ini";
  fs::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a file system here (" << std::strerror(errno) << ")";
  mounted_ = disk;
  std::ofstream(file) << "volume = 50\n";
  {
    std::ofstream filler(disk + "/filler");
    const std::string block(4096, 'x');
    while (filler << block << std::flush) {
    }
  }
  EXPECT_EQ(saveSetting(file, "welcome", "off"), "the disk is full");
  EXPECT_EQ(names(disk), "filler settings.ini ");
  EXPECT_EQ(contents(file), "volume = 50\n");
  fs::remove(disk + "/filler");
  ASSERT_EQ(::mount("tmpfs", disk.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
  EXPECT_EQ(saveSetting(file, "welcome", "off"), "the folder is read-only");
  EXPECT_EQ(saveSetting(disk + "/rotorduel/settings.ini", "welcome", "off"),
            "the folder is read-only");
}
#endif

}  // namespace
}  // namespace rd::app

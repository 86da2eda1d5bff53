// The recordings as files: all there, in the format the game reads, never clipping, looping
// without a click, the same on every build and each its own sound.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>

#include "wav_reader.h"

namespace rd::sounds::test {
namespace {

constexpr int kMinus1Dbfs = 29204;  // 32767 * 10^(-1/20), rounded up

// Two names wired to one sound in the table would leave the player unable to tell them apart.
TEST(Recordings, EachIsMonoSixteenBitAtItsRateNeverClipsJoinsWithoutAClickAndIsItsOwnSound) {
  std::map<std::vector<short>, std::string> seen;
  for (const RecordingFile& e : kRecordingFiles) {
    SCOPED_TRACE(e.file);
    const Wav w = readWav(soundsDir() / e.file);
    EXPECT_EQ(w.rate, e.rate);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_GT(w.seconds(), 0.02);
    const std::vector<short>& s = w.samples;
    EXPECT_LE(peakOf(s), kMinus1Dbfs);
    EXPECT_GE(peakOf(s), 32767 / 30);  // louder than -30 dBFS somewhere
    if (e.loops) {
      // The step from the last sample back to the first must look like any other step inside.
      std::vector<int> steps;
      for (std::size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
      std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
      EXPECT_LE(std::abs(s.front() - s.back()), steps[steps.size() * 99 / 100] + 2);
    } else {
      // A one-shot that starts or stops mid-swing clicks every time it plays.
      EXPECT_LE(std::abs(s.front()), 330);
      EXPECT_LE(std::abs(s.back()), 330);
    }
    const auto [at, isNew] = seen.emplace(s, e.file);
    EXPECT_TRUE(isNew) << e.file << " sounds exactly as " << at->second;
  }
}

// The build's recordings again from a new user's empty HOME, from that HOME once it is no longer
// new, and from a generator that seeded and drew rand() before main: all the same samples.
TEST(Recordings, EveryRunOfTheGeneratorGivesTheSameRecordings) {
  const auto scratch = std::filesystem::temp_directory_path() /
                       ("rotorduel-sounds-again-" + std::to_string(::getpid()));
  const auto home = scratch / "home";
  std::filesystem::create_directories(home / "config");
  std::filesystem::create_directories(home / "run");
  std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
  auto run = [&](const char* generator, const std::string& out) {
#ifdef _WIN32
    // No HOME or XDG folders there; cmd.exe takes off the outermost pair of quotes.
    const std::string command = "\"\"" +
                                std::filesystem::path(generator).make_preferred().string() +
                                "\" \"" + (scratch / out).string() + "\"\"";
#else
    const std::string command = "HOME='" + home.string() + "' XDG_CONFIG_HOME='" +
                                (home / "config").string() + "' XDG_RUNTIME_DIR='" +
                                (home / "run").string() + "' \"" + generator + "\" '" +
                                (scratch / out).string() + "'";
#endif
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  };
  run(ROTORDUEL_SOUNDS_GENERATOR, "new-home");
  run(ROTORDUEL_SOUNDS_GENERATOR, "old-home");
  run(ROTORDUEL_SOUNDS_STIRRED, "stirred");
  for (const char* out : {"new-home", "old-home", "stirred"}) {
    for (const RecordingFile& e : kRecordingFiles)
      EXPECT_TRUE(readWav(soundsDir() / e.file).samples == readWav(scratch / out / e.file).samples)
          << out << ": " << e.file;
    // Nothing else is written beside the recordings.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch / out),
                            std::filesystem::directory_iterator()),
              std::ssize(kRecordingFiles));
  }
  std::filesystem::remove_all(scratch);
}

}  // namespace
}  // namespace rd::sounds::test

// The recordings as files: all there, in the format the game reads, never clipping, looping
// without a click, the same on every build and each its own sound; and what a player hears in them
// at the frequencies the game plays them.
#include "sound/recordings.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

namespace rd::sounds::test {
namespace {

// Read back the way the game reads them, through libsndfile.
struct Wav {
  int rate = 0;
  int channels = 0;
  int format = 0;  // libsndfile's SF_FORMAT_* bits
  std::vector<short> samples;
  double seconds() const { return static_cast<double>(samples.size()) / rate; }
};

// Throws when the file cannot be opened.
Wav readWav(const std::filesystem::path& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.string().c_str(), SFM_READ, &info);
  if (f == nullptr) throw std::runtime_error("cannot open " + path.string());
  Wav w{info.samplerate, info.channels, info.format,
        std::vector<short>(static_cast<std::size_t>(info.frames * info.channels))};
  sf_read_short(f, w.samples.data(), static_cast<sf_count_t>(w.samples.size()));
  sf_close(f);
  return w;
}

std::filesystem::path soundsDir() { return ROTORDUEL_SOUNDS_DIR; }

// Largest absolute sample.
int peakOf(const std::vector<short>& s) {
  int p = 0;
  for (short x : s) p = std::max(p, std::abs(static_cast<int>(x)));
  return p;
}

// Loudness in dB relative to full scale.
double rmsDb(const std::vector<short>& s) {
  double sum = 0;
  for (short x : s) sum += static_cast<double>(x) * x;
  return 10 * std::log10(sum / static_cast<double>(s.size()) / (32768.0 * 32768.0) + 1e-20);
}

// The rate (per second, at the recorded speed) at which the loudness swells regularly, searched
// between lo and hi.
double pulseRate(const Wav& w, double lo, double hi) {
  // The loudness contour, a point a millisecond (mean of |x|), less its mean.
  const auto step = static_cast<std::size_t>(w.rate / 1000);
  const double pointsPerSecond = static_cast<double>(w.rate) / static_cast<double>(step);
  std::vector<double> contour;
  for (std::size_t i = 0; i + step <= w.samples.size(); i += step)
    contour.push_back(std::accumulate(w.samples.begin() + i, w.samples.begin() + i + step, 0.0,
                                      [](double sum, short x) { return sum + std::abs(x); }));
  const double mean = std::accumulate(contour.begin(), contour.end(), 0.0) / contour.size();
  for (double& c : contour) c -= mean;
  // The loops are periodic, so the contour is correlated with itself around the loop. A
  // two-bladed rotor repeats exactly only every second beat, so the answer is the fastest pulse
  // that correlates nearly as well as the best one.
  const auto shortest = static_cast<std::size_t>(pointsPerSecond / hi);
  const auto longest = static_cast<std::size_t>(pointsPerSecond / lo);
  std::vector<double> r(longest + 2, 0.0);
  for (std::size_t lag = shortest - 1; lag <= longest + 1; ++lag)
    for (std::size_t i = 0; i < contour.size(); ++i)
      r[lag] += contour[i] * contour[(i + lag) % contour.size()];
  const double best = *std::max_element(r.begin() + shortest, r.begin() + longest + 1);
  for (std::size_t lag = shortest; lag <= longest; ++lag)
    if (r[lag] >= 0.6 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1])
      return pointsPerSecond / static_cast<double>(lag);
  return 0;
}

Wav load(const char* file) { return readWav(soundsDir() / file); }

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

// A rotor's beat is the recorded pulse times the playback speed the game sets; no voice is played
// faster than ten times its recording's rate.
TEST(Rotors, ThePlayerWorksAtLiftOffAndTheEnemyFluttersFarFaster) {
  const Wav rotor = load("zelkar.wav");
  const Wav enemy = load("enemy.wav");
  // At lift-off (10000 Hz) a working beat; so at idle (5000 Hz) a slow chop you can count, and at
  // the top (70000 Hz) a buzz.
  const double liftOff = pulseRate(rotor, 4, 40) * 10000 / rotor.rate;
  EXPECT_GE(liftOff, 9.0);
  EXPECT_LE(liftOff, 15.0);
  EXPECT_LE(70100.0 / rotor.rate, 10.0);
  // Low down the enemy plays near its own rate.
  EXPECT_GT(pulseRate(enemy, 15, 80), 2.5 * liftOff);
  EXPECT_LE(112000.0 / enemy.rate, 10.0);
}

// Heard for a whole game from their places, a repetition within a minute would be noticed; the dog
// has at least a third of a second of quiet between barks.
TEST(Room, TheTelevisionAndTheDogTakeLongToComeRound) {
  EXPECT_GE(load("tv.wav").seconds(), 30.0);
  const Wav dog = load("DogBark.wav");
  EXPECT_GE(dog.seconds(), 15.0);
  std::size_t quiet = 0, longestQuiet = 0;
  const int threshold = peakOf(dog.samples) / 30;
  for (short x : dog.samples) {
    quiet = std::abs(x) < threshold ? quiet + 1 : 0;
    longestQuiet = std::max(longestQuiet, quiet);
  }
  EXPECT_GE(static_cast<double>(longestQuiet) / dog.rate, 0.33);
  EXPECT_LE(rmsDb(dog.samples), -16.0);
}

TEST(TargetFinder, BlipsAreShortEvenAtTheirSlowestAndTheLockOnToneHolds) {
  // The bearing blip plays at 51000 Hz at the slowest, the height tone at 4100 Hz (gap of 8): both
  // must be over before the next half-second cycle, or nearly.
  const Wav x = load("TargetX.wav");
  const Wav y = load("TargetY.wav");
  EXPECT_LE(x.seconds() * x.rate / 51000.0, 0.1);
  EXPECT_LE(y.seconds() * y.rate / 4100.0, 1.5);
  // Steady: no swell or dip of more than 1 dB between its halves.
  const std::vector<short> lock = load("acquired.wav").samples;
  const auto half = lock.begin() + std::ssize(lock) / 2;
  EXPECT_NEAR(rmsDb({lock.begin(), half}), rmsDb({half, lock.end()}), 1.0);
}

}  // namespace
}  // namespace rd::sounds::test

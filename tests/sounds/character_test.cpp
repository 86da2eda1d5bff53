// What a player hears in the recordings at the frequencies the game plays them.
#include <gtest/gtest.h>

#include "wav_reader.h"

namespace rd::sounds::test {
namespace {

Wav load(const char* file) { return readWav(soundsDir() / file); }

// The rotor's chop rate is the recorded beat times the playback speed the game sets.
TEST(PlayerRotor, ChopsSlowlyAtIdleWorksAtLiftOffAndScreamsAtTheTop) {
  const Wav rotor = load("zelkar.wav");
  const double beat = pulseRate(rotor, 4, 40);
  const double speedAt = 1.0 / rotor.rate;
  EXPECT_GE(beat * 5000 * speedAt, 4.0);  // idle: a slow chop you can count
  EXPECT_LE(beat * 5000 * speedAt, 8.0);
  EXPECT_GE(beat * 10000 * speedAt, 9.0);  // lift-off: a working beat
  EXPECT_LE(beat * 10000 * speedAt, 15.0);
  EXPECT_GE(beat * 70000 * speedAt, 60.0);  // top speed: a buzz, no longer separate beats
  EXPECT_LE(70100.0 / rotor.rate, 10.0);
}

TEST(EnemyRotor, FluttersFarFasterThanThePlayersChop) {
  // Low down the enemy plays near its own rate, the player lifts off at 10000 Hz.
  const Wav enemy = load("enemy.wav");
  const Wav player = load("zelkar.wav");
  const double enemyFlutter = pulseRate(enemy, 15, 80);
  const double playerChop = pulseRate(player, 4, 40) * 10000 / player.rate;
  EXPECT_GT(enemyFlutter, 2.5 * playerChop);
  EXPECT_LE(112000.0 / enemy.rate, 10.0);
}

TEST(Room, DogPausesBetweenBarks) {
  // At least a third of a second of quiet between barks, and barks taking under half the loop.
  const Wav dog = load("DogBark.wav");
  std::size_t quiet = 0, longestQuiet = 0;
  const int threshold = peakOf(dog.samples) / 30;
  for (short x : dog.samples) {
    quiet = std::abs(x) < threshold ? quiet + 1 : 0;
    longestQuiet = std::max(longestQuiet, quiet);
  }
  EXPECT_GE(static_cast<double>(longestQuiet) / dog.rate, 0.33);
  EXPECT_LE(rmsDb(dog.samples), -16.0);
}

TEST(Room, TheTelevisionAndTheDogTakeLongToComeRound) {
  // Heard for a whole game from their places: a repetition within a minute would be noticed.
  EXPECT_GE(load("tv.wav").seconds(), 30.0);
  EXPECT_GE(load("DogBark.wav").seconds(), 15.0);
}

TEST(TargetFinder, BlipsAreShortEvenAtTheirSlowestAndTheLockOnToneHolds) {
  // The bearing blip plays at 51000 Hz at the slowest, the height tone at 4100 Hz (gap of 8),
  // and both must be over before the next half-second cycle, or nearly.
  const Wav x = load("TargetX.wav");
  const Wav y = load("TargetY.wav");
  EXPECT_LE(x.seconds() * x.rate / 51000.0, 0.1);
  EXPECT_LE(y.seconds() * y.rate / 74100.0, 0.1);
  EXPECT_LE(y.seconds() * y.rate / 4100.0, 1.5);
  const Wav lock = load("acquired.wav");
  // Steady: no swell or dip of more than 1 dB between its halves.
  const std::vector<short> first(lock.samples.begin(),
                                 lock.samples.begin() + lock.samples.size() / 2);
  const std::vector<short> second(lock.samples.begin() + lock.samples.size() / 2,
                                  lock.samples.end());
  EXPECT_NEAR(rmsDb(first), rmsDb(second), 1.0);
}

}  // namespace
}  // namespace rd::sounds::test

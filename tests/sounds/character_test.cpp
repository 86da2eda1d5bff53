// What a player hears in the recordings at the frequencies the game plays them.
#include <gtest/gtest.h>

#include "wav_reader.h"

namespace rd::sounds::test {
namespace {

Wav load(const char* file) { return readWav(soundsDir() / file); }

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

TEST(Room, NoLoopDrownsAnother) {
  // The loops heard from their places in the room, at their own level: within 8 dB of each other.
  double loudest = -200, quietest = 0;
  for (const char* f : {"zelkar.wav", "enemy.wav", "tv.wav", "fan.wav"}) {
    const double db = rmsDb(load(f).samples);
    loudest = std::max(loudest, db);
    quietest = std::min(quietest, db);
  }
  EXPECT_LE(loudest - quietest, 8.0);
  EXPECT_LE(loudest, -12.0);
  // The lock-on tone plays inside the head with no distance to soften it, while the room's loops
  // reach the listener 10 to 20 dB down: recorded well below the quietest of them.
  EXPECT_LE(rmsDb(load("acquired.wav").samples), quietest - 6.0);
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

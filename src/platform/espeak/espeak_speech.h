// The speech voice on espeak-ng: each text is synthesised to memory, its silence at both ends cut
// off, and played through the game's own sound device in the middle of the head. speak() returns
// when the sentence has been heard.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/openal/openal_sound.h"
#include "platform/speech.h"

namespace rd::espeak {

// Samples at either end of a sentence quieter than this (about -54 dB below full scale) are
// silence and are cut off, so that a readout starts at once and the game goes on right after it.
inline constexpr int16_t kSilenceThreshold = 64;

// A synthesised sentence: mono 16-bit samples at espeak-ng's rate.
struct Utterance {
  int32_t sampleRate = 0;
  std::vector<int16_t> samples;
  double lengthMs() const {
    return sampleRate > 0 ? static_cast<double>(samples.size()) * 1000.0 / sampleRate : 0;
  }
};

class EspeakSpeech : public SpeechSystem {
 public:
  // How the voice waits while a sentence sounds: given its length in milliseconds. Without one it
  // sleeps until the device has played the sentence out.
  using WaitFor = std::function<void(double ms)>;

  // Plays through the device `sound` has open, or through one of its own while none is open (a
  // sentence before the new game has made the device).
  explicit EspeakSpeech(openal::SoundBackend& sound, WaitFor waitFor = {});

  // Called every few milliseconds while a sentence sounds; it may end the program by throwing,
  // which cuts the sentence.
  void setWhileWaiting(std::function<void()> check) { whileWaiting_ = std::move(check); }

  // espeak-ng is made ready once, on the first voice ("speech.create").
  std::unique_ptr<SpeechVoice> createVoice() override;

  // The text synthesised to memory, silence at both ends cut off ("speech.speak").
  Utterance synthesize(const std::string& text);
  // Plays a sentence and returns when it has been heard ("speech.speak").
  void say(const Utterance& sentence);
  // Starts a sentence on the open device and returns at once; nullptr for an empty sentence.
  std::unique_ptr<openal::PlainSound> start(const Utterance& sentence);

  // The speaking rate in words a minute for the sentences that follow; 0 is espeak-ng's own.
  void setRate(int wordsPerMinute) { rate_ = wordsPerMinute; }
  // The rate in force: the one set, or espeak-ng's own.
  int rate() const;

 private:
  void waitUntilHeard(const openal::PlainSound& playing, openal::Device& device);

  openal::SoundBackend& sound_;
  WaitFor waitFor_;
  int rate_ = 0;
  std::function<void()> whileWaiting_;
};

// Every sentence is brought to one loudness, whatever the text: the RMS of its sounding parts
// (20 ms blocks above -50 dBFS) made kSpeechLevelDb, its peaks held at kSpeechCeilingDb by a
// look-ahead limiter, so a readout stands well out from the room and never clips on top of it.
inline constexpr double kSpeechLevelDb = -9.0;
inline constexpr double kSpeechCeilingDb = -4.5;
void levelSpeech(std::vector<int16_t>& samples, int32_t sampleRate);

}  // namespace rd::espeak

#include "speech.h"

#include <espeak-ng/speak_lib.h>
#ifdef ROTORDUEL_ESPEAK_RAND_SEED
#include <espeak-ng/espeak_ng.h>
#endif

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace rd::sounds {

namespace {

constexpr unsigned kBreathSeed = 1;

// espeak-ng hands the audio over in pieces; the text's user data points at the buffer to fill.
int collect(short* wav, int count, espeak_EVENT* events) {
  if (wav == nullptr || count <= 0) return 0;
  auto* out = static_cast<std::vector<short>*>(events->user_data);
  out->insert(out->end(), wav, wav + count);
  return 0;
}

void check(espeak_ERROR result, const char* what) {
  if (result != EE_OK) throw std::runtime_error(std::string("espeak-ng: ") + what + " failed");
}

}  // namespace

SpeechSynth::SpeechSynth() {
  rate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
  if (rate_ <= 0)
    throw std::runtime_error("espeak-ng: cannot initialise (is espeak-ng-data there?)");
  espeak_SetSynthCallback(collect);
#ifdef ROTORDUEL_ESPEAK_RAND_SEED
  // Newer espeak-ng seed the noise of their voices with the time of day; the recordings must be
  // the same on every run.
  espeak_ng_SetRandSeed(1);
#endif
}

SpeechSynth::~SpeechSynth() { espeak_Terminate(); }

Samples SpeechSynth::say(std::string_view text, const Speaker& speaker, int rate) {
  check(espeak_SetVoiceByName(speaker.voice.c_str()), "choosing the voice");
  check(espeak_SetParameter(espeakRATE, speaker.wordsPerMinute, 0), "setting the rate");
  check(espeak_SetParameter(espeakPITCH, speaker.pitch, 0), "setting the pitch");
  check(espeak_SetParameter(espeakRANGE, speaker.range, 0), "setting the pitch range");
  check(espeak_SetParameter(espeakVOLUME, 100, 0), "setting the volume");

  const std::string z(text);
  std::vector<short> pcm;
  // Breathy voices draw their noise from the C library's rand(), which anything in the process
  // (a library starting up, the sound server's client making its runtime folder) may have drawn
  // from already. A fixed start for each sentence gives the same bytes whatever came before.
  std::srand(kBreathSeed);
  check(espeak_Synth(z.c_str(), z.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &pcm),
        "speaking");
  check(espeak_Synchronize(), "finishing the speech");

  Samples s(pcm.size());
  for (std::size_t i = 0; i < pcm.size(); ++i) s[i] = static_cast<float>(pcm[i] / 32768.0);
  if (rate != rate_) s = resampled(s, static_cast<double>(rate_) / rate);
  trimSilence(s, 0.004f);
  if (s.empty()) throw std::runtime_error("espeak-ng: no sound for \"" + z + "\"");
  return s;
}

}  // namespace rd::sounds

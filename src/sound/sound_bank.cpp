#include "sound/sound_bank.h"

namespace rd {

Slot<Voice>* ModDXSound::voiceByName(std::string_view name) {
#define RD_VOICE(voice, file, rate, loops, recipe) \
  if (name == #voice) return &voice;
#define RD_CUE(file, rate, loops, recipe)
#include "sound/recordings.def"
  if (name == "oneShotVoice") return &oneShotVoice;
  return nullptr;
}

void loadSounds(ModDXSound& snd, Window& window) {
  // First pass: every voice from its file, the program's folder read afresh for each.
#define RD_VOICE(voice, file, rate, loops, recipe) \
  snd.voice = snd.dx->createVoice(#voice, window.soundFile(file));
#define RD_CUE(file, rate, loops, recipe)
#include "sound/recordings.def"
  // Second pass: the 3D controls the game keeps for the whole run.
#define RD_TAKE(voice) snd.voice##3D = snd.voice->take3D();
  RD_LASTING_3D(RD_TAKE)
#undef RD_TAKE
}

void shutDown(ModDXSound& snd, Window& window) {
  snd.sndAcquired->stop();
  snd.sndRotor->stop();
  snd.sndDogBark->stop();
  snd.sndTv->stop();
  snd.sndWind->stop();
  snd.sndTargetX->stop();
  snd.sndTargetY->stop();
  snd.sndEnemy->stop();
  snd.sndFan->stop();
  // A sound call of this handler that failed is reported now, not lost with the device.
  if (snd.dx) snd.dx->checkCalls();

  // Controls before their voices, voices before the device that made them.
  snd.listener = nullptr;
  snd.oneShotVoice3D.reset();
  snd.sndCrash3D.reset();
#define RD_RELEASE_CONTROL(voice) snd.voice##3D = nullptr;
  RD_LASTING_3D(RD_RELEASE_CONTROL)
#undef RD_RELEASE_CONTROL
  snd.oneShotVoice.reset();
#define RD_VOICE(voice, file, rate, loops, recipe) snd.voice.reset();
#define RD_CUE(file, rate, loops, recipe)
#include "sound/recordings.def"
  snd.dx.reset();

  window.endProgram(0);
}

}  // namespace rd

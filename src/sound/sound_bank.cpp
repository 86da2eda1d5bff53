#include "sound/sound_bank.h"

namespace rd {

Slot<Voice>* SoundBank::voiceByName(std::string_view name) {
#define RD_VOICE(voice, file, rate, loops, recipe) \
  if (name == #voice) return &voice;
#define RD_CUE(file, rate, loops, recipe)
#include "sound/recordings.def"
  if (name == "oneShotVoice") return &oneShotVoice;
  return nullptr;
}

void loadSounds(SoundBank& sounds, Window& window) {
  // First pass: every voice from its file, the program's folder read afresh for each.
#define RD_VOICE(voice, file, rate, loops, recipe) \
  sounds.voice = sounds.device->createVoice(#voice, window.soundFile(file));
#define RD_CUE(file, rate, loops, recipe)
#include "sound/recordings.def"
  // Second pass: the 3D controls the game keeps for the whole run.
#define RD_TAKE(voice) sounds.voice##3D = sounds.voice->take3D();
  RD_LASTING_3D(RD_TAKE)
#undef RD_TAKE
}

void releaseSounds(SoundBank& sounds) {
  sounds.sndAcquired->stop();
  sounds.sndRotor->stop();
  sounds.sndDogBark->stop();
  sounds.sndTv->stop();
  sounds.sndWind->stop();
  sounds.sndTargetX->stop();
  sounds.sndTargetY->stop();
  sounds.sndEnemy->stop();
  sounds.sndFan->stop();
  // A sound call of this handler that failed is reported now, not lost with the device.
  if (sounds.device) sounds.device->checkCalls();

  // Controls before their voices, voices before the device that made them.
  sounds.listener = nullptr;
  sounds.oneShotVoice3D.reset();
  sounds.sndCrash3D.reset();
#define RD_RELEASE_CONTROL(voice) sounds.voice##3D = nullptr;
  RD_LASTING_3D(RD_RELEASE_CONTROL)
#undef RD_RELEASE_CONTROL
  sounds.oneShotVoice.reset();
#define RD_VOICE(voice, file, rate, loops, recipe) sounds.voice.reset();
#define RD_CUE(file, rate, loops, recipe)
#include "sound/recordings.def"
  sounds.device.reset();
}

}  // namespace rd

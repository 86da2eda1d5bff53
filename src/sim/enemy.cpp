// The enemy's flight.
#include "core/form1.h"

namespace rd {

void Form1::enemyAltitudeFloor() {}  // not written yet: this step of the tick does nothing
void Form1::enemyDodgeOrPursue() {}  // not written yet: this step of the tick does nothing
void Form1::enemyBearingTurn() {}    // not written yet: this step of the tick does nothing
void Form1::enemyVoicePitch() {}     // not written yet: this step of the tick does nothing
void Form1::enemyFires() {}          // not written yet: this step of the tick does nothing
void Form1::enemyMomentum() {}       // not written yet: this step of the tick does nothing

}  // namespace rd

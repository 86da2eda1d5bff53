// The room's hazards and the dog.
#include "core/form1.h"

namespace rd {

void Form1::enemyAtWalls() {}        // not written yet: this step of the tick does nothing
void Form1::enemyAndTelevision() {}  // not written yet: this step of the tick does nothing
void Form1::helicoptersCollide() {}  // not written yet: this step of the tick does nothing
void Form1::enemyAndFan() {}         // not written yet: this step of the tick does nothing
void Form1::enemyAtFanCentre() {}    // not written yet: this step of the tick does nothing
void Form1::playerAndFan() {}        // not written yet: this step of the tick does nothing
void Form1::dogWanders() {}          // not written yet: this step of the tick does nothing
void Form1::dogAndPlayer() {}        // not written yet: this step of the tick does nothing
void Form1::dogAndEnemy() {}         // not written yet: this step of the tick does nothing

}  // namespace rd

// Shots and the dog's crunches.
#include "core/form1.h"

namespace rd {

void Form1::enemyShotDown() { throw NotWritten{"enemyShotDown"}; }
void Form1::PlayerShotDown() { throw NotWritten{"PlayerShotDown"}; }
void Form1::EnemyCrunch() { throw NotWritten{"EnemyCrunch"}; }
void Form1::playerCrunch() { throw NotWritten{"playerCrunch"}; }
void Form1::scatterPlayer() { throw NotWritten{"scatterPlayer"}; }
void Form1::randomizeHeading() { throw NotWritten{"randomizeHeading"}; }

}  // namespace rd

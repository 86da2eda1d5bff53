// Crashes, scrapes, smashes, collisions and the falls.
#include "core/form1.h"

namespace rd {

void Form1::smash() { throw NotWritten{"smash"}; }
void Form1::EnemySmash() { throw NotWritten{"EnemySmash"}; }
void Form1::Playercrash() { throw NotWritten{"Playercrash"}; }
void Form1::scraped() { throw NotWritten{"scraped"}; }
void Form1::collide() { throw NotWritten{"collide"}; }
void Form1::enemycrash() { throw NotWritten{"enemycrash"}; }
void Form1::playerFall(Long /*counts*/) { throw NotWritten{"playerFall"}; }
void Form1::enemyFall(Long /*counts*/, bool /*pitchFloor*/) { throw NotWritten{"enemyFall"}; }
void Form1::impactSound(Single /*x*/, Single /*y*/, Single /*z*/) {
  throw NotWritten{"impactSound"};
}
void Form1::busyWait(Long /*counts*/) { throw NotWritten{"busyWait"}; }

}  // namespace rd

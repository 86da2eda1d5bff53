// Named one-shot sounds, the knob click and the end of a game.
#include "core/form1.h"

namespace rd {

void Form1::playSoundFile(const std::string& /*name*/) { throw NotWritten{"playSoundFile"}; }
void Form1::playKnobClick() { throw NotWritten{"playKnobClick"}; }
void Form1::endGame() { throw NotWritten{"endGame"}; }

}  // namespace rd

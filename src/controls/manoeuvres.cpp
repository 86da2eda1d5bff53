// Stepping forward and back and turning.
#include "core/form1.h"

namespace rd {

void Form1::flyForward() { throw NotWritten{"flyForward"}; }
void Form1::flyBackward() { throw NotWritten{"flyBackward"}; }
void Form1::turnLeft() { throw NotWritten{"turnLeft"}; }
void Form1::turnRight() { throw NotWritten{"turnRight"}; }

}  // namespace rd

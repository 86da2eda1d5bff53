// Climbing, descending and landing.
#include "core/form1.h"

namespace rd {

void Form1::climb() { throw NotWritten{"climb"}; }
void Form1::descend() { throw NotWritten{"descend"}; }

}  // namespace rd

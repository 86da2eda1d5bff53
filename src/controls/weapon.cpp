// The laser.
#include "core/form1.h"

namespace rd {

void Form1::fireLaser() { throw NotWritten{"fireLaser"}; }

}  // namespace rd

// The target finder.
#include "core/form1.h"

namespace rd {

void Form1::targetTimer_timer() { throw NotWritten{"targetTimer_timer"}; }
Single Form1::getBearing(Single /*x1*/, Single /*z1*/, Single /*x2*/, Single /*z2*/) {
  throw NotWritten{"getBearing"};
}
Long Form1::relativeBearing(Long /*bearing*/) const { throw NotWritten{"relativeBearing"}; }

}  // namespace rd

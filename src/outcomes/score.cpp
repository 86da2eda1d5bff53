// The score.
#include "core/form1.h"

namespace rd {

void Form1::score() { throw NotWritten{"score"}; }

}  // namespace rd

// The television.
#include "core/form1.h"

namespace rd {

void Form1::tvTimer_timer() { throw NotWritten{"tvTimer_timer"}; }

}  // namespace rd

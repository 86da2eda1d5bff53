// The mouse.
#include "core/form1.h"

namespace rd {

Long Form1::DirectXEvent8_DXCallback(Long /*eventid*/) {
  throw NotWritten{"DirectXEvent8_DXCallback"};
}

}  // namespace rd

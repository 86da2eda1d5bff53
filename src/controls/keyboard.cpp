// The keyboard.
#include "core/form1.h"

namespace rd {

void Form1::Form_KeyDown(Integer /*keyCode*/, Integer /*shift*/) {
  throw NotWritten{"Form_KeyDown"};
}
void Form1::Form_KeyUp(Integer /*keyCode*/, Integer /*shift*/) { throw NotWritten{"Form_KeyUp"}; }

}  // namespace rd

// The score, read out in five pieces, each spoken to its end before the next.
#include "core/form1.h"

namespace rd {

void Form1::score() {
  speak("the score is: you got");
  speak(plainText(static_cast<long long>(playerScore)));
  speak(".  I got");
  speak(plainText(static_cast<long long>(enemyScore)));
  speak(" points.");
}

}  // namespace rd

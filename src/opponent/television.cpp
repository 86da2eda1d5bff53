// The television. A shot switches it off by starting its 9-second timer; when the timer fires the
// set plays on where it stopped, unless it was smashed meanwhile. The timer fires once per shot.
#include "core/form1.h"

namespace rd {

void Form1::tvTimer_timer() {
  if (tvOn) snd.sndTv->loop();
  window.setTimerEnabled(TimerId::TVTimer, false);
}

}  // namespace rd

// The simulation tick and the player's flight.
#include "core/form1.h"

namespace rd {

void Form1::CheckThings_timer() { throw NotWritten{"CheckThings_timer"}; }
void Form1::orientListener() { throw NotWritten{"orientListener"}; }
void Form1::headingStep() { throw NotWritten{"headingStep"}; }
void Form1::playerMomentum() { throw NotWritten{"playerMomentum"}; }
void Form1::overallSpeed() { throw NotWritten{"overallSpeed"}; }
void Form1::rememberPositions() { throw NotWritten{"rememberPositions"}; }
void Form1::listeningPosition() { throw NotWritten{"listeningPosition"}; }
void Form1::windVoice() { throw NotWritten{"windVoice"}; }

}  // namespace rd

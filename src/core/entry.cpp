// The entry points of the window. A failure that reaches a key or timer handler ends the program
// with an error report; the mouse handler returns it as its status and the game goes on.
#include "core/config.h"
#include "core/form1.h"

namespace rd {

Form1::Form1(Platform platform)
    : window(platform.window),
      soundSystem(platform.sound),
      speechSystem(platform.speech),
      inputService(platform.input) {}

Form1::~Form1() = default;

void Form1::fatal(const std::string& entry, const ServiceError& error) {
  // Many players cannot read a message box: the voice says it too, if it still can.
  if (voice) {
    try {
      voice->speak("Rotor Duel has to stop. The call " + error.call() + " failed.");
    } catch (const ServiceError&) {
    }
  }
  window.reportError(entry + ": " + error.what(), true);
  window.endProgram(1);
}

void Form1::load() { Form_Load(); }

void Form1::timer(TimerId id) {
  switch (id) {
    case TimerId::CheckThings:
      runAsEntry("CheckThings_timer", &Form1::CheckThings_timer);
      break;
    case TimerId::targetTimer:
      runAsEntry("targetTimer_timer", &Form1::targetTimer_timer);
      break;
    case TimerId::TVTimer:
      runAsEntry("tvTimer_timer", &Form1::tvTimer_timer);
      break;
  }
}

// Handlers name themselves with a string_view: a tick builds no string unless it fails.
void Form1::runAsEntry(std::string_view what, Procedure procedure) {
  try {
    (this->*procedure)();
    checkSoundCalls();
  } catch (const ServiceError& e) {
    fatal(std::string(what), e);
  }
}

void Form1::checkSoundCalls() {
  if (snd.dx) snd.dx->checkCalls();
}

void Form1::keyDown(int16_t keyCode) {
  try {
    Form_KeyDown(keyCode, 0);
    checkSoundCalls();
  } catch (const ServiceError& e) {
    fatal("Form_KeyDown", e);
  }
}

void Form1::keyUp(int16_t keyCode) {
  try {
    Form_KeyUp(keyCode, 0);
    checkSoundCalls();
  } catch (const ServiceError& e) {
    fatal("Form_KeyUp", e);
  }
}

int32_t Form1::mouseSignal(int32_t eventId) { return DirectXEvent8_DXCallback(eventId); }

void Form1::speak(const std::string& text) {
  if (!voice) throw ServiceError("speech.speak", "there is no speech voice");
  voice->speak(text);
}

}  // namespace rd

/* A stand-in for NVDA's controller client (nvdaControllerClient64.dll), for the tests: it writes
 * every call to the file that ROTORDUEL_STANDIN_LOG names, one line each ("test", "speak TEXT",
 * "braille TEXT", "cancel"), as UTF-8.
 *   ROTORDUEL_STANDIN_RUNNING=0       testIfRunning answers that NVDA is not running
 *   ROTORDUEL_STANDIN_SPEAK_FAILS=N   speakText answers an error from its (N+1)th call on, as a
 *                                     client does once NVDA has quit
 * Built with mingw-w64: x86_64-w64-mingw32-gcc -shared -o nvdaControllerClient64.dll THIS */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

/* What the real client answers when NVDA is not there. */
#define NOT_RUNNING 1717UL

static void note(const char* what, const wchar_t* text) {
  const char* path = getenv("ROTORDUEL_STANDIN_LOG");
  if (!path) return;
  FILE* f = fopen(path, "ab");
  if (!f) return;
  fputs(what, f);
  if (text) {
    char utf8[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    fprintf(f, " %s", n > 0 ? utf8 : "?");
  }
  fputc('\n', f);
  fclose(f);
}

__declspec(dllexport) unsigned long __stdcall nvdaController_testIfRunning(void) {
  const char* running = getenv("ROTORDUEL_STANDIN_RUNNING");
  note("test", NULL);
  return running && strcmp(running, "0") == 0 ? NOT_RUNNING : 0;
}

__declspec(dllexport) unsigned long __stdcall nvdaController_speakText(const wchar_t* text) {
  static long spoken = 0;
  const char* fails = getenv("ROTORDUEL_STANDIN_SPEAK_FAILS");
  if (fails && spoken >= atol(fails)) {
    note("refused", text);
    return NOT_RUNNING;
  }
  ++spoken;
  note("speak", text);
  return 0;
}

__declspec(dllexport) unsigned long __stdcall nvdaController_brailleMessage(const wchar_t* text) {
  note("braille", text);
  return 0;
}

__declspec(dllexport) unsigned long __stdcall nvdaController_cancelSpeech(void) {
  note("cancel", NULL);
  return 0;
}

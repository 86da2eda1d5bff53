// Feeds arbitrary text to the replay's script parser: it must accept it or reject it with a
// ScriptError naming a line, never crash.
#include <cstdint>
#include <string_view>

#include "script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    auto script = rd::replay::parseScript(text);
    for (const auto& c : script)
      if (c.line < 1 || c.verb.empty()) __builtin_trap();
  } catch (const rd::replay::ScriptError& e) {
    if (std::string_view(e.what()).substr(0, 5) != "line ") __builtin_trap();
  }
  return 0;
}

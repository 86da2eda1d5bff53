// rotorduel-replay [--sounds DIR] [--render OUT.wav] [--loudness [--loudness-from MS]] SCRIPT
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "runner.h"

namespace {

int usage() {
  std::cerr << "usage: rotorduel-replay [--sounds DIR] [--render OUT.wav] [--loudness "
               "[--loudness-from MS]] SCRIPT\n";
  return 2;
}

std::string besideProgram(const char* argv0) {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = std::filesystem::absolute(argv0, ec);
  return (exe.parent_path() / "sounds").string();
}

}  // namespace

int main(int argc, char** argv) {
  rd::replay::Options options;
  options.soundsDir = besideProgram(argv[0]);
  std::string scriptPath;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--sounds" && i + 1 < argc) {
      options.soundsDir = argv[++i];
    } else if (arg == "--render" && i + 1 < argc) {
      options.renderPath = argv[++i];
    } else if (arg == "--loudness") {
      options.loudness = true;
    } else if (arg == "--loudness-from" && i + 1 < argc) {
      char* end = nullptr;
      options.loudnessFromMs = std::strtod(argv[++i], &end);
      if (end == argv[i] || *end || !std::isfinite(options.loudnessFromMs) ||
          options.loudnessFromMs < 0)
        return usage();
      options.loudness = true;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      return usage();
    } else if (scriptPath.empty()) {
      scriptPath = arg;
    } else {
      return usage();
    }
  }
  if (scriptPath.empty()) return usage();

  std::stringstream text;
  if (scriptPath == "-") {
    text << std::cin.rdbuf();
  } else {
    std::ifstream in(scriptPath, std::ios::binary);
    if (!in) {
      std::cerr << "rotorduel-replay: cannot read the script '" << scriptPath << "'\n";
      return 2;
    }
    text << in.rdbuf();
  }
  try {
    auto script = rd::replay::parseScript(text.str());
    return rd::replay::run(script, options, std::cout, std::cerr);
  } catch (const rd::replay::ScriptError& e) {
    std::cerr << scriptPath << ": " << e.what() << '\n';
    return 2;
  }
}

// rotorduel-soak [--ticks N] [--seed S] [--sounds DIR] [--show-ends]
// A seeded random player drives the real game code on the recording platform: keys of the key
// table, mouse items, ticks, waits in which every timer fires as it falls due. After every event
// the game record must hold its invariants. A game that ends (a crunch, the last crash, Esc)
// is followed by a new one with the next seed, until N ticks have run.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include "game/game.h"
#include "platform/fake/recording_platform.h"
#include "runner.h"

namespace {

using rd::replay::Command;

struct Totals {
  long long ticks = 0, events = 0, games = 0, endedByProgram = 0, errors = 0;
};

// Every invariant of the game record; the first one broken, or an empty string.
std::string brokenInvariant(rd::Game& g) {
  auto within = [](long long v, long long lo, long long hi) { return v >= lo && v <= hi; };
  if (!within(g.playerHeading, 0, 360)) return "playerHeading " + std::to_string(g.playerHeading);
  if (!within(g.enemyHeading, 0, 360)) return "enemyHeading " + std::to_string(g.enemyHeading);
  if (!within(g.enemyRelBearing, 0, 360))
    return "enemyRelBearing " + std::to_string(g.enemyRelBearing);
  if (!within(g.knob, -30, 30)) return "knob " + std::to_string(g.knob);
  if (g.playerLives < 0) return "playerLives " + std::to_string(g.playerLives);
  if (g.enemyLives < 0) return "enemyLives " + std::to_string(g.enemyLives);
  if (!(g.dogX >= -20 && g.dogX <= 20 && g.dogZ >= -20 && g.dogZ <= 20))
    return "dog at " + std::to_string(g.dogX) + "," + std::to_string(g.dogZ);
  if (g.dogY != 0) return "dogY " + std::to_string(g.dogY);
  size_t count = 0;
  const std::string_view* names = rd::fieldNames(&count);
  for (size_t i = 0; i < count; ++i) {
    rd::FieldRef f = rd::findField(g, names[i]);
    if (f.type == rd::FieldRef::Type::boolean) {
      // A bool's byte is 0 or 1; anything else was written over from outside the game.
      unsigned char raw = 0;
      std::memcpy(&raw, f.ptr, 1);
      if (raw > 1) return std::string(names[i]) + " holds " + std::to_string(raw);
    } else if (f.type == rd::FieldRef::Type::single) {
      if (!std::isfinite(*static_cast<rd::Single*>(f.ptr)))
        return std::string(names[i]) + " is not finite";
    }
  }
  return {};
}

// The next event of a player who mostly flies and fights and now and then asks for a readout.
Command nextEvent(std::mt19937& rng, rd::Game& g) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  Command c;
  int roll = pick(1000);
  if (roll < 450) {
    c.verb = "tick";
    c.args = {std::to_string(1 + pick(6))};
  } else if (roll < 500) {
    c.verb = "wait";
    c.args = {std::to_string(1 + pick(300))};
  } else if (roll < 880) {
    c.verb = "key";
    // The engine more often while the helicopter is still low, so that it flies.
    static const char* flying[] = {"PageDown", "PageDown", "PageDown", "PageUp", "End",
                                   "Home",     "Left",     "Up",       "Up",     "Right",
                                   "Down",     "Space",    "Space"};
    static const char* other[] = {"X", "Y", "Z", "A", "D", "R",   "T", "S",
                                  "V", "H", "E", "P", "F", "112", "48"};
    if (g.playerY < 1 && pick(2)) {
      c.args = {"PageDown"};  // take off before the dog comes
    } else if (pick(10) < 8) {
      c.args = {flying[pick(13)]};
      if (g.playerY > 6 && c.args[0] == std::string("PageDown")) c.args[0] = "PageUp";
      if (g.playerY < 2 && c.args[0] == std::string("PageUp")) c.args[0] = "PageDown";
    } else {
      c.args = {other[pick(15)]};
    }
  } else if (roll < 920) {
    c.verb = "keyup";
    static const char* keys[] = {"PageUp", "PageDown", "Up", "Down", "Left", "Space"};
    c.args = {keys[pick(6)]};
  } else if (roll < 990) {
    c.verb = "mouse";
    static const int offsets[] = {0, 0, 4, 4, 8, 12, 13, 14, 16};
    int offset = offsets[pick(9)];
    int data = offset <= 8 ? pick(41) - 20 : (pick(2) ? 128 : 0);
    c.args = {std::to_string(offset), std::to_string(data)};
  } else if (roll < 998) {
    c.verb = "mouse-event";
  } else {
    c.verb = pick(2) ? "target" : "tvtimer";
  }
  // Read as a script's line is, so that it runs as one.
  std::string line = c.verb;
  for (const auto& a : c.args) line += " " + a;
  return rd::replay::parseLine(0, line);
}

}  // namespace

int main(int argc, char** argv) {
  long long wanted = 1000000;
  unsigned seed = 1;
  std::string sounds;
  bool showEnds = false;
  for (int i = 1; i < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--show-ends") {
      showEnds = true;
      --i;
      continue;
    }
    if (i + 1 >= argc) a = "";
    long long number = 0;
    const bool whole = i + 1 < argc && rd::replay::parseLong(argv[i + 1], number) && number >= 0;
    if (a == "--ticks" && whole)
      wanted = number;
    else if (a == "--seed" && whole && number <= 0xFFFFFFFFLL)
      seed = static_cast<unsigned>(number);
    else if (a == "--sounds")
      sounds = argv[i + 1];
    else {
      std::cerr << "usage: rotorduel-soak [--ticks N] [--seed S] [--sounds DIR] [--show-ends]\n";
      return 2;
    }
  }
  if (sounds.empty()) sounds = rd::replay::besideProgram(argv[0]);

  Totals t;
  auto started = std::chrono::steady_clock::now();
  std::ostringstream sink;
  for (; t.ticks < wanted; ++seed) {
    ++t.games;
    std::mt19937 rng(seed);
    rd::replay::Replay replay({sounds, ""}, sink);
    replay.trace().keepLog(false);
    try {
      replay.start();
      for (int events = 0; events < 20000 && t.ticks < wanted; ++events) {
        Command c = nextEvent(rng, replay.game());
        c.line = events + 1;
        if (c.kind == rd::replay::Verb::mouse) {
          replay.execute(c);
          c = rd::replay::parseLine(events + 1, "mouse-event");
        }
        replay.execute(c);
        ++t.events;
        if (c.kind == rd::replay::Verb::tick) t.ticks += c.numbers[0];
        if (c.kind == rd::replay::Verb::wait) t.ticks += c.numbers[0] * 64 / 1000;
        std::string broken = brokenInvariant(replay.game());
        if (!broken.empty()) {
          std::cerr << "seed " << seed << ", event " << events + 1 << " (" << c.verb
                    << "): " << broken << '\n';
          return 1;
        }
      }
    } catch (const rd::ProgramEnd& end) {
      ++t.endedByProgram;
      if (showEnds) {
        // How each game ended: its last few lines.
        std::string text = sink.str();
        size_t from = text.size();
        for (int n = 0; n < 20 && from > 0; ++n) from = text.rfind('\n', from - 2) + 1;
        std::cout << "-- seed " << seed << " ended:\n" << text.substr(from);
      }
      if (end.code != 0) {
        // A game may only end with status 1 after a reported error; the soak injects none.
        std::cerr << "seed " << seed << ": the program ended with status " << end.code << '\n'
                  << sink.str().substr(sink.str().size() > 2000 ? sink.str().size() - 2000 : 0);
        return 1;
      }
    } catch (const std::exception& e) {
      std::cerr << "seed " << seed << ": " << e.what() << '\n';
      return 1;
    }
    sink.str("");
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf(
      "soak: %lld ticks, %lld events, %lld games (%lld ended by the game), %.1f s; "
      "invariants held\n",
      t.ticks, t.events, t.games, t.endedByProgram, seconds);
  return 0;
}

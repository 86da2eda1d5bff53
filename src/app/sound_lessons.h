// "Learn the sounds": every recording the game plays, named in plain words, and the target
// finder's tones as the game pitches them.
#pragma once

#include <string>
#include <vector>

namespace rd::app {

struct SoundLesson {
  SoundLesson(std::string n, std::string f, int hz = 0, bool loop = false)
      : name(std::move(n)), file(std::move(f)), frequency(hz), loops(loop) {}
  std::string name;
  std::string file;    // a file of the table of recordings
  int frequency = 0;   // the playing frequency the game gives it; 0: the file's own speed
  bool loops = false;  // plays on until the player moves or leaves
};

// In the order a newcomer meets them: the room's loops, the finder, then what happens in play.
const std::vector<SoundLesson>& soundLessons();

}  // namespace rd::app

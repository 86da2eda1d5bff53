// Saving a player's file (the settings, the best scores) whole or not at all.
#pragma once

#include <optional>
#include <string>

namespace rd::app {

// Puts `contents` into the file at `path`, making its folder when needed. The text goes to a
// temporary file in the same folder, is flushed to the disk, and then takes the file's place in
// one step, so the file is never left half written. A file that is a symbolic link is written
// through to the file it points to, and the link stays. No temporary file is left behind.
//
// Returns nothing when saved; else why not, in words for the player: "the disk is full", "the
// folder is read-only", ...
std::optional<std::string> saveFile(const std::string& path, const std::string& contents);

}  // namespace rd::app

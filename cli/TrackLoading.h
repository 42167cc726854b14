#pragma once

#include "cli/CliOptions.h"

#include <string>

namespace ravok {
class CTrackPOD;
}

namespace ravok::cli {

// Reads a track file, with the editor's message on failure; `version` is the
// file's. Runs the game set-up that follows every open.
bool loadTrack(CTrackPOD& track, const std::string& path, int& version);

// Writes the track file; "Cannot write ..." and kExitFailed when that fails.
int saveTrack(CTrackPOD& track, const std::string& path);

// Loads the track's textures and models from the folders (and the track
// file's own folder), printing the load reports on standard error.
void loadTrackArt(CTrackPOD& track, const Folders& folders);

} // namespace ravok::cli

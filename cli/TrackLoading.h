#pragma once

#include "cli/CliOptions.h"

#include <string>

namespace ravok {
class CTrackPOD;
struct DocumentFolders;
struct StepResult;
} // namespace ravok

namespace ravok::cli {

// Prints a document step's reports on standard error, each under its caption.
void printReports(const StepResult& result);
DocumentFolders documentFolders(const Folders& folders);

// Reads a track file and runs the game set-up that follows every open, with
// the editor's message on failure; `version` is the file's.
bool loadTrack(CTrackPOD& track, const std::string& path, int& version);

// Open as the editor does it: the track file, then its textures and models
// from the folders (and the track file's own folder), with the load reports.
bool openTrack(CTrackPOD& track, const std::string& path, const Folders& folders, int& version);

// Writes the track file; the reason on standard error and kExitFailed when that fails.
int saveTrack(CTrackPOD& track, const std::string& path);

// Loads the textures and models of a track that is already in memory.
void loadTrackArt(CTrackPOD& track, const Folders& folders);

} // namespace ravok::cli

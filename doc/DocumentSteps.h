#pragma once

#include "pod/TrackPodBuild.h"

#include <filesystem>
#include <string>
#include <vector>

namespace ravok {

class CTrackPOD;
class Prompter;
class ProgressSink;

// The steps that replace or store the whole track, shared by the editor and
// ravok-cli, all called alike: the track, the target, the folders, a
// prompter and a progress sink. Each runs on whatever thread its caller chooses (the editor's
// progress worker), asks through the prompter, reports through the sink and
// polls its cancelled() between stages. None shows anything itself: the
// problems to show afterwards come back in the result.

// The progress captions and messages of the steps.
constexpr const char* kLoadingFileCaption = "Loading file...";
constexpr const char* kSavingFileCaption = "Saving file...";
constexpr const char* kLoadingPodCaption = "Loading POD...";
constexpr const char* kUpdatingHdTexturesCaption = "Updating HD textures...";
constexpr const char* kWritingPodCaption = "Writing POD...";
constexpr const char* kOpenErrorMessage = "Error loading rvk file";
constexpr const char* kSaveErrorMessage = "Failed to save document.";
constexpr const char* kPodNotPackedHeading = "These items could not be packed:";

// Where a step finds art and models.
struct DocumentFolders {
    std::filesystem::path art, models;
    bool keepHdArtOnly = false; // Write POD: legacy copies of HD textures are not brought up to date
};

// A message to show once the step has finished; an empty caption means the
// program's own.
struct StepReport {
    std::string text, caption;
};

struct StepResult {
    bool ok = false;        // the step did its work (for Open: the track file was read)
    bool cancelled = false; // the user stopped it before it was done
    std::vector<StepReport> reports; // in the order to show them
    int version = 0;         // Open: the version of the file read
    int modelsReloaded = 0;  // Write POD: models read again because their files changed
    uintmax_t podBytes = 0;  // Write POD: the size of the pod written
    PodBuildResult pod;      // Write POD
};

// The first half of Open, for callers that need no art: reads the track file
// and runs the game set-up. A file that cannot be read leaves the track
// cleared and reports "Error loading rvk file".
StepResult ReadTrackFile(CTrackPOD& track, const std::filesystem::path& path, ProgressSink& progress);

// The second half of Open: the art folder as the HD source, then the
// textures and models, whose problems are reported but never fatal.
StepResult OpenTrackArt(CTrackPOD& track, const DocumentFolders& folders, ProgressSink& progress);

// Open: reads the track file, runs the game set-up, installs the art folder
// as the HD source and loads the textures and models. A file that cannot be
// read leaves the track cleared and reports "Error loading rvk file"; missing
// art is reported but does not fail the open. Cancelled while the file is
// read, the track is cleared; while art loads, it stays open without the rest.
StepResult OpenTrackFile(CTrackPOD& track, const std::filesystem::path& path, const DocumentFolders& folders,
                         Prompter& prompter, ProgressSink& progress);

// Save: writes the track file without ever replacing a read-only file (the
// report names it) and remembers the path in the track on success.
StepResult SaveTrackFile(CTrackPOD& track, const std::filesystem::path& path, const DocumentFolders& folders,
                         Prompter& prompter, ProgressSink& progress);

// Write POD: reloads the models whose files changed, brings the legacy copies
// of HD textures up to date, builds the pod. A pod that could not be written,
// or was written without some items, reports "Error saving POD file!" (with
// what was not packed).
StepResult WriteTrackPod(CTrackPOD& track, const std::filesystem::path& podPath, const DocumentFolders& folders,
                         Prompter& prompter, ProgressSink& progress);

// The status line after a pod was written: where it is and how big.
std::string PodWrittenText(const std::filesystem::path& podPath, uintmax_t bytes);

// View POD: loads track `trackIndex` of a pod for viewing and reports the
// situation file's problems. A failed load leaves the track cleared.
StepResult ViewPodTrack(CTrackPOD& track, const std::filesystem::path& podPath, int trackIndex,
                        const DocumentFolders& folders, Prompter& prompter, ProgressSink& progress);

// Clone: a new MTM2 track from a track installed in a game folder, then its
// art and models. A failure leaves the track cleared with the clone's message.
StepResult CloneTrackFromGame(CTrackPOD& track, const std::filesystem::path& situationFile,
                              const DocumentFolders& folders, Prompter& prompter, ProgressSink& progress);

} // namespace ravok

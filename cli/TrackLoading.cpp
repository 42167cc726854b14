#include "cli/TrackLoading.h"

#include "cli/CliProgress.h"
#include "cli/CliPrompter.h"
#include "doc/DocumentSteps.h"
#include "model/TrackPod.h"
#include "trackart/TrackArt.h"

namespace ravok::cli {

void printReports(const StepResult& result) {
    for (const StepReport& report : result.reports) {
        const std::string text = withoutCarriageReturns(report.text);
        if (report.caption.empty())
            printError(text);
        else
            printError(report.caption + (text.find('\n') == std::string::npos ? ": " : ":\n") + text);
    }
}

DocumentFolders documentFolders(const Folders& folders) {
    return {folders.art, folders.models, folders.keepHdArtOnly};
}

bool loadTrack(CTrackPOD& track, const std::string& path, int& version) {
    CliProgress progress;
    const StepResult result = ReadTrackFile(track, path, progress);
    version = result.version;
    printReports(result);
    if (!result.ok) printError(path);
    return result.ok;
}

bool openTrack(CTrackPOD& track, const std::string& path, const Folders& folders, int& version) {
    CliProgress progress;
    CliPrompter prompter;
    const StepResult result = OpenTrackFile(track, path, documentFolders(folders), prompter, progress);
    version = result.version;
    printReports(result);
    if (!result.ok) printError(path);
    return result.ok;
}

int saveTrack(CTrackPOD& track, const std::string& path) {
    CliProgress progress;
    CliPrompter prompter;
    const StepResult result = SaveTrackFile(track, path, {}, prompter, progress);
    printReports(result);
    return result.ok ? kExitOk : kExitFailed;
}

void loadTrackArt(CTrackPOD& track, const Folders& folders) {
    const TrackArtResult art = LoadTrackArt(track, folders.art, folders.models);
    if (!art.texturesOk) printError(std::string(kTextureLoadCaption) + ":\n" + art.textureReport);
    if (!art.modelsOk) printError(std::string(kModelLoadCaption) + ":\n" + art.modelReport);
}

} // namespace ravok::cli

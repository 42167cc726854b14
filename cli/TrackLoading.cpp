#include "cli/TrackLoading.h"

#include "art/TrackArt.h"
#include "cli/CliPrompter.h"
#include "model/NativeFile.h"
#include "model/TrackPod.h"

namespace ravok::cli {

bool loadTrack(CTrackPOD& track, const std::string& path, int& version) {
    if (!LoadBinary(track, path, &version)) {
        printError("Error loading rvk file");
        printError(path);
        return false;
    }
    // The game set-up that follows every open.
    if (track.isMtm2())
        track.SetUpMtm2();
    else
        track.SetUpMtm1();
    return true;
}

int saveTrack(CTrackPOD& track, const std::string& path) {
    CliPrompter prompter;
    if (!SaveBinary(track, path, &prompter)) {
        printError("Cannot write \"" + path + "\"");
        return kExitFailed;
    }
    return kExitOk;
}

void loadTrackArt(CTrackPOD& track, const Folders& folders) {
    const TrackArtResult art = LoadTrackArt(track, folders.art, folders.models);
    if (!art.texturesOk) printError(std::string(kTextureLoadCaption) + ":\n" + art.textureReport);
    if (!art.modelsOk) printError(std::string(kModelLoadCaption) + ":\n" + art.modelReport);
}

} // namespace ravok::cli

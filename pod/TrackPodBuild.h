#pragma once

#include "pod/VersionRecord.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace ravok {

class CTrackPOD;
class Prompter;
class ProgressSink;

// What leaving out the .RAW/.ACT fallback would save: width x height + 768
// for every texture whose PNG or TGA source is in the art folder.
struct FallbackEstimate {
    int64_t total = 0, modelArt = 0, terrain = 0;
    static long kilobytes(int64_t bytes) { return long((bytes + 512) / 1024); }
};
FallbackEstimate EstimateLegacyFallback(const CTrackPOD& track, const std::filesystem::path& artFolder);

struct PodBuildResult {
    bool written = false;         // the pod file was written
    bool ok = false;              // written, and every texture packed properly
    bool fallbackOmitted = false; // some texture went without its .RAW/.ACT
    bool largeHdArt = false;      // some PNG or TGA source is above 256 a side
    bool cancelled = false;       // the user stopped the build; nothing was written
    std::string texturesNotPacked, normalMapsDropped, longFrameNames; // the report lists
    std::string itemsNotPacked; // models and other items left out, with the reason
};

// Builds the track's pod: palette, textures, game files, models, sounds,
// music, menu pictures, situation file, version record. The builder's
// failures and the three report lists reach the user through `reporter`.
// Progress goes to `progress` on a range of 90.
PodBuildResult BuildTrackPod(CTrackPOD& track, const std::filesystem::path& podPath,
                             const std::filesystem::path& artFolder, Prompter* reporter,
                             BuildDate date = BuildDate::today(), ProgressSink* progress = nullptr);

// Before a build: models whose source files changed on disk are read again,
// and unless only HD art is kept, the legacy copies of HD textures are
// brought up to date. Returns how many models were read again.
int PrepareTrackForPod(CTrackPOD& track, const std::filesystem::path& artFolder, bool keepHdArtOnly,
                       ProgressSink* progress = nullptr);

} // namespace ravok

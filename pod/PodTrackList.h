#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ravok {

constexpr int kMaxListedTracks = 100;
constexpr uint32_t kMaxListedPodItems = 4096;
constexpr size_t kTrackWarningCapacity = 2048;
constexpr const char* kTrackNamingWarningCaption = "Track naming warning";
constexpr const char* kNoTracksInPodMessage = "Cant find tracks in POD file!";

// One track of a pod: its situation item's third line, its stem (the item
// name without folder and extension) and which of the two names it has.
struct PodTrackEntry {
    std::string displayName; // at most 31 characters
    std::string stem;        // at most 20 characters
    bool si2 = false;
    std::string itemName;
};

struct PodTrackList {
    std::vector<PodTrackEntry> tracks; // in directory order, at most 100
    std::string warnings;              // the 7-character collisions, CR LF lines
};

// Lists the tracks of a pod whose item count is 1 to 4096; any other pod, or
// one that does not open, lists none.
PodTrackList ListPodSituationFiles(const std::filesystem::path& path);

} // namespace ravok

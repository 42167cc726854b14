#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ravok {

class CTrackPOD;
class Prompter;

constexpr const char* kExtractCaption = "Extract Components";
constexpr const char* kNoItemsToExtractMessage = "No items to extract!";
constexpr const char* kCantAccessSourcePodMessage = "Cant access source POD file!";
constexpr const char* kExtractQuestion =
    "This will dump all models and textures from the\ncurrent file into the Ravok Art/Models folders.\nProceed?";

struct ExtractResult {
    bool ran = false;   // the question was answered yes and the entries were walked
    int written = 0;    // new files
    int existing = 0;   // left untouched because a file of that name exists
    int unsafe = 0;     // names that would reach outside their folder
    int pastEnd = 0;    // entries whose bytes lie past the end of the pod
    std::vector<std::string> failed; // entries that could not be written
};

// Writes every ART\ entry of the viewed pod into the art folder and every
// MODELS\ entry into the models folder, under the rest of its name. Files
// that exist are left alone; each new file is written whole or not at all.
// Asks first through the prompter; what was skipped or failed is told after.
ExtractResult ExtractPodArt(const CTrackPOD& track, const std::filesystem::path& artFolder,
                            const std::filesystem::path& modelsFolder, Prompter& prompter);

} // namespace ravok

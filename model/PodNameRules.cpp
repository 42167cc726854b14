#include "model/PodNameRules.h"

#include "art/ItemNames.h"
#include "base/Text.h"

#include <algorithm>

namespace ravok {

int PodNameLimit(std::string_view folder, std::string_view extension) {
    int room = int(kPodMaxEntryName) - int(folder.size()) - int(extension.size());
    return std::clamp(room, 0, kPodNameStemCap);
}

int ArtNameLimit() {
    int limit = kPodNameStemCap;
    for (std::string_view ext : {".RAW", ".ACT", ".PNG", ".TGA", "_N.PNG", "_N.TGA", "_AO.PNG", "_AO.TGA"})
        limit = std::min(limit, PodNameLimit("ART\\", ext));
    return limit;
}

int SoundNameLimit() {
    return std::min(PodNameLimit("SOUND\\", ".WAV"), PodNameLimit("SOUND\\", ".KLP"));
}

std::string PodNameTooLongMessage(std::string_view name, std::string_view folder, std::string_view extension) {
    const int limit = PodNameLimit(folder, extension);
    if (name.size() <= size_t(limit)) return {};
    const std::string n(name), f(folder), e(extension);
    if (limit == kPodNameStemCap)
        return formatText("\"%s\" is too long.\n\nNames are limited to %d characters plus the extension. A pod "
                          "directory entry could hold a few more, but Ravok and the other pod tools all keep to "
                          "%d, so that a track written by one of them opens correctly in the others.",
                          n.c_str(), limit, limit);
    return formatText("\"%s\" is too long for a track pod.\n\nNames in %s are limited to %d characters plus the %s "
                      "extension - a pod directory entry is %d characters in total, including the folder and the "
                      "extension.\n\nLonger names would need the extended pod format, which no version of the game "
                      "reads yet.",
                      n.c_str(), f.c_str(), limit, e.c_str(), int(kPodMaxEntryName));
}

std::string BackdropPodName(std::string_view name) {
    if (isInItemFolder(name, "MODELS")) return std::string(name);
    return itemName("MODELS", name);
}

std::string SoundPodName(std::string_view name) {
    return withDefaultFolder("SOUND", name);
}

std::string SoundLoopPodName(std::string_view soundPodName) {
    std::string stem(itemFileName(soundPodName));
    stem = stem.substr(0, stem.rfind('.'));
    return itemName("SOUND", stem + ".KLP");
}

} // namespace ravok

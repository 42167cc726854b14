#include "pod/VersionRecord.h"

#include "base/PortableFile.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "pod/TextLines.h"

#include <ctime>

namespace ravok {

BuildDate BuildDate::today() {
    std::time_t now = std::time(nullptr);
    const std::tm local = localTime(now);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string CarriedVersionLines(std::string_view previousRecord) {
    static constexpr std::string_view kOwnKeys[] = {"formatversion", "tool",           "toolversion",
                                                    "built",         "legacyfallback", "hdtextures"};
    std::string carried;
    TextLineReader lines({reinterpret_cast<const uint8_t*>(previousRecord.data()), previousRecord.size()});
    std::string line;
    while (lines.next(line)) {
        if (line.empty() || line.size() > 507 || line[0] == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = lowerCase(std::string_view(line).substr(0, std::min<size_t>(equals, 63)));
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
        bool own = false;
        for (std::string_view k : kOwnKeys) own = own || key == k;
        if (own) continue;
        if (carried.empty()) appendLine(carried, "# carried over from the previous build");
        appendLine(carried, line);
    }
    return carried;
}

std::string VersionRecordText(const CTrackPOD& track, bool fallbackKept, bool largeHdArt, BuildDate date) {
    bool lightsOrMoving = false;
    for (const auto& o : track.objects)
        lightsOrMoving = lightsOrMoving || (o && (o->type == kObjectLight || o->type == kObjectMoving));
    std::string text;
    appendLine(text, "# MTM2 track version record - written by Ravok");
    appendLine(text, formatText("formatVersion=%d", lightsOrMoving ? 2 : 1));
    appendLine(text, "tool=Ravok");
    appendLine(text, formatText("toolVersion=%s", kToolVersion));
    appendLine(text, formatText("built=%04d-%02d-%02d", date.year, date.month, date.day));
    appendLine(text, formatText("legacyFallback=%d", fallbackKept ? 1 : 0));
    appendLine(text, formatText("hdTextures=%d", largeHdArt ? 1 : 0));
    return text + CarriedVersionLines(track.versionRecord);
}

} // namespace ravok

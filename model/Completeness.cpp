#include "model/Completeness.h"

#include "art/ItemNames.h"
#include "art/Model.h"
#include "base/Text.h"
#include "model/PodNameRules.h"
#include "model/TrackPod.h"

#include <cctype>

namespace ravok {

namespace {

class ReportLines {
public:
    void add(const std::string& line) {
        m_report.complete = false;
        if (m_count < kCompletenessReportLines) {
            if (m_report.text.size() + line.size() <= kCompletenessReportCapacity) m_report.text += line;
            ++m_count;
        } else if (m_count == kCompletenessReportLines) {
            const std::string more = "(more...)\r\n";
            if (m_report.text.size() + more.size() <= kCompletenessReportCapacity) m_report.text += more;
            ++m_count;
        }
    }
    CompletenessReport take() { return std::move(m_report); }

private:
    CompletenessReport m_report;
    int m_count = 0;
};

bool isAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The smallest room any of the track's own game files leaves for its stem.
int WorldNameLimit() {
    int limit = kPodNameStemCap;
    for (auto [folder, ext] : {std::pair{"LEVELS\\", ".LVL"}, {"WORLD\\", ".SIT"}, {"DATA\\", ".RVV"},
                               {"FOG\\", ".MAP"}, {"UI\\", "S.BMP"}, {"SOUND\\", ".WAV"}, {"MUSIC\\", ".MOD"}})
        limit = std::min(limit, PodNameLimit(folder, ext));
    return limit;
}

void checkNames(const CTrackPOD& t, ReportLines& report) {
    const std::string world = t.WorldName.str();
    const int n = int(world.size());
    const int limit = WorldNameLimit();
    if (n == 0)
        report.add("Track name contains no letters or digits, so the track's files have no name.\r\n");
    else if (n > limit)
        report.add(formatText("Track file name \"%s\" is %d characters; the longest that fits every folder it is used "
                              "in is %d.\r\n",
                              world.c_str(), n, limit));

    // A world name derived from a longer track name: other tracks starting the
    // same way get the same files.
    std::string letters;
    int k = 0;
    for (char c : t.trackName.view())
        if (isAsciiAlnum(c)) {
            ++k;
            if (letters.size() < 20) letters.push_back(char(std::toupper(static_cast<unsigned char>(c))));
        }
    if (n > 0 && k > n && letters.compare(0, size_t(n), world) == 0)
        report.add(formatText("Track name is longer than a file name can be, so the track's files are called "
                              "\"%s\".  Any other track whose name starts the same way would overwrite it.\r\n",
                              world.c_str()));

    if (world.find('.') != std::string::npos) {
        report.add(formatText("Track file name \"%s\" contains a dot.  Names derived from it (DATA\\...TTY, "
                              "ART\\...ACT, FOG\\...MAP) are cut at the first dot and will not be found.\r\n",
                              world.c_str()));
    } else if (n >= 1) {
        for (char c : world)
            if (!isAsciiAlnum(c)) {
                report.add(formatText("Track file name \"%s\" contains '%c'.  Use letters and digits only.\r\n",
                                      world.c_str(), c));
                break;
            }
    }
}

void checkLoadCounters(const CTrackPOD& t, ReportLines& report) {
    if (t.droppedGroundBoxes > 0)
        report.add(formatText("%d ground boxes were dropped when this track was opened - it contains more than the %d "
                              "this version supports.\r\n",
                              t.droppedGroundBoxes, kMaxGroundBoxes));
    if (t.missingObjects > 0)
        report.add(formatText("The situation file this track came from promised %d more object%s than it held. Ravok "
                              "kept the ones that were there; writing the track corrects the count.\r\n",
                              t.missingObjects, t.missingObjects == 1 ? "" : "s"));
    if (t.droppedObjects > 0)
        report.add(formatText("%d object%s dropped when this track was opened - it holds more than the %d this "
                              "version supports.\r\n",
                              t.droppedObjects, t.droppedObjects == 1 ? " was" : "s were", kMaxObjects));
}

void checkContent(const CTrackPOD& t, ReportLines& report) {
    if (t.pictures.music.empty()) report.add("Music MOD/WAV not specified.\r\n");
    if (t.pictures.browseBitmap.empty() && t.pictures.hdArt[0].empty())
        report.add("Thumbnail/browse bitmap not specified.\r\n");
    if (t.pictures.iconBitmap.empty() && t.pictures.hdArt[1].empty())
        report.add("Zoom (MTM1) or Icon (MTM2) bitmap not specified.\r\n");
    if (!t.backdrop) report.add("Backdrop model not specified.\r\n");
    if (t.mainCourse.segments.empty()) report.add("Main course segments not specified.\r\n");
    if (!t.extendedCourses[0] || !t.extendedCourses[1]) report.add("Extended courses not specified.\r\n");
    bool checkpoint = false;
    for (const auto& o : t.objects) checkpoint = checkpoint || (o && o->type == kObjectCheckpoint);
    if (!checkpoint) report.add("Checkpoints not specified.\r\n");
}

template <typename Table> void checkTextures(const Table& table, const char* format, ReportLines& report) {
    for (size_t slot = 0; slot < table.size(); ++slot) {
        const Texture* texture = table[slot].get();
        if (!texture) continue;
        if (texture->hasPixels() && !texture->bad && !texture->name().empty()) continue;
        std::string name = texture->name().empty() ? "#" + std::to_string(slot) : texture->name().str();
        report.add(formatText(format, name.c_str()));
    }
}

// A texture of the track's own stem would share ART\<stem>.ACT and .RAW
// with the track palette in the pod.
template <typename Table> void checkPaletteNames(const CTrackPOD& t, const Table& table, ReportLines& report) {
    const std::string_view world = t.WorldName.view();
    if (world.empty()) return;
    for (const auto& texture : table) {
        if (!texture || !equalsIgnoringCase(itemStem(texture->name().view()), world)) continue;
        const std::string name = texture->name().str(), stem = upperCase(world);
        report.add(formatText("Texture %s has the track's file name: ART\\%s.ACT and ART\\%s.RAW hold the track "
                              "palette in the pod, so the texture cannot be packed.  Rename it.\r\n",
                              name.c_str(), stem.c_str(), stem.c_str()));
    }
}

void checkEntryName(const std::string& name, ReportLines& report) {
    if (name.size() <= kPodMaxEntryName) return;
    report.add(formatText("Item name \"%s\" is %d characters; a pod entry holds at most %d, so it cannot be "
                          "packed.\r\n",
                          name.c_str(), int(name.size()), int(kPodMaxEntryName)));
}

// Names the pod builder would have to leave out.
void checkEntryNames(const CTrackPOD& t, ReportLines& report) {
    for (const auto& model : t.models)
        if (model) checkEntryName(model->name().str(), report);
    if (t.backdrop) checkEntryName(BackdropPodName(t.backdrop->name().view()), report);
    for (const auto& sound : t.sounds) {
        if (!sound) continue;
        const std::string name = SoundPodName(sound->name.view());
        checkEntryName(name, report);
        if (sound->kind & 1u) checkEntryName(SoundLoopPodName(name), report);
    }
}

void checkModels(const CTrackPOD& t, ReportLines& report) {
    for (const auto& model : t.models) {
        if (!model) continue;
        const std::string name = model->name().str();
        if (model->damaged()) report.add(formatText("Incomplete model: %s", name.c_str()) + "\r\n");
        for (const std::string& frame : model->listedModels())
            if (t.FindModel(frame) < 0) report.add(formatText("Missing BIN animation %s\r\n", frame.c_str()));
        for (const std::string& texture : ModelTextureNames(*model))
            if (!texture.empty() && t.FindModelTexture(texture) < 0)
                report.add(formatText("Missing model texture %s (%s)\r\n", texture.c_str(), name.c_str()));
    }
}

} // namespace

CompletenessReport CheckTrackComplete(const CTrackPOD& track) {
    ReportLines report;
    if (track.trackName == "new track") report.add("Track name not specified.\r\n");
    checkNames(track, report);
    checkLoadCounters(track, report);
    checkContent(track, report);
    checkTextures(track.terrainTextures, "Bad texture %s\r\n", report);
    checkTextures(track.modelTextures, "Bad model texture %s\r\n", report);
    checkPaletteNames(track, track.terrainTextures, report);
    checkPaletteNames(track, track.modelTextures, report);
    checkEntryNames(track, report);
    checkModels(track, report);
    return report.take();
}

} // namespace ravok

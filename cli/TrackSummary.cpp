#include "cli/TrackSummary.h"

#include "model/TrackPod.h"

#include <QCryptographicHash>

#include <algorithm>

namespace ravok::cli {
namespace {

std::string sha256(const void* data, size_t size) {
    QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(size));
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

nlohmann::ordered_json terrainSummary(const TerrainGrid& terrain) {
    auto [minIt, maxIt] = std::minmax_element(terrain.heights.begin(), terrain.heights.end());
    // Texture cells hashed as the little-endian words the data files hold.
    std::vector<uint8_t> cells;
    cells.reserve(terrain.textures.size() * 2);
    for (TextureCell c : terrain.textures) {
        cells.push_back(uint8_t(c));
        cells.push_back(uint8_t(c >> 8));
    }
    return {
        {"minHeight", *minIt},
        {"maxHeight", *maxIt},
        {"heightsSha256", sha256(terrain.heights.data(), terrain.heights.size())},
        {"texturesSha256", sha256(cells.data(), cells.size())},
        {"shadesSha256", sha256(terrain.cells.data(), terrain.cells.size() * sizeof(ShadeCell))},
    };
}

nlohmann::ordered_json countsSummary(const TrackCounts& c) {
    return {
        {"terrainTextures", c.terrainTextures}, {"models", c.models},
        {"modelTextures", c.modelTextures},     {"objects", c.objects},
        {"ramps", c.ramps},                     {"topCrush", c.topCrush},
        {"checkpoints", c.checkpoints},         {"moving", c.moving},
        {"lights", c.lights},                   {"groundBoxes", c.groundBoxes},
        {"sounds", c.sounds},                   {"animations", c.animations},
        {"mainCourseSegments", c.mainCourseSegments}, {"extendedCourses", c.extendedCourses},
    };
}

nlohmann::ordered_json picturesSummary(const TrackPictures& p) {
    return {
        {"browse", p.browseBitmap.size()},
        {"icon", p.iconBitmap.size()},
        {"music", p.music.size()},
        {"descriptionText", p.descriptionText.size()},
        {"infoPhoto", p.infoPhoto.size()},
        {"infoDescription", p.infoDescription.size()},
        {"detailNormal", p.detailNormal.size()},
        {"terrainMask", p.terrainMask.size()},
        {"hdArt", {p.hdArt[0].size(), p.hdArt[1].size(), p.hdArt[2].size()}},
    };
}

} // namespace

nlohmann::ordered_json trackSummary(const CTrackPOD& track, const std::string& format) {
    nlohmann::ordered_json s;
    s["format"] = format;
    s["version"] = nullptr; // set by the caller for a track file
    s["trackName"] = track.trackName.str();
    s["worldName"] = track.WorldName.str();
    s["worldNameFromTrackName"] = track.worldNameFromTrackName != 0;
    s["locale"] = track.locale.str();
    s["comment"] = track.comment.str();
    s["game"] = track.isMtm2() ? "MTM2" : "MTM1";
    s["raceType"] = track.RaceType;
    s["waterLevel"] = track.waterLevel;
    s["waterLevelQuarters"] = track.waterLevelQuarters;
    s["ambientSound"] = track.ambientSound;
    s["weatherMask"] = track.weatherMask;
    s["omitLegacyFallback"] = track.omitLegacyFallback != 0;
    s["paletteName"] = track.palette.name().str();
    s["fogMap"] = !track.fogMap.empty();
    s["fogMapFirstByte"] = track.fogMap.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(track.fogMap[0]);
    s["counts"] = countsSummary(track.counts());
    s["pictures"] = picturesSummary(track.pictures);
    s["backdrop"] = track.backdrop ? nlohmann::ordered_json(track.backdrop->name().str()) : nlohmann::ordered_json();
    s["stadium"] = track.stadiumFlag != 0;
    s["terrain"] = terrainSummary(track.terrain);
    return s;
}

std::string summaryText(const nlohmann::ordered_json& summary) {
    std::string out;
    for (auto it = summary.begin(); it != summary.end(); ++it) {
        if (it.value().is_object()) {
            out += it.key() + ":\n";
            for (auto inner = it.value().begin(); inner != it.value().end(); ++inner)
                out += "  " + inner.key() + ": " + inner.value().dump() + "\n";
        } else if (!it.value().is_null() || it.key() != "version") {
            out += it.key() + ": " + it.value().dump() + "\n";
        }
    }
    return out;
}

} // namespace ravok::cli

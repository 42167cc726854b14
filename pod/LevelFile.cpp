#include "pod/LevelFile.h"

#include "art/FogTable.h"
#include "art/ItemNames.h"
#include "base/ByteReader.h"
#include "base/Text.h"
#include "pod/DataFiles.h"
#include "pod/ItemSource.h"
#include "pod/PodTextures.h"
#include "pod/TextLines.h"

#include <cstdlib>
#include <cstring>

namespace ravok {

namespace {

bool startsWith(std::span<const uint8_t> bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::string vectorLine(const LevelVectors::Vector& v) { return formatText("%d,%d,%d", v.v[0], v.v[1], v.v[2]); }

// Reads "a,b,c" into three numbers, each from just after the previous comma.
void readTriple(const std::string& line, std::array<int32_t, 3>& v) {
    const char* p = line.c_str();
    for (size_t i = 0; i < 3; ++i) {
        v[i] = std::atoi(p);
        p = std::strchr(p, ',');
        if (!p) return;
        ++p;
    }
}

} // namespace

std::string LevelMusicName(const CTrackPOD& track) {
    const std::string stem = lowerCase(track.WorldName.view());
    const Blob& music = track.pictures.music;
    if (startsWith(music, "RIFF")) return stem + ".wav";
    if (startsWith(music, "MUSIC") && music.size() > 6) {
        std::string name(music.begin() + 6, music.end());
        return lowerCase(name.substr(0, name.find('\0')));
    }
    return stem + ".mod";
}

Blob WriteLevelFile(const CTrackPOD& track) {
    const std::string stem = lowerCase(track.WorldName.view());
    const bool mtm2 = track.isMtm2();
    std::string text;
    appendLine(text, mtm2 ? "0" : "4");
    for (const char* ext : {".txt", ".raw", ".clr", ".act", ".tex"}) appendLine(text, stem + ext);
    appendLine(text, "zero.raw");
    for (const char* ext : {".pup", ".ani", ".tdf"}) appendLine(text, stem + ext);
    appendLine(text, mtm2 ? "cloudy2.raw" : "aliensky.raw");
    appendLine(text, mtm2 ? "cloudy2.act" : "earthsky.act");
    for (const char* ext : {".def", ".nav"}) appendLine(text, stem + ext);
    appendLine(text, LevelMusicName(track));
    for (const char* ext : {".fog", ".lte"}) appendLine(text, stem + ext);
    const LevelVectors& lv = track.levelVectors;
    appendLine(text, vectorLine(lv.first));
    appendLine(text, std::to_string(lv.first.w));
    appendLine(text, vectorLine(lv.second));
    appendLine(text, std::to_string(lv.second.w));
    appendLine(text, std::to_string(lv.last));
    const int quarters = track.waterLevel * 4 + track.waterLevelQuarters;
    if (mtm2 && quarters > 0) {
        appendLine(text, "!waterHeight");
        appendLine(text, std::to_string(quarters));
    }
    return {text.begin(), text.end()};
}

namespace {

// Looks an item up in the folder our builder writes it to, then bare.
std::optional<TrackItemSource::Item> findItem(TrackItemSource& items, std::string_view folder,
                                              const std::string& name) {
    if (!folder.empty())
        if (auto item = items.find(itemName(folder, name))) return item;
    return items.find(name);
}

// The description is where the level file names it: WORLD\ for a bare name,
// else any folder but DATA\, where DATA\<stem>.TXT is the info pop-up text.
std::optional<TrackItemSource::Item> findDescription(TrackItemSource& items, const std::string& name) {
    if (hasItemFolder(name)) return items.find(name);
    if (auto item = items.find(itemName("WORLD", name))) return item;
    auto item = items.find(name);
    if (item && equalsIgnoringCase(itemFolder(item->name), "DATA")) return std::nullopt;
    return item;
}

std::optional<TrackItemSource::Item> findMusic(TrackItemSource& items, const std::string& name) {
    if (auto item = items.find(itemName("SOUND", name))) return item;
    return findItem(items, "MUSIC", name);
}

// Reads exactly `bytes` of an item, zero-padding a shorter one.
std::optional<Blob> readSized(TrackItemSource& items, const TrackItemSource::Item& item, size_t bytes) {
    auto blob = items.read(item, bytes);
    if (blob) blob->resize(bytes, 0);
    return blob;
}

} // namespace

void ReadLevelFile(CTrackPOD& track, TrackItemSource& items, std::span<const uint8_t> text) {
    TextLineReader lines(text);
    std::string line;
    for (int number = 1; lines.next(line); ++number) {
        const std::string name = upperCase(line);
        switch (number) {
        case 2: // information text, written back as WORLD\<stem>.TXT
            if (auto item = findDescription(items, name))
                if (auto blob = items.read(*item, TrackItemSource::kMaxWholeItem)) track.SetDescriptionText(*blob);
            break;
        case 3: // terrain heights, then the ground boxes beside them
            if (auto item = findItem(items, "DATA", name)) {
                if (auto blob = readSized(items, *item, kTerrainHeightsBytes)) track.terrain.heights = *blob;
                LoadGroundBoxes(track, items, item->name);
            }
            break;
        case 4: // cell texture map
            if (auto item = findItem(items, "DATA", name))
                if (auto blob = readSized(items, *item, kCellTextureMapBytes)) {
                    ByteReader in(*blob);
                    for (auto& cell : track.terrain.textures) in.readU16LE(cell);
                }
            break;
        case 5: // palette, then the fog map
            if (auto item = findItem(items, "ART", name))
                if (auto blob = items.read(*item, kPaletteItemBytes))
                    track.palette.set(item->name, paletteFromRgbBytes(*blob));
            if (auto blob = items.findAndRead(itemName("FOG", upperCase(track.WorldName.view()) + ".MAP"), kFogMapBytes)) {
                blob->resize(kFogMapBytes, 0);
                track.SetFogMap(*blob);
            }
            break;
        case 6: // texture list, then the texture types beside it
            if (auto item = findItem(items, "DATA", name)) {
                if (auto blob = items.read(*item, TrackItemSource::kMaxWholeItem))
                    LoadTextureList(track, items, *blob);
                std::string types = item->name;
                if (auto tex = types.rfind(".TEX"); tex != std::string::npos) {
                    types.replace(tex, 4, ".TTY");
                    if (auto blob = items.findAndRead(types)) ReadTextureTypes(track, *blob);
                }
            }
            break;
        case 15: // music, read whole
            if (auto item = findMusic(items, name))
                if (auto blob = items.read(*item, TrackItemSource::kMaxWholeItem)) track.SetMusic(*blob);
            break;
        case 16: // fog table
            if (auto item = findItem(items, "FOG", name))
                if (auto blob = items.read(*item, kFogTableItemBytes)) track.fogTable = *blob;
            break;
        case 17: // terrain lighting
            if (auto item = findItem(items, "DATA", name))
                if (auto blob = readSized(items, *item, kTerrainLightingBytes))
                    for (size_t i = 0; i < track.terrain.cells.size(); ++i)
                        std::copy_n(blob->begin() + ptrdiff_t(i * 7), 7, track.terrain.cells[i].begin());
            break;
        case 18: readTriple(line, track.levelVectors.first.v); break;
        case 19: track.levelVectors.first.w = std::atoi(line.c_str()); break;
        case 20: readTriple(line, track.levelVectors.second.v); break;
        case 21: track.levelVectors.second.w = std::atoi(line.c_str()); break;
        case 22: track.levelVectors.last = std::atoi(line.c_str()); break;
        case 23:
            if (line == "!waterHeight" && lines.next(line)) {
                const int quarters = std::clamp(std::atoi(line.c_str()), 0, kMaxWaterLevelQuarters);
                track.waterLevel = quarters / 4;
                track.waterLevelQuarters = quarters % 4;
            }
            break;
        default: break; // looked up by the game, not read here
        }
    }
}

} // namespace ravok

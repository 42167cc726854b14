#include "pod/CloneTrack.h"

#include "art/ItemNames.h"
#include "base/ByteReader.h"
#include "base/FileIO.h"
#include "base/PathNames.h"
#include "base/PortableFile.h"
#include "base/Text.h"
#include "model/PodNameRules.h"
#include "model/TrackPod.h"
#include "pod/DataFiles.h"
#include "pod/SituationFile.h"
#include "pod/TextLines.h"

#include <cstdio>

namespace ravok {

namespace fs = std::filesystem;

constexpr int kMaxStemLength = 20;

std::optional<TrackItemSource::Item> FolderItemSource::find(std::string_view name) {
    auto path = resolveInFolder(m_folder, name);
    std::error_code ec;
    if (!path || !fs::is_regular_file(*path, ec)) return std::nullopt;
    const uintmax_t size = fs::file_size(*path, ec);
    if (ec || size == 0) return std::nullopt;
    return Item{pathText(*path), size};
}

std::optional<Blob> FolderItemSource::read(const Item& item, uint64_t maxBytes) {
    FILE* f = openFile(pathFromText(item.name), "rb");
    if (!f) return std::nullopt;
    Blob bytes(size_t(std::min(item.size, maxBytes)));
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    bytes.resize(got);
    return bytes;
}

fs::path GameFolderOf(const fs::path& situationFile) {
    const std::string path = pathText(situationFile);
    auto isSeparator = [](char c) { return c == '/' || c == '\\'; };
    for (size_t i = 0; i + 6 < path.size(); ++i)
        if (isSeparator(path[i]) && isSeparator(path[i + 6]) &&
            equalsIgnoringCase(std::string_view(path).substr(i + 1, 5), "WORLD"))
            return i == 0 ? fs::path("/") : pathFromText(std::string_view(path).substr(0, i));
    return {};
}

std::string CloneStem(const fs::path& gameFolder, std::string_view sourceStem) {
    for (int n = 2; n <= kMaxCloneNumber; ++n) {
        const std::string number = std::to_string(n);
        const size_t keep = std::min(sourceStem.size(), size_t(kMaxStemLength) - number.size());
        const std::string candidate = std::string(sourceStem.substr(0, keep)) + number;
        bool taken = false;
        for (const std::string& file :
             {itemName("WORLD", candidate + ".SIT"), itemName("WORLD", candidate + ".SI2"), itemName("LEVELS", candidate + ".LVL")})
            taken = taken || resolveInFolder(gameFolder, file).has_value();
        if (!taken) return candidate;
    }
    return {};
}

namespace {

// The level file's data files, each required, from the DATA folder.
class CloneLevelReader {
public:
    static constexpr int kLastRequiredLine = 17; // the terrain lighting

    CloneLevelReader(CTrackPOD& track, FolderItemSource& folder) : t(track), items(folder) {}

    // Empty on success, else the failure text.
    std::string read(std::span<const uint8_t> text) {
        TextLineReader lines(text);
        std::string line;
        for (int number = 1;; ++number) {
            // A level file that ends before the lighting line names no data
            // file on the lines it lacks: each of those fails like a name
            // that is not in the folder.
            if (!lines.next(line)) {
                if (number > kLastRequiredLine) break;
                line.clear();
            }
            const std::string name = itemName("DATA", upperCase(line));
            std::string failure;
            switch (number) {
            case 3: failure = terrain(name); break;
            case 4: failure = cellMap(name); break;
            case 6: failure = textureList(name); break;
            case 17: failure = lighting(name); break;
            case 18: readTriple(line, t.levelVectors.first.v); break;
            case 19: t.levelVectors.first.w = parseInt(line); break;
            case 20: readTriple(line, t.levelVectors.second.v); break;
            case 21: t.levelVectors.second.w = parseInt(line); break;
            case 22: t.levelVectors.last = parseInt(line); break;
            case 23:
                if (line == "!waterHeight" && lines.next(line)) t.SetWaterLevelQuarters(parseInt(line));
                break;
            default: break; // palette, music, fog and sky are not taken from the source
            }
            if (!failure.empty()) return failure;
        }
        return {};
    }

private:
    static void readTriple(const std::string& line, std::array<int32_t, 3>& v) {
        for (int i = 0; i < 3; ++i) v[size_t(i)] = parseInt(afterComma(line, i));
    }

    std::optional<Blob> sized(const std::string& name, size_t bytes) {
        auto item = items.find(name);
        if (!item) return std::nullopt;
        auto blob = items.read(*item, bytes);
        if (blob) blob->resize(bytes, 0);
        return blob;
    }

    std::string terrain(const std::string& name) {
        auto heights = sized(name, kTerrainHeightsBytes);
        if (!heights) return "Can't open terrain RAW file!";
        t.terrain.heights = std::move(*heights);
        const auto raw = upperCase(name).rfind(".RAW");
        if (raw == std::string::npos) return "Error loading GroundBox layer!";
        for (const char* ext : {".RA0", ".RA1", ".CL0"}) {
            std::string layer = name;
            layer.replace(raw, 4, ext);
            if (!items.find(layer)) return "Error loading GroundBox layer!";
        }
        LoadGroundBoxes(t, items, name);
        return {};
    }

    std::string cellMap(const std::string& name) {
        auto map = sized(name, kCellTextureMapBytes);
        if (!map) return "Can't open CLR file!";
        ByteReader in(*map);
        for (auto& cell : t.terrain.textures) in.readU16LE(cell);
        return {};
    }

    std::string textureList(const std::string& name) {
        auto list = items.findAndRead(name);
        if (!list) return "Can't open TEX file!";
        TextLineReader lines(*list);
        std::string line;
        lines.next(line); // the count; the names follow by position
        for (size_t slot = 0; slot < size_t(kMaxTerrainTextures) && lines.next(line); ++slot) {
            // An empty slot is written as a placeholder name that holds its place.
            if (line.empty() || equalsIgnoringCase(line, kEmptyTextureSlotName)) continue;
            auto texture = std::make_unique<Texture>();
            texture->setPicture(itemName("ART", upperCase(line)), 64, 64, nullptr);
            t.terrainTextures[slot] = std::move(texture);
        }
        std::string types = name;
        if (auto tex = upperCase(types).rfind(".TEX"); tex != std::string::npos) types.replace(tex, 4, ".TTY");
        auto typeText = items.findAndRead(types);
        if (!typeText) return "Can't open TTY file!";
        ReadTextureTypes(t, *typeText);
        return {};
    }

    std::string lighting(const std::string& name) {
        auto cells = sized(name, kTerrainLightingBytes);
        if (!cells) return "Can't open LTE file!";
        for (size_t i = 0; i < t.terrain.cells.size(); ++i)
            std::copy_n(cells->begin() + ptrdiff_t(i * 7), 7, t.terrain.cells[i].begin());
        return {};
    }

    CTrackPOD& t;
    FolderItemSource& items;
};

} // namespace

bool CloneFromGameFolder(CTrackPOD& track, const fs::path& situationFile, std::string& message) {
    track.Clear();
    track.GameFlags |= 1u;
    auto fail = [&](std::string text) {
        track.Clear();
        message = std::move(text);
        return false;
    };
    auto situation = readWholeFile(situationFile);
    if (!situation) return fail("Can't open SIT file!");
    const fs::path gameFolder = GameFolderOf(situationFile);
    if (gameFolder.empty()) return fail("SIT not in proper location.");

    TextLineReader first(*situation);
    std::string levelName;
    first.next(levelName);
    levelName = upperCase(levelName);
    const std::string sourceStem = levelName.substr(0, std::min<size_t>(levelName.find('.'), kMaxStemLength));
    const std::string stem = CloneStem(gameFolder, sourceStem);
    if (stem.empty())
        return fail(formatText("Can't find an unused name for the clone - everything from \"%s2\" to \"%s999\" is "
                               "already in use.  A track file name can be at most %d characters, because "
                               "LEVELS\\<name>.LVL has to fit the %d a pod directory entry holds, so the number has "
                               "to come out of the name itself.  Rename or remove some of the existing copies.",
                               sourceStem.c_str(), sourceStem.c_str(), kMaxStemLength, int(kPodMaxEntryName)));

    FolderItemSource folder(gameFolder);
    auto levelItem = folder.find(itemName("LEVELS", levelName));
    auto level = levelItem ? folder.read(*levelItem, TrackItemSource::kMaxWholeItem) : std::nullopt;
    if (!level) return fail("Can't open LVL file!");
    if (std::string failure = CloneLevelReader(track, folder).read(*level); !failure.empty()) return fail(failure);
    if (std::string failure = ReadSituationFileForClone(track, *situation); !failure.empty()) return fail(failure);

    track.WorldName.set(stem, kMaxStemLength);
    track.worldNameFromTrackName = 0;
    track.GameFlags |= 1u; // a clone is always an MTM2 track
    track.SetUpMtm2();
    return true;
}

std::string CloneCylinderWarning(const CTrackPOD& track) {
    if (track.cylinderCount <= 0 && track.cylinderText.empty()) return {};
    return formatText("The source track's situation file has %d cylinder%s. The track file has no place for them, "
                      "so they are lost when the clone is saved; a pod written before saving still carries them.",
                      track.cylinderCount, track.cylinderCount == 1 ? "" : "s");
}

} // namespace ravok

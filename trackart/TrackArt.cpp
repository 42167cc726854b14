#include "trackart/TrackArt.h"

#include "art/ColourReduction.h"
#include "art/HdTextures.h"
#include "art/ItemNames.h"
#include "art/NameLookup.h"
#include "art/Picture.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "base/Trace.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace ravok {
namespace {

constexpr int kPlaceholderSide = 64;
constexpr size_t kMaxTextureName = 31;
constexpr size_t kMaxFrameNameChars = 23;

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = char(std::toupper(uint8_t(c)));
    return u;
}

bool equalNoCase(std::string_view a, std::string_view b) { return upper(a) == upper(b); }

std::string baseName(std::string_view name) {
    auto slash = name.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

// The name without a leading folder word (ART, MODELS) and its separator.
std::string stripPrefix(std::string_view name, std::string_view folder) {
    if (name.size() > folder.size() + 1 && equalNoCase(name.substr(0, folder.size()), folder) &&
        (name[folder.size()] == '\\' || name[folder.size()] == '/'))
        return std::string(name.substr(folder.size() + 1));
    return std::string(name);
}

std::string withBinExtension(std::string_view name) {
    if (name.size() >= 4 && equalNoCase(name.substr(name.size() - 4), ".bin")) return std::string(name);
    return std::string(name) + ".bin";
}

// A file inside a folder (an empty folder is the current one), found without
// regard to letter case; names reaching outside the folder find nothing.
std::optional<fs::path> findIn(const fs::path& folder, std::string_view name) {
    return resolveInFolder(folder.empty() ? fs::path(".") : folder, name);
}

// One place to look: a folder and a name inside it.
struct Probe {
    fs::path folder;
    std::string name;
};

// The five places of a texture or model: the user's folder by base name and
// without the folder word, then the track file's folder.
std::vector<Probe> probesFor(std::string_view name, std::string_view folderWord, const fs::path& userFolder,
                             const fs::path& trackFolder) {
    const std::string base = baseName(name);
    const std::string stripped = stripPrefix(name, folderWord);
    std::vector<Probe> probes{{userFolder, base}};
    if (stripped != name) probes.push_back({userFolder, stripped});
    if (!trackFolder.empty()) {
        probes.push_back({trackFolder, std::string(name)});
        if (stripped != name) probes.push_back({trackFolder, stripped});
        probes.push_back({trackFolder, itemName(folderWord, base)});
    }
    return probes;
}

bool isRawPath(const fs::path& path) { return equalNoCase(path.extension().string(), ".raw"); }

// The first 768 bytes of a palette file, or fewer when it is shorter; a
// palette file with data after its 256 colours still gives them.
std::optional<std::vector<uint8_t>> readPaletteBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> rgb(768);
    in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    rgb.resize(size_t(std::max<std::streamsize>(in.gcount(), 0)));
    return rgb;
}

// Reads a texture square from a file, its palette from the .ACT beside it
// (the default palette without one), and maps it onto the track palette.
bool readTextureFile(const CTrackPOD& track, const fs::path& path, Texture& texture, std::string_view name) {
    auto bytes = readWholeFile(path, 1024 * 1024 + 1);
    if (!bytes) return false;
    const int side = SideFromFileSize(bytes->size());
    if (side == 0) return false;
    PaletteColours colours = DefaultPalette();
    if (isRawPath(path))
        if (auto act = readPaletteBytes(ActPathBeside(path))) colours = paletteFromRgbBytes(*act);
    texture.setPicture(name, side, side, bytes->data());
    RemapToTrackPalette(track.palette, texture.pixels(), colours);
    texture.bad = 0;
    return true;
}

// A probe: the name as given, then with its extension replaced by RAW (the
// texture then takes the .RAW name).
bool loadTextureProbe(const CTrackPOD& track, const Probe& probe, Texture& texture, std::string_view name) {
    if (auto path = findIn(probe.folder, probe.name); path && readTextureFile(track, *path, texture, name))
        return true;
    const std::string rawProbe = withRawExtension(probe.name);
    const std::string rawName = withRawExtension(name);
    if (rawProbe.empty() || rawName.empty() || rawName.size() > kMaxTextureName) return false;
    auto path = findIn(probe.folder, rawProbe);
    return path && readTextureFile(track, *path, texture, rawName);
}

bool loadFromProbes(const CTrackPOD& track, const std::vector<Probe>& probes, Texture& texture,
                    std::string_view name) {
    for (const auto& probe : probes)
        if (loadTextureProbe(track, probe, texture, name)) return true;
    return false;
}

// Asks the HD hook for a picture; true when it gave one, set onto the texture.
bool loadFromHook(const CTrackPOD& track, Texture& texture, std::string_view hookName, std::string_view name,
                  int kind, int* sideOut) {
    if (!track.hdSourceCallback) return false;
    std::vector<uint8_t> pixels;
    try {
        pixels.assign(kHdSourcePixelBytes, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::array<uint8_t, 768> palette{};
    const int side = track.hdSourceCallback(hookName, kind, pixels, palette);
    if (side <= 0 || size_t(side) * size_t(side) > pixels.size()) return false;
    pixels.resize(size_t(side) * size_t(side));
    RemapToTrackPalette(track.palette, pixels, paletteFromRgbBytes(palette));
    texture.setPicture(name, side, side, pixels.data());
    texture.bad = 0;
    *sideOut = side;
    return true;
}

void setPlaceholder(Texture& texture, std::string_view name) {
    static const std::vector<uint8_t> zeros(size_t(kPlaceholderSide) * kPlaceholderSide, 0);
    texture.setPicture(name, kPlaceholderSide, kPlaceholderSide, zeros.data());
    texture.bad = 1;
}

std::string line(const char* format, std::string_view name) {
    char text[128];
    std::snprintf(text, sizeof text, format, std::string(name).c_str());
    return text;
}

template <typename Table> int filledSlots(const Table& table) {
    return int(std::count_if(table.begin(), table.end(), [](const auto& p) { return bool(p); }));
}

// Progress of a pass; false once the user cancelled it.
struct PassProgress {
    ProgressSink* sink;
    int every;
    int done = 0;
    PassProgress(ProgressSink* s, int total, int step) : sink(s), every(step) {
        if (sink) sink->setRange(total);
    }
    bool next() {
        ++done;
        if (sink && done % every == 0) sink->setPosition(done);
        return !(sink && sink->cancelled());
    }
};

int lowestEmptySlot(const auto& table) {
    for (size_t i = 0; i < table.size(); ++i)
        if (!table[i]) return int(i);
    return -1;
}

// Reads a model from the first probe that opens and is not empty.
bool readModelFromProbes(const CTrackPOD& track, Model& model, const fs::path& modelsFolder) {
    const std::string name(model.name().view());
    for (const auto& probe : probesFor(name, "MODELS", modelsFolder, TrackFileFolder(track))) {
        auto path = findIn(probe.folder, withBinExtension(probe.name));
        std::error_code ec;
        if (!path || fs::file_size(*path, ec) == 0 || ec) continue;
        return model.readFile(name, *path);
    }
    return false;
}

// Reads one model and its textures, reporting a failure as "Bad model".
bool loadOneModel(CTrackPOD& track, Model& model, const fs::path& modelsFolder, const fs::path& artFolder,
                  BadReport& report) {
    if (!readModelFromProbes(track, model, modelsFolder)) {
        report.add(line("Bad model %s\r\n", model.name().view()));
        return false;
    }
    BadReport textures;
    if (LoadModelTextures(track, model, artFolder, textures)) return true;
    report.add(line("Bad model %s\r\n", model.name().view()));
    report.addBlock(textures.text());
    return false;
}

// Model lists name their frames: each frame not yet in the table gets a slot.
void addListedFrames(CTrackPOD& track, const Model& list) {
    for (const auto& frame : list.listedModels()) {
        if (track.FindModel(frame) >= 0) continue;
        const int slot = lowestEmptySlot(track.models);
        if (slot < 0) return;
        auto model = std::make_unique<Model>();
        model->setName(itemName("MODELS", frame.substr(0, kMaxFrameNameChars)));
        track.models[size_t(slot)] = std::move(model);
    }
}

void linkObjectsToModels(CTrackPOD& track) {
    auto modelNamed = [&](const FixedString<32>& name) -> Model* {
        if (name.empty()) return nullptr;
        const int slot = track.FindModel(name.view());
        return slot >= 0 ? track.models[size_t(slot)].get() : nullptr;
    };
    for (auto& o : track.objects) {
        if (!o) continue;
        o->model = modelNamed(o->modelName);
        o->cabModel = o->type == kObjectTopCrush ? modelNamed(o->cabModelName) : nullptr;
    }
}

// Fills one texture of a table from the disk probes; false when it ended BAD.
bool loadTableTexture(CTrackPOD& track, Texture& texture, const fs::path& artFolder, int kind,
                      BadReport& report) {
    const std::string name(texture.name().view());
    if (loadFromProbes(track, probesFor(name, "ART", artFolder, TrackFileFolder(track)), texture, name)) return true;
    int side = 0;
    if (kind == kHdTerrainKind && loadFromHook(track, texture, name, name, kind, &side)) {
        trace("  disk tex \"%s\": no .RAW, rebuilt %dx%d from its HD source", name.c_str(), side, side);
        return true;
    }
    if (kind == kHdTerrainKind) trace("  disk tex \"%s\": not found in any probe location - marked BAD", name.c_str());
    setPlaceholder(texture, name);
    report.add(kind == kHdTerrainKind ? line("Bad texture %s\r\n", name) : line("    %s\r\n", name),
               kind != kHdTerrainKind);
    return false;
}

} // namespace

bool ReadTextureFile(const CTrackPOD& track, const fs::path& path, Texture& texture, std::string_view name) {
    return readTextureFile(track, path, texture, name);
}

void BadReport::add(std::string_view text, bool indented) {
    if (m_lines < kMaxLines)
        m_text += text;
    else if (m_lines == kMaxLines)
        m_text += indented ? "    (more...)\r\n" : "(more...)\r\n";
    ++m_lines;
}

void BadReport::addBlock(std::string_view block) {
    if (m_lines < kMaxLines)
        m_text += block;
    else if (m_lines == kMaxLines)
        m_text += "(more...)\r\n";
    ++m_lines;
}

fs::path TrackFileFolder(const CTrackPOD& track) {
    const std::string_view path = track.filePath.view();
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string_view::npos) return {};
    std::string folder(path.substr(0, slash));
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return folder.empty() ? fs::path("/") : fs::path(folder);
}

bool LoadTextures(CTrackPOD& track, const fs::path& artFolder, BadReport& report, ProgressSink* sink) {
    report.restart();
    const int total = filledSlots(track.terrainTextures);
    trace("CTrackPOD::LoadTextures: %d textures, art folder \"%s\"", total, artFolder.string().c_str());
    PassProgress progress(sink, total, 8);
    int bad = 0;
    for (auto& texture : track.terrainTextures) {
        if (!texture) continue;
        if (!texture->hasPixels() && !loadTableTexture(track, *texture, artFolder, kHdTerrainKind, report)) ++bad;
        if (!progress.next()) break;
    }
    trace("CTrackPOD::LoadTextures: done - %d textures, %d BAD", total, bad);
    return bad == 0;
}

bool ReloadModelTextures(CTrackPOD& track, const fs::path& artFolder, BadReport& report, ProgressSink* sink) {
    report.restart();
    trace("CTrackPOD::ReloadModelTextures: art folder \"%s\"", artFolder.string().c_str());
    PassProgress progress(sink, filledSlots(track.modelTextures), 8);
    bool ok = true;
    for (auto& texture : track.modelTextures) {
        if (!texture) continue;
        if (!texture->hasPixels() && !loadTableTexture(track, *texture, artFolder, kHdModelKind, report)) ok = false;
        if (!progress.next()) break;
    }
    return ok;
}

bool LoadModelTextures(CTrackPOD& track, const Model& model, const fs::path& artFolder, BadReport& report) {
    bool ok = true;
    const fs::path trackFolder = TrackFileFolder(track);
    for (const std::string& name : ModelTextureNames(model)) {
        const int found = track.FindModelTexture(name);
        if (found >= 0) {
            if (track.modelTextures[size_t(found)]->bad) {
                report.add(line("    %s\r\n", name), true);
                ok = false;
            }
            continue;
        }
        const int slot = lowestEmptySlot(track.modelTextures);
        if (slot < 0) continue;
        auto texture = std::make_unique<Texture>();
        const std::string stored = itemName("ART", name);
        texture->setName(stored);
        std::vector<Probe> probes{{artFolder, name}};
        if (!trackFolder.empty()) {
            probes.push_back({trackFolder, itemName("ART", name)});
            probes.push_back({trackFolder, name});
        }
        int side = 0;
        if (loadFromProbes(track, probes, *texture, stored)) {
        } else if (const std::string raw = withRawExtension(stored);
                   loadFromHook(track, *texture, stored, raw.empty() ? stored : raw, kHdModelKind, &side)) {
            trace("  model tex \"%s\": no .RAW, rebuilt %dx%d from its HD source as \"%s\"", stored.c_str(), side, side,
                  texture->name().c_str());
        } else {
            setPlaceholder(*texture, stored);
            report.add(line("    %s\r\n", name), true);
            ok = false;
        }
        track.modelTextures[size_t(slot)] = std::move(texture);
    }
    return ok;
}

bool LoadModels(CTrackPOD& track, const fs::path& modelsFolder, const fs::path& artFolder, BadReport& report,
                ProgressSink* sink) {
    report.restart();
    PassProgress progress(sink, filledSlots(track.models), 1);
    trace("CTrackPOD::LoadModels: models \"%s\", art \"%s\"", modelsFolder.string().c_str(),
          artFolder.string().c_str());
    bool ok = true;
    for (auto& model : track.models) {
        if (!model) continue;
        if (!loadOneModel(track, *model, modelsFolder, artFolder, report)) ok = false;
        if (!model->listedModels().empty()) addListedFrames(track, *model);
        if (!progress.next()) break;
    }
    linkObjectsToModels(track);
    if (track.backdrop && !loadOneModel(track, *track.backdrop, modelsFolder, artFolder, report)) ok = false;
    track.RecomputeArenaOrigin();
    return ok;
}

bool ReloadModel(CTrackPOD& track, Model& model, const fs::path& artFolder, BadReport& report) {
    if (!model.reloadFromSource()) return false;
    LoadModelTextures(track, model, artFolder, report);
    return true;
}

int RefreshChangedModels(CTrackPOD& track, const fs::path& artFolder) {
    int reloaded = 0;
    auto refresh = [&](Model& model) {
        if (!model.changedOnDisk()) return;
        BadReport ignored;
        if (ReloadModel(track, model, artFolder, ignored)) {
            trace("RefreshChangedModels: \"%s\" changed on disk - reloaded from %s", model.name().c_str(),
                  model.sourcePath().string().c_str());
            ++reloaded;
        } else {
            trace("RefreshChangedModels: \"%s\" changed on disk but would not reload - the copy in memory is written",
                  model.name().c_str());
        }
    };
    if (track.backdrop) refresh(*track.backdrop);
    for (auto& model : track.models)
        if (model) refresh(*model);
    return reloaded;
}

namespace {

// Builds one texture from its HD bytes; false (with a trace) when it cannot.
bool fillFromHd(CTrackPOD& track, Texture& texture, std::span<const uint8_t> bytes, bool terrain) {
    const std::string name(texture.name().view());
    std::string message;
    auto legacy = LegacyTextureFromPicture(bytes, baseName(name), terrain, message);
    if (!legacy) {
        trace("  HD decode \"%s\" FAILED (%d bytes, class %s): %s", name.c_str(), int(bytes.size()),
              terrain ? "terrain" : "model", message.empty() ? "(no reason given)" : message.c_str());
        return false;
    }
    RemapToTrackPalette(track.palette, legacy->indices, paletteFromRgbBytes(legacy->palette));
    std::string newName = name;
    if (const std::string raw = withRawExtension(name); !raw.empty() && raw.size() <= kMaxTextureName) {
        trace("    name normalised: \"%s\" -> \"%s\"", name.c_str(), raw.c_str());
        newName = raw;
    }
    texture.setPicture(newName, legacy->side, legacy->side, legacy->indices.data());
    texture.bad = 0;
    trace("  HD decode \"%s\": %d bytes -> %dx%d indices, quantised and remapped", name.c_str(), int(bytes.size()),
          legacy->side, legacy->side);
    return true;
}

} // namespace

FillCounts FillHdOnlyTextures(CTrackPOD& track, const fs::path& artFolder) {
    FillCounts counts;
    auto fillTable = [&](auto& table, bool terrain) {
        for (auto& texture : table) {
            if (!texture || (texture->hasPixels() && !texture->bad)) continue;
            std::vector<uint8_t> bytes(texture->hdSource().begin(), texture->hdSource().end());
            if (bytes.empty() && texture->bad) {
                if (auto hd = FindHdFile(artFolder / baseName(texture->name().view())))
                    bytes = readWholeFile(*hd).value_or(std::vector<uint8_t>());
            }
            if (bytes.empty()) continue;
            if (fillFromHd(track, *texture, bytes, terrain))
                ++counts.filled;
            else
                ++counts.failed;
        }
    };
    fillTable(track.terrainTextures, true);
    fillTable(track.modelTextures, false);
    trace("CRavokView::FillHDOnlyTextures: %d filled, %d FAILED", counts.filled, counts.failed);
    return counts;
}

UpdateCounts UpdateHdTexturesOfTrack(const CTrackPOD& track, const fs::path& artFolder) {
    UpdateCounts counts;
    auto updateTable = [&](const auto& table, bool modelTexture) {
        for (const auto& texture : table) {
            if (!texture) continue;
            const fs::path file = artFolder / baseName(texture->name().view());
            const fs::path raw = RawPathBeside(file);
            auto hd = FindHdFile(file);
            if (!hd || !NeedsRebuild(*hd, raw)) continue;
            std::string message;
            if (RebuildFallback(*hd, raw, modelTexture, message))
                ++counts.converted;
            else
                ++counts.failed;
        }
    };
    updateTable(track.terrainTextures, false);
    updateTable(track.modelTextures, true);
    return counts;
}

HdSourceCallback ArtFolderHdSource(fs::path artFolder) {
    return [artFolder](std::string_view name, int kind, std::span<uint8_t> pixels, std::span<uint8_t, 768> palette) {
        auto hd = FindHdFile(artFolder / baseName(name));
        if (!hd) return 0;
        auto bytes = readWholeFile(*hd);
        if (!bytes) return 0;
        std::string message;
        auto legacy = LegacyTextureFromPicture(*bytes, hd->filename().string(), kind == kHdTerrainKind, message);
        if (!legacy || legacy->indices.size() > pixels.size()) return 0;
        std::copy(legacy->indices.begin(), legacy->indices.end(), pixels.begin());
        std::copy(legacy->palette.begin(), legacy->palette.end(), palette.begin());
        return legacy->side;
    };
}

TrackArtResult LoadTrackArt(CTrackPOD& track, const fs::path& artFolder, const fs::path& modelsFolder,
                            ProgressSink* progress) {
    TrackArtResult result;
    track.hdSourceCallback = ArtFolderHdSource(artFolder);
    BadReport textures, models;
    if (progress) progress->setCaption(kLoadingArtCaption);
    result.texturesOk = LoadTextures(track, artFolder, textures, progress);
    result.cancelled = progress && progress->cancelled();
    if (!result.cancelled) {
        if (progress) progress->setCaption(kLoadingModelsCaption);
        result.modelsOk = LoadModels(track, modelsFolder, artFolder, models, progress);
        result.cancelled = progress && progress->cancelled();
    }
    result.textureReport = textures.text();
    result.modelReport = models.text();
    return result;
}

ArtLoadCounts CountBadArt(const CTrackPOD& track) {
    ArtLoadCounts counts;
    for (const auto& t : track.terrainTextures) counts.badTextures += t && t->bad;
    for (const auto& t : track.modelTextures) counts.badTextures += t && t->bad;
    for (const auto& m : track.models) counts.badModels += m && m->fileBytes().empty();
    if (track.backdrop) counts.badModels += track.backdrop->fileBytes().empty();
    return counts;
}

} // namespace ravok

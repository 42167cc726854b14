#include "trackart/TextureFolderFiles.h"

#include "art/ColourReduction.h"
#include "art/HdTextures.h"
#include "art/ItemNames.h"
#include "art/NameLookup.h"
#include "art/Picture.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "model/PodNameRules.h"
#include "model/TrackPod.h"
#include "trackart/TrackArt.h"

#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace ravok {

namespace {

constexpr size_t kMinStem = 2, kMaxStem = 259;
constexpr size_t kMaxRawName = 64;
constexpr size_t kMaxAppendedName = 27; // after ART\, so the name fits 31 characters

constexpr const char* kNormalMapFormat =
    "\"%s\" is a NORMAL MAP, not a texture.\n\nIt does not need to be added: it is carried into the pod "
    "automatically beside \"%s\", and it is never listed or offered for removal on its own.\n\nAdd \"%s\" "
    "instead - the map comes with it.";
constexpr const char* kNormalMapInUseFormat =
    "\"%s\" is the NORMAL MAP for \"%s\", which is in use.\n\nIt is not listed as a texture of its own and is "
    "carried into the pod automatically. Remove the base texture if you want the map gone too.";

std::string stemOf(std::string_view fileName) { return fs::path(std::string(fileName)).stem().string(); }

std::string baseOfNormalMap(const std::string& stem) { return stem.substr(0, stem.size() - 2); }

std::string quoted(const char* format, std::string_view name) { return formatText(format, std::string(name).c_str()); }

// The 8-bit copy of a PNG or TGA, either in memory or as the .RAW beside it.
struct HdAddition {
    std::optional<LegacyTexture> inMemory;
    fs::path rawFile;
    std::string rawName;
};

std::optional<HdAddition> prepareHd(const CTrackPOD& track, const fs::path& file, std::string_view wantedName,
                                    const TextureAddParams& params, Outcome& outcome) {
    HdAddition hd;
    hd.rawFile = RawPathBeside(file);
    hd.rawName = withRawExtension(wantedName);
    if (hd.rawName.empty()) hd.rawName = std::string(wantedName);
    if (hd.rawFile.empty() || hd.rawName.size() > kMaxRawName) {
        outcome = Outcome::refused("That texture's name is too long to build a .RAW name from.");
        return std::nullopt;
    }
    const bool modelKind = track.FindModelTexture(hd.rawName) >= 0;
    std::string message;
    if (params.keepHdArtOnly) {
        auto bytes = readWholeFile(file);
        if (bytes) hd.inMemory = LegacyTextureFromPicture(*bytes, file.filename().string(), !modelKind, message);
        if (!hd.inMemory) {
            outcome = Outcome::refused(message.empty() ? "Could not build the texture from that HD file." : message,
                                       kHdTextureCaption);
            return std::nullopt;
        }
    } else if (NeedsRebuild(file, hd.rawFile) && !RebuildFallback(file, hd.rawFile, modelKind, message)) {
        outcome = Outcome::refused(message.empty() ? "Could not build the legacy texture." : message,
                                   kHdTextureCaption);
        return std::nullopt;
    }
    return hd;
}

bool isRawTextureFile(const fs::path& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    return !ec && SideFromFileSize(size) > 0;
}

std::unique_ptr<Texture> textureFromLegacy(const CTrackPOD& track, const LegacyTexture& legacy,
                                           std::string_view name) {
    auto texture = std::make_unique<Texture>();
    texture->setPicture(name, legacy.side, legacy.side, legacy.indices.data());
    RemapToTrackPalette(track.palette, texture->pixels(), paletteFromRgbBytes(legacy.palette));
    return texture;
}

std::optional<fs::path> inArtFolder(const fs::path& artFolder, std::string_view name) {
    return resolveInFolder(artFolder.empty() ? fs::path(".") : artFolder, name);
}

bool removeIfThere(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::remove(path, ec);
}

} // namespace

bool IsNormalMapStem(std::string_view stem) {
    return stem.size() >= 2 && stem[stem.size() - 2] == '_' && (stem.back() == 'N' || stem.back() == 'n');
}

std::string TextureNameForFile(const fs::path& file) {
    const std::string name = file.filename().string();
    if (!HasPictureExtension(name)) return name;
    return file.stem().string() + ".RAW";
}

int AddTextureFile(CTrackPOD& track, const fs::path& given, std::string_view wantedName,
                   const TextureAddParams& params, Outcome& outcome) {
    outcome = Outcome::refused();
    const fs::path file = given.has_parent_path() ? given : params.artFolder / given;
    const std::string stem = file.stem().string();
    if (stem.size() < kMinStem || stem.size() > kMaxStem) return -1;
    if (IsNormalMapStem(stem)) {
        const std::string base = baseOfNormalMap(stem);
        outcome = Outcome::refused(
            formatText(kNormalMapFormat, file.filename().string().c_str(), base.c_str(), base.c_str()),
            kNormalMapCaption);
        return -1;
    }
    // The rules of a typed name hold for a name taken from a file too.
    if (Outcome rules = TextureNameProblem(NameWithoutExtension(wantedName)); !rules) {
        outcome = rules;
        return -1;
    }
    fs::path rawFile = file;
    std::string name(wantedName);
    std::optional<LegacyTexture> inMemory;
    if (HasPictureExtension(file.filename().string())) {
        auto hd = prepareHd(track, file, wantedName, params, outcome);
        if (!hd) return -1;
        rawFile = hd->rawFile;
        name = hd->rawName;
        inMemory = std::move(hd->inMemory);
    }
    const int slot = lowestEmptySlot(track.terrainTextures);
    if (slot < 0 || (!inMemory && !isRawTextureFile(rawFile))) return -1;
    const std::string stored = upperCase(itemName("ART", name.substr(0, kMaxAppendedName)));
    std::unique_ptr<Texture> texture;
    if (inMemory) {
        texture = textureFromLegacy(track, *inMemory, stored);
    } else {
        texture = std::make_unique<Texture>();
        if (!ReadTextureFile(track, rawFile, *texture, stored)) return -1;
    }
    track.terrainTextures[size_t(slot)] = std::move(texture);
    outcome = Outcome::success();
    return slot;
}

int LoadTextureFiles(CTrackPOD& track, const std::vector<fs::path>& files, const TextureAddParams& params,
                     Prompter& prompter) {
    int first = -1;
    for (const fs::path& file : files) {
        const std::string name = TextureNameForFile(file);
        if (track.FindTexture(name) >= 0) {
            prompter.warn(quoted("Texture \"%s\" already loaded.", name), "");
            continue;
        }
        Outcome outcome;
        const int slot = AddTextureFile(track, file, name, params, outcome);
        if (!outcome.message.empty()) prompter.warn(outcome.message, outcome.caption);
        if (slot >= 0 && first < 0) first = slot;
    }
    return first;
}

int AddTexturePage(CTrackPOD& track, const std::vector<std::string>& page, const TextureAddParams& params,
                   Prompter& prompter) {
    if (page.empty()) {
        prompter.warn("Empty Page!", "");
        return 0;
    }
    int added = 0;
    for (const std::string& entry : page) {
        const std::string name = TextureNameForFile(entry);
        // A normal map comes with its base texture and is no texture of its own.
        if (IsNormalMapStem(stemOf(entry)) || track.FindTexture(name) >= 0) continue;
        Outcome outcome;
        auto file = inArtFolder(params.artFolder, entry);
        if (!file || AddTextureFile(track, *file, name, params, outcome) < 0) {
            prompter.warn(quoted("Error loading \"%s\"!", entry), "");
            break;
        }
        ++added;
    }
    return added;
}

Outcome TextureNameProblem(std::string_view name) {
    if (name.empty()) return Outcome::refused();
    if (name.find_first_of(" \\/") != std::string_view::npos) return Outcome::refused("Invalid character(s) in name!");
    if (name.find('.') != std::string_view::npos)
        return Outcome::refused("A texture name cannot contain a dot - leave the extension off.", kTextureNameCaption);
    if (std::string tooLong = PodNameTooLongMessage(name, "ART\\", ".RAW"); !tooLong.empty())
        return Outcome::refused(tooLong, kTextureNameTooLongCaption);
    return Outcome::success();
}

namespace {

// Whether the track's terrain or model textures use the file's texture.
bool textureInUse(const CTrackPOD& track, std::string_view fileName) {
    const std::string name = TextureNameForFile(std::string(fileName));
    return track.FindTexture(name) >= 0 || track.FindModelTexture(name) >= 0;
}

} // namespace

bool DeleteTextureFile(const CTrackPOD& track, const fs::path& artFolder, std::string_view fileName,
                       Prompter& prompter) {
    const std::string stem = stemOf(fileName);
    if (IsNormalMapStem(stem) && track.FindTexture(baseOfNormalMap(stem) + ".RAW") >= 0) {
        const std::string base = baseOfNormalMap(stem);
        prompter.warn(formatText(kNormalMapInUseFormat, std::string(fileName).c_str(), base.c_str()),
                      kNormalMapCaption);
        return false;
    }
    if (textureInUse(track, fileName)) {
        prompter.warn(quoted("Texture \"%s\" is being used!", fileName), "");
        return false;
    }
    if (!prompter.askYesNo(quoted("Sure you want to permanently delete \"%s\"?", fileName), "Delete Texture", false))
        return false;
    // The entry itself (a picture's too), then the .RAW and .ACT of its stem.
    auto file = inArtFolder(artFolder, fileName);
    if (!file) return false;
    const fs::path raw = RawPathBeside(*file);
    removeIfThere(ActPathBeside(raw));
    removeIfThere(raw);
    removeIfThere(*file);
    invalidateFolderCache(artFolder);
    return true;
}

Outcome CanRenameTextureFile(const CTrackPOD& track, std::string_view fileName) {
    if (textureInUse(track, fileName)) return Outcome::refused(quoted("Texture \"%s\" is being used!", fileName));
    return Outcome::success();
}

Outcome RenameTextureFile(const CTrackPOD& track, const fs::path& artFolder, std::string_view fileName,
                          std::string_view newName) {
    if (Outcome can = CanRenameTextureFile(track, fileName); !can) return can;
    const std::string stem = NameWithoutExtension(newName);
    if (Outcome rules = TextureNameProblem(stem); !rules) return rules;
    auto file = inArtFolder(artFolder, fileName);
    if (!file) return Outcome::refused();
    const std::string ext = file->extension().string();
    // The .act and .raw of the stem and the entry itself, each keeping its
    // extension; none may land on a file that is already there.
    const fs::path raw = RawPathBeside(*file);
    std::error_code ec;
    for (const fs::path& from : {ActPathBeside(raw), raw, *file})
        if (fs::exists(from, ec) && inArtFolder(artFolder, stem + from.extension().string()))
            return Outcome::refused("Name is not unique.\nPlease try a different name.");
    if (inArtFolder(artFolder, stem + ".raw") || inArtFolder(artFolder, stem + ext))
        return Outcome::refused("Name is not unique.\nPlease try a different name.");
    for (const fs::path& from : {ActPathBeside(raw), raw, *file}) {
        if (!fs::exists(from, ec)) continue;
        fs::rename(from, from.parent_path() / (stem + from.extension().string()), ec);
        if (ec) return Outcome::refused(quoted("Could not rename \"%s\".", from.filename().string()));
    }
    invalidateFolderCache(artFolder);
    return Outcome::success();
}

std::string NameWithoutExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

} // namespace ravok

#include "trackart/TextureCut.h"

#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "trackart/TextureFolderFiles.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace ravok {

namespace {

constexpr int kRawActSizes[] = {32, 64, 256};
constexpr int kHdSizes[] = {32, 64, 128, 256, 512, 1024};

bool hasSource(const CutSource& s) { return s.kind != CutSourceKind::None && s.width > 0 && s.height > 0; }

bool tileSizeOffered(const CutSource& source, const CutSettings& settings) {
    const auto offered = OfferedTileSizes(source, EffectiveCutOutput(source, settings.output));
    return std::find(offered.begin(), offered.end(), settings.tileSize) != offered.end();
}

bool firstTileFits(const CutSource& s, const CutSettings& c) {
    return c.left >= 0 && c.top >= 0 && c.left + c.tileSize <= s.width && c.top + c.tileSize <= s.height;
}

bool lastTileFits(const CutSource& s, const CutSettings& c) {
    const int64_t step = CutStep(s, c);
    const int64_t right = c.left + step * (c.columns - 1) + c.tileSize;
    const int64_t bottom = c.top + step * (c.rows - 1) + c.tileSize;
    return c.left >= 0 && c.top >= 0 && right <= s.width && bottom <= s.height;
}

const char* extensionOf(CutOutput output) {
    switch (output) {
    case CutOutput::Tga: return ".TGA";
    case CutOutput::RawAct: return ".RAW";
    default: return ".PNG";
    }
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Writes one tile of a true-colour picture; the path of the written file.
bool writeTrueColourTile(const CutSource& s, const CutSettings& c, CutOutput output, int x, int y,
                         const fs::path& path, std::string& message) {
    const uint8_t* at = s.bgr.data() + size_t(y) * s.stride + size_t(x) * 3;
    switch (output) {
    case CutOutput::Tga: return WriteTga(path, at, c.tileSize, c.tileSize, s.stride, message);
    case CutOutput::RawAct: return WriteTile(path, at, c.tileSize, s.stride, message);
    default: return WritePng(path, at, c.tileSize, c.tileSize, s.stride, message);
    }
}

// A tile of a palette picture, written in the picture's own palette.
bool writePalettedTile(const CutSource& s, const CutSettings& c, int x, int y, const fs::path& path,
                       std::string& message) {
    LegacyTexture tile;
    tile.side = c.tileSize;
    tile.palette = s.palette;
    tile.indices.reserve(size_t(c.tileSize) * size_t(c.tileSize));
    for (int row = 0; row < c.tileSize; ++row) {
        const auto from = s.indices.begin() + std::ptrdiff_t(size_t(y + row) * size_t(s.width) + size_t(x));
        tile.indices.insert(tile.indices.end(), from, from + c.tileSize);
    }
    return WriteLegacyPair(path, tile, message);
}

bool sourceComplete(const CutSource& s) {
    if (s.kind == CutSourceKind::TrueColour)
        return s.stride >= size_t(s.width) * 3 && s.bgr.size() >= s.stride * size_t(s.height);
    return s.kind == CutSourceKind::Paletted && s.indices.size() >= size_t(s.width) * size_t(s.height);
}

} // namespace

CutOutput CutOutputFromSetting(uint32_t value) {
    return value == 1 ? CutOutput::Tga : value == 2 ? CutOutput::RawAct : CutOutput::Png;
}

std::optional<CutSource> CutSourceFromFile(const fs::path& path, std::string& message) {
    auto dib = DecodePictureFileToDib(path, message);
    if (!dib) {
        if (message.empty()) message = "That image could not be read.";
        return std::nullopt;
    }
    CutSource s;
    s.kind = CutSourceKind::TrueColour;
    s.name = path.filename().string();
    s.width = dib->width;
    s.height = dib->height;
    s.stride = dib->stride;
    s.bgr = std::move(dib->bgr);
    return s;
}

CutOutput EffectiveCutOutput(const CutSource& source, CutOutput chosen) {
    return source.kind == CutSourceKind::Paletted ? CutOutput::RawAct : chosen;
}

std::vector<int> OfferedTileSizes(const CutSource& source, CutOutput output) {
    std::vector<int> offered;
    if (!hasSource(source)) return offered;
    const int side = std::min(source.width, source.height);
    auto offer = [&](int size) {
        if (size <= side) offered.push_back(size);
    };
    if (EffectiveCutOutput(source, output) == CutOutput::RawAct)
        std::for_each(std::begin(kRawActSizes), std::end(kRawActSizes), offer);
    else
        std::for_each(std::begin(kHdSizes), std::end(kHdSizes), offer);
    return offered;
}

int ChooseTileSize(const std::vector<int>& offered, int previous) {
    if (offered.empty()) return 0;
    for (int wanted : {previous, 256})
        if (std::find(offered.begin(), offered.end(), wanted) != offered.end()) return wanted;
    return offered.back();
}

std::string TileSizeLabel(int size) { return formatText("%d x %d", size, size); }

int CutOverlap(const CutSource& source, const CutSettings& settings) {
    if (!settings.borderOverlap || EffectiveCutOutput(source, settings.output) != CutOutput::RawAct) return 0;
    return std::max(settings.tileSize / 32, 1);
}

int CutStep(const CutSource& source, const CutSettings& settings) {
    return settings.tileSize - 2 * CutOverlap(source, settings);
}

std::string CutBaseName(const std::string& typed) {
    std::string base = trimmed(typed);
    base = base.substr(0, base.find('.'));
    return upperCase(base.substr(0, kMaxCutBaseName));
}

std::string CutTileName(const std::string& base, int column, int row) {
    return formatText("%s%X%X", base.c_str(), unsigned(column), unsigned(row));
}

std::string CutSourceLine(const CutSource& s, const CutSettings& c) {
    if (!hasSource(s)) return "No image - use Open Image to choose a PNG or TGA.";
    const char* name = s.name.c_str();
    if (s.kind == CutSourceKind::Paletted)
        return formatText("%s - %d x %d, 256 colours: legacy 8-bit tiles (.RAW + .ACT) in the image's own palette.",
                          name, s.width, s.height);
    if (c.output == CutOutput::RawAct)
        return formatText("%s - %d x %d, true colour: legacy 8-bit tiles (.RAW + .ACT), each reduced to its own 256 "
                          "colours.",
                          name, s.width, s.height);
    const char* ext = extensionOf(c.output);
    if (c.keepHdArtOnly)
        return formatText("%s - %d x %d, true colour: HD tiles (%s) only - no .RAW/.ACT written; Ravok builds the "
                          "8-bit tile in memory.",
                          name, s.width, s.height, ext);
    return formatText("%s - %d x %d, true colour: HD tiles (%s), each with a .RAW/.ACT legacy copy made the way an "
                      "imported one's is.",
                      name, s.width, s.height, ext);
}

std::string CutSummaryLine(const CutSource& s, const CutSettings& c) {
    if (!hasSource(s)) return {};
    if (!tileSizeOffered(s, c))
        return formatText("The image is smaller than the smallest tile (%d x %d).", kSmallestTile, kSmallestTile);
    const std::string base = CutBaseName(c.baseName);
    if (base.empty()) return "Enter a base name of up to 6 characters.";
    if (!firstTileFits(s, c)) return "No whole tile fits from these offsets.";
    const int count = c.columns * c.rows;
    return formatText("%d texture%s, %s00 to %s%X%X.", count, count == 1 ? "" : "s", base.c_str(), base.c_str(),
                      unsigned(std::max(c.columns - 1, 0)), unsigned(std::max(c.rows - 1, 0)));
}

bool CutSummaryReady(const CutSource& s, const CutSettings& c) {
    return hasSource(s) && tileSizeOffered(s, c) && !CutBaseName(c.baseName).empty() && firstTileFits(s, c);
}

Outcome CheckCutSettings(const CutSource& s, const CutSettings& c) {
    if (!hasSource(s)) return Outcome::refused("Open an image to cut first.");
    if (!tileSizeOffered(s, c)) return Outcome::refused("The image is smaller than the smallest tile.");
    const std::string base = CutBaseName(c.baseName);
    if (base.empty()) return Outcome::refused("Please enter base name.");
    // The tile names become file names in the art folder.
    if (base.find_first_of(" \\/:") != std::string::npos) return Outcome::refused("Invalid character(s) in name!");
    if (base.find('.') != std::string::npos) return TextureNameProblem(base);
    if (int64_t(c.columns) * c.rows < 2) return Outcome::refused("Must divide into at least 2 textures.");
    if (c.columns < 1 || c.rows < 1 || c.columns > kMaxCutGrid || c.rows > kMaxCutGrid)
        return Outcome::refused("At most 16 columns and 16 rows of tiles can be named.");
    if (!lastTileFits(s, c)) return Outcome::refused("The last tile runs off the edge of the image.");
    return Outcome::success();
}

Outcome CheckCutNames(const CTrackPOD& track, const fs::path& artFolder, const CutSettings& c) {
    const std::string base = CutBaseName(c.baseName);
    const fs::path folder = artFolder.empty() ? fs::path(".") : artFolder;
    auto stop = [](const std::string& why) {
        return Outcome::refused(why + "\n\nNothing has been written.  Choose another base name.",
                                kPasteCompositeCaption);
    };
    for (int r = 0; r < c.rows; ++r)
        for (int col = 0; col < c.columns; ++col) {
            const std::string name = CutTileName(base, col, r);
            if (track.FindTexture(name + ".RAW") >= 0)
                return stop(formatText("The track already has a texture called %s.", name.c_str()));
            for (const char* ext : {".RAW", ".ACT", ".PNG", ".TGA"})
                if (resolveInFolder(folder, name + ext))
                    return stop(formatText("%s%s is already in the art folder.", name.c_str(), ext));
        }
    return Outcome::success();
}

CutResult CutTextures(CTrackPOD& track, const CutSource& s, const CutSettings& c, const TextureAddParams& params) {
    CutResult result;
    result.outcome = CheckCutSettings(s, c);
    if (!result.outcome) return result;
    if (!sourceComplete(s)) {
        result.outcome = Outcome::refused("Could not write the tile.", kPasteCompositeCaption);
        return result;
    }
    result.outcome = CheckCutNames(track, params.artFolder, c);
    if (!result.outcome) return result;
    const CutOutput output = EffectiveCutOutput(s, c.output);
    TextureAddParams addParams = params;
    if (output != CutOutput::RawAct) addParams.keepHdArtOnly = c.keepHdArtOnly;
    const std::string base = CutBaseName(c.baseName);
    const int step = CutStep(s, c);
    for (int r = 0; r < c.rows; ++r)
        for (int col = 0; col < c.columns; ++col) {
            const std::string name = CutTileName(base, col, r);
            const fs::path path = params.artFolder / (name + extensionOf(output));
            const int x = c.left + step * col, y = c.top + step * r;
            std::string message;
            const bool written = s.kind == CutSourceKind::Paletted ? writePalettedTile(s, c, x, y, path, message)
                                                                   : writeTrueColourTile(s, c, output, x, y, path, message);
            if (!written) {
                result.outcome = Outcome::refused(message.empty() ? "Could not write the tile." : message,
                                                  kPasteCompositeCaption);
                return result;
            }
            invalidateFolderCache(params.artFolder);
            Outcome added;
            if (AddTextureFile(track, path, name + ".RAW", addParams, added) < 0) {
                result.outcome = added;
                return result;
            }
            ++result.added;
        }
    result.outcome = Outcome::success();
    return result;
}

} // namespace ravok

#include "trackart/TexturePattern.h"

#include "art/HdTextures.h"
#include "base/ByteWriter.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "trackart/TextureFolderFiles.h"

#include <algorithm>
#include <map>

namespace fs = std::filesystem;

namespace ravok {

namespace {

constexpr uint16_t kFlagBits = 0xF000;
constexpr uint16_t kMirrorRows = 0x1000;
constexpr uint16_t kMirrorColumns = 0x2000;

// The texel of a texture drawn p x p that lands on preview pixel (u, v) of
// its cell, with the cell's quarter turns (clockwise) and mirrors undone.
std::pair<int, int> sourceTexel(int u, int v, int p, uint16_t cell) {
    for (int turn = (cell >> 14) & 3; turn > 0; --turn) {
        const int x = v, y = p - 1 - u;
        u = x;
        v = y;
    }
    if (cell & kMirrorRows) v = p - 1 - v;
    if (cell & kMirrorColumns) u = p - 1 - u;
    return {u, v};
}

void drawCell(const Texture& texture, uint16_t cell, int p, uint8_t* topLeft, int stride) {
    const int side = texture.width();
    if ((side != 64 && side != 256) || texture.height() != side || !texture.hasPixels()) return;
    const int step = side / p;
    const auto pixels = texture.pixels();
    for (int v = 0; v < p; ++v)
        for (int u = 0; u < p; ++u) {
            const auto [a, b] = sourceTexel(u, v, p, cell);
            topLeft[size_t(v * stride + u)] = pixels[size_t(b * step * side + a * step)];
        }
}

std::array<uint8_t, kPreviewInfoBytes> previewInfoBlock(int width, int height, const PaletteColours& palette) {
    ByteWriter out;
    out.u32LE(40);
    out.i32LE(width);
    out.i32LE(-height); // rows top to bottom
    out.u16LE(1);
    out.u16LE(8);
    out.u32LE(0);
    out.u32LE(uint32_t(width * height));
    out.i32LE(0);
    out.i32LE(0);
    out.u32LE(256);
    out.u32LE(256);
    for (const RgbColour& c : palette) {
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }
    std::array<uint8_t, kPreviewInfoBytes> block{};
    std::copy(out.bytes().begin(), out.bytes().end(), block.begin());
    return block;
}

void drawPreview(const CTrackPOD& track, TexturePattern& pattern, const std::vector<int>& slots,
                 const PaletteColours& palette) {
    const int p = PreviewCellSize(pattern.width, pattern.height);
    const int w = pattern.previewWidth(), h = pattern.previewHeight();
    pattern.previewInfo = previewInfoBlock(w, h, palette);
    pattern.previewPixels.assign(size_t(w) * size_t(h), 0);
    for (int r = 0; r < pattern.height; ++r)
        for (int c = 0; c < pattern.width; ++c) {
            const uint16_t cell = pattern.cells[size_t(r * pattern.width + c)];
            const Texture& texture = *track.terrainTextures[size_t(slots[cell & 0x0FFF])];
            drawCell(texture, cell, p, pattern.previewPixels.data() + size_t(r * p) * size_t(w) + size_t(c * p), w);
        }
}

// The file of a pattern texture in the art folder: the name without ART\,
// or, when there is no such file, its HD picture.
std::string withoutArtFolder(std::string_view name) {
    if (name.size() > 4 && upperCase(name.substr(0, 4)) == "ART\\") name.remove_prefix(4);
    return std::string(name);
}

std::optional<fs::path> patternTextureFile(const fs::path& artFolder, const std::string& bare) {
    const fs::path folder = artFolder.empty() ? fs::path(".") : artFolder;
    if (auto file = resolveInFolder(folder, bare)) return file;
    if (!isSafeRelativeName(bare)) return std::nullopt;
    return FindHdFile(folder / bare);
}

// Adds the pattern's textures the track lacks; false when one would not load.
bool addMissingTextures(CTrackPOD& track, const TexturePattern& pattern, std::vector<int>& slots,
                        const PatternApplyParams& params, Prompter& prompter, bool& added) {
    const TextureAddParams addParams{params.artFolder, params.keepHdArtOnly};
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i] >= 0) continue;
        const std::string name = pattern.textures[i].str();
        Outcome outcome;
        const std::string bare = withoutArtFolder(name);
        if (auto file = patternTextureFile(params.artFolder, bare))
            slots[i] = AddTextureFile(track, *file, bare, addParams, outcome);
        if (slots[i] < 0) {
            // A name that breaks the naming rules is refused with the rule's own message.
            if (!outcome.message.empty())
                prompter.warn(outcome.message, outcome.caption);
            else
                prompter.warn(formatText("Can't load texture: \"%s\"!", name.c_str()), "");
            return false;
        }
        added = true;
    }
    return true;
}

} // namespace

int TexturePattern::previewWidth() const { return width * PreviewCellSize(width, height); }
int TexturePattern::previewHeight() const { return height * PreviewCellSize(width, height); }

int PreviewCellSize(int width, int height) {
    const int quotient = 100 / std::max({width, height, 1});
    if (quotient >= 64) return 64;
    for (int p : {32, 16, 8, 4, 2})
        if (p <= quotient) return p;
    return 1;
}

bool CanCreatePattern(const PatternRect& r) {
    if (r.x0 < 0 || r.y0 < 0 || r.x1 < r.x0 || r.y1 < r.y0 || r.x1 >= kGridSize || r.y1 >= kGridSize) return false;
    if (r.x1 - r.x0 >= kMaxPatternSide || r.y1 - r.y0 >= kMaxPatternSide) return false;
    return r.x1 > r.x0 || r.y1 > r.y0;
}

std::optional<TexturePattern> CreatePattern(const CTrackPOD& track, const PatternRect& rect,
                                            const PaletteColours& displayPalette) {
    if (!CanCreatePattern(rect)) return std::nullopt;
    TexturePattern pattern;
    pattern.width = rect.x1 - rect.x0 + 1;
    pattern.height = rect.y1 - rect.y0 + 1;
    std::map<int, uint16_t> localOf;
    std::vector<int> slots; // track slot of each local number
    for (int y = rect.y0; y <= rect.y1; ++y)
        for (int x = rect.x0; x <= rect.x1; ++x) {
            const uint16_t cell = track.terrain.textures[size_t(y * kGridSize + x)];
            const int slot = cell & kTextureSlotMask;
            if (slot >= kMaxTerrainTextures || !track.terrainTextures[size_t(slot)]) return std::nullopt;
            auto [it, isNew] = localOf.try_emplace(slot, uint16_t(slots.size()));
            if (isNew) {
                slots.push_back(slot);
                pattern.textures.emplace_back(track.terrainTextures[size_t(slot)]->name().view());
            }
            pattern.cells.push_back(uint16_t((cell & kFlagBits) | it->second));
        }
    drawPreview(track, pattern, slots, displayPalette);
    return pattern;
}

PatternApplyResult ApplyPattern(CTrackPOD& track, const TexturePattern& pattern, int x, int y,
                                const PatternApplyParams& params, Prompter& prompter,
                                const std::function<void()>& beforeStamp) {
    PatternApplyResult result;
    if (track.podViewMode || pattern.cells.size() != size_t(pattern.width) * size_t(pattern.height)) return result;
    std::vector<int> slots;
    for (const auto& name : pattern.textures) slots.push_back(track.FindTexture(name.view()));
    const bool missing = std::find(slots.begin(), slots.end(), -1) != slots.end();
    if (missing && !params.alwaysLoad && !prompter.askYesNo(kTexturesNotLoadedQuestion, kTexturesNotLoadedCaption, true))
        return result;
    if (missing && !addMissingTextures(track, pattern, slots, params, prompter, result.texturesAdded)) return result;
    if (beforeStamp) beforeStamp();
    for (int r = 0; r < pattern.height; ++r)
        for (int c = 0; c < pattern.width; ++c) {
            const int gx = x + c, gy = y + r;
            const uint16_t cell = pattern.cells[size_t(r * pattern.width + c)];
            const size_t local = cell & 0x0FFF;
            if (gx < 0 || gy < 0 || gx >= kGridSize || gy >= kGridSize || local >= slots.size()) continue;
            track.terrain.textures[size_t(gy * kGridSize + gx)] = uint16_t((cell & kFlagBits) | slots[local]);
        }
    result.stamped = true;
    return result;
}

} // namespace ravok

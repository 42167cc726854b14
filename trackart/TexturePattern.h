#pragma once

#include "art/Palette.h"
#include "base/FixedString.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

// Texture patterns: a rectangle of the terrain's texture grid, up to 16 x 16
// cells, kept with the names of the textures it uses and a preview picture,
// so that the same arrangement can be stamped onto any track.
namespace ravok {

class CTrackPOD;
class Prompter;

constexpr int kMaxPatternSide = 16;
constexpr int kMaxPatternTextures = 256;
constexpr size_t kMaxPatternName = 39;
constexpr size_t kPreviewInfoBytes = 40 + 256 * 4; // information header and colour table

struct TexturePattern {
    FixedString<40> name;
    int width = 0, height = 0;        // cells, 1..16 each, at least 2 in all
    std::vector<uint16_t> cells;      // row after row: local texture number | flag bits of the cell
    std::vector<FixedString<32>> textures; // local number = position
    std::array<uint8_t, kPreviewInfoBytes> previewInfo{}; // 40-byte header, 256 x blue, green, red, 0
    std::vector<uint8_t> previewPixels; // rows top to bottom, previewWidth() x previewHeight()

    int previewWidth() const;
    int previewHeight() const;
};

// Preview pixels per cell: 64 when 100 / the larger side is at least 64,
// otherwise the largest of 32, 16, 8, 4, 2, 1 not above that quotient.
int PreviewCellSize(int width, int height);

// A rectangle of grid cells, bounds inclusive.
struct PatternRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Whether a cell rectangle can become a pattern: on the grid, at most
// 16 x 16 and more than one cell.
bool CanCreatePattern(const PatternRect& rect);

// A pattern from the cells of a rectangle: local numbers in order of first
// appearance, row by row, and the preview drawn from the track's textures in
// the display palette. Nullopt when the rectangle is refused or names a
// texture slot the track does not hold.
std::optional<TexturePattern> CreatePattern(const CTrackPOD& track, const PatternRect& rect,
                                            const PaletteColours& displayPalette);

constexpr const char* kTexturesNotLoadedQuestion =
    "Some textures are not loaded into you track.\nLoad them automatically?";
constexpr const char* kTexturesNotLoadedCaption = "Textures not Loaded";

struct PatternApplyParams {
    std::filesystem::path artFolder;
    bool alwaysLoad = false; // add missing textures without asking
    bool keepHdArtOnly = false;
};

struct PatternApplyResult {
    bool stamped = false;
    bool texturesAdded = false; // the view rebuilds its texture display
};

// Stamps a pattern with its top-left cell at (x, y): missing textures are
// added from the art folder (after asking unless always-load is on; No stops
// the stamp), then each cell inside the grid takes its flag bits and the
// track slot of its texture. A texture that cannot be added stops with
// "Can't load texture: "%s"!". `beforeStamp` runs just before the cells
// change (the editor saves the rectangle for undo there).
PatternApplyResult ApplyPattern(CTrackPOD& track, const TexturePattern& pattern, int x, int y,
                                const PatternApplyParams& params, Prompter& prompter,
                                const std::function<void()>& beforeStamp = {});

} // namespace ravok

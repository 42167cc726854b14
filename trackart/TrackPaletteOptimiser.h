#pragma once

#include "art/Palette.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// The optimised track palette: the colours of the textures the track uses,
// weighted by how much each is used, gathered in a 15-bit histogram and
// reduced to at most 220 colours, framed by the twenty reserved colours of a
// 256-colour display and 28 primary colours.
namespace ravok {

class CTrackPOD;
class ProgressSink;

constexpr int kHistogramCells = 32768; // 5 bits of red, green, blue: red5 << 10 | green5 << 5 | blue5
constexpr int kOptimisedColours = 220;

// The twenty colours a 256-colour display reserves: its first ten entries,
// then its last ten.
extern const std::array<RgbColour, 20> kSystemPaletteColours;

// How often each texture is used: terrain slots by grid cells, ground-box
// faces and animation frames; model textures by the objects whose model or
// cab model uses them (once per object).
struct TextureUsage {
    std::vector<int> terrain = std::vector<int>(1024, 0);
    std::vector<int> model = std::vector<int>(4096, 0);
};
TextureUsage CountTextureUsage(const CTrackPOD& track);

// Histogram weight per pixel of a texture (doubled for bright colours).
int TerrainTextureWeight(int usage, int width);
int ModelTextureWeight(int usage, int width);

int HistogramCell(const RgbColour& c);
RgbColour HistogramCellColour(int cell); // 5-bit values x 8 + 7

// The weighted histogram of every texture that reads from the art folder (or
// the HD hook); `texturesRead` receives how many did. Progress goes to the
// track's progress window; nullopt when it is cancelled.
std::optional<std::vector<uint64_t>> BuildPaletteHistogram(const CTrackPOD& track,
                                                           const std::filesystem::path& artFolder,
                                                           int* texturesRead = nullptr,
                                                           ProgressSink* progress = nullptr);

// The palette of a histogram: primaries added, weights flattened, cells
// reduced to 220, then laid out as entries 0..9 and 246..255 the system
// colours, 10..37 the primaries, then the kept cells in cell order.
PaletteColours PaletteFromHistogram(std::vector<uint64_t> histogram);

// Create Optimized Palette; nullopt ("Error calculating palette!") when no
// texture could be read or the work was cancelled.
constexpr const char* kPaletteErrorMessage = "Error calculating palette!";
constexpr const char* kBuildingPaletteCaption = "Building palette...";
std::optional<PaletteColours> OptimisedPalette(const CTrackPOD& track, const std::filesystem::path& artFolder,
                                               ProgressSink* progress = nullptr);

} // namespace ravok

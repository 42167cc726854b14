#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Random terrain: a whole height map made by one of two generators from a
// seed and four sliders, with the C library's srand/rand, so a seed gives the
// same map with the same C library.
namespace ravok {

class CTrackPOD;
struct AutoTerrainSettings;
struct TerrainUndo;

enum class TerrainGenerator : int { Classic = 0, Fractal = 1 };

struct RandomTerrainParams {
    TerrainGenerator generator = TerrainGenerator::Classic;
    int seed = 0; // 0..255
    // The sliders in dialog order: ground level (Classic only), "Max hill
    // height" / "Max range", "Min valley depth" / "Roughness" (0..255 each),
    // and smoothness (0..100 %).
    int ground = 100, second = 20, third = 50, smoothness = 40;

    // From the settings' "Auto Terrain" record and "Seed" value (seed in bits
    // 0..7, generator in bits 8..15, above 1 counting as Classic).
    static RandomTerrainParams fromSettings(const AutoTerrainSettings& sliders, uint32_t seedValue);
    // Back into them, for OK of the dialog.
    void toSettings(AutoTerrainSettings& sliders, uint32_t& seedValue) const;
    // Every value put into its range.
    RandomTerrainParams corrected() const;
    bool operator==(const RandomTerrainParams&) const = default;
};

// Classic for a smoothness S (0..100): the number of rectangles, their
// maxSize (each side is drawn in 0..maxSize - 1) and the smoothing passes.
int ClassicRectangleCount(int smoothness);
int ClassicMaxSize(int smoothness);
int ClassicSmoothingPasses(int smoothness);
// Fractal: S / 5 smoothing passes.
int FractalSmoothingPasses(int smoothness);

// The generators' work buffer (the float field of Fractal), kept by a caller
// that regenerates often, such as the dialog's preview.
struct RandomTerrainWork {
    std::vector<float> field;
};

// Generates the 65,536 heights (row-major, the preview and the map OK puts
// into the track). Starts with srand(seed) and draws from rand().
void GenerateRandomTerrain(const RandomTerrainParams& params, std::span<uint8_t, 65536> heights,
                           RandomTerrainWork* work = nullptr);
std::vector<uint8_t> GenerateRandomTerrain(const RandomTerrainParams& params);

// One smoothing pass over a map in place: each cell in row-major order
// becomes the mean of itself, its right, lower and lower-right neighbours
// (indices wrapping over the whole map), using the cells already updated.
void SmoothRandomTerrain(std::span<uint8_t, 65536> heights);

// "Rand": a new seed from the C library's generator, rand() & 255.
int RandomTerrainSeed();

// OK: takes the terrain undo snapshot and puts the generated map into the
// track. False (nothing changes) for a track shown from a pod or a map of
// the wrong size.
bool ApplyRandomTerrain(CTrackPOD& track, std::span<const uint8_t> heights, TerrainUndo& undo);

} // namespace ravok

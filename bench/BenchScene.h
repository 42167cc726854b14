#pragma once

// The scene both renderer benchmarks draw: a 256 x 256 height field of
// rolling hills with every cell textured from 16 procedural 64 x 64
// textures, and the cameras that look at it. Pure functions, so the software
// renderer's benchmark and the OpenGL peer draw exactly the same thing.
#include <array>
#include <cmath>
#include <algorithm>
#include <cstdint>

namespace ravok::bench {

constexpr int kSceneGrid = 256;      // vertices per side
constexpr int kSceneTextures = 16;   // textures in use
constexpr int kSceneTextureSide = 64;

// Vertex height 0..255.
inline uint8_t sceneHeight(int x, int y) {
    const double h = 100 + 40 * std::sin(x * 0.07) * std::cos(y * 0.05) + 25 * std::sin((x + 2 * y) * 0.021);
    return uint8_t(std::lround(std::fmax(0, std::fmin(255, h))));
}

// The texture of a cell: slot in the low 12 bits, as a terrain cell stores it
// (no mirror or rotation bits).
inline uint16_t sceneCellTexture(int x, int y) { return uint16_t(((x / 4) * 7 + (y / 4) * 3) % kSceneTextures); }

// Palette index of texel (u, v) of texture `slot`: a checker of two colours
// of the slot's own band of 14 palette entries, with a diagonal stripe.
inline uint8_t sceneTexel(int slot, int u, int v) {
    const int band = 1 + slot * 14;
    const bool checker = ((u / 8) + (v / 8)) % 2 == 0;
    const bool stripe = (u + v) % 16 < 2;
    return uint8_t(band + (stripe ? 13 : checker ? (u % 8) : 6 + (v % 8)));
}

// Palette colour of index i (red, green, blue): bands of related colours.
inline std::array<uint8_t, 3> scenePaletteColour(int i) {
    const int band = (i - 1) / 14, step = (i - 1) % 14;
    if (i <= 0 || band >= kSceneTextures) return {0, 0, 0};
    const int r = 40 + (band * 53) % 160, g = 60 + (band * 97) % 150, b = 30 + (band * 31) % 170;
    return {uint8_t(std::min(255, r + step * 6)), uint8_t(std::min(255, g + step * 5)),
            uint8_t(std::min(255, b + step * 4))};
}

// A camera of the track view: world units (64 to a grid square), height in
// thirds of a height step, yaw and pitch in tenths of a degree (pitch 900 is
// level, 1800 straight down), and the square window of terrain drawn around
// the grid square (originX, originY).
struct SceneCamera {
    int x, y, z, yaw, pitch;
    int originX, originY, gridSize;
};

// The whole grid from high above its south-west corner, looking north-east and down.
constexpr SceneCamera kWholeGridCamera{0, 0, 2304, 450, 1200, 0, 0, 256};
// A 64-square window around the middle of the track, seen from inside it.
constexpr SceneCamera kWindowCamera{8192, 6144, 700, 0, 1050, 128, 128, 64};

} // namespace ravok::bench

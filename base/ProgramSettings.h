#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace ravok {

// Last terrain lighting settings, stored as four little-endian 32-bit words:
//   word 0 sun position (0 overhead, 1..4 the four sides)
//   word 1 bright level (0..255)
//   word 2 altitude bias % (0..100) in its low 16 bits, shadow % (0..100) in its high 16 bits
//   word 3 dark level (0..255)
// The default words 0, 237, 0, 153 mean overhead sun, bright 237, no bias, no shadow, dark 153.
struct LightingSettings {
    int sunPosition = 0, brightLevel = 237, altitudeBias = 0, shadow = 0, darkLevel = 153;
    static LightingSettings fromBytes(std::span<const uint8_t> bytes);
    std::array<uint8_t, 16> toBytes() const;
};

// State of the editing tool bars, 12 bytes:
//   0 display mode / wire-frame check (0 textured, 1 wire frame, 2 both)   = 2
//   1 terrain tool 0..7 = 0         2 orientation 0..7 = 0      3 curvature 0..6 = 3
//   4-5 altitude of the brush tools, signed 16-bit LE, -255..255 = 32
//   6 terrain tool width 1..25 = 5  7 terrain tool height 1..25 = 5
//   8 paint width 1..16 = 1         9 paint height 1..16 = 1
//   10-11 single-point step, signed 16-bit LE, -255..255 = 1
struct EditState {
    int displayMode = 2, terrainTool = 0, orientation = 0, curvature = 3, altitude = 32;
    int toolWidth = 5, toolHeight = 5, paintWidth = 1, paintHeight = 1, singlePointStep = 1;
    static EditState fromBytes(std::span<const uint8_t> bytes);
    std::array<uint8_t, 12> toBytes() const;
};

// Autosave: four words, enabled, method (0 overwrite, 1 special file), minutes, 0.
struct AutosaveSettings {
    bool enabled = false;
    int method = 1;
    int minutes = 15;
    static AutosaveSettings fromBytes(std::span<const uint8_t> bytes);
    std::array<uint8_t, 16> toBytes() const;
};

// Random terrain sliders in dialog order. The generator and the seed share
// the "Seed" value: seed in bits 0..7, generator (0 Classic, 1 Fractal) in bits 8..15.
struct AutoTerrainSettings {
    std::array<int32_t, 4> sliders{100, 20, 50, 40};
    static AutoTerrainSettings fromBytes(std::span<const uint8_t> bytes);
    std::array<uint8_t, 16> toBytes() const;
};
inline int seedOf(uint32_t seedValue) { return int(seedValue & 255); }
inline int generatorOf(uint32_t seedValue) { return ((seedValue >> 8) & 255) > 1 ? 0 : int((seedValue >> 8) & 255); }
inline uint32_t seedValue(int seed, int generator) { return uint32_t(seed & 255) | uint32_t(generator & 1) << 8; }

// A window rectangle; left -1000 means none saved.
struct SavedRect {
    int32_t left = -1000, top = 0, right = 0, bottom = 0;
    static SavedRect fromBytes(std::span<const uint8_t> bytes);
    std::array<uint8_t, 16> toBytes() const;
};

struct SavedSize {
    int32_t cx = 0, cy = 0;
    static SavedSize fromBytes(std::span<const uint8_t> bytes);
    std::array<uint8_t, 8> toBytes() const;
};

struct ColourValue {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const ColourValue&) const = default;
};
// The 2D views' colours: Background, Wireframe, Wire Overlay, Object Outline,
// Altitude Value, Altitude Grid, and two not shown on the Colors page.
using ViewColours = std::array<ColourValue, 8>;
ViewColours defaultViewColours();
ViewColours coloursFromBytes(std::span<const uint8_t> bytes);
std::array<uint8_t, 32> coloursToBytes(const ViewColours& colours);

// The program's settings, read at start-up and written when the main window closes.
struct ProgramSettings {
    float gamma = 1.0f;
    uint32_t quality = 1;
    uint32_t polysize = 64;
    uint32_t display = 0; // 0 640x480, 1 800x600, 2 1024x768, 3 1920x1080, 4 window size
    // View flags, bits 0..14 of "Flags".
    bool alwaysShowCourse = false, alwaysShowObjects = false, alwaysShowGroundBoxes = false;
    bool showWater = true, showBackdrop = true, useOpenGL = false, displayFps = false;
    bool modelTransparency = false, verticalSync = false, hideColliderBoxes = false, wholeGrid = false;
    bool keepHdArtOnly = false, objectXYInSitUnits = false, dontExplainLegacyFallback = false, detailMask = false;
    std::filesystem::path artFolder, modelsFolder, podFolder, trackFolder, sitFolder, soundFolder, bitmapsFolder;
    std::filesystem::path patternFile;
    LightingSettings lighting;
    AutoTerrainSettings autoTerrain;
    uint32_t seed = 0;
    AutosaveSettings autosave;
    EditState editState;
    // Plane's remembered Altitude, kept beside the edit state, whose one Altitude is the brush tools'.
    int planeAltitude = 100;
    SavedRect windowPos, modelsRect, texturesRect;
    // The Textures and Models boxes' widths while docked, 0 for none saved.
    uint32_t texturePaneWidth = 0, modelsListWidth = 0;
    SavedSize componentsSize, objPropsSize, texCutSize;
    uint32_t texCutFormat = 0;
    bool maximized = false;
    ViewColours colors = defaultViewColours();
};

constexpr size_t kMaxFolderChars = 259;

// Defaults, with the folders taken from the current directory at start-up.
ProgramSettings defaultSettings(const std::filesystem::path& currentDirectory);

// Read corrections: grid size below 16 becomes 16, else rounded to a multiple
// of 8 and capped at 256; a display outside 0..4 becomes 0.
uint32_t correctPolysize(uint32_t value);
uint32_t correctDisplay(uint32_t value);
int clampAutosaveMinutes(int minutes);

uint32_t packViewFlags(const ProgramSettings& s);
void unpackViewFlags(ProgramSettings& s, uint32_t flags);

} // namespace ravok

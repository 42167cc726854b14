#include "base/ProgramSettings.h"

#include <algorithm>

namespace ravok {
namespace {

uint32_t word(std::span<const uint8_t> b, size_t i) {
    size_t at = i * 4;
    if (at + 4 > b.size()) return 0;
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

template <size_t N> void putWord(std::array<uint8_t, N>& out, size_t i, uint32_t v) {
    for (size_t k = 0; k < 4; ++k) out[i * 4 + k] = uint8_t(v >> (8 * k));
}

int16_t i16At(std::span<const uint8_t> b, size_t at) { return int16_t(uint16_t(b[at] | b[at + 1] << 8)); }

int clampTo(int64_t v, int lo, int hi) { return int(std::clamp<int64_t>(v, lo, hi)); }

// The bool members behind bits 0..14 of "Flags", in bit order.
constexpr bool ProgramSettings::*kFlagMembers[15] = {
    &ProgramSettings::alwaysShowCourse, &ProgramSettings::alwaysShowObjects,
    &ProgramSettings::alwaysShowGroundBoxes, &ProgramSettings::showWater, &ProgramSettings::showBackdrop,
    &ProgramSettings::useOpenGL, &ProgramSettings::displayFps, &ProgramSettings::modelTransparency,
    &ProgramSettings::verticalSync, &ProgramSettings::hideColliderBoxes, &ProgramSettings::wholeGrid,
    &ProgramSettings::keepHdArtOnly, &ProgramSettings::objectXYInSitUnits,
    &ProgramSettings::dontExplainLegacyFallback, &ProgramSettings::detailMask,
};

} // namespace

LightingSettings LightingSettings::fromBytes(std::span<const uint8_t> b) {
    LightingSettings s;
    if (b.size() != 16) return s;
    s.sunPosition = clampTo(int32_t(word(b, 0)), 0, 4);
    s.brightLevel = clampTo(int32_t(word(b, 1)), 0, 255);
    s.altitudeBias = clampTo(word(b, 2) & 0xffff, 0, 100);
    s.shadow = clampTo(word(b, 2) >> 16, 0, 100);
    s.darkLevel = clampTo(int32_t(word(b, 3)), 0, 255);
    return s;
}

std::array<uint8_t, 16> LightingSettings::toBytes() const {
    std::array<uint8_t, 16> out{};
    putWord(out, 0, uint32_t(sunPosition));
    putWord(out, 1, uint32_t(brightLevel));
    putWord(out, 2, uint32_t(altitudeBias & 0xffff) | uint32_t(shadow & 0xffff) << 16);
    putWord(out, 3, uint32_t(darkLevel));
    return out;
}

EditState EditState::fromBytes(std::span<const uint8_t> b) {
    EditState s;
    if (b.size() != 12) return s;
    s.displayMode = clampTo(b[0], 0, 2);
    s.terrainTool = clampTo(b[1], 0, 7);
    s.orientation = clampTo(b[2], 0, 7);
    s.curvature = clampTo(b[3], 0, 6);
    s.altitude = clampTo(i16At(b, 4), -255, 255);
    s.toolWidth = clampTo(b[6], 1, 25);
    s.toolHeight = clampTo(b[7], 1, 25);
    s.paintWidth = clampTo(b[8], 1, 16);
    s.paintHeight = clampTo(b[9], 1, 16);
    s.singlePointStep = clampTo(i16At(b, 10), -255, 255);
    return s;
}

std::array<uint8_t, 12> EditState::toBytes() const {
    auto u8 = [](int v) { return uint8_t(v); };
    return {u8(displayMode), u8(terrainTool), u8(orientation), u8(curvature),
            u8(altitude & 255), u8((altitude >> 8) & 255), u8(toolWidth), u8(toolHeight),
            u8(paintWidth), u8(paintHeight), u8(singlePointStep & 255), u8((singlePointStep >> 8) & 255)};
}

AutosaveSettings AutosaveSettings::fromBytes(std::span<const uint8_t> b) {
    AutosaveSettings s;
    if (b.size() != 16) return s;
    s.enabled = word(b, 0) != 0;
    s.method = word(b, 1) ? 1 : 0;
    s.minutes = clampAutosaveMinutes(int(int32_t(word(b, 2))));
    return s;
}

std::array<uint8_t, 16> AutosaveSettings::toBytes() const {
    std::array<uint8_t, 16> out{};
    putWord(out, 0, enabled ? 1 : 0);
    putWord(out, 1, uint32_t(method));
    putWord(out, 2, uint32_t(minutes));
    return out;
}

AutoTerrainSettings AutoTerrainSettings::fromBytes(std::span<const uint8_t> b) {
    AutoTerrainSettings s;
    if (b.size() != 16) return s;
    for (size_t i = 0; i < 4; ++i) s.sliders[i] = clampTo(int32_t(word(b, i)), 0, i == 3 ? 100 : 255);
    return s;
}

std::array<uint8_t, 16> AutoTerrainSettings::toBytes() const {
    std::array<uint8_t, 16> out{};
    for (size_t i = 0; i < 4; ++i) putWord(out, i, uint32_t(sliders[i]));
    return out;
}

SavedRect SavedRect::fromBytes(std::span<const uint8_t> b) {
    if (b.size() != 16) return {};
    return {int32_t(word(b, 0)), int32_t(word(b, 1)), int32_t(word(b, 2)), int32_t(word(b, 3))};
}

std::array<uint8_t, 16> SavedRect::toBytes() const {
    std::array<uint8_t, 16> out{};
    putWord(out, 0, uint32_t(left));
    putWord(out, 1, uint32_t(top));
    putWord(out, 2, uint32_t(right));
    putWord(out, 3, uint32_t(bottom));
    return out;
}

SavedSize SavedSize::fromBytes(std::span<const uint8_t> b) {
    if (b.size() != 8) return {};
    return {int32_t(word(b, 0)), int32_t(word(b, 1))};
}

std::array<uint8_t, 8> SavedSize::toBytes() const {
    std::array<uint8_t, 8> out{};
    putWord(out, 0, uint32_t(cx));
    putWord(out, 1, uint32_t(cy));
    return out;
}

ViewColours defaultViewColours() {
    return {{{0, 0, 0}, {0, 128, 0}, {192, 192, 192}, {255, 255, 255}, {255, 255, 255}, {255, 255, 0},
             {0, 0, 0}, {255, 255, 255}}};
}

ViewColours coloursFromBytes(std::span<const uint8_t> b) {
    if (b.size() != 32) return defaultViewColours();
    ViewColours c;
    for (size_t i = 0; i < 8; ++i) c[i] = {b[i * 4], b[i * 4 + 1], b[i * 4 + 2]};
    return c;
}

std::array<uint8_t, 32> coloursToBytes(const ViewColours& colours) {
    std::array<uint8_t, 32> out{};
    for (size_t i = 0; i < 8; ++i) {
        out[i * 4] = colours[i].r;
        out[i * 4 + 1] = colours[i].g;
        out[i * 4 + 2] = colours[i].b;
    }
    return out;
}

ProgramSettings defaultSettings(const std::filesystem::path& currentDirectory) {
    ProgramSettings s;
    s.artFolder = currentDirectory / "Art";
    s.modelsFolder = currentDirectory / "Models";
    s.podFolder = s.trackFolder = s.sitFolder = s.soundFolder = s.bitmapsFolder = currentDirectory;
    s.patternFile = currentDirectory / "Patterns.rvp";
    return s;
}

uint32_t correctPolysize(uint32_t value) {
    if (value < 16) return 16;
    return std::min<uint32_t>((std::min<uint32_t>(value, 256) + 4) & ~7u, 256);
}

uint32_t correctDisplay(uint32_t value) { return value <= 4 ? value : 0; }

int clampAutosaveMinutes(int minutes) { return std::clamp(minutes, 1, 30); }

uint32_t packViewFlags(const ProgramSettings& s) {
    uint32_t flags = 0;
    for (size_t bit = 0; bit < 15; ++bit)
        if (s.*kFlagMembers[bit]) flags |= 1u << bit;
    return flags;
}

void unpackViewFlags(ProgramSettings& s, uint32_t flags) {
    for (size_t bit = 0; bit < 15; ++bit) s.*kFlagMembers[bit] = (flags >> bit) & 1u;
}

} // namespace ravok

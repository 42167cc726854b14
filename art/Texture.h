#pragma once

#include "base/FixedString.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

namespace ravok {

constexpr int kMaxSurfaceType = 12;
constexpr int kMaxGripDepth = 99;

// An 8-bit palette texture. After loading its pixels index the track palette.
// Terrain and model textures are named ART\ + stem + .RAW, upper case.
class Texture {
public:
    uint32_t bad = 0; // 1 when the loader put a placeholder in place of a texture found nowhere

    // Sets name, size and pixels; no bytes leaves the texture without pixels.
    void setPicture(std::string_view name, int width, int height, const uint8_t* bytes);
    void setName(std::string_view name) { m_name.set(name); }
    // Drops the pixels, keeping name and size (so the loaders read it again).
    void dropPixels() { m_pixels.clear(); m_hasPixels = false; }

    const FixedString<32>& name() const { return m_name; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    bool hasPixels() const { return m_hasPixels; }
    std::span<const uint8_t> pixels() const { return m_pixels; }
    std::span<uint8_t> pixels() { return m_pixels; }

    // Reads height rows of width bytes. A short read frees the pixels, sets
    // the size to 0, empties the name and fails.
    bool readRaw(FILE* stream, std::string_view name, int width, int height);
    // Writes width x height bytes; true when every row was written.
    bool writeRaw(FILE* stream) const;

    int surfaceType() const { return m_surfaceType; }
    int gripDepth() const { return m_gripDepth; }
    void setSurfaceType(int type) { if (type >= 0 && type <= kMaxSurfaceType) m_surfaceType = type; }
    void setGripDepth(int depth) { if (depth >= 0 && depth <= kMaxGripDepth) m_gripDepth = depth; }

    // The PNG or TGA bytes of the texture's HD picture; empty means none.
    void setHdSource(std::span<const uint8_t> bytes) { m_hdSource.assign(bytes.begin(), bytes.end()); }
    std::span<const uint8_t> hdSource() const { return m_hdSource; }

private:
    FixedString<32> m_name;
    int m_width = 0;
    int m_height = 0;
    bool m_hasPixels = false;
    std::vector<uint8_t> m_pixels;
    int m_surfaceType = 0;
    int m_gripDepth = 1;
    std::vector<uint8_t> m_hdSource;
};

// The side s of a .RAW of s x s bytes (s = 32, 64, ..., 1024); 0 for any
// other size, which is not a texture.
int SideFromFileSize(uint64_t size);

// A .ACT path from a texture path: the first ".RAW" becomes ".ACT"; empty when
// the path holds no ".RAW".
std::string actPathForRaw(std::string_view rawPath);

} // namespace ravok

#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ravok {

// Red, green, blue bytes, rows top to bottom, packed without gaps.
struct RgbPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

// An 8-bit picture with its own 256-colour palette (red, green, blue: the .ACT layout).
struct QuantisedPicture {
    std::vector<uint8_t> indices;
    std::array<uint8_t, 768> palette{};
    int boxes = 0;
};

// A square 8-bit texture built from an HD picture.
struct LegacyTexture {
    int side = 0;
    std::vector<uint8_t> indices;
    std::array<uint8_t, 768> palette{};
};

// 64 below an HD side of 256, else 256.
int LegacySide(int hdSide);
// Edge pixels of a terrain texture of that side: max(side / 32, 1).
int TerrainBorder(int side);

// Box-filter resampling: enlarging repeats pixels, reducing averages them.
RgbPicture ResamplePicture(const RgbPicture& source, int width, int height);
// The picture resampled inside a border that repeats its own edge pixels, so
// that neighbouring terrain tiles meet without seams.
RgbPicture BorderedPicture(const RgbPicture& source, int side);

// Median cut over a 15-bit histogram, without dithering: every pixel of one
// 5-bit cell gets the same index. Nullopt for an empty or inconsistent
// picture and when memory runs out.
std::optional<QuantisedPicture> QuantisePicture(const RgbPicture& picture);

// Blue-green-red rows of `stride` bytes (the device-independent layout) into packed RGB.
RgbPicture RgbFromBgrRows(const uint8_t* bgr, int width, int height, size_t stride);

// The legacy texture of a square HD picture: terrain textures get the edge border.
constexpr const char* kOutOfMemoryQuantizing = "Out of memory quantizing the texture.";
constexpr const char* kOutOfMemoryQuantizingLegacy = "Out of memory quantizing the legacy texture.";
std::optional<LegacyTexture> BuildLegacyTexture(const RgbPicture& hd, bool terrain, std::string& message);

// Writes the indices as a .RAW and the palette as the .ACT beside it (".act"
// beside an all lower-case extension, else ".ACT"); no half pair remains on failure.
bool WriteLegacyPair(const std::filesystem::path& rawPath, const LegacyTexture& texture, std::string& message);

// Reduces a square tile of blue-green-red rows to 256 colours and writes it as
// .RAW and .ACT; when either write fails both files are removed.
bool WriteTile(const std::filesystem::path& rawPath, const uint8_t* bgr, int side, size_t stride,
               std::string& message);

// An uncompressed bottom-up 8-bit BMP file of the blue-green-red picture
// resampled to the given size (every size 1..8192).
std::optional<std::vector<uint8_t>> BuildBmp8(const uint8_t* bgr, int width, int height, size_t stride,
                                              int outWidth, int outHeight, std::string& message);

} // namespace ravok

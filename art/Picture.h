#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravok {

struct RgbPicture;

// What the first bytes of a picture file say it is.
enum class PictureKind { Png, Jpeg, Gif, Bmp, Dds, Photoshop, WebP, Other };
PictureKind RecognisePicture(std::span<const uint8_t> bytes);

// Sizes an HD texture may have, and the largest picture to cut textures from.
constexpr int kMinHdTextureSide = 32;
constexpr int kMaxHdTextureSide = 1024;
constexpr int kMaxCutPictureSide = 8192;
// Bytes of a file's start that the header checks look at.
constexpr size_t kPictureHeaderBytes = 128;

struct PictureSize {
    int width = 0, height = 0;
};

// The header checks: refuses other kinds with their texts, damaged PNG
// headers and files the decoder does not know, then tests the size (the
// texture rules, or the cut-picture limit without them). `name` is the file
// name shown in messages; empty means "The texture".
std::optional<PictureSize> CheckPictureHeader(std::span<const uint8_t> bytes, std::string_view name,
                                              bool textureRules, std::string& message);
// The same on the first 128 bytes of a file.
std::optional<PictureSize> ReadPictureHeader(const std::filesystem::path& path, bool textureRules,
                                             std::string& message);

// Decodes a PNG or TGA after the header checks into red, green, blue pixels.
std::optional<RgbPicture> DecodePicture(std::span<const uint8_t> bytes, std::string_view name, bool textureRules,
                                        std::string& message);
std::optional<RgbPicture> DecodePictureFile(const std::filesystem::path& path, bool textureRules,
                                            std::string& message);

// The device-independent layout: rows of blue, green, red, top to bottom,
// each padded with zeros to a multiple of 4 bytes.
struct DibPicture {
    int width = 0, height = 0;
    size_t stride = 0;
    std::vector<uint8_t> bgr;
};
size_t DibStride(int width);
std::optional<DibPicture> DibFromRgb(const RgbPicture& picture, std::string& message);
std::optional<DibPicture> DecodePictureToDib(std::span<const uint8_t> bytes, std::string_view name,
                                             std::string& message);
std::optional<DibPicture> DecodePictureFileToDib(const std::filesystem::path& path, std::string& message);

// True when every pixel is grey (red = green = blue); `coloured` receives the
// number of pixels that are not. Nullopt when the picture cannot be decoded.
std::optional<bool> IsGreyPicture(std::span<const uint8_t> bytes, int* coloured, std::string& message);

// A name ending in ".png" or ".tga", in any letter case.
bool HasPictureExtension(std::string_view name);

// Writers of blue-green-red rows with a row stride. Neither leaves a partly
// written file behind.
bool WriteTga(const std::filesystem::path& path, const uint8_t* bgr, int width, int height, size_t stride,
              std::string& message);
bool WritePng(const std::filesystem::path& path, const uint8_t* bgr, int width, int height, size_t stride,
              std::string& message);
std::optional<std::vector<uint8_t>> EncodePng(const uint8_t* bgr, int width, int height, size_t stride,
                                              std::string& message);

// Error codes shown in the PNG writers' messages.
constexpr unsigned long kPngErrorEncoder = 0x80040001;
constexpr unsigned long kPngErrorWrite = 0x80040002;
constexpr unsigned long kPngErrorMemory = 0x8007000E;

} // namespace ravok

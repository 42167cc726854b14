#include "art/Picture.h"

#include "art/ColourReduction.h"
#include "base/FileIO.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>

namespace ravok {
namespace {

constexpr uint8_t kPngSignature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};
constexpr size_t kMinPngHeaderBytes = 26;
constexpr size_t kMaxShownNameChars = 78;

bool startsWith(std::span<const uint8_t> b, const char* text, size_t n) {
    return b.size() >= n && std::memcmp(b.data(), text, n) == 0;
}

uint32_t be32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | uint32_t(b[at + 3]);
}

template <typename... Args> std::string format(const char* f, Args... args) {
    char text[1024];
    std::snprintf(text, sizeof text, f, args...);
    return text;
}

const char* refusalText(PictureKind kind) {
    switch (kind) {
    case PictureKind::Jpeg: return "is actually a JPEG. Re-save it as a PNG - renaming the file does not convert it.";
    case PictureKind::Gif: return "is actually a GIF. Re-save it as a PNG - renaming the file does not convert it.";
    case PictureKind::Bmp: return "is actually a BMP. Re-save it as a PNG - renaming the file does not convert it.";
    case PictureKind::WebP: return "is actually a WebP. Re-save it as a PNG - renaming the file does not convert it.";
    case PictureKind::Dds: return "is actually a DDS. Re-save it as a PNG - renaming the file does not convert it.";
    case PictureKind::Photoshop:
        return "is actually a Photoshop document. Export it as a PNG - renaming the file does not convert it.";
    default: return nullptr;
    }
}

std::string fileNameOf(std::string_view name) {
    auto slash = name.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

bool isPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

bool checkSize(PictureSize s, std::string_view name, bool textureRules, std::string& message) {
    if (!textureRules) {
        if (s.width < 1 || s.height < 1 || s.width > kMaxCutPictureSide || s.height > kMaxCutPictureSide) {
            message = format("\"%s\" is %dx%d - an image to cut textures from can be up to %d x %d.",
                             std::string(name).c_str(), s.width, s.height, kMaxCutPictureSide, kMaxCutPictureSide);
            return false;
        }
        return true;
    }
    const std::string shown =
        name.empty() ? std::string("The texture") : "\"" + std::string(name.substr(0, kMaxShownNameChars)) + "\"";
    if (s.width != s.height) {
        message = format("%s is %dx%d - it must be SQUARE.\n\nRavok will not resample it for you: crop or pad it in "
                         "your paint program so you decide what gets lost.",
                         shown.c_str(), s.width, s.height);
        return false;
    }
    if (!isPowerOfTwo(s.width)) {
        message = format("%s is %dx%d - the size must be a power of two (32, 64, 128, 256, 512 or 1024).",
                         shown.c_str(), s.width, s.height);
        return false;
    }
    if (s.width < kMinHdTextureSide || s.width > kMaxHdTextureSide) {
        message = format("%s is %dx%d - the supported range is %d to %d.", shown.c_str(), s.width, s.height,
                         kMinHdTextureSide, kMaxHdTextureSide);
        return false;
    }
    return true;
}

// The smallest file a TGA header allows for its pixels: the uncompressed
// kinds hold every pixel, a run-length packet covers at most 128 pixels with
// a count byte and one pixel value. Zero when the header is no TGA's.
uint64_t tgaBytesNeeded(std::span<const uint8_t> b, PictureSize size) {
    if (b.size() < 18) return 0;
    const int type = b[2], bits = b[16];
    const bool plain = type >= 1 && type <= 3, runs = type >= 9 && type <= 11;
    if ((!plain && !runs) || (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32)) return 0;
    const uint64_t pixelBytes = uint64_t(bits + 7) / 8;
    const uint64_t mapEntries = b[1] == 1 ? uint64_t(b[5] | b[6] << 8) : 0;
    const uint64_t start = 18 + uint64_t(b[0]) + mapEntries * ((uint64_t(b[7]) + 7) / 8);
    const uint64_t pixels = uint64_t(size.width) * uint64_t(size.height);
    return start + (plain ? pixels * pixelBytes : (pixels + 127) / 128 * (1 + pixelBytes));
}

bool validBgrArguments(const uint8_t* bgr, int width, int height, size_t stride) {
    return bgr && width >= 1 && height >= 1 && width <= 65535 && height <= 65535 && stride >= size_t(width) * 3;
}

// Blue-green-red rows with a stride into packed red-green-blue rows.
std::vector<uint8_t> packedRgb(const uint8_t* bgr, int width, int height, size_t stride) {
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bgr + size_t(y) * stride;
        uint8_t* out = rgb.data() + size_t(y) * size_t(width) * 3;
        for (int x = 0; x < width; ++x) {
            out[x * 3] = row[x * 3 + 2];
            out[x * 3 + 1] = row[x * 3 + 1];
            out[x * 3 + 2] = row[x * 3];
        }
    }
    return rgb;
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    auto* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

// PNG bytes, or the error code of the failure.
std::optional<std::vector<uint8_t>> encodePng(const uint8_t* bgr, int width, int height, size_t stride,
                                              unsigned long& error) {
    try {
        auto rgb = packedRgb(bgr, width, height, stride);
        std::vector<uint8_t> png;
        if (!stbi_write_png_to_func(appendBytes, &png, width, height, 3, rgb.data(), width * 3) || png.empty()) {
            error = kPngErrorEncoder;
            return std::nullopt;
        }
        return png;
    } catch (const std::bad_alloc&) {
        error = kPngErrorMemory;
        return std::nullopt;
    }
}

} // namespace

PictureKind RecognisePicture(std::span<const uint8_t> b) {
    if (b.size() < 2) return PictureKind::Other;
    if (b.size() >= 8 && std::memcmp(b.data(), kPngSignature, 8) == 0) return PictureKind::Png;
    if (b.size() >= 3 && b[0] == 255 && b[1] == 216 && b[2] == 255) return PictureKind::Jpeg;
    if (startsWith(b, "GIF8", 4)) return PictureKind::Gif;
    if (startsWith(b, "BM", 2)) return PictureKind::Bmp;
    if (startsWith(b, "DDS ", 4)) return PictureKind::Dds;
    if (startsWith(b, "8BPS", 4)) return PictureKind::Photoshop;
    if (b.size() >= 12 && startsWith(b, "RIFF", 4) && std::memcmp(b.data() + 8, "WEBP", 4) == 0)
        return PictureKind::WebP;
    return PictureKind::Other;
}

std::optional<PictureSize> CheckPictureHeader(std::span<const uint8_t> bytes, std::string_view name,
                                              bool textureRules, std::string& message) {
    const std::string file = fileNameOf(name);
    const PictureKind kind = RecognisePicture(bytes.first(std::min(bytes.size(), kPictureHeaderBytes)));
    if (const char* refusal = refusalText(kind)) {
        message = "\"" + file + "\" " + refusal;
        return std::nullopt;
    }
    PictureSize size;
    if (kind == PictureKind::Png) {
        if (bytes.size() < kMinPngHeaderBytes || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0 ||
            be32(bytes, 16) < 1 || be32(bytes, 20) < 1 || be32(bytes, 16) > 0x7FFFFFFF ||
            be32(bytes, 20) > 0x7FFFFFFF) {
            message = format("\"%s\" has a damaged PNG header (no valid IHDR).", file.c_str());
            return std::nullopt;
        }
        size = {int(be32(bytes, 16)), int(be32(bytes, 20))};
    } else {
        int components = 0;
        if (bytes.empty() || bytes.size() > size_t(INT32_MAX) ||
            !stbi_info_from_memory(bytes.data(), int(bytes.size()), &size.width, &size.height, &components)) {
            message = format("\"%s\" is not a readable PNG or TGA.", file.c_str());
            return std::nullopt;
        }
    }
    if (!checkSize(size, file, textureRules, message)) return std::nullopt;
    return size;
}

std::optional<PictureSize> ReadPictureHeader(const std::filesystem::path& path, bool textureRules,
                                             std::string& message) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> head(kPictureHeaderBytes);
    if (in) in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    head.resize(in ? head.size() : size_t(std::max<std::streamsize>(in.gcount(), 0)));
    if (head.size() < kMinPngHeaderBytes) {
        message = format("Cannot read \"%s\".", path.string().c_str());
        return std::nullopt;
    }
    return CheckPictureHeader(head, path.filename().string(), textureRules, message);
}

// A PNG may carry data chunks of no length. The decoder copies such a chunk
// into a buffer it has not allocated yet, which is undefined behaviour; the
// chunks add no pixels, so they are left out of a copy that is decoded instead.
// Returns nothing when the picture has no empty data chunk. The walk stops at
// the first chunk that does not fit, leaving the rest for the decoder to refuse.
static std::optional<std::vector<uint8_t>> WithoutEmptyPngDataChunks(std::span<const uint8_t> bytes) {
    constexpr size_t kSignatureBytes = 8, kChunkFrameBytes = 12;
    std::vector<uint8_t> kept;
    size_t copiedUpTo = 0;
    for (size_t at = kSignatureBytes; at + kChunkFrameBytes <= bytes.size();) {
        const uint32_t length = be32(bytes, at);
        if (length > bytes.size() - at - kChunkFrameBytes) break;
        if (length == 0 && std::memcmp(bytes.data() + at + 4, "IDAT", 4) == 0) {
            kept.insert(kept.end(), bytes.begin() + copiedUpTo, bytes.begin() + at);
            copiedUpTo = at + kChunkFrameBytes;
        }
        at += kChunkFrameBytes + length;
    }
    if (copiedUpTo == 0) return std::nullopt;
    kept.insert(kept.end(), bytes.begin() + copiedUpTo, bytes.end());
    return kept;
}

std::optional<RgbPicture> DecodePicture(std::span<const uint8_t> bytes, std::string_view name, bool textureRules,
                                        std::string& message) {
    if (bytes.empty() || bytes.size() >= kMaxWholeFileBytes) {
        message = format("Cannot read \"%s\".", fileNameOf(name).c_str());
        return std::nullopt;
    }
    auto size = CheckPictureHeader(bytes, name, textureRules, message);
    if (!size) return std::nullopt;
    // A TGA's pixels are not compressed enough to hide a short file: refuse
    // it before the decoder fills the missing part with black.
    if (RecognisePicture(bytes) != PictureKind::Png && bytes.size() < tgaBytesNeeded(bytes, *size)) {
        message = format("\"%s\" is damaged: its header says %dx%d pixels, but the file ends before their data "
                         "does.",
                         fileNameOf(name).c_str(), size->width, size->height);
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> cleaned;
    if (RecognisePicture(bytes) == PictureKind::Png && (cleaned = WithoutEmptyPngDataChunks(bytes))) bytes = *cleaned;
    int w = 0, h = 0, components = 0;
    stbi_uc* data = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &components, 3);
    if (!data) {
        const char* reason = stbi_failure_reason();
        message = format("Could not decode \"%s\"%s%s.", fileNameOf(name).c_str(), reason ? ": " : "",
                         reason ? reason : "");
        return std::nullopt;
    }
    std::optional<RgbPicture> picture;
    if (w < 1 || h < 1) {
        message = "No image data.";
    } else if (w != size->width || h != size->height) {
        message = format("Could not decode \"%s\": the size changed while decoding.", fileNameOf(name).c_str());
    } else {
        try {
            picture.emplace();
            picture->width = w;
            picture->height = h;
            picture->rgb.assign(data, data + size_t(w) * size_t(h) * 3);
        } catch (const std::bad_alloc&) {
            picture.reset();
            message = "Out of memory decoding the texture.";
        }
    }
    stbi_image_free(data);
    return picture;
}

std::optional<RgbPicture> DecodePictureFile(const std::filesystem::path& path, bool textureRules,
                                            std::string& message) {
    auto bytes = readWholeFile(path);
    if (!bytes || bytes->empty()) {
        message = format("Cannot read \"%s\".", path.string().c_str());
        return std::nullopt;
    }
    return DecodePicture(*bytes, path.filename().string(), textureRules, message);
}

size_t DibStride(int width) { return (size_t(std::max(width, 0)) * 3 + 3) & ~size_t(3); }

std::optional<DibPicture> DibFromRgb(const RgbPicture& picture, std::string& message) {
    try {
        DibPicture dib;
        dib.width = picture.width;
        dib.height = picture.height;
        dib.stride = DibStride(picture.width);
        dib.bgr.assign(dib.stride * size_t(picture.height), 0);
        for (int y = 0; y < picture.height; ++y) {
            const uint8_t* in = picture.rgb.data() + size_t(y) * size_t(picture.width) * 3;
            uint8_t* out = dib.bgr.data() + size_t(y) * dib.stride;
            for (int x = 0; x < picture.width; ++x) {
                out[x * 3] = in[x * 3 + 2];
                out[x * 3 + 1] = in[x * 3 + 1];
                out[x * 3 + 2] = in[x * 3];
            }
        }
        return dib;
    } catch (const std::bad_alloc&) {
        message = "Out of memory reading the image.";
        return std::nullopt;
    }
}

std::optional<DibPicture> DecodePictureToDib(std::span<const uint8_t> bytes, std::string_view name,
                                             std::string& message) {
    auto picture = DecodePicture(bytes, name, false, message);
    if (!picture) return std::nullopt;
    return DibFromRgb(*picture, message);
}

std::optional<DibPicture> DecodePictureFileToDib(const std::filesystem::path& path, std::string& message) {
    auto picture = DecodePictureFile(path, false, message);
    if (!picture) return std::nullopt;
    return DibFromRgb(*picture, message);
}

std::optional<bool> IsGreyPicture(std::span<const uint8_t> bytes, int* coloured, std::string& message) {
    auto picture = DecodePicture(bytes, {}, false, message);
    if (!picture) {
        message = "could not be decoded";
        return std::nullopt;
    }
    int count = 0;
    for (size_t i = 0; i + 2 < picture->rgb.size(); i += 3)
        if (picture->rgb[i] != picture->rgb[i + 1] || picture->rgb[i] != picture->rgb[i + 2]) ++count;
    if (coloured) *coloured = count;
    return count == 0;
}

bool HasPictureExtension(std::string_view name) {
    if (name.size() < 4) return false;
    std::string ext(name.substr(name.size() - 4));
    for (char& c : ext) c = char(std::tolower(uint8_t(c)));
    return ext == ".png" || ext == ".tga";
}

bool WriteTga(const std::filesystem::path& path, const uint8_t* bgr, int width, int height, size_t stride,
              std::string& message) {
    if (!validBgrArguments(bgr, width, height, stride)) {
        message = "Nothing to write.";
        return false;
    }
    std::vector<uint8_t> file;
    try {
        file.assign(18 + size_t(width) * size_t(height) * 3, 0);
    } catch (const std::bad_alloc&) {
        message = "Out of memory writing the TGA.";
        return false;
    }
    file[2] = 2; // uncompressed true colour
    file[12] = uint8_t(width);
    file[13] = uint8_t(width >> 8);
    file[14] = uint8_t(height);
    file[15] = uint8_t(height >> 8);
    file[16] = 24;
    // Rows bottom-up, as blue, green, red.
    for (int y = 0; y < height; ++y)
        std::memcpy(file.data() + 18 + size_t(y) * size_t(width) * 3, bgr + size_t(height - 1 - y) * stride,
                    size_t(width) * 3);
    if (!writeFileAtomically(path, file)) {
        message = format("Could not write \"%s\".", path.string().c_str());
        return false;
    }
    return true;
}

bool WritePng(const std::filesystem::path& path, const uint8_t* bgr, int width, int height, size_t stride,
              std::string& message) {
    if (!validBgrArguments(bgr, width, height, stride)) {
        message = "Nothing to write.";
        return false;
    }
    unsigned long error = 0;
    auto png = encodePng(bgr, width, height, stride, error);
    if (png && !writeFileAtomically(path, *png)) error = kPngErrorWrite;
    if (!png || error) {
        message = format("Could not write \"%s\" (error 0x%08lX).", path.string().c_str(), error);
        return false;
    }
    return true;
}

std::optional<std::vector<uint8_t>> EncodePng(const uint8_t* bgr, int width, int height, size_t stride,
                                              std::string& message) {
    if (!validBgrArguments(bgr, width, height, stride)) {
        message = "Nothing to encode.";
        return std::nullopt;
    }
    unsigned long error = 0;
    auto png = encodePng(bgr, width, height, stride, error);
    if (!png) message = format("Could not encode the picture as a PNG (error 0x%08lX).", error);
    return png;
}

} // namespace ravok

#include "art/PictureSlots.h"

#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "base/ByteReader.h"
#include "base/FileIO.h"
#include "base/Text.h"

namespace ravok {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCannotOpenFile = "Cannot open that file.";
constexpr const char* kNotEightBit = "Bitmap must be uncompressed 8-bit - or 24/32-bit, which becomes HD art.";
constexpr const char* kNoClipboardBitmap = "Can't get bitmap from clipboard";
constexpr const char* kCopyFailed = "Could not make the 8-bit copy of that picture.";

// BMP file layout: the 14-byte file header, then the information header.
constexpr size_t kBitsOffsetAt = 10;
constexpr size_t kInfoHeaderAt = 14;
constexpr size_t kInfoHeaderMin = 40;
constexpr size_t kColourMasksAt = kInfoHeaderAt + kInfoHeaderMin;
// A true-colour BMP has a header and at least one pixel.
constexpr size_t kMinTrueColourBmp = 55;
constexpr uint32_t kBiRgb = 0, kBiBitFields = 3;
constexpr int64_t kMaxBmpSide = 1 << 20;

struct BmpHeader {
    uint32_t bitsOffset = 0, infoSize = 0, compression = 0;
    int32_t width = 0, height = 0;
    uint16_t bitCount = 0;
    int64_t absHeight() const { return height < 0 ? -int64_t(height) : int64_t(height); }
    int64_t stride() const { return ((int64_t(width) * bitCount + 31) / 32) * 4; }
    // The pixel rows lie inside the file.
    bool bitsPresent(size_t fileSize) const {
        if (width < 1 || height == 0 || bitsOffset < kInfoHeaderAt + infoSize) return false;
        // No file this size holds more rows or columns; also keeps the product in range.
        if (width > kMaxBmpSide || absHeight() > kMaxBmpSide) return false;
        const int64_t end = int64_t(bitsOffset) + stride() * absHeight();
        return end <= int64_t(fileSize);
    }
};

std::optional<BmpHeader> readBmpHeader(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    ByteReader in(bytes);
    BmpHeader h;
    uint16_t planes = 0;
    in.seek(kBitsOffsetAt);
    in.readU32LE(h.bitsOffset);
    in.readU32LE(h.infoSize);
    in.readI32LE(h.width);
    in.readI32LE(h.height);
    in.readU16LE(planes);
    in.readU16LE(h.bitCount);
    in.readU32LE(h.compression);
    if (!in.ok() || h.infoSize < kInfoHeaderMin || h.infoSize > bytes.size()) return std::nullopt;
    return h;
}

bool standardMasks(std::span<const uint8_t> bytes) {
    ByteReader in(bytes);
    uint32_t red = 0, green = 0, blue = 0;
    in.seek(kColourMasksAt);
    return in.readU32LE(red) && in.readU32LE(green) && in.readU32LE(blue) && red == 0xFF0000 && green == 0xFF00 &&
           blue == 0xFF;
}

// A 24- or 32-bit BMP as PNG file bytes; nullopt when its pixels cannot be read.
std::optional<std::vector<uint8_t>> trueColourBmpAsPng(std::span<const uint8_t> bytes, const BmpHeader& h) {
    const bool masksOk = h.compression == kBiRgb || (h.compression == kBiBitFields && h.bitCount == 32 &&
                                                     standardMasks(bytes));
    if (!masksOk || !h.bitsPresent(bytes.size()) || h.width > kMaxCutPictureSide || h.absHeight() > kMaxCutPictureSide)
        return std::nullopt;
    const int w = h.width, height = int(h.absHeight());
    const size_t pixelBytes = h.bitCount / 8, stride = DibStride(w);
    std::vector<uint8_t> bgr(stride * size_t(height), 0);
    for (int row = 0; row < height; ++row) {
        const int stored = h.height < 0 ? row : height - 1 - row;
        const uint8_t* in = bytes.data() + h.bitsOffset + size_t(stored) * size_t(h.stride());
        uint8_t* out = bgr.data() + size_t(row) * stride;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) out[size_t(x) * 3 + size_t(c)] = in[size_t(x) * pixelBytes + size_t(c)];
    }
    std::string message;
    return EncodePng(bgr.data(), w, height, stride, message);
}

Outcome refusedHd(std::string message) { return Outcome::refused(std::move(message), kHdArtCaption); }

// The size rules of the HD path; an empty text when the size is accepted.
std::string hdSizeRefusal(const PictureSlotRules& r, int w, int h) {
    const int ow = r.legacyWidth, oh = r.legacyHeight, limit = r.hdLimit;
    if (limit > 0 && (w > limit || h > limit))
        return formatText("An HD icon can be at most %d pixels on a side - the game takes anything larger for a track "
                          "picture and shows the race-type icon instead.\n\nThat picture is %dx%d.  At the icon's "
                          "shape the largest is %dx%d.",
                          limit, w, h, limit, (ow + 2 * oh * limit) / (2 * ow));
    if (w < ow || h < oh)
        return formatText("An HD %s must be at least the size of the old one, %dx%d.\n\nThat picture is %dx%d.",
                          r.name, ow, oh, w, h);
    // The height the old shape gives at this width, rounded to nearest.
    const int64_t expected = (int64_t(ow) + 2 * int64_t(oh) * w) / (2 * int64_t(ow));
    if (h < expected - 1 || h > expected + 1)
        return formatText("An HD %s has to keep the old shape, %dx%d.  The game fits it into the same box either way, "
                          "so any other shape would not fill it the same.\n\nThat picture is %dx%d; at %d wide it "
                          "should be %d high.",
                          r.name, ow, oh, w, h, w, int(expected));
    return {};
}

// The rules every 8-bit picture meets, then it replaces the slot's pictures.
Outcome takeEightBit(PictureSlot& slot, const PictureSlotRules& rules, std::span<const uint8_t> bytes) {
    const auto h = readBmpHeader(bytes);
    if (!h || h->bitCount != 8 || h->compression != kBiRgb || !h->bitsPresent(bytes.size()))
        return Outcome::refused(kNotEightBit);
    const int width = h->width, height = int(h->absHeight());
    if (rules.slot == kInfoPhotoSlot && (width != 640 || height != 480))
        return Outcome::refused(
            formatText("The info photo must be 640x480.\n\nThat bitmap is %dx%d.", width, height));
    if (rules.slot == kIconSlot && rules.mtm2 && (width > 48 || height > 48))
        return Outcome::refused(formatText(
            "An icon bitmap can be at most 48 pixels on a side - the game takes anything larger for a track picture "
            "and shows the race-type icon instead.\n\nThat bitmap is %dx%d.",
            width, height));
    slot.bitmap.assign(bytes.begin(), bytes.end());
    slot.hdArt.clear();
    slot.hdExt.clear();
    return Outcome::success();
}

std::optional<std::vector<uint8_t>> readFile(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file, error)) return std::nullopt;
    return readWholeFile(file);
}

} // namespace

PictureSlotRules SlotRules(int slot, bool mtm2) {
    PictureSlotRules r;
    r.slot = slot;
    r.mtm2 = mtm2;
    if (slot == kBrowseSlot) {
        r.name = "browse picture";
        r.legacyWidth = 257, r.legacyHeight = 210;
    } else if (slot == kIconSlot && mtm2) {
        r.name = "icon";
        r.legacyWidth = 32, r.legacyHeight = 24, r.hdLimit = 128;
    } else {
        r.slot = slot == kIconSlot ? kIconSlot : kInfoPhotoSlot;
        r.name = slot == kIconSlot ? "zoom picture" : "info photo";
        r.legacyWidth = 640, r.legacyHeight = 480;
    }
    return r;
}

Outcome LoadSlotPicture(PictureSlot& slot, const PictureSlotRules& rules, const fs::path& file) {
    auto bytes = readFile(file);
    if (!bytes) return Outcome::refused(kCannotOpenFile);
    return LoadSlotPictureBytes(slot, rules, *bytes, file.filename().string());
}

Outcome LoadSlotPictureBytes(PictureSlot& slot, const PictureSlotRules& rules, std::span<const uint8_t> bytes,
                             std::string_view fileName) {
    if (HasPictureExtension(fileName)) return LoadSlotHdPicture(slot, rules, bytes, fileName);
    if (const auto h = readBmpHeader(bytes); h && bytes.size() >= kMinTrueColourBmp &&
                                              (h->bitCount == 24 || h->bitCount == 32)) {
        const auto png = trueColourBmpAsPng(bytes, *h);
        if (!png) return Outcome::refused(kNotEightBit);
        return LoadSlotHdPicture(slot, rules, *png, fs::path(fileName).replace_extension(".png").string());
    }
    return takeEightBit(slot, rules, bytes);
}

Outcome LoadSlotHdPicture(PictureSlot& slot, const PictureSlotRules& rules, std::span<const uint8_t> bytes,
                          std::string_view fileName) {
    std::string message;
    const auto size = CheckPictureHeader(bytes, fileName, false, message);
    if (!size) return refusedHd(message);
    if (std::string refusal = hdSizeRefusal(rules, size->width, size->height); !refusal.empty())
        return refusedHd(std::move(refusal));
    auto copy = BuildSlotCopy(bytes, rules, message);
    if (!copy) return refusedHd(kCopyFailed);
    slot.hdArt.assign(bytes.begin(), bytes.end());
    // The extension follows the content, which the pod names the file by.
    slot.hdExt = RecognisePicture(bytes) == PictureKind::Png ? ".PNG" : ".TGA";
    slot.bitmap = std::move(*copy);
    return Outcome::success();
}

Outcome PasteSlotPicture(PictureSlot& slot, const PictureSlotRules& rules,
                         const std::optional<std::vector<uint8_t>>& bmpFile) {
    if (!bmpFile) return Outcome::refused(kNoClipboardBitmap);
    return takeEightBit(slot, rules, *bmpFile);
}

std::optional<std::vector<uint8_t>> BuildSlotCopy(std::span<const uint8_t> hdArt, const PictureSlotRules& rules,
                                                  std::string& message) {
    const auto dib = DecodePictureToDib(hdArt, "", message);
    if (!dib) return std::nullopt;
    return BuildBmp8(dib->bgr.data(), dib->width, dib->height, dib->stride, rules.legacyWidth, rules.legacyHeight,
                     message);
}

std::string HdArtSaveFilter(const PictureSlot& slot) { return formatText("HD art (*%s)", slot.hdExt.c_str()); }

fs::path SlotSavePath(const fs::path& chosen, const PictureSlot& slot, SlotSaveForm form) {
    fs::path path = chosen;
    if (!slot.hdArt.empty() && form == SlotSaveForm::EightBitCopy)
        path.replace_extension(".bmp");
    else if (!path.has_extension())
        path.replace_extension(slot.hdArt.empty() ? std::string(".bmp") : lowerCase(slot.hdExt));
    return path;
}

Outcome SaveSlotPicture(const PictureSlot& slot, const PictureSlotRules& rules, SlotSaveForm form,
                        const fs::path& file) {
    const bool hd = !slot.hdArt.empty() && form == SlotSaveForm::HdArt;
    std::vector<uint8_t> built;
    if (!hd && slot.bitmap.empty() && !slot.hdArt.empty()) {
        std::string message;
        auto copy = BuildSlotCopy(slot.hdArt, rules, message);
        if (!copy) return refusedHd(kCopyFailed);
        built = std::move(*copy);
    }
    const std::vector<uint8_t>& bytes = hd ? slot.hdArt : built.empty() ? slot.bitmap : built;
    if (bytes.empty()) return Outcome::refused(kNothingToSave);
    if (!writeFileAtomically(file, bytes)) return Outcome::refused(kCannotWriteFile);
    return Outcome::success();
}

std::string SlotLabel(const PictureSlot& slot, const PictureSlotRules& rules) {
    const bool zoom = rules.slot == kIconSlot && !rules.mtm2;
    std::string message;
    if (!slot.hdArt.empty())
        if (const auto size = CheckPictureHeader(slot.hdArt, "", false, message)) {
            const char* format = rules.slot == kBrowseSlot ? "Browse (HD %dx%d)"
                                 : rules.slot == kInfoPhotoSlot ? "Photo (HD %dx%d)"
                                 : zoom                         ? "Zoom (HD %dx%d)"
                                                                : "Icon (HD %dx%d)";
            return formatText(format, size->width, size->height);
        }
    if (rules.slot == kBrowseSlot) return "Browse Bitmap (257x210)";
    if (rules.slot == kInfoPhotoSlot) return "Info Photo (640x480)";
    return zoom ? "Zoom Bitmap (640x480)" : "Icon Bitmap (32x24)";
}

bool StockIconsAvailable(const PictureSlotRules& rules) { return rules.slot == kIconSlot && rules.mtm2; }

Outcome UseStockIcon(PictureSlot& slot, const PictureSlotRules& rules, int index) {
    const auto& icons = StockIcons();
    if (!StockIconsAvailable(rules) || index < 0 || index >= int(icons.size())) return Outcome::refused();
    return takeEightBit(slot, rules, icons[size_t(index)].bitmap);
}

} // namespace ravok

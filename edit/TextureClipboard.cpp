#include "edit/TextureClipboard.h"

#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "edit/DibImage.h"
#include "model/TrackPod.h"
#include "trackart/TextureFolderFiles.h"

#include <algorithm>
#include <new>

namespace fs = std::filesystem;

namespace ravok {

namespace {

constexpr uint32_t kRedMask = 0xff0000, kGreenMask = 0x00ff00, kBlueMask = 0x0000ff;

bool bitsComplete(const DibImage& dib) { return dib.pixelBytes() <= int64_t(dib.bits.size()); }

// Index rows top to bottom and the colour table as red, green, blue.
void palettedPixels(const DibImage& dib, std::vector<uint8_t>& indices, std::array<uint8_t, 768>& palette) {
    const int64_t w = dib.absWidth(), h = dib.absHeight();
    indices.resize(size_t(w * h));
    for (int64_t row = 0; row < h; ++row)
        std::copy_n(dib.bits.begin() + std::ptrdiff_t(dib.storedRow(row) * dib.stride()), w,
                    indices.begin() + std::ptrdiff_t(row * w));
    palette.fill(0);
    for (size_t i = 0; i < dib.palette.size() && i < 256; ++i) {
        palette[3 * i] = dib.palette[i][2];
        palette[3 * i + 1] = dib.palette[i][1];
        palette[3 * i + 2] = dib.palette[i][0];
    }
}

bool readableTrueColour(const DibImage& dib) {
    if (dib.compression == 0) return true;
    return dib.bitCount == 32 && dib.compression == DibImage::kBitFields && dib.masks[0] == kRedMask &&
           dib.masks[1] == kGreenMask && dib.masks[2] == kBlueMask;
}

// Blue, green, red rows padded to 4 bytes, top row first; 32-bit pixels drop
// their fourth byte.
void trueColourRows(const DibImage& dib, CutSource& s) {
    const int step = dib.bitCount / 8;
    s.stride = DibStride(s.width);
    s.bgr.assign(s.stride * size_t(s.height), 0);
    for (int row = 0; row < s.height; ++row) {
        const uint8_t* from = dib.bits.data() + dib.storedRow(row) * dib.stride();
        uint8_t* to = s.bgr.data() + size_t(row) * s.stride;
        for (int x = 0; x < s.width; ++x) std::copy_n(from + x * step, 3, to + 3 * x);
    }
}

Outcome refused(const std::string& message) { return Outcome::refused(message, kPasteCompositeCaption); }

} // namespace

Outcome CheckPasteTexture(const DibImage* dib) {
    if (!dib) return Outcome::refused(kNoClipboardBitmap);
    if (dib->bitCount != 8 || dib->compression != 0) return Outcome::refused("Bitmap must be uncompressed, 8-bit.");
    const int64_t w = dib->absWidth(), h = dib->absHeight();
    if (w != h || (w != 64 && w != 256)) return Outcome::refused("Bitmap must be 64x64 or 256x256.");
    if (!bitsComplete(*dib)) return Outcome::refused(kNoClipboardBitmap);
    return Outcome::success();
}

Outcome PastedTextureNameProblem(const CTrackPOD& track, const fs::path& artFolder, std::string_view name) {
    const std::string stem = NameWithoutExtension(name);
    if (Outcome rules = TextureNameProblem(stem); !rules) return rules;
    const fs::path folder = artFolder.empty() ? fs::path(".") : artFolder;
    if (track.FindTexture(stem + ".RAW") >= 0 || resolveInFolder(folder, stem + ".raw") ||
        resolveInFolder(folder, stem + ".act"))
        return Outcome::refused(formatText("\"%s\" is not unique.\nPlease try a different name.", stem.c_str()));
    return Outcome::success();
}

int PasteTexture(CTrackPOD& track, const DibImage& dib, std::string_view name, const TextureAddParams& params,
                 Outcome& outcome) {
    outcome = CheckPasteTexture(&dib);
    if (outcome) outcome = PastedTextureNameProblem(track, params.artFolder, name);
    if (!outcome) return -1;
    const std::string stem = NameWithoutExtension(name);
    LegacyTexture texture;
    texture.side = int(dib.absWidth());
    palettedPixels(dib, texture.indices, texture.palette);
    std::string message;
    const fs::path raw = params.artFolder / (lowerCase(stem) + ".raw");
    if (!WriteLegacyPair(raw, texture, message)) {
        outcome = Outcome::refused(message);
        return -1;
    }
    return AddTextureFile(track, raw, upperCase(stem) + ".RAW", params, outcome);
}

Outcome CutSourceFromClipboard(const DibImage* dib, CutSource& s) {
    if (!dib) return Outcome::refused();
    if (dib->bitCount != 8 && dib->bitCount != 24 && dib->bitCount != 32)
        return refused(formatText("The clipboard holds a %d-bit image.  Only 8-bit images (cut as legacy tiles) or "
                                  "24 and 32-bit ones (cut as HD tiles) can be used.",
                                  int(dib->bitCount)));
    if ((dib->bitCount == 8 && dib->compression != 0) || !readableTrueColour(*dib))
        return refused("The clipboard image uses a colour layout Ravok does not read.");
    const int64_t w = dib->width, h = dib->absHeight();
    if (w < 1 || h < 1 || w > kMaxCutPictureSide || h > kMaxCutPictureSide)
        return refused(formatText("The clipboard image is %lld x %lld - an image to cut textures from can be up to "
                                  "%d x %d.",
                                  (long long)w, (long long)h, kMaxCutPictureSide, kMaxCutPictureSide));
    if (!bitsComplete(*dib)) return refused(kNoClipboardBitmap);
    s = CutSource{};
    s.name = "Clipboard";
    s.width = int(w);
    s.height = int(h);
    try {
        if (dib->bitCount == 8) {
            s.kind = CutSourceKind::Paletted;
            palettedPixels(*dib, s.indices, s.palette);
        } else {
            s.kind = CutSourceKind::TrueColour;
            trueColourRows(*dib, s);
        }
    } catch (const std::bad_alloc&) {
        s = CutSource{};
        return refused("Out of memory reading the clipboard image.");
    }
    return Outcome::success();
}

} // namespace ravok

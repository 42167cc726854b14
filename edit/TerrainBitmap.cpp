#include "edit/TerrainBitmap.h"

#include "edit/TerrainTools.h"
#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

namespace {
constexpr int32_t kSide = 256;
constexpr int32_t kResolution = 1000;
} // namespace

DibImage CopyTerrainAsBitmap(const CTrackPOD& track) {
    DibImage dib;
    dib.width = kSide;
    dib.height = kSide;
    dib.planes = 1;
    dib.bitCount = 8;
    dib.compression = 0;
    dib.imageSize = uint32_t(kTerrainBitmapBits);
    dib.xPelsPerMeter = dib.yPelsPerMeter = kResolution;
    dib.colorsUsed = dib.colorsImportant = 256;
    dib.palette.resize(256);
    for (size_t i = 0; i < 256; ++i)
        dib.palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    dib.bits = track.terrain.heights;
    return dib;
}

bool IsSuitableTerrainBitmap(const DibImage& bitmap) {
    return bitmap.compression == 0 && bitmap.bitCount == 8 && bitmap.absWidth() == kSide &&
           bitmap.absHeight() == kSide && bitmap.bits.size() >= kTerrainBitmapBits;
}

Outcome PasteTerrainBitmap(CTrackPOD& track, const DibImage& bitmap, TerrainUndo& undo) {
    if (!CanEditTerrain(track)) return Outcome::refused();
    if (!IsSuitableTerrainBitmap(bitmap)) return Outcome::refused(kTerrainBitmapMessage);
    TakeTerrainSnapshot(track, undo);
    for (int y = 0; y < kSide; ++y) {
        // Grid row 0 is the picture's bottom row.
        const int64_t stored = bitmap.storedRow(kSide - 1 - y);
        const auto from = bitmap.bits.begin() + std::ptrdiff_t(stored * kSide);
        std::copy(from, from + kSide, track.terrain.heights.begin() + std::ptrdiff_t(y * kSide));
    }
    return Outcome::success();
}

Outcome PasteTerrainBitmapBlock(CTrackPOD& track, std::span<const uint8_t> block, TerrainUndo& undo) {
    if (!CanEditTerrain(track)) return Outcome::refused();
    const auto bitmap = DibImage::fromBlock(block);
    if (!bitmap) return Outcome::refused(kTerrainBitmapMessage);
    return PasteTerrainBitmap(track, *bitmap, undo);
}

} // namespace ravok

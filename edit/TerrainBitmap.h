#pragma once

#include "base/Outcome.h"
#include "edit/DibImage.h"

#include <cstdint>
#include <span>

// Copy Terrain as Bitmap and Paste Terrain Bitmap: the height map as an
// 8-bit 256 x 256 greyscale device-independent bitmap.
namespace ravok {

class CTrackPOD;
struct TerrainUndo;

// Said (default caption) when a pasted bitmap does not suit; the tabs are part of the text.
constexpr const char* kTerrainBitmapMessage =
    "Sorry, Bitmap must be un-compressed,\n\t\t\t\t\t8-bit, and 256 x 256 pixels.";

// The block Copy Terrain as Bitmap puts on the clipboard: a 40-byte header,
// 256 grey palette entries and the 65,536 heights.
constexpr size_t kTerrainBitmapBitsOffset = 1064;
constexpr size_t kTerrainBitmapBits = 65536;
constexpr size_t kTerrainBitmapBlockSize = kTerrainBitmapBitsOffset + kTerrainBitmapBits; // 66,600

// The height map as the bitmap: bottom-up, so grid row 0 is the bottom row
// and the bits are the heights in storage order; palette entry i is grey i.
DibImage CopyTerrainAsBitmap(const CTrackPOD& track);

// The acceptance rule: uncompressed, 8 bits per pixel, 256 pixels wide and
// high (either sign of the height), and all 65,536 pixel bytes present.
bool IsSuitableTerrainBitmap(const DibImage& bitmap);

// Paste Terrain Bitmap: takes the undo snapshot and makes each pixel index
// the height of its grid point (the palette is ignored). Rows are taken in
// the order the height's sign gives: bottom-up (positive) makes the first
// stored row grid row 0, top-down (negative) makes it grid row 255. A bitmap
// that does not suit is refused with kTerrainBitmapMessage and the map is
// unchanged.
Outcome PasteTerrainBitmap(CTrackPOD& track, const DibImage& bitmap, TerrainUndo& undo);
// The same for a clipboard block as it stands; a block too short for its
// header, colour table and 65,536 pixel bytes is refused with the message.
Outcome PasteTerrainBitmapBlock(CTrackPOD& track, std::span<const uint8_t> block, TerrainUndo& undo);

} // namespace ravok

// Feeds arbitrary bytes to Paste Terrain Bitmap as the clipboard block, to
// the BMP reader of `terrain --bitmap-in` and, through both, to the paste's
// checks; also to the presentation of other programs' pictures.
#include "edit/DibImage.h"
#include "edit/TerrainBitmap.h"
#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <memory>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto track = std::make_unique<CTrackPOD>();
    TerrainUndo undo;
    const std::span<const uint8_t> bytes(data, size);
    PasteTerrainBitmapBlock(*track, bytes, undo);
    if (auto dib = DibOfBmpFile(bytes)) {
        PasteTerrainBitmap(*track, *dib, undo);
        // Presenting reads every pixel; keep it to pictures the clipboard could hold.
        if (dib->absWidth() * dib->absHeight() <= 1 << 20) {
            const DibImage shown = PresentAsPalettedPicture(*dib);
            PasteTerrainBitmap(*track, shown, undo);
        }
        volatile size_t written = BmpFileOfDib(*dib).size();
        (void)written;
    }
    if (auto dib = DibImage::fromBlock(bytes)) {
        if (dib->absWidth() * dib->absHeight() <= 1 << 20) PresentAsPalettedPicture(*dib);
        volatile size_t written = dib->toBlock().size();
        (void)written;
    }
    return 0;
}

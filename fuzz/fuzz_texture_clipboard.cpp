// Feeds arbitrary clipboard bitmap blocks to the checks of Paste texture and
// Paste Composite, and lays out the cut of whatever source they accept.
#include "edit/DibImage.h"
#include "edit/TextureClipboard.h"
#include "trackart/TextureCut.h"

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto dib = DibImage::fromBlock({data, size});
    if (!dib) return 0;
    CheckPasteTexture(&*dib);
    const DibImage presented = PresentAsPalettedPicture(*dib);
    CheckPasteTexture(&presented);
    CutSource source;
    if (!CutSourceFromClipboard(&*dib, source).ok) return 0;
    CutSettings settings;
    settings.baseName = "fuzz";
    for (CutOutput output : {CutOutput::Png, CutOutput::RawAct}) {
        settings.output = output;
        settings.tileSize = ChooseTileSize(OfferedTileSizes(source, output), 256);
        CutSourceLine(source, settings);
        CutSummaryLine(source, settings);
        CheckCutSettings(source, settings);
    }
    return 0;
}

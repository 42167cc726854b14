// Feeds arbitrary bytes to the RIFF and .ACT palette readers; a palette
// written back must read as the same colours.
#include "art/TrackPaletteFile.h"

#include <cstdlib>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PaletteColours start = DefaultPalette();
    const PaletteColours riff = PaletteFromRiffBytes({data, size}, start);
    const PaletteColours act = PaletteFromActBytes({data, size}, start);
    if (PaletteFromRiffBytes(RiffPaletteBytes(riff), {}) != riff) std::abort();
    if (PaletteFromActBytes(ActPaletteBytes(act), {}) != act) std::abort();
    return 0;
}

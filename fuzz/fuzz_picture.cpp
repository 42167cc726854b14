// Feeds arbitrary bytes to the picture header checks and the decoding path
// that every HD texture takes (decode, resample, quantise).
#include "art/ColourReduction.h"
#include "art/HdTextures.h"
#include "art/Picture.h"

#include <string>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    std::string message;
    CheckPictureHeader(bytes, "FUZZ.PNG", false, message);
    if (auto legacy = LegacyTextureFromPicture(bytes, "FUZZ.PNG", size % 2 == 0, message)) {
        volatile uint8_t first = legacy->indices.empty() ? 0 : legacy->indices[0];
        (void)first;
    }
    int coloured = 0;
    if (size < 4096) IsGreyPicture(bytes, &coloured, message);
    return 0;
}

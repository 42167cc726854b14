// Feeds arbitrary bytes to the .RAW texture and .ACT palette readers, as a
// file of that size would reach them, and remaps the result.
#include "art/Palette.h"
#include "art/Texture.h"

#include <cstdio>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!f && size) return 0;

    TrackPalette palette;
    if (f) palette.readAct(f, "ART\\FUZZ.ACT");

    // A .RAW is read only when its size is one of the square sides; the first
    // byte, when present, also tries a wrong side to exercise the short read.
    int side = SideFromFileSize(size);
    int asked = side ? side : (size ? 32 << (data[0] % 6) : 32);
    Texture texture;
    if (f) {
        std::rewind(f);
        if (texture.readRaw(f, "ART\\FUZZ.RAW", asked, asked)) {
            RemapToTrackPalette(palette, texture.pixels(), paletteFromRgbBytes({data, size < 768 ? size : 768}));
            FILE* sink = std::fopen("/dev/null", "wb");
            if (sink) {
                texture.writeRaw(sink);
                palette.writeAct(sink);
                std::fclose(sink);
            }
        }
        std::fclose(f);
    }
    return 0;
}

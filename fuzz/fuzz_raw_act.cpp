// Feeds arbitrary bytes to the .RAW texture and .ACT palette readers, as a
// file of that size would reach them, and remaps the result.
#include "art/Palette.h"
#include "art/Texture.h"

#include <cstdio>

using namespace ravok;

namespace {

// The input as a stream, as the readers get a file.
FILE* streamOf(const uint8_t* data, size_t size) {
#ifdef _WIN32
    FILE* f = std::tmpfile(); // Windows has no memory streams
    if (f && size && std::fwrite(data, 1, size, f) != size) {
        std::fclose(f);
        return nullptr;
    }
    if (f) std::rewind(f);
    return f;
#else
    return fmemopen(const_cast<uint8_t*>(data), size, "rb");
#endif
}

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = streamOf(data, size);
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
            FILE* sink = std::fopen(kNullDevice, "wb");
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

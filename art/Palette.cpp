#include "art/Palette.h"

#include <memory>

namespace ravok {

const std::array<RgbColour, 10> FixedColours = {{
    {224, 224, 224}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},
    {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
}};

namespace {

// Sixteen entries a row, red-green-blue packed as 0xRRGGBB.
constexpr uint32_t kDefaultPaletteRgb[256] = {
    0x000000, 0x080808, 0x101010, 0x191919, 0x212121, 0x292929, 0x313131, 0x3a3a3a,
    0x424242, 0x4a4a4a, 0x525252, 0x5a5a5a, 0x636363, 0x6b6b6b, 0x737373, 0x7b7b7b,
    0x848484, 0x8c8c8c, 0x949494, 0x9c9c9c, 0xa5a5a5, 0xadadad, 0xb5b5b5, 0xbdbdbd,
    0xc5c5c5, 0xcecece, 0xd6d6d6, 0xdedede, 0xe6e6e6, 0xefefef, 0xf7f7f7, 0xffffff,
    0x050505, 0x0a0909, 0x0e0d0d, 0x131212, 0x181817, 0x1d1c1a, 0x23211e, 0x282823,
    0x2d2d26, 0x32332a, 0x37392e, 0x3a3e31, 0x3d4435, 0x404b38, 0x41503b, 0x43583f,
    0x496045, 0x506a4b, 0x557251, 0x5a7b56, 0x60835c, 0x668d62, 0x6c9667, 0x719d6e,
    0x79a376, 0x82aa7f, 0x89b087, 0x91b68f, 0x98bc97, 0xa1c2a1, 0xa9c8a9, 0xadccad,
    0x060606, 0x0b0a0a, 0x100f0f, 0x141313, 0x191818, 0x1f1c1c, 0x252120, 0x2a2525,
    0x2f2928, 0x352d2c, 0x3b3230, 0x413634, 0x473b38, 0x4d3e3a, 0x53433e, 0x5a4841,
    0x614d46, 0x6b554c, 0x745b51, 0x7f6356, 0x8a6b5b, 0x94725f, 0x9f7964, 0xa7836c,
    0xad8b74, 0xb4957d, 0xbb9d86, 0xc1a58e, 0xc8ae97, 0xceb8a1, 0xd4bfa9, 0xdac7b3,
    0x0e0000, 0x290501, 0x440903, 0x5f0e04, 0x7a1305, 0x951806, 0xb01c08, 0xcb2109,
    0xd23d0c, 0xd85910, 0xdf7413, 0xe59016, 0xecac19, 0xf2c81d, 0xf9e320, 0xffff23,
    0x001414, 0x061e14, 0x0c2814, 0x123214, 0x183c14, 0x1e4615, 0x235015, 0x295a15,
    0x2f6415, 0x356e15, 0x508627, 0x6a9e39, 0x85b74b, 0x9fcf5c, 0xbae76e, 0xd4ff80,
    0x3f3f08, 0x4f4f0a, 0x5e5e0c, 0x6e6e0e, 0x7d7d10, 0x8e8e12, 0x9e9e14, 0xafaf16,
    0xbfbf18, 0xcfcf1a, 0xdfdf1c, 0xefef1e, 0xffff20, 0xffff4d, 0xffff79, 0xffffa6,
    0x3f0808, 0x4f0a0a, 0x5e0c0c, 0x6e0e0e, 0x7d1010, 0x8e1212, 0x9e1414, 0xaf1616,
    0xbf1818, 0xcf1a1a, 0xdf1c1c, 0xef1e1e, 0xff2121, 0xff4d4d, 0xff7a7a, 0xffa6a6,
    0x420b0b, 0x51110e, 0x611910, 0x702111, 0x812d16, 0x913518, 0xa03c19, 0xb1421b,
    0xbf4c1e, 0xd65319, 0xef5c12, 0xf96818, 0xff7723, 0xff984f, 0xffb97a, 0xffdaa6,
    0x08083f, 0x0a0a4f, 0x0c0c5e, 0x0e0e6e, 0x10107d, 0x12128e, 0x14149e, 0x1616af,
    0x1818bf, 0x1a1acf, 0x1c1cdf, 0x1e1eef, 0x2020ff, 0x4d4dff, 0x7979ff, 0xa6a6ff,
    0x33083f, 0x430a4f, 0x520c5e, 0x620e6e, 0x71107d, 0x82128e, 0x92149e, 0xa316af,
    0xb318bf, 0xc11acf, 0xce1cdf, 0xdc1eef, 0xe920ff, 0xf04dff, 0xf879fe, 0xffa6fe,
    0x083f08, 0x0a4f0a, 0x0c5e0c, 0x0e6e0e, 0x107d10, 0x128e12, 0x149e14, 0x16af16,
    0x18bf18, 0x1acf1a, 0x1cdf1c, 0x1eef1e, 0x23ff23, 0x4fff4f, 0x7aff7a, 0xa6ffa6,
    0x185a73, 0x217384, 0x298c8c, 0x319c9c, 0x39a5a5, 0x42adad, 0x4abdb5, 0x52c6bd,
    0x5acec6, 0x63d6c6, 0x63d6ce, 0x73dece, 0x7be7de, 0x84efde, 0x84f7e7, 0x9cfff7,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

PaletteColours buildDefaultPalette() {
    PaletteColours p{};
    for (size_t i = 0; i < 256; ++i) {
        uint32_t v = kDefaultPaletteRgb[i];
        p[i] = {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    }
    return p;
}

// d(a, b) = (a - b)^2 for all byte pairs, built once for the life of the program.
const std::array<int, 65536>& squaredDifferences() {
    static const auto table = [] {
        auto t = std::make_unique<std::array<int, 65536>>();
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; ++b) (*t)[size_t(a * 256 + b)] = (a - b) * (a - b);
        return t;
    }();
    return *table;
}

} // namespace

const PaletteColours& DefaultPalette() {
    static const PaletteColours palette = buildDefaultPalette();
    return palette;
}

PaletteColours paletteFromRgbBytes(std::span<const uint8_t> rgb) {
    PaletteColours p = DefaultPalette();
    for (size_t i = 0; i < 256 && i * 3 + 2 < rgb.size(); ++i) p[i] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
    return p;
}

void TrackPalette::storeFixedColours() {
    for (size_t i = 0; i < FixedColours.size(); ++i) m_colours[kFirstFixedColour + i] = FixedColours[i];
}

void TrackPalette::clear() {
    m_name.clear();
    m_colours.fill({});
    storeFixedColours();
}

void TrackPalette::set(std::string_view name, const PaletteColours& colours) {
    m_name.set(name);
    setColours(colours);
}

void TrackPalette::setColours(const PaletteColours& colours) {
    m_colours = colours;
    storeFixedColours();
}

bool TrackPalette::readAct(FILE* stream, std::string_view name) {
    uint8_t rgb[768];
    size_t got = stream ? std::fread(rgb, 1, sizeof rgb, stream) : 0;
    if (got == 0) return false;
    set(name, paletteFromRgbBytes({rgb, got - got % 3}));
    return true;
}

bool TrackPalette::writeAct(FILE* stream) const {
    uint8_t rgb[768];
    for (size_t i = 0; i < 256; ++i) {
        rgb[i * 3] = m_colours[i].r;
        rgb[i * 3 + 1] = m_colours[i].g;
        rgb[i * 3 + 2] = m_colours[i].b;
    }
    return stream && std::fwrite(rgb, 1, sizeof rgb, stream) == sizeof rgb;
}

std::array<uint8_t, 1024> TrackPalette::entryBytes() const {
    std::array<uint8_t, 1024> out{};
    for (size_t i = 0; i < 256; ++i) {
        out[i * 4] = m_colours[i].r;
        out[i * 4 + 1] = m_colours[i].g;
        out[i * 4 + 2] = m_colours[i].b;
    }
    return out;
}

std::array<uint8_t, 1024> TrackPalette::displayOrderBytes() const {
    std::array<uint8_t, 1024> out{};
    for (size_t i = 0; i < 256; ++i) {
        out[i * 4] = m_colours[i].b;
        out[i * 4 + 1] = m_colours[i].g;
        out[i * 4 + 2] = m_colours[i].r;
    }
    return out;
}

int TrackPalette::NearestPaletteIndex(int red, int green, int blue) const {
    int best = 1000000, bestIndex = 0;
    for (int i = 0; i < 256; ++i) {
        const auto& c = m_colours[size_t(i)];
        int d = (c.r - red) * (c.r - red) + (c.g - green) * (c.g - green) + (c.b - blue) * (c.b - blue);
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    return bestIndex;
}

int TrackPalette::NearestPaletteIndex(uint32_t packed) const {
    return NearestPaletteIndex(int(packed & 255), int((packed >> 8) & 255), int((packed >> 16) & 255));
}

void RemapToTrackPalette(const TrackPalette& track, std::span<uint8_t> pixels, const PaletteColours& source) {
    const auto& d = squaredDifferences();
    uint8_t mapping[256];
    for (size_t c = 0; c < 256; ++c) {
        const RgbColour s = source[c];
        int best = 1000000, bestIndex = 0;
        for (int e = 0; e < kFirstFixedColour; ++e) {
            const RgbColour t = track[e];
            // Built channel by channel, abandoned once it cannot win.
            int sum = d[size_t(t.r * 256 + s.r)];
            if (sum >= best) continue;
            sum += d[size_t(t.g * 256 + s.g)];
            if (sum >= best) continue;
            sum += d[size_t(t.b * 256 + s.b)];
            if (sum >= best) continue;
            best = sum;
            bestIndex = e;
        }
        mapping[c] = static_cast<uint8_t>(bestIndex);
    }
    for (auto& p : pixels) p = mapping[p];
}

} // namespace ravok

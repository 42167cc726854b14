#include "art/TrackPaletteFile.h"

#include "base/ByteWriter.h"
#include "base/FileIO.h"
#include "base/Text.h"

#include <fstream>

namespace ravok {

namespace {

// Entries of `size` bytes each (red, green, blue first) from `at`, as far as the bytes go.
PaletteColours entriesFrom(std::span<const uint8_t> bytes, size_t at, size_t size, PaletteColours colours) {
    for (size_t i = 0; i < colours.size(); ++i) {
        const size_t p = at + i * size;
        if (p + 3 > bytes.size()) break;
        colours[i] = {bytes[p], bytes[p + 1], bytes[p + 2]};
    }
    return colours;
}

} // namespace

std::vector<uint8_t> RiffPaletteBytes(const PaletteColours& colours) {
    ByteWriter out;
    out.text("RIFF");
    out.u32LE(uint32_t(kRiffPaletteBytes - 8));
    out.text("PAL data");
    out.u32LE(1032);
    out.u16LE(0x0300);
    out.u16LE(256);
    for (const RgbColour& c : colours) {
        out.u8(c.r);
        out.u8(c.g);
        out.u8(c.b);
        out.u8(0);
    }
    out.zeros(4);
    return out.release();
}

std::vector<uint8_t> ActPaletteBytes(const PaletteColours& colours) {
    std::vector<uint8_t> bytes;
    bytes.reserve(kActPaletteBytes);
    for (const RgbColour& c : colours) bytes.insert(bytes.end(), {c.r, c.g, c.b});
    return bytes;
}

PaletteColours PaletteFromRiffBytes(std::span<const uint8_t> bytes, const PaletteColours& current) {
    return entriesFrom(bytes, kRiffPaletteEntriesAt, 4, current);
}

PaletteColours PaletteFromActBytes(std::span<const uint8_t> bytes, const PaletteColours& current) {
    return entriesFrom(bytes, 0, 3, current);
}

bool LoadPaletteFile(const std::filesystem::path& path, PaletteFileKind kind, PaletteColours& colours) {
    // Only the palette's own bytes are read, whatever the file's size.
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> bytes(kRiffPaletteBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    bytes.resize(size_t(in.gcount()));
    colours = kind == PaletteFileKind::Riff ? PaletteFromRiffBytes(bytes, colours) : PaletteFromActBytes(bytes, colours);
    return true;
}

bool SavePaletteFile(const std::filesystem::path& path, PaletteFileKind kind, const PaletteColours& colours) {
    return writeFileAtomically(path, kind == PaletteFileKind::Riff ? RiffPaletteBytes(colours) : ActPaletteBytes(colours));
}

PaletteFileKind PaletteFileKindOf(const std::filesystem::path& path) {
    return lowerCase(path.extension().string()) == ".act" ? PaletteFileKind::Act : PaletteFileKind::Riff;
}

} // namespace ravok

#include "trackart/TexturePatternFile.h"

#include "base/ByteReader.h"
#include "base/ByteWriter.h"
#include "base/FileIO.h"

#include <algorithm>
#include <cstring>

namespace ravok {

namespace {

constexpr char kFileMagic[] = "RVPH1";
constexpr size_t kFileMagicBytes = 5;
constexpr char kRecordMagic[] = "RVP1";
constexpr size_t kRecordMagicBytes = 4;
constexpr size_t kTextureNameBytes = 32;
constexpr size_t kMaxPatternFileBytes = 64u * 1024 * 1024;

bool readMagic(ByteReader& in, const char* magic, size_t n) {
    auto bytes = in.take(n);
    return bytes.size() == n && std::memcmp(bytes.data(), magic, n) == 0;
}

// The name: L characters without a terminating zero (a zero inside ends the
// name early). Only the first 39 are kept; the rest is skipped so the reader
// stays in step. L = 0 marks a damaged record.
bool readName(ByteReader& in, TexturePattern& p) {
    uint8_t length = 0;
    if (!in.readU8(length) || length == 0) return false;
    auto bytes = in.take(length);
    if (bytes.size() != length) return false;
    p.name.set(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), kMaxPatternName);
    return true;
}

bool readSize(ByteReader& in, TexturePattern& p) {
    uint16_t w = 0, h = 0;
    if (!in.readU16LE(w) || !in.readU16LE(h)) return false;
    if (w < 1 || h < 1 || w > kMaxPatternSide || h > kMaxPatternSide || w * h < 2) return false;
    p.width = w;
    p.height = h;
    return true;
}

bool readCells(ByteReader& in, TexturePattern& p) {
    p.cells.resize(size_t(p.width) * size_t(p.height));
    for (uint16_t& cell : p.cells)
        if (!in.readU16LE(cell)) return false;
    return true;
}

// The texture count must be 1..256 (a larger count is a damaged record, not
// cut), and every cell must name one of the textures; the names are only
// allocated once the file is known to hold them.
bool readTextures(ByteReader& in, TexturePattern& p) {
    uint32_t count = 0;
    if (!in.readU32LE(count) || count < 1 || count > uint32_t(kMaxPatternTextures)) return false;
    if (!in.has(size_t(count) * kTextureNameBytes)) return false;
    for (uint16_t cell : p.cells)
        if ((cell & 0x0FFF) >= count) return false;
    p.textures.resize(count);
    for (auto& name : p.textures) {
        auto bytes = in.take(kTextureNameBytes);
        name.set(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    return true;
}

// The preview's size comes from the pattern's width and height by the cell
// size rule, never from the information block's header (kept as read): a
// damaged header can then never make the reader take more than the pattern's
// own preview. The 4-byte trailer must be there; its value is not checked.
bool readPreview(ByteReader& in, TexturePattern& p) {
    if (!in.readBytes(p.previewInfo.data(), p.previewInfo.size())) return false;
    const size_t n = size_t(p.previewWidth()) * size_t(p.previewHeight());
    auto pixels = in.take(n);
    if (pixels.size() != n) return false;
    p.previewPixels.assign(pixels.begin(), pixels.end());
    uint32_t trailer = 0;
    return in.readU32LE(trailer);
}

std::optional<TexturePattern> readRecord(ByteReader& in) {
    TexturePattern p;
    if (!readMagic(in, kRecordMagic, kRecordMagicBytes) || !readName(in, p) || !readSize(in, p) ||
        !readCells(in, p) || !readTextures(in, p) || !readPreview(in, p))
        return std::nullopt;
    return p;
}

} // namespace

std::vector<uint8_t> PatternRecordBytes(const TexturePattern& p) {
    if (p.name.empty()) return {};
    ByteWriter out;
    out.text(kRecordMagic);
    const std::string_view name = p.name.view().substr(0, kMaxPatternName);
    out.u8(uint8_t(name.size()));
    out.text(name);
    out.u16LE(uint16_t(p.width));
    out.u16LE(uint16_t(p.height));
    for (size_t i = 0; i < size_t(p.width) * size_t(p.height); ++i) out.u16LE(i < p.cells.size() ? p.cells[i] : 0);
    out.u32LE(uint32_t(p.textures.size()));
    for (const auto& t : p.textures) out.fixedText(t.view(), kTextureNameBytes);
    out.bytes(p.previewInfo.data(), p.previewInfo.size());
    const size_t n = size_t(p.previewWidth()) * size_t(p.previewHeight());
    for (size_t i = 0; i < n; ++i) out.u8(i < p.previewPixels.size() ? p.previewPixels[i] : 0);
    out.u32LE(0);
    return out.release();
}

std::vector<uint8_t> PatternFileBytes(const std::vector<TexturePattern>& patterns) {
    std::vector<std::vector<uint8_t>> records;
    for (const auto& p : patterns)
        if (auto bytes = PatternRecordBytes(p); !bytes.empty()) records.push_back(std::move(bytes));
    // The count says how many records follow, so unnamed patterns are not counted.
    ByteWriter out;
    out.text(std::string_view(kFileMagic, kFileMagicBytes));
    out.u16LE(uint16_t(records.size()));
    for (const auto& r : records) out.bytes(r);
    return out.release();
}

// Records have no length of their own, so after a damaged record the start of
// the next cannot be found safely: reading stops there and keeps the patterns
// before it. A count above 256 reads the first 256.
std::vector<TexturePattern> ReadPatternFileBytes(std::span<const uint8_t> bytes) {
    std::vector<TexturePattern> patterns;
    ByteReader in(bytes);
    uint16_t count = 0;
    if (!readMagic(in, kFileMagic, kFileMagicBytes) || !in.readU16LE(count)) return patterns;
    for (int i = 0; i < std::min(int(count), kMaxPatternsPerFile); ++i) {
        auto p = readRecord(in);
        if (!p) break;
        patterns.push_back(std::move(*p));
    }
    return patterns;
}

std::vector<TexturePattern> ReadPatternFile(const std::filesystem::path& path) {
    auto bytes = readWholeFile(path, kMaxPatternFileBytes);
    return bytes ? ReadPatternFileBytes(*bytes) : std::vector<TexturePattern>{};
}

bool IsForeignPatternFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return false;
    if (!std::filesystem::is_regular_file(path, ec)) return true;
    if (std::filesystem::file_size(path, ec) == 0 && !ec) return false;
    auto head = readWholeFile(path, kMaxPatternFileBytes);
    if (!head) return true;
    ByteReader in(*head);
    return !readMagic(in, kFileMagic, kFileMagicBytes);
}

bool WritePatternFile(const std::filesystem::path& path, const std::vector<TexturePattern>& patterns) {
    return writeFileAtomically(path, PatternFileBytes(patterns));
}

Outcome PatternNameProblem(const std::vector<TexturePattern>& patterns, std::string_view name) {
    const std::string_view kept = name.substr(0, kMaxPatternName);
    if (kept.empty()) return Outcome::refused(kPatternNameMissing, kPatternNameMissingCaption);
    for (const auto& p : patterns)
        if (p.name == kept) return Outcome::refused(kPatternNameDuplicate, kPatternNameDuplicateCaption);
    return Outcome::success();
}

Outcome AddPatternToFile(std::vector<TexturePattern>& patterns, const CTrackPOD& track, const PatternRect& rect,
                         std::string_view name, const PaletteColours& displayPalette,
                         const std::filesystem::path& file) {
    if (int(patterns.size()) >= kMaxPatternsPerFile) return Outcome::refused(kPatternLimitMessage);
    auto pattern = CreatePattern(track, rect, displayPalette);
    if (!pattern) return Outcome::refused(kPatternCreateFailed);
    pattern->name.set(name, kMaxPatternName);
    patterns.push_back(std::move(*pattern));
    if (!file.empty() && !WritePatternFile(file, patterns))
        return Outcome::refused(kPatternFileWriteFailed);
    return Outcome::success();
}

bool DeletePatternFromFile(std::vector<TexturePattern>& patterns, int index, const std::filesystem::path& file) {
    if (index < 0 || index >= int(patterns.size())) return false;
    patterns.erase(patterns.begin() + index);
    return file.empty() || WritePatternFile(file, patterns);
}

} // namespace ravok

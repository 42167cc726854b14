#include "art/Model.h"

#include "base/FileIO.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace ravok {

void readLightWaveObject(Model& m);

namespace {

constexpr int32_t kGeometryFile = 20;
constexpr int32_t kModelListFile = 32;
constexpr size_t kVerticesOffset = 20;
constexpr size_t kFacetHeaderBytes = 24;

// Record sizes of the opcodes that are skipped, in 4-byte words:
// fixed words + per-count words x the count found at word `countWord`.
struct SkipSize {
    int fixed, perCount, countWord; // countWord < 0: no count
};

bool skipSize(int32_t op, SkipSize& s) {
    switch (op) {
    case 1: s = {4, 0, -1}; return true;
    case 2: s = {3, 3, 2}; return true;
    case 4: s = {3, 2, 2}; return true;
    case 5: case 6: case 7: case 8: case 15: case 21: case 26: case 27: case 33: s = {6, 1, 1}; return true;
    case 9: case 66: s = {8, 0, -1}; return true;
    case 11: case 18: case 20: case 61: s = {2, 0, -1}; return true;
    case 12: s = {7, 0, -1}; return true;
    case 16: s = {5, 0, -1}; return true;
    case 22: s = {2, 1, 1}; return true;
    case 23: s = {3, 0, -1}; return true;
    case 30: case 34: case 56: s = {6, 3, 1}; return true;
    case 31: s = {3, 1, 2}; return true;
    case 32: s = {86, 0, -1}; return true;
    case 67: s = {18, 0, -1}; return true;
    default: return false;
    }
}

bool isTexturedFacet(int32_t op) {
    return op == 14 || op == 17 || op == 24 || op == 41 || op == 51 || op == 52 || op == 64;
}

std::string upperName(std::span<const uint8_t> bytes, size_t at, size_t maxChars) {
    std::string s;
    for (size_t i = 0; i < maxChars && at + i < bytes.size() && bytes[at + i]; ++i)
        s += char(std::toupper(bytes[at + i]));
    return s;
}

} // namespace

// Reads the BIN record stream of a model's file bytes into the model.
class BinReader {
public:
    BinReader(Model& m) : m_model(m), m_bytes(m.m_fileBytes), m_end(m.m_fileBytes.size() & ~size_t(3)) {}

    void read() {
        readVertices();
        while (readRecord()) {
        }
        if (m_model.m_facets.empty()) std::vector<ModelFacet>().swap(m_model.m_facets);
    }

private:
    int32_t i32(size_t at) const {
        return int32_t(uint32_t(m_bytes[at]) | uint32_t(m_bytes[at + 1]) << 8 | uint32_t(m_bytes[at + 2]) << 16 |
                       uint32_t(m_bytes[at + 3]) << 24);
    }
    size_t left() const { return m_pos < m_end ? m_end - m_pos : 0; }

    void readVertices() {
        int32_t count = std::clamp(i32(16), 0, Model::kMaxVertices);
        count = std::min<int32_t>(count, int32_t((m_end - kVerticesOffset) / 12));
        m_model.m_vertices.resize(size_t(count));
        for (int32_t i = 0; i < count; ++i) {
            size_t at = kVerticesOffset + size_t(i) * 12;
            // Halved, with the file's second value (the height) stored last.
            m_model.m_vertices[size_t(i)] = {i32(at) >> 1, i32(at + 8) >> 1, i32(at + 4) >> 1};
        }
        m_pos = kVerticesOffset + size_t(count) * 12;
    }

    // False when reading ends; damage is recorded on the model.
    bool damage(const char* text) {
        if (m_model.m_damaged) return false;
        char message[512];
        std::snprintf(message, sizeof message, "%s: %s (opcode 0x%X, byte %d, %d polys read)", m_model.m_name.c_str(),
                      text, unsigned(m_op), int(m_pos), int(m_model.m_facets.size()));
        m_model.m_damaged = true;
        m_model.m_message.set(message);
        return false;
    }

    bool readRecord() {
        if (m_pos + 4 > m_end) return damage("no terminator before end of file");
        m_op = i32(m_pos);
        if (m_op == 0) return false;
        if (m_op == 3) return readNormals();
        if (m_op == 10) return readCurrentTexture(8, 0, 0, "truncated colour record");
        if (m_op == 13) return readCurrentTexture(24, 8, 12, "truncated texture record");
        if (m_op == 62) return readCurrentTexture(72, 8, 31, "truncated texture64 record");
        if (m_op == 63) return skipFixed(48, "truncated material record");
        if (isTexturedFacet(m_op)) return readFacet(12, "truncated facet record", "bad facet vertex count");
        if (m_op == 25) return readFacet(4, "truncated untextured facet record", "bad untextured facet count");
        if (m_op == 29) return readAnimatedTexture();
        SkipSize s;
        if (m_op >= 1 && m_op <= 67 && skipSize(m_op, s)) return skipTableSized(s);
        return damage("unknown record type");
    }

    bool readNormals() {
        if (left() < 12) return damage("truncated vertex-normals record");
        int32_t n = i32(m_pos + 8);
        if (n < 0 || size_t(n) > (left() - 12) / 12) return damage("bad vertex-normals count");
        m_pos += 12 + size_t(n) * 12;
        return true;
    }

    bool readCurrentTexture(size_t size, size_t nameAt, size_t maxChars, const char* truncated) {
        if (left() < size) return damage(truncated);
        m_texture = maxChars ? upperName(m_bytes, m_pos + nameAt, maxChars) : std::string();
        m_pos += size;
        return true;
    }

    bool skipFixed(size_t size, const char* truncated) {
        if (left() < size) return damage(truncated);
        m_pos += size;
        return true;
    }

    bool readFacet(size_t bytesPerVertex, const char* truncated, const char* badCount) {
        if (left() < kFacetHeaderBytes) return damage(truncated);
        int32_t n = i32(m_pos + 4);
        if (n < 0 || size_t(n) > (left() - kFacetHeaderBytes) / bytesPerVertex) return damage(badCount);
        ModelFacet f;
        f.textureName.set(m_texture);
        f.opcode = uint16_t(m_op);
        f.vertexCount = int16_t(std::min(n, 4));
        size_t at = m_pos + kFacetHeaderBytes;
        for (int k = 0; k < f.vertexCount; ++k, at += bytesPerVertex) {
            f.vertices[size_t(k)] = uint32_t(i32(at));
            if (bytesPerVertex == 12)
                f.uv[size_t(k)] = {uint16_t(i32(at + 4) >> 16), uint16_t(i32(at + 8) >> 16)};
        }
        if (n > 4 && !m_model.m_damaged) {
            char message[256];
            std::snprintf(message, sizeof message, "%s: facet has %d vertices, clamped to %d (byte %d)",
                          m_model.m_name.c_str(), int(n), 4, int(m_pos));
            m_model.m_damaged = true;
            m_model.m_message.set(message);
        }
        m_model.m_facets.push_back(f);
        m_pos += kFacetHeaderBytes + size_t(n) * bytesPerVertex;
        return true;
    }

    bool readAnimatedTexture() {
        if (left() < 28) return damage("truncated animated-texture record");
        int32_t n = i32(m_pos + 8);
        if (n < 0 || size_t(n) > (left() - 28) / 32) return damage("bad animated-texture count");
        for (int32_t i = 0; i < n; ++i) {
            std::string name = upperName(m_bytes, m_pos + 28 + size_t(i) * 32, i == 0 ? 12 : 32);
            if (i == 0)
                m_texture = name;
            else
                m_model.m_animatedTextureNames += name + ";";
        }
        m_pos += 28 + size_t(n) * 32;
        return true;
    }

    bool skipTableSized(const SkipSize& s) {
        const size_t wordsLeft = left() / 4;
        int64_t words = s.fixed;
        if (s.countWord >= 0) {
            if (wordsLeft < size_t(s.countWord) + 1) return damage("record runs past the end of the file");
            int32_t n = i32(m_pos + size_t(s.countWord) * 4);
            if (n < 0) return damage("record runs past the end of the file");
            words += int64_t(s.perCount) * n;
        }
        if (uint64_t(words) > wordsLeft) return damage("record runs past the end of the file");
        m_pos += size_t(words) * 4;
        return true;
    }

    Model& m_model;
    std::span<const uint8_t> m_bytes;
    size_t m_end;
    size_t m_pos = 0;
    int32_t m_op = 0;
    std::string m_texture;
};

void Model::reset(std::string_view name) {
    m_name.set(name);
    m_fileBytes.clear();
    m_vertices.clear();
    m_facets.clear();
    m_facets.reserve(64);
    m_animatedTextureNames.clear();
    m_listedModels.clear();
    m_damaged = false;
    m_message.clear();
    m_baseHeight = -31;
    m_sourcePath.clear();
    m_sourceTime = 0;
}

void Model::computeBaseHeight() {
    int32_t lowest = 0;
    for (const auto& v : m_vertices) lowest = std::min(lowest, v[2]);
    m_baseHeight = lowest - 31;
}

// Only a file that reads as a model keeps its bytes: a model without them is
// counted bad and never packed.
bool Model::read(std::string_view name, std::span<const uint8_t> bytes) {
    const bool ok = readRecords(name, bytes);
    if (!ok) std::vector<uint8_t>().swap(m_fileBytes);
    return ok;
}

bool Model::readRecords(std::string_view name, std::span<const uint8_t> bytes) {
    reset(name);
    if (bytes.size() < 4) return false;
    m_fileBytes.assign(bytes.begin(), bytes.end());
    const int32_t type = int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                 uint32_t(bytes[3]) << 24);
    if (std::memcmp(bytes.data(), "FORM", 4) == 0) {
        if (bytes.size() < 12) return false;
        readLightWaveObject(*this);
        if (m_facets.empty()) std::vector<ModelFacet>().swap(m_facets);
        computeBaseHeight();
        return true;
    }
    if (type != kGeometryFile && type != kModelListFile) return false;
    if ((bytes.size() & ~size_t(3)) < kVerticesOffset) return false;
    if (type == kModelListFile) {
        const size_t end = bytes.size() & ~size_t(3);
        int32_t n = int32_t(uint32_t(bytes[8]) | uint32_t(bytes[9]) << 8 | uint32_t(bytes[10]) << 16 |
                            uint32_t(bytes[11]) << 24);
        for (int32_t i = 0; i < n && 24 + size_t(i + 1) * 16 <= end; ++i)
            m_listedModels.push_back(upperName(bytes, 24 + size_t(i) * 16, 15));
    }
    BinReader(*this).read();
    computeBaseHeight();
    return true;
}

std::vector<std::string> ModelTextureNames(const Model& model) {
    auto upper = [](std::string_view s) {
        std::string u(s);
        for (char& c : u) c = char(std::toupper(uint8_t(c)));
        return u;
    };
    std::vector<std::string> names;
    for (const auto& f : model.facets())
        if (f.opcode != 25 && !f.textureName.empty()) names.push_back(upper(f.textureName.view()));
    const std::string& frames = model.animatedTextureNames();
    for (size_t at = 0; at < frames.size();) {
        size_t end = frames.find(';', at);
        if (end == std::string::npos) end = frames.size();
        if (end > at) names.push_back(upper(std::string_view(frames).substr(at, std::min<size_t>(end - at, 31))));
        at = end + 1;
    }
    return names;
}

int64_t fileWriteTime(const std::filesystem::path& path) {
    std::error_code ec;
    auto t = std::filesystem::last_write_time(path, ec);
    return ec ? 0 : int64_t(t.time_since_epoch().count());
}

bool Model::readFile(std::string_view name, const std::filesystem::path& path) {
    const int64_t time = fileWriteTime(path);
    auto bytes = readWholeFile(path);
    const bool ok = read(name, bytes ? std::span<const uint8_t>(*bytes) : std::span<const uint8_t>());
    m_sourcePath = path;
    m_sourceTime = time;
    return ok;
}

bool Model::changedOnDisk() const {
    if (m_sourcePath.empty()) return false;
    std::error_code ec;
    if (!std::filesystem::exists(m_sourcePath, ec)) return false;
    return fileWriteTime(m_sourcePath) != m_sourceTime;
}

bool Model::reloadFromSource() {
    if (m_sourcePath.empty()) return false;
    auto bytes = readWholeFile(m_sourcePath);
    if (!bytes || bytes->empty()) return false;
    const int64_t time = fileWriteTime(m_sourcePath);
    Model scratch;
    const std::string name(m_name.view());
    if (!scratch.read(name, *bytes)) return false;
    const auto path = m_sourcePath;
    read(name, *bytes);
    m_sourcePath = path;
    m_sourceTime = time;
    return true;
}

} // namespace ravok

#pragma once

#include "base/FixedString.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace ravok {

// One facet of a model: up to four vertices with texel coordinates.
struct ModelFacet {
    FixedString<32> textureName; // upper case; the texture current when the facet was read
    uint16_t opcode = 0;         // low 16 bits of the record's opcode
    int16_t vertexCount = 0;     // 0..4
    std::array<uint32_t, 4> vertices{};
    std::array<std::array<uint16_t, 2>, 4> uv{}; // u, v in texels
};

// A 3D model of the track (scenery, ramp, backdrop). Vertices are x, y and
// height in model units, 64 to a world unit (4096 to a grid square). The file
// bytes are kept unchanged for writing into the pod.
class Model {
public:
    using Vertex = std::array<int32_t, 3>;
    static constexpr int kMaxVertices = 64000;

    const FixedString<32>& name() const { return m_name; }
    void setName(std::string_view name) { m_name.set(name); }

    const std::vector<Vertex>& vertices() const { return m_vertices; }
    void setVertices(std::vector<Vertex> vertices) { m_vertices = std::move(vertices); }
    const std::vector<ModelFacet>& facets() const { return m_facets; }
    const Vertex* vertex(int i) const { return i >= 0 && i < int(m_vertices.size()) ? &m_vertices[size_t(i)] : nullptr; }
    const ModelFacet* facet(int i) const { return i >= 0 && i < int(m_facets.size()) ? &m_facets[size_t(i)] : nullptr; }

    // The smallest vertex height, never above 0, minus 31.
    int32_t baseHeight() const { return m_baseHeight; }
    // Second and later textures of every animated-texture record, each followed by ";".
    const std::string& animatedTextureNames() const { return m_animatedTextureNames; }
    // Frame model names of a model list file (type 32), upper case.
    const std::vector<std::string>& listedModels() const { return m_listedModels; }
    bool damaged() const { return m_damaged; }
    const FixedString<256>& message() const { return m_message; }
    std::span<const uint8_t> fileBytes() const { return m_fileBytes; }

    // Reads a BIN geometry file, a model list or a LightWave object. True when
    // a header could be read, even if records were damaged (see damaged()).
    bool read(std::string_view name, std::span<const uint8_t> bytes);

    // Reads the model from a file on disk and records it as the source.
    bool readFile(std::string_view name, const std::filesystem::path& path);
    // The file the model was last read from; empty for a model read from a pod.
    const std::filesystem::path& sourcePath() const { return m_sourcePath; }
    int64_t sourceTime() const { return m_sourceTime; }
    // The source file exists and was written since the model was read.
    bool changedOnDisk() const;
    // Reads the source file again, first into a scratch model so that a file
    // that cannot be read or is no model leaves this one unchanged. True when
    // the model was replaced (its textures then need loading again).
    bool reloadFromSource();

private:
    friend class BinReader;
    friend class LwobReader;
    void reset(std::string_view name);
    bool readRecords(std::string_view name, std::span<const uint8_t> bytes);
    void computeBaseHeight();

    FixedString<32> m_name;
    int32_t m_baseHeight = -31;
    std::string m_animatedTextureNames;
    std::vector<uint8_t> m_fileBytes;
    std::vector<Vertex> m_vertices;
    std::vector<ModelFacet> m_facets;
    std::vector<std::string> m_listedModels;
    bool m_damaged = false;
    FixedString<256> m_message;
    std::filesystem::path m_sourcePath;
    int64_t m_sourceTime = 0;
};

// The texture names a model uses, upper case: its facets' names in facet
// order (untextured facets, opcode 25, left out), then its animation frames.
std::vector<std::string> ModelTextureNames(const Model& model);

// Last-write time of a file as a plain count; 0 when it cannot be read.
int64_t fileWriteTime(const std::filesystem::path& path);

} // namespace ravok

#pragma once

#include "base/FixedString.h"

#include <array>
#include <cstdint>
#include <vector>

namespace ravok {

// A 3D model of the track (scenery, ramp, backdrop). Vertices are x, y and
// height in model units, 64 to a world unit (4096 to a grid square).
class Model {
public:
    using Vertex = std::array<int32_t, 3>;

    const FixedString<32>& name() const { return m_name; }
    void setName(std::string_view name) { m_name.set(name); }

    const std::vector<Vertex>& vertices() const { return m_vertices; }
    void setVertices(std::vector<Vertex> vertices) { m_vertices = std::move(vertices); }

private:
    FixedString<32> m_name;
    std::vector<Vertex> m_vertices;
};

} // namespace ravok

#include "render/Mesh.h"

#include <algorithm>
#include <atomic>

namespace ravok {

const MeshTexture* MeshTextureList::add(std::string_view name, int width, int height, std::span<const uint8_t> pixels) {
    if (const MeshTexture* existing = find(name)) return existing;
    auto texture = std::make_unique<MeshTexture>();
    texture->name.set(name);
    texture->width = uint16_t(width);
    texture->height = uint16_t(height);
    const size_t bytes = size_t(width) * size_t(height);
    if (pixels.size() >= bytes && bytes > 0) texture->pixels.assign(pixels.begin(), pixels.begin() + ptrdiff_t(bytes));
    m_byName.emplace(texture->name.str(), texture.get());
    m_textures.push_back(std::move(texture));
    return m_textures.back().get();
}

const MeshTexture* MeshTextureList::find(std::string_view name) const {
    auto found = m_byName.find(std::string(name));
    return found == m_byName.end() ? nullptr : found->second;
}

int Mesh::addVertex(int32_t x, int32_t y, int32_t z, int32_t tag) { return addStoredVertex(x * 64, y * 64, z * 64, tag); }

int Mesh::addStoredVertex(int32_t x, int32_t y, int32_t z, int32_t tag) {
    touch();
    MeshVertex v;
    v.x = x;
    v.y = y;
    v.z = z;
    v.tag = tag;
    m_vertices.push_back(v);
    return int(m_vertices.size()) - 1;
}

void Mesh::deleteVertex(int i) {
    touch();
    if (i >= 0 && size_t(i) < m_vertices.size()) m_vertices.erase(m_vertices.begin() + i);
}

const MeshVertex* Mesh::vertex(int i) const {
    return i >= 0 && size_t(i) < m_vertices.size() ? &m_vertices[size_t(i)] : nullptr;
}

int Mesh::addTriangle(int a, int b, int c, int32_t tag) {
    touch();
    const int count = int(m_vertices.size());
    for (int v : {a, b, c})
        if (v < 0 || v >= count) return -1;
    MeshTriangle t;
    t.vertices = {a, b, c};
    t.index = int32_t(m_triangles.size());
    t.tag = tag;
    m_triangles.push_back(t);
    return t.index;
}

MeshTriangle* Mesh::triangle(int i) {
    touch();
    return i >= 0 && size_t(i) < m_triangles.size() ? &m_triangles[size_t(i)] : nullptr;
}

const MeshTriangle* Mesh::triangle(int i) const {
    return i >= 0 && size_t(i) < m_triangles.size() ? &m_triangles[size_t(i)] : nullptr;
}

void Mesh::setTextureName(int i, std::string_view name) {
    MeshTriangle* t = triangle(i);
    if (!t) return;
    t->textureName.set(name);
    t->uv = {{{0, 0}, {255, 0}, {255, 255}}};
}

void Mesh::setTextureCoordinates(int i, int32_t u0, int32_t v0, int32_t u1, int32_t v1, int32_t u2, int32_t v2) {
    if (MeshTriangle* t = triangle(i)) t->uv = {{{u0, v0}, {u1, v1}, {u2, v2}}};
}

void Mesh::flipTriangle(int i) {
    MeshTriangle* t = triangle(i);
    if (!t) return;
    std::swap(t->vertices[1], t->vertices[2]);
    std::swap(t->uv[1], t->uv[2]);
}

void Mesh::resolveLinks(int i) {
    MeshTriangle* t = triangle(i);
    if (!t) return;
    t->texture = m_textureList && !t->textureName.empty() ? m_textureList->find(t->textureName.view()) : nullptr;
}

void Mesh::resolveLinks() {
    for (size_t i = 0; i < m_triangles.size(); ++i) resolveLinks(int(i));
}

void Mesh::clear() {
    touch();
    m_vertices.clear();
    m_triangles.clear();
}

uint64_t Mesh::generation() const {
    static std::atomic<uint64_t> last{0};
    if (m_changed) {
        m_generation = ++last;
        m_changed = false;
    }
    return m_generation;
}

} // namespace ravok

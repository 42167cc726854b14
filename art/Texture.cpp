#include "art/Texture.h"

namespace ravok {

void Texture::setPicture(std::string_view name, int width, int height, const uint8_t* bytes) {
    if (name.data() != m_name.c_str()) m_name.set(name);
    m_width = width > 0 ? width : 0;
    m_height = height > 0 ? height : 0;
    m_pixels.clear();
    m_hasPixels = bytes != nullptr;
    if (bytes) m_pixels.assign(bytes, bytes + size_t(m_width) * size_t(m_height));
}

bool Texture::readRaw(FILE* stream, std::string_view name, int width, int height) {
    m_name.set(name);
    m_width = width;
    m_height = height;
    const size_t rowBytes = width > 0 ? size_t(width) : 0;
    m_pixels.assign(rowBytes * size_t(height > 0 ? height : 0), 0);
    bool ok = stream && width > 0 && height > 0;
    for (int row = 0; ok && row < height; ++row)
        ok = std::fread(m_pixels.data() + size_t(row) * rowBytes, 1, rowBytes, stream) == rowBytes;
    if (!ok) {
        m_pixels.clear();
        m_width = m_height = 0;
        m_name.clear();
        m_hasPixels = false;
        return false;
    }
    m_hasPixels = true;
    return true;
}

bool Texture::writeRaw(FILE* stream) const {
    if (!stream || !m_hasPixels) return false;
    const size_t rowBytes = size_t(m_width);
    for (int row = 0; row < m_height; ++row)
        if (std::fwrite(m_pixels.data() + size_t(row) * rowBytes, 1, rowBytes, stream) != rowBytes) return false;
    return true;
}

int SideFromFileSize(uint64_t size) {
    for (int side = 32; side <= 1024; side *= 2)
        if (size == uint64_t(side) * uint64_t(side)) return side;
    return 0;
}

std::string actPathForRaw(std::string_view rawPath) {
    auto at = rawPath.find(".RAW");
    if (at == std::string_view::npos) return {};
    std::string act(rawPath);
    act.replace(at, 4, ".ACT");
    return act;
}

} // namespace ravok

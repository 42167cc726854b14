#include "base/ByteWriter.h"

namespace ravok {

void ByteWriter::fixedText(std::string_view s, size_t n) {
    size_t k = s.size() < n ? s.size() : n;
    text(s.substr(0, k));
    zeros(n - k);
}

void ByteWriter::patchU32LE(size_t offset, uint32_t v) {
    if (offset + 4 > m_bytes.size()) return;
    for (size_t i = 0; i < 4; ++i) m_bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace ravok

#include "base/ByteReader.h"

namespace ravok {

bool ByteReader::readU32BE(uint32_t& v) {
    if (!has(4)) return fail();
    v = uint32_t(m_data[m_pos]) << 24 | uint32_t(m_data[m_pos + 1]) << 16 | uint32_t(m_data[m_pos + 2]) << 8 |
        uint32_t(m_data[m_pos + 3]);
    m_pos += 4;
    return true;
}

bool ByteReader::readI16BE(int16_t& v) {
    if (!has(2)) return fail();
    v = static_cast<int16_t>(uint16_t(m_data[m_pos]) << 8 | m_data[m_pos + 1]);
    m_pos += 2;
    return true;
}

bool ByteReader::readF32BE(float& v) {
    uint32_t bits;
    if (!readU32BE(bits)) return false;
    std::memcpy(&v, &bits, 4);
    return true;
}

bool ByteReader::readBytes(void* out, size_t n) {
    if (!has(n)) return fail();
    if (n) std::memcpy(out, m_data.data() + m_pos, n);
    m_pos += n;
    return true;
}

std::span<const uint8_t> ByteReader::take(size_t n) {
    if (!has(n)) {
        fail();
        return {};
    }
    auto view = m_data.subspan(m_pos, n);
    m_pos += n;
    return view;
}

bool ByteReader::skip(size_t n) {
    if (!has(n)) return fail();
    m_pos += n;
    return true;
}

bool ByteReader::seek(size_t pos) {
    if (m_failed || pos > m_data.size()) return fail();
    m_pos = pos;
    return true;
}

} // namespace ravok

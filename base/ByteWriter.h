#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace ravok {

// Appends little-endian values to a growing byte buffer.
class ByteWriter {
public:
    const std::vector<uint8_t>& bytes() const { return m_bytes; }
    std::vector<uint8_t> release() { return std::move(m_bytes); }
    size_t size() const { return m_bytes.size(); }
    void reserve(size_t n) { m_bytes.reserve(n); }

    void u8(uint8_t v) { m_bytes.push_back(v); }
    void u16LE(uint16_t v) { putLE(v); }
    void i16LE(int16_t v) { putLE(static_cast<uint16_t>(v)); }
    void u32LE(uint32_t v) { putLE(v); }
    void i32LE(int32_t v) { putLE(static_cast<uint32_t>(v)); }
    void f32LE(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        putLE(bits);
    }
    void bytes(std::span<const uint8_t> data) { m_bytes.insert(m_bytes.end(), data.begin(), data.end()); }
    void bytes(const void* data, size_t n) {
        auto p = static_cast<const uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), p, p + n);
    }
    void text(std::string_view s) { bytes(s.data(), s.size()); }
    // Writes exactly n bytes: the text cut to n, padded with zeros.
    void fixedText(std::string_view s, size_t n);
    void zeros(size_t n) { m_bytes.insert(m_bytes.end(), n, 0); }
    // Overwrites a 32-bit value already written at offset.
    void patchU32LE(size_t offset, uint32_t v);

private:
    template <typename T> void putLE(T v) {
        for (size_t i = 0; i < sizeof(T); ++i) m_bytes.push_back(static_cast<uint8_t>(uint64_t(v) >> (8 * i)));
    }
    std::vector<uint8_t> m_bytes;
};

} // namespace ravok

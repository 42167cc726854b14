#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace ravok {

// Bounds-checked little-endian reader over a byte span. Every read either
// succeeds completely or fails and leaves the output untouched; once a read
// fails the reader stays failed, so a chain of reads can be checked once.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : m_data(data) {}

    size_t position() const { return m_pos; }
    size_t remaining() const { return m_failed ? 0 : m_data.size() - m_pos; }
    size_t size() const { return m_data.size(); }
    bool ok() const { return !m_failed; }
    bool atEnd() const { return remaining() == 0; }

    // True when n more bytes can be read; never allocate from a size in a file
    // before asking this.
    bool has(size_t n) const { return !m_failed && n <= m_data.size() - m_pos; }

    bool readU8(uint8_t& v) { return readLE(v); }
    bool readU16LE(uint16_t& v) { return readLE(v); }
    bool readI16LE(int16_t& v) { return readLE(v); }
    bool readU32LE(uint32_t& v) { return readLE(v); }
    bool readI32LE(int32_t& v) { return readLE(v); }
    bool readF32LE(float& v) {
        uint32_t bits;
        if (!readLE(bits)) return false;
        std::memcpy(&v, &bits, 4);
        return true;
    }
    bool readU32BE(uint32_t& v);
    bool readI16BE(int16_t& v);
    bool readF32BE(float& v);

    bool readBytes(void* out, size_t n);
    // A view of the next n bytes without copying; empty on failure.
    std::span<const uint8_t> take(size_t n);
    bool skip(size_t n);
    bool seek(size_t pos);

private:
    template <typename T> bool readLE(T& v) {
        if (!has(sizeof(T))) return fail();
        uint64_t acc = 0;
        for (size_t i = 0; i < sizeof(T); ++i) acc |= uint64_t(m_data[m_pos + i]) << (8 * i);
        m_pos += sizeof(T);
        v = static_cast<T>(acc);
        return true;
    }
    bool fail() {
        m_failed = true;
        return false;
    }

    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    bool m_failed = false;
};

} // namespace ravok

#pragma once

// The framing the level and situation harnesses read their input in: a
// 16-bit length and that many bytes of text, then items, each a 24-bit
// length and its bytes, named in turn from a fixed list.
#include "pod/ItemSource.h"

#include <span>
#include <string_view>

namespace ravok::fuzz {

inline std::span<const uint8_t> takeFramed(const uint8_t*& data, size_t& size, size_t lengthBytes) {
    if (size < lengthBytes) {
        size = 0;
        return {};
    }
    size_t n = 0;
    for (size_t i = 0; i < lengthBytes; ++i) n |= size_t(data[i]) << (8 * i);
    data += lengthBytes;
    size -= lengthBytes;
    n = std::min(n, size);
    std::span<const uint8_t> out(data, n);
    data += n;
    size -= n;
    return out;
}

template <size_t N>
std::span<const uint8_t> splitInput(const uint8_t* data, size_t size, const std::string_view (&names)[N],
                                    MemoryItemSource& items) {
    std::span<const uint8_t> text = takeFramed(data, size, 2);
    for (std::string_view name : names) {
        if (size == 0) break;
        auto bytes = takeFramed(data, size, 3);
        items.add(std::string(name), Blob(bytes.begin(), bytes.end()));
    }
    return text;
}

} // namespace ravok::fuzz

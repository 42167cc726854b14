#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ravok {

// A zero-terminated text field of N bytes, as the track's records hold them.
// Setting cuts the text to N - 1 characters (or a smaller limit) and clears
// the rest of the field, so nothing ever writes past it.
template <size_t N> class FixedString {
public:
    static constexpr size_t kCapacity = N;

    FixedString() { m_chars.fill(0); }
    FixedString(std::string_view s) { set(s); }

    void set(std::string_view s, size_t maxChars = N - 1) {
        m_chars.fill(0);
        size_t n = std::min({s.size(), maxChars, N - 1});
        // A text read from a file may hold a zero: it ends the field there.
        auto zero = s.substr(0, n).find('\0');
        if (zero != std::string_view::npos) n = zero;
        std::memcpy(m_chars.data(), s.data(), n);
    }
    void clear() { m_chars.fill(0); }

    std::string_view view() const { return {m_chars.data(), std::strlen(m_chars.data())}; }
    std::string str() const { return std::string(view()); }
    const char* c_str() const { return m_chars.data(); }
    size_t size() const { return view().size(); }
    bool empty() const { return m_chars[0] == 0; }
    // The whole field, zero bytes included, for writers of fixed layouts.
    const std::array<char, N>& raw() const { return m_chars; }
    // Sets one byte of the field; for records that keep data after the text.
    void setByte(size_t i, uint8_t b) {
        if (i < N - 1) m_chars[i] = char(b);
    }

    bool operator==(std::string_view s) const { return view() == s; }
    bool operator==(const FixedString&) const = default;

private:
    std::array<char, N> m_chars;
};

} // namespace ravok

#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ravok {

// Reads a game text file line by line the way the games do: a line is the
// bytes up to LF, at most 1,023 characters (the rest is read as the next
// line); a CR or a zero byte ends the line's text.
class TextLineReader {
public:
    static constexpr size_t kMaxLine = 1023;
    explicit TextLineReader(std::span<const uint8_t> text) : m_text(text) {}

    // False at the end of the text.
    bool next(std::string& line);
    bool atEnd() const { return m_pos >= m_text.size(); }
    size_t position() const { return m_pos; }
    // Steps back to a position from position(), to read a line again.
    void rewind(size_t pos) { m_pos = pos < m_text.size() ? pos : m_text.size(); }

private:
    std::span<const uint8_t> m_text;
    size_t m_pos = 0;
};

// Numbers in game text files, the same whatever the user's locale: reals
// as "%.6f" writes them, and reading like the C library's decimal
// conversions (leading blanks and a sign allowed, text after the number
// ignored, nothing readable gives 0). Out-of-range integers saturate.
std::string realText(double value);
double parseReal(std::string_view text);
int32_t parseInt(std::string_view text);
// The text after the n-th comma (n = 0: the whole text); empty when the text
// has fewer commas.
std::string_view afterComma(std::string_view text, int n);
// A real value made a 32-bit integer, truncating; NaN gives 0, and values
// out of range saturate.
int32_t truncateToInt(double value);

// Appends text and CR LF.
inline void appendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

} // namespace ravok

#pragma once

#include <cstdint>
#include <span>
#include <string>

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

// Appends text and CR LF.
inline void appendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

} // namespace ravok

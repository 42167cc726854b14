#include "pod/TextLines.h"

namespace ravok {

bool TextLineReader::next(std::string& line) {
    line.clear();
    if (m_pos >= m_text.size()) return false;
    size_t start = m_pos, end = m_pos;
    while (end < m_text.size() && end - start < kMaxLine) {
        if (m_text[end++] == '\n') break;
    }
    m_pos = end;
    for (size_t i = start; i < end; ++i) {
        char c = char(m_text[i]);
        if (c == '\r' || c == '\n' || c == '\0') break;
        line.push_back(c);
    }
    return true;
}

} // namespace ravok

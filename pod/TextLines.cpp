#include "pod/TextLines.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

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

namespace {

std::string_view skipBlanksAndPlus(std::string_view text, bool& negative) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\v' || text[i] == '\f')) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    return text.substr(i);
}

} // namespace

std::string realText(double value) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return "0.000000";
    return std::string(buffer, result.ptr);
}

double parseReal(std::string_view text) {
    bool negative = false;
    std::string_view rest = skipBlanksAndPlus(text, negative);
    double value = 0;
    auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Past what a double holds: tiny numbers become 0, huge ones infinite.
        std::string_view number(rest.data(), size_t(result.ptr - rest.data()));
        bool tiny = number.find("e-") != std::string_view::npos || number.find("E-") != std::string_view::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (result.ec != std::errc()) {
        value = 0;
    }
    return negative ? -value : value;
}

int32_t parseInt(std::string_view text) {
    bool negative = false;
    std::string_view rest = skipBlanksAndPlus(text, negative);
    int64_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') break;
        value = std::min<int64_t>(value * 10 + (c - '0'), int64_t(1) << 32);
    }
    if (negative) value = -value;
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

std::string_view afterComma(std::string_view text, int n) {
    for (int i = 0; i < n; ++i) {
        auto comma = text.find(',');
        if (comma == std::string_view::npos) return {};
        text = text.substr(comma + 1);
    }
    return text;
}

int32_t truncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}

} // namespace ravok

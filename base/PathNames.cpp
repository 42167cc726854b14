#include "base/PathNames.h"

namespace fs = std::filesystem;

namespace ravok {

fs::path pathFromName(std::string_view latin1) {
#ifdef _WIN32
    std::wstring wide;
    wide.reserve(latin1.size());
    for (char c : latin1) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return fs::path(std::move(wide));
#else
    std::string utf8;
    utf8.reserve(latin1.size());
    for (char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return fs::path(std::move(utf8));
#endif
}

namespace {

char latin1Of(char32_t c) { return c < 0x100 ? static_cast<char>(c) : '?'; }

} // namespace

std::string nameFromPath(const fs::path& path) {
    std::string out;
#ifdef _WIN32
    const std::wstring& wide = path.native();
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) ++i; // a surrogate pair is never Latin-1
        out.push_back(c >= 0xD800 && c < 0xE000 ? '?' : latin1Of(c));
    }
#else
    const std::string& bytes = path.native();
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        bool valid = length > 0 && i + length <= bytes.size() && !(length == 2 && b < 0xC2);
        for (size_t k = 1; valid && k < length; ++k) valid = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
        if (!valid) {
            out.push_back(static_cast<char>(b)); // not UTF-8: an 8-bit name kept as it was
            continue;
        }
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        out.push_back(latin1Of(c));
        i += length - 1;
    }
#endif
    return out;
}

std::string pathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path pathFromText(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

} // namespace ravok

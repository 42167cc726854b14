#include "model/WorldName.h"

#include <cctype>

namespace ravok {

std::string DeriveWorldName(std::string_view text, size_t capacity) {
    std::string out;
    const size_t limit = capacity == 0 ? 0 : std::min(kMaxDerivedWorldName, capacity - 1);
    for (char ch : text) {
        if (out.size() >= limit) break;
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z')
            out += static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            out += static_cast<char>(c);
    }
    return out;
}

std::string NormaliseExtension(std::string_view extension) {
    std::string out = (!extension.empty() && extension.front() == '.') ? std::string(extension)
                                                                        : "." + std::string(extension);
    if (out.size() > 7) out.resize(7);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

} // namespace ravok

#include "art/NameLookup.h"

#include "art/ItemNames.h"

#include <cctype>
#include <strings.h>

namespace ravok {

std::string lookupKey(std::string_view name) {
    std::string copy(name.substr(0, 31));
    for (char& c : copy) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return std::string(nameInFolder(copy));
}

std::string_view storedLookupKey(std::string_view stored) {
    return nameInFolder(stored);
}

std::string withRawExtension(std::string_view name) {
    auto dot = name.rfind('.');
    auto slash = name.find_last_of("\\/");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    std::string raw = std::string(name.substr(0, dot + 1)) + "RAW";
    if (raw.size() == name.size() && strncasecmp(raw.c_str(), std::string(name).c_str(), raw.size()) == 0)
        return {};
    return raw;
}

} // namespace ravok

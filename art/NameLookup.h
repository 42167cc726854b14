#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ravok {

// The compared part of a name: at most 31 characters, upper-cased, after the
// first backslash (the whole name when it has none).
std::string lookupKey(std::string_view name);
// The compared part of a stored name, which is already upper case.
std::string_view storedLookupKey(std::string_view stored);

// The first filled slot whose stored name has the same compared part as
// `name`, or -1. ART\GRASS.RAW, X\GRASS.RAW and grass.raw all find a texture
// stored as ART\GRASS.RAW. T has a name (member or accessor) with a view().
template <typename T> std::string_view recordName(const T& record) {
    if constexpr (requires { record.name(); })
        return record.name().view();
    else
        return record.name.view();
}

template <typename T> int FindByName(std::span<const std::unique_ptr<T>> slots, std::string_view name) {
    const std::string key = lookupKey(name);
    for (size_t i = 0; i < slots.size(); ++i)
        if (slots[i] && storedLookupKey(recordName(*slots[i])) == key) return static_cast<int>(i);
    return -1;
}

// The name with its extension replaced by RAW, or empty when that changes
// nothing (compared without regard to case) or the name has no extension.
std::string withRawExtension(std::string_view name);

// FindByName, then once more with the extension replaced by RAW.
template <typename T> int FindTextureByName(std::span<const std::unique_ptr<T>> slots, std::string_view name) {
    int slot = FindByName(slots, name);
    if (slot >= 0) return slot;
    std::string raw = withRawExtension(name);
    return raw.empty() ? -1 : FindByName(slots, raw);
}

} // namespace ravok

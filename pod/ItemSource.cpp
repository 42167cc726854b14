#include "pod/ItemSource.h"

#include "art/ItemNames.h"
#include "base/Text.h"

namespace ravok {

std::optional<TrackItemSource::Item> PodItemSource::find(std::string_view name) {
    const PodDirectoryEntry* entry = FindPodItem(m_track, m_pod, upperCase(name));
    if (!entry) return std::nullopt;
    return Item{PodEntryName(*entry), entry->size};
}

std::optional<Blob> PodItemSource::read(const Item& item, uint64_t maxBytes) {
    // Looked up again by its whole name, so the stream is at its first byte.
    const PodDirectoryEntry* entry = FindPodItem(m_track, m_pod, item.name);
    if (!entry) return std::nullopt;
    Blob bytes(size_t(std::min<uint64_t>(entry->size, maxBytes)));
    if (!bytes.empty() && !m_pod.read(bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

namespace {

// A directory name matches whole when the name asked for has a folder, else
// by the part after its first backslash.
bool nameMatches(std::string_view entryName, std::string_view asked) {
    const std::string entry = upperCase(entryName);
    if (hasItemFolder(asked)) return entry == asked;
    return hasItemFolder(entry) && nameInFolder(entry) == asked;
}

} // namespace

std::optional<TrackItemSource::Item> MemoryItemSource::find(std::string_view name) {
    const std::string asked = upperCase(name);
    for (const auto& [itemName, bytes] : m_items)
        if (nameMatches(itemName, asked)) {
            if (bytes.empty()) return std::nullopt;
            return Item{upperCase(itemName), bytes.size()};
        }
    return std::nullopt;
}

std::optional<Blob> MemoryItemSource::read(const Item& item, uint64_t maxBytes) {
    for (const auto& [itemName, bytes] : m_items)
        if (upperCase(itemName) == item.name)
            return Blob(bytes.begin(), bytes.begin() + ptrdiff_t(std::min<uint64_t>(bytes.size(), maxBytes)));
    return std::nullopt;
}

} // namespace ravok

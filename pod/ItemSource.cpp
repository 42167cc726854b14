#include "pod/ItemSource.h"

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

} // namespace ravok

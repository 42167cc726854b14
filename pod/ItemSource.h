#pragma once

#include "model/TrackPod.h"
#include "pod/PodArchive.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ravok {

// Where the readers of the situation, level and data files find the items a
// file names: a pod, or for a clone the folders of a game installation.
class TrackItemSource {
public:
    struct Item {
        std::string name; // the name the item was found under, upper case
        uint64_t size = 0;
    };
    virtual ~TrackItemSource() = default;
    // Finds an item by its upper-case name, with a folder or bare; empty
    // items count as missing.
    virtual std::optional<Item> find(std::string_view name) = 0;
    // Reads at most maxBytes of a found item.
    virtual std::optional<Blob> read(const Item& item, uint64_t maxBytes) = 0;

    // Finds and reads in one step.
    std::optional<Blob> findAndRead(std::string_view name, uint64_t maxBytes = kMaxWholeItem) {
        auto item = find(name);
        return item ? read(*item, maxBytes) : std::nullopt;
    }
    // Largest item read whole.
    static constexpr uint64_t kMaxWholeItem = 64u * 1024 * 1024;
};

// The items of an open pod whose directory the track holds.
class PodItemSource : public TrackItemSource {
public:
    PodItemSource(const CTrackPOD& track, PodFile& pod) : m_track(track), m_pod(pod) {}
    std::optional<Item> find(std::string_view name) override;
    std::optional<Blob> read(const Item& item, uint64_t maxBytes) override;

private:
    const CTrackPOD& m_track;
    PodFile& m_pod;
};

// Items held in memory, looked up by the same rules as a pod's directory.
class MemoryItemSource : public TrackItemSource {
public:
    void add(std::string name, Blob bytes) { m_items.emplace_back(std::move(name), std::move(bytes)); }
    std::optional<Item> find(std::string_view name) override;
    std::optional<Blob> read(const Item& item, uint64_t maxBytes) override;

private:
    std::vector<std::pair<std::string, Blob>> m_items;
};

} // namespace ravok

#pragma once

#include "model/PodNameRules.h"
#include "model/TrackPod.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading the games' POD archive: a count, an 80-byte comment, a directory
// of 40-byte entries and the items' bytes. All numbers little-endian.
namespace ravok {

constexpr size_t kPodCountBytes = 4;
constexpr size_t kPodCommentBytes = 80;
constexpr size_t kPodHeaderBytes = kPodCountBytes + kPodCommentBytes; // 84
constexpr size_t kPodEntryBytes = 40;
constexpr size_t kPodEntryNameBytes = kPodMaxEntryName + 1;

// The warning line for two track stems sharing their first 7 characters.
std::string SharedStemWarning(std::string_view first, std::string_view second);
// True when two stems share their first 7 characters ignoring case (both at
// least that long, or equal when shorter).
bool StemsCollide(std::string_view first, std::string_view second);
// A menu picture name without a leading "UI\" or "UI/" (either case).
std::string_view StripUiPrefix(std::string_view name);

// An item is a situation file when its name from the first dot on is ".SIT"
// or ".SI2" ignoring case; `si2` tells which.
bool IsSituationItemName(std::string_view name, bool* si2 = nullptr);
// An item is an HD picture when its name from the last dot on is ".PNG" or ".TGA".
bool IsHdPictureItemName(std::string_view name);
// The entry's name upper-cased and cut at the first zero.
std::string PodEntryName(const PodDirectoryEntry& entry);

// A pod opened for reading: a stream that knows the file's size, so that no
// entry is ever read past the end.
class PodFile {
public:
    PodFile() = default;
    PodFile(const PodFile&) = delete;
    PodFile& operator=(const PodFile&) = delete;
    ~PodFile() { close(); }

    bool open(const std::filesystem::path& path);
    void close();
    bool isOpen() const { return m_file != nullptr; }
    uint64_t size() const { return m_size; }
    uint64_t position() const { return m_position; }
    bool seek(uint64_t offset);
    // Reads exactly n bytes from the current position; false on a short read.
    bool read(void* out, size_t n);

private:
    FILE* m_file = nullptr;
    uint64_t m_size = 0;
    uint64_t m_position = 0;
};

// Opens a pod and reads its count, comment and directory into the track
// (podDirectory, comment). Fails, leaving the track's directory empty and the
// file closed, when the file does not open, a read comes up short, the count
// is 0 or negative as a signed number, or the directory would not fit the file.
bool OpenPodDirectory(CTrackPOD& track, PodFile& stream, const std::filesystem::path& path);

// Whether an entry's bytes lie inside the file; entries that do not are absent.
bool PodEntryFits(const PodDirectoryEntry& entry, uint64_t fileSize);

// Finds an item by its upper-case name. A name with a backslash matches an
// entry's whole name; a bare name matches the part after an entry's first
// backslash. The first match wins; size 0 or bytes past the end of the file
// count as not found. On success the stream is at the entry's offset.
const PodDirectoryEntry* FindPodItem(const CTrackPOD& track, PodFile& stream, std::string_view name);
// Reads exactly the entry's size from the current position; nullopt on a
// short read, an empty blob for size 0.
std::optional<Blob> ReadPodItem(PodFile& stream, const PodDirectoryEntry& entry);
// The names a texture is looked for under: the name itself, then its stem
// with RAW, PNG and TGA (an alternative equal to the name is left out).
std::vector<std::string> TextureNameAlternatives(std::string_view name);
// For texture names: the first of TextureNameAlternatives that exists
// replaces the name.
const PodDirectoryEntry* FindPodItemAnyExtension(const CTrackPOD& track, PodFile& stream, std::string& name);

} // namespace ravok

#include "pod/PodArchive.h"

#include "art/ItemNames.h"
#include "base/ByteReader.h"
#include "base/PortableFile.h"
#include "base/Text.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace ravok {


bool StemsCollide(std::string_view first, std::string_view second) {
    return equalsIgnoringCase(first.substr(0, 7), second.substr(0, 7));
}

std::string SharedStemWarning(std::string_view first, std::string_view second) {
    const std::string a(first), b(second);
    return formatText("Tracks \"%s\" and \"%s\" share their first 7 characters. Under the original 8.3 UI\\ naming "
                      "they would resolve to the same UI\\ picture and icon.\r\n",
                      a.c_str(), b.c_str());
}

std::string_view StripUiPrefix(std::string_view name) {
    if (name.size() >= 3 && (name[0] == 'U' || name[0] == 'u') && (name[1] == 'I' || name[1] == 'i') &&
        (name[2] == '\\' || name[2] == '/'))
        return name.substr(3);
    return name;
}

bool IsSituationItemName(std::string_view name, bool* si2) {
    auto dot = name.find('.');
    if (dot == std::string_view::npos) return false;
    std::string_view ext = name.substr(dot);
    bool isSit = equalsIgnoringCase(ext, ".SIT"), isSi2 = equalsIgnoringCase(ext, ".SI2");
    if (si2) *si2 = isSi2;
    return isSit || isSi2;
}

bool IsHdPictureItemName(std::string_view name) {
    auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string_view ext = name.substr(dot);
    return equalsIgnoringCase(ext, ".PNG") || equalsIgnoringCase(ext, ".TGA");
}

std::string PodEntryName(const PodDirectoryEntry& entry) { return upperCase(entry.name.view()); }

// ---- the stream -----------------------------------------------------------------

bool PodFile::open(const std::filesystem::path& path) {
    close();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return false;
    m_file = openFile(path, "rb");
    if (!m_file) return false;
    m_size = size;
    m_position = 0;
    return true;
}

void PodFile::close() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    m_size = m_position = 0;
}

bool PodFile::seek(uint64_t offset) {
    if (!m_file || offset > m_size) return false;
    if (!seekFile(m_file, offset)) return false;
    m_position = offset;
    return true;
}

bool PodFile::read(void* out, size_t n) {
    if (!m_file || n > m_size - std::min(m_position, m_size)) return false;
    size_t got = std::fread(out, 1, n, m_file);
    m_position += got;
    return got == n;
}

// ---- the directory --------------------------------------------------------------

bool OpenPodDirectory(CTrackPOD& track, PodFile& stream, const std::filesystem::path& path) {
    track.podDirectory.clear();
    auto fail = [&] {
        track.podDirectory.clear();
        stream.close();
        return false;
    };
    if (!stream.open(path)) return fail();
    uint8_t header[kPodHeaderBytes];
    if (!stream.read(header, sizeof header)) return fail();
    ByteReader in({header, sizeof header});
    int32_t count = 0;
    in.readI32LE(count);
    if (count <= 0) return fail();
    // A directory the file cannot hold fails here, before anything is allocated.
    if (uint64_t(count) * kPodEntryBytes > stream.size() - kPodHeaderBytes) return fail();

    std::vector<uint8_t> bytes(size_t(count) * kPodEntryBytes);
    if (!stream.read(bytes.data(), bytes.size())) return fail();
    ByteReader dir(bytes);
    track.podDirectory.resize(size_t(count));
    for (auto& entry : track.podDirectory) {
        auto name = dir.take(kPodEntryNameBytes);
        entry.name.set({reinterpret_cast<const char*>(name.data()), name.size()});
        dir.readU32LE(entry.size);
        dir.readU32LE(entry.offset);
    }
    track.comment.set({reinterpret_cast<const char*>(header + kPodCountBytes), kPodCommentBytes});
    return true;
}

bool PodEntryFits(const PodDirectoryEntry& entry, uint64_t fileSize) {
    return uint64_t(entry.offset) + entry.size <= fileSize;
}

const PodDirectoryEntry* FindPodItem(const CTrackPOD& track, PodFile& stream, std::string_view name) {
    const bool whole = hasItemFolder(name);
    for (const auto& entry : track.podDirectory) {
        std::string entryName = PodEntryName(entry);
        std::string_view compared = entryName;
        if (!whole) {
            if (!hasItemFolder(compared)) continue;
            compared = nameInFolder(compared);
        }
        if (compared != name) continue;
        if (entry.size == 0 || !PodEntryFits(entry, stream.size()) || !stream.seek(entry.offset)) return nullptr;
        return &entry;
    }
    return nullptr;
}

std::optional<Blob> ReadPodItem(PodFile& stream, const PodDirectoryEntry& entry) {
    if (!PodEntryFits(entry, stream.size())) return std::nullopt;
    Blob bytes(entry.size);
    if (entry.size && !stream.read(bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

std::vector<std::string> TextureNameAlternatives(std::string_view name) {
    std::vector<std::string> names{std::string(name)};
    auto dot = name.rfind('.');
    auto slash = name.rfind('\\');
    const bool hasExtension = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    const std::string stem(hasExtension ? name.substr(0, dot) : name);
    for (std::string_view ext : {".RAW", ".PNG", ".TGA"})
        if (std::string alternative = stem + std::string(ext); alternative != name) names.push_back(alternative);
    return names;
}

const PodDirectoryEntry* FindPodItemAnyExtension(const CTrackPOD& track, PodFile& stream, std::string& name) {
    for (const std::string& candidate : TextureNameAlternatives(name))
        if (auto* entry = FindPodItem(track, stream, candidate)) {
            name = candidate;
            return entry;
        }
    return nullptr;
}

} // namespace ravok

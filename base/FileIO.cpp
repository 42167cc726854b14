#include "base/FileIO.h"

#include "base/PathNames.h"
#include "base/PortableFile.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <random>

namespace fs = std::filesystem;

namespace ravok {

std::optional<std::vector<uint8_t>> readWholeFile(const fs::path& path, uintmax_t limit) {
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    if (ec || size >= limit) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return std::nullopt;
    return bytes;
}

namespace {

bool setError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

// A new file of our own beside the target, created exclusively so that a
// file or link already lying under that name is never followed or reused.
FILE* createTemporarySibling(const fs::path& target, fs::path& temp) {
    static std::mt19937 rng{std::random_device{}()};
    static std::mutex rngMutex;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        {
            std::lock_guard lock(rngMutex);
            std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(rng()));
        }
        temp = target.parent_path() / (target.filename().native() + pathFromText(suffix).native());
        if (FILE* f = createNewFile(temp)) return f;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

} // namespace

fs::path resolveWriteTarget(const fs::path& target) {
    fs::path path = target;
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
        fs::path next = fs::read_symlink(path, ec);
        if (ec) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

std::string refusalToReplace(const fs::path& target) {
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (ec || !fs::exists(status)) return {};
    if (!fs::is_regular_file(status)) return "\"" + target.string() + "\" is not a file that can be replaced.";
    using fs::perms;
    if ((status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none)
        return "\"" + target.string() + "\" is read-only.";
    return {};
}

bool writeFileAtomically(const fs::path& requested, std::span<const uint8_t> bytes, std::string* error) {
    const fs::path target = resolveWriteTarget(requested);
    if (std::string refusal = refusalToReplace(target); !refusal.empty()) return setError(error, refusal);

    // A replaced file keeps its permissions; a new one gets the usual ones.
    std::error_code ec;
    const bool replacing = fs::exists(target, ec);
    const fs::perms mode = replacing ? fs::status(target, ec).permissions() & fs::perms::mask : fs::perms::none;
    fs::path temp;
    FILE* f = createTemporarySibling(target, temp);
    if (!f) return setError(error, "Cannot write \"" + target.string() + "\": " + std::strerror(errno) + ".");
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int reason = ok ? 0 : errno;
    if (ok && !flushToDisk(f)) ok = false, reason = errno;
    if (std::fclose(f) != 0 && ok) ok = false, reason = errno; // closed before the rename: Windows renames no open file
    if (ok && replacing) {
        fs::permissions(temp, mode, ec);
        if (ec) ok = false, reason = ec.value();
    }
    if (ok && !replaceFile(temp, target, ec)) ok = false, reason = ec.value();
    if (!ok) {
        fs::remove(temp, ec);
        return setError(error, "Cannot write \"" + target.string() + "\": " + std::strerror(reason) + ".");
    }
    invalidateFolderCache(target.parent_path());
    return true;
}

namespace {

// Names Windows gives to devices in every folder, with any extension.
bool isDeviceName(std::string_view part) {
    std::string stem(part.substr(0, part.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (auto device : kDevices)
        if (stem == device) return true;
    const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT"));
    // COM1..COM9 and LPT1..LPT9, with 0 and the superscript digits of Latin-1
    return numbered && std::string_view("0123456789\xB9\xB2\xB3").find(stem[3]) != std::string_view::npos;
}

// One component of a stored name that names a plain file or folder on every
// system: no "." or "..", no drive, stream or wildcard characters, no control
// characters, no trailing dot or space (Windows drops them), no device.
bool isSafeComponent(std::string_view part) {
    if (part.empty() || part == "." || part == "..") return false;
    for (char c : part)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view(":*?\"<>|").find(c) != std::string_view::npos)
            return false;
    if (part.back() == '.' || part.back() == ' ') return false;
    return !isDeviceName(part);
}

} // namespace

bool isSafeRelativeName(std::string_view name) {
    if (name.empty() || name.front() == '\\' || name.front() == '/') return false; // rooted or UNC
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = name.size();
        if (!isSafeComponent(name.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

namespace {

// Folds the letters of a stored (Latin-1) name, accented capitals included.
std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
            c = static_cast<char>(byte + 0x20);
    }
    return out;
}

// Lower-cased stored form of a file name -> the file's actual name, per folder. A listing is read
// again when the folder's last-write time changed (files added, removed or
// renamed by any program since).
struct FolderListing {
    uint64_t stamp;
    std::map<std::string, fs::path> names;
};
std::mutex g_cacheMutex;
std::map<fs::path, FolderListing> g_folderCache;

std::optional<fs::path> findIgnoringCase(const fs::path& folder, std::string_view part) {
    std::error_code ec;
    const auto stamp = lastWriteStamp(folder);
    if (!stamp) return std::nullopt;
    std::lock_guard lock(g_cacheMutex);
    auto it = g_folderCache.find(folder);
    if (it == g_folderCache.end() || it->second.stamp != *stamp) {
        FolderListing listing{*stamp, {}};
        for (fs::directory_iterator d(folder, ec), end; !ec && d != end; d.increment(ec)) {
            fs::path name = d->path().filename();
            listing.names.emplace(lowered(nameFromPath(name)), name); // first of several case variants wins
        }
        it = g_folderCache.insert_or_assign(folder, std::move(listing)).first;
    }
    auto hit = it->second.names.find(lowered(part));
    if (hit == it->second.names.end()) return std::nullopt;
    return hit->second;
}

} // namespace

std::optional<fs::path> resolveInFolder(const fs::path& folder, std::string_view name) {
    if (!isSafeRelativeName(name)) return std::nullopt;
    fs::path resolved = folder;
#ifdef _WIN32
    // Windows finds a file under any case, so an exact test would hand back
    // the stored name's case: the listing gives the name as it is on disk.
    bool exactStillPossible = false;
#else
    bool exactStillPossible = true;
#endif
    size_t start = 0;
    while (start < name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = name.size();
        auto part = name.substr(start, end - start);
        std::error_code ec;
        if (exactStillPossible && fs::exists(resolved / pathFromName(part), ec)) {
            resolved /= pathFromName(part);
        } else {
            exactStillPossible = false;
            auto actual = findIgnoringCase(resolved, part);
            if (!actual) return std::nullopt;
            resolved /= *actual;
        }
        start = end + 1;
    }
    return resolved;
}

void invalidateFolderCache(const fs::path& folder) {
    std::lock_guard lock(g_cacheMutex);
    if (folder.empty())
        g_folderCache.clear();
    else
        g_folderCache.erase(folder);
}

} // namespace ravok

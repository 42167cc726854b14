#include "base/FileIO.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

#ifndef O_CLOEXEC
#define O_CLOEXEC 0 // not a flag on every platform
#endif

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
int createTemporarySibling(const fs::path& target, mode_t mode, fs::path& temp) {
    static std::mt19937 rng{std::random_device{}()};
    static std::mutex rngMutex;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        {
            std::lock_guard lock(rngMutex);
            std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(rng()));
        }
        temp = target.parent_path() / (target.filename().string() + suffix);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
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

    // A replaced file keeps its permissions; a new one gets the usual 0666 less the umask.
    std::error_code ec;
    const bool replacing = fs::exists(target, ec);
    const mode_t mode = replacing ? mode_t(fs::status(target, ec).permissions() & fs::perms::mask) : 0666;
    fs::path temp;
    const int fd = createTemporarySibling(target, mode, temp);
    if (fd < 0)
        return setError(error, "Cannot write \"" + target.string() + "\": " + std::strerror(errno) + ".");
    bool ok = writeAll(fd, bytes);
    int reason = ok ? 0 : errno;
#ifndef _WIN32
    // The umask may have narrowed the mode the file was created with.
    if (ok && replacing && ::fchmod(fd, mode) != 0) ok = false, reason = errno;
#endif
    if (ok && ::fsync(fd) != 0) ok = false, reason = errno;
    if (::close(fd) != 0 && ok) ok = false, reason = errno;
    if (ok) {
        fs::rename(temp, target, ec);
        if (ec) ok = false, reason = ec.value();
    }
    if (!ok) {
        fs::remove(temp, ec);
        return setError(error, "Cannot write \"" + target.string() + "\": " + std::strerror(reason) + ".");
    }
    invalidateFolderCache(target.parent_path());
    return true;
}

bool isSafeRelativeName(std::string_view name) {
    if (name.empty()) return false;
    if (name.size() >= 2 && name[1] == ':') return false; // drive letter
    if (name.front() == '\\' || name.front() == '/') return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = name.size();
        auto part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

namespace {

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Lower-cased file name -> actual file name, per folder. A listing is read
// again when the folder's last-write time changed (files added, removed or
// renamed by any program since).
struct FolderListing {
    fs::file_time_type stamp;
    std::map<std::string, std::string> names;
};
std::mutex g_cacheMutex;
std::map<fs::path, FolderListing> g_folderCache;

std::optional<std::string> findIgnoringCase(const fs::path& folder, std::string_view part) {
    std::error_code ec;
    const auto stamp = fs::last_write_time(folder, ec);
    if (ec) return std::nullopt;
    std::lock_guard lock(g_cacheMutex);
    auto it = g_folderCache.find(folder);
    if (it == g_folderCache.end() || it->second.stamp != stamp) {
        FolderListing listing{stamp, {}};
        for (fs::directory_iterator d(folder, ec), end; !ec && d != end; d.increment(ec)) {
            auto name = d->path().filename().string();
            listing.names.emplace(lowered(name), name); // first of several case variants wins
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
    bool exactStillPossible = true;
    size_t start = 0;
    while (start < name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = name.size();
        auto part = name.substr(start, end - start);
        std::error_code ec;
        if (exactStillPossible && fs::exists(resolved / std::string(part), ec)) {
            resolved /= std::string(part);
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

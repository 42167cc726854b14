#include "base/FileIO.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <unistd.h>

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

fs::path temporarySibling(const fs::path& target) {
    static std::mt19937 rng{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(rng()));
    return target.parent_path() / (target.filename().string() + suffix);
}

bool setError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

} // namespace

bool writeFileAtomically(const fs::path& target, std::span<const uint8_t> bytes, std::string* error) {
    fs::path temp = temporarySibling(target);
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return setError(error, "cannot create " + temp.string());
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok) fs::rename(temp, target, ec);
    if (!ok || ec) {
        fs::remove(temp, ec);
        return setError(error, "cannot write " + target.string());
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

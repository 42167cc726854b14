#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravok {

// Largest file any reader takes whole into memory.
constexpr uintmax_t kMaxWholeFileBytes = 64u * 1024 * 1024;

// Reads a whole file; nullopt when it cannot be opened, read, or is 64 MiB or more.
std::optional<std::vector<uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                  uintmax_t limit = kMaxWholeFileBytes);

// Where a write to `target` lands: the final target of a symbolic link (so
// the link stays a link), else `target` itself.
std::filesystem::path resolveWriteTarget(const std::filesystem::path& target);

// Why the file at `target` must not be replaced: it is read-only, or it is
// not a regular file (a folder or a device in the way). Empty when it may be
// replaced or does not exist yet.
std::string refusalToReplace(const std::filesystem::path& target);

// Writes a file without destroying the one it replaces: the bytes go into a
// temporary file in the target's folder, which is flushed and renamed over
// the target. A read-only target is refused, the replaced file's permissions
// are kept, and a symbolic link is written through. On failure the old file
// is untouched, no temporary remains and `error` names the file and why.
bool writeFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                         std::string* error = nullptr);

// A name taken from a file, checked so that it stays inside the folder it is
// resolved in and names a plain file on every system: no empty components, no
// "." or "..", no absolute or UNC paths, drive letters or streams ("A:B"), no
// wildcards or control characters, no trailing dots or spaces, and no device
// names (CON, NUL, COM1, ... with any extension). Accepts backslashes and
// slashes as separators.
bool isSafeRelativeName(std::string_view name);

// Resolves a stored name (ART\GRASS.RAW style or a plain file name) inside a
// folder whose files may have any letter case. The exact path wins; otherwise
// each component is matched without regard to case. Unsafe names and names
// that match nothing give nullopt.
std::optional<std::filesystem::path> resolveInFolder(const std::filesystem::path& folder,
                                                     std::string_view name);

// Drops the cached listings of a folder (call after writing into it); with an
// empty path every cached listing is dropped.
void invalidateFolderCache(const std::filesystem::path& folder = {});

} // namespace ravok

#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

// The few file and clock services whose calls differ between Windows and
// POSIX systems. Paths stay std::filesystem::path all the way down, so names
// reach Windows as UTF-16 and never pass through the ANSI code page.
namespace ravok {

// fopen for a path; mode as for fopen ("rb", "wb", ...).
FILE* openFile(const std::filesystem::path& path, const char* mode);

// Creates a new file for reading and writing; fails (errno EEXIST) when
// anything, a link included, already has that name.
FILE* createNewFile(const std::filesystem::path& path);

// Seeks to an absolute byte offset; offsets past 2 GiB work everywhere.
bool seekFile(FILE* file, uint64_t offset);

// Flushes the stream's buffer and asks the system to put the bytes on disk.
bool flushToDisk(FILE* file);

// Renames source over target in one step, replacing a target that exists.
// When the target cannot be replaced (another program holds it open, it is
// read-only, ...) both files are left as they were.
bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target, std::error_code& ec);

// The last write time of a file or folder in the finest steps the system
// keeps (a folder's changes when entries are added, removed or renamed);
// nullopt when it cannot be read. Only for comparing with an earlier stamp.
std::optional<uint64_t> lastWriteStamp(const std::filesystem::path& path);

// Broken-down local time of a moment.
std::tm localTime(std::time_t moment);

// Number of the running process (for names of scratch files).
long processId();

} // namespace ravok

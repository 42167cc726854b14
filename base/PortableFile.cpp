#include "base/PortableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <sys/stat.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace ravok {

#ifdef _WIN32

namespace {

// The errno-style reason of a Windows error, so that messages read the same
// on every system.
std::errc errnoOf(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return std::errc::permission_denied;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return std::errc::no_such_file_or_directory;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::errc::no_space_on_device;
    default: return std::errc::io_error;
    }
}

} // namespace

FILE* openFile(const fs::path& path, const char* mode) {
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
}

FILE* createNewFile(const fs::path& path) {
    int fd = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    FILE* f = _fdopen(fd, "w+b");
    if (!f) _close(fd);
    return f;
}

bool seekFile(FILE* file, uint64_t offset) { return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0; }

bool flushToDisk(FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool replaceFile(const fs::path& source, const fs::path& target, std::error_code& ec) {
    // MoveFileEx refuses, and changes nothing, when the target is open
    // elsewhere without delete sharing or is marked read-only.
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ec.clear();
        return true;
    }
    ec = std::make_error_code(errnoOf(GetLastError()));
    return false;
}

std::optional<uint64_t> lastWriteStamp(const fs::path& path) {
    // filesystem::last_write_time has whole seconds here, too coarse to see a
    // file added just after a folder was listed.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

std::tm localTime(std::time_t moment) {
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}

long processId() { return static_cast<long>(_getpid()); }

#else

FILE* openFile(const fs::path& path, const char* mode) { return std::fopen(path.c_str(), mode); }

FILE* createNewFile(const fs::path& path) {
    int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    FILE* f = ::fdopen(fd, "w+b");
    if (!f) ::close(fd);
    return f;
}

bool seekFile(FILE* file, uint64_t offset) { return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0; }

bool flushToDisk(FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }

bool replaceFile(const fs::path& source, const fs::path& target, std::error_code& ec) {
    fs::rename(source, target, ec);
    return !ec;
}

std::optional<uint64_t> lastWriteStamp(const fs::path& path) {
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    return static_cast<uint64_t>(time.time_since_epoch().count());
}

std::tm localTime(std::time_t moment) {
    std::tm local{};
    ::localtime_r(&moment, &local);
    return local;
}

long processId() { return static_cast<long>(::getpid()); }

#endif

} // namespace ravok

#pragma once

// A folder of the harness's own, one per process, emptied for every input
// and removed when the process ends.
#include "base/FileIO.h"
#include "base/PortableFile.h"

#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <unistd.h>

namespace ravok::fuzz {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : m_path(std::filesystem::temp_directory_path() / ("ravok-fuzz-" + name + "-" + std::to_string(getpid()))) {}
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    // Empties the folder and creates the given subfolders.
    const std::filesystem::path& fresh(std::initializer_list<const char*> subfolders = {}) {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
        std::filesystem::create_directories(m_path, ec);
        for (const char* sub : subfolders) std::filesystem::create_directories(m_path / sub, ec);
        invalidateFolderCache();
        return m_path;
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline void writeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    if (FILE* f = openFile(path, "wb")) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

} // namespace ravok::fuzz

#pragma once

// Scratch art folders for the texture benchmarks: a folder under the
// temporary folder removed at exit, and 64 x 64 textures with palettes of
// their own.
#include "art/Picture.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace ravok::bench {

struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const std::string& name) {
        path = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

inline void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A 64 x 64 .RAW of gradients and its own random .ACT.
inline void writeTexture(const std::filesystem::path& raw, std::mt19937& rng) {
    std::vector<uint8_t> pixels(64 * 64), act(768);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t((i % 64) * 2 + (i / 64) + rng() % 8);
    for (auto& b : act)
        b = uint8_t(rng());
    writeFile(raw, pixels);
    std::filesystem::path a = raw;
    writeFile(a.replace_extension(".ACT"), act);
}

// `count` pictures: seven .RAW textures to every 64 x 64 PNG.
struct ArtFolderScene {
    ScratchFolder art{"ravok-bench-folder"};
    explicit ArtFolderScene(int count) {
        std::mt19937 rng(3);
        const size_t stride = DibStride(64);
        std::vector<uint8_t> bgr(stride * 64);
        for (size_t i = 0; i < bgr.size(); ++i)
            bgr[i] = uint8_t(i * 7);
        for (int i = 0; i < count; ++i) {
            const std::string stem = "P" + std::to_string(i);
            if (i % 8 == 0) {
                std::string message;
                WritePng(art.path / (stem + ".png"), bgr.data(), 64, 64, stride, message);
            } else {
                writeTexture(art.path / (stem + ".RAW"), rng);
            }
        }
    }
};

} // namespace ravok::bench

// Feeds arbitrary bytes as a pod file: the directory, lookups of every kind,
// item reads and the track lister.
#include "base/PortableFile.h"
#include "pod/ItemSource.h"
#include "pod/PodArchive.h"
#include "pod/PodTrackList.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One scratch file per process, removed when the process ends.
    static const struct Scratch {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("ravok-fuzz-pod-" + std::to_string(ravok::processId()) + ".pod");
        ~Scratch() {
            std::error_code ec;
            std::filesystem::remove(path, ec);
        }
    } scratch;
    const std::filesystem::path& path = scratch.path;
    if (FILE* f = ravok::openFile(path, "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    static auto track = std::make_unique<CTrackPOD>();
    PodFile pod;
    if (OpenPodDirectory(*track, pod, path)) {
        // Every lookup scans the directory: looking up the first entries only
        // keeps a run linear in the directory size.
        constexpr size_t kLookedUp = 32;
        const size_t looked = std::min(track->podDirectory.size(), kLookedUp);
        for (const auto& entry : std::span(track->podDirectory).first(looked)) {
            std::string name = PodEntryName(entry);
            if (const PodDirectoryEntry* found = FindPodItem(*track, pod, name)) ReadPodItem(pod, *found);
            if (auto slash = name.find('\\'); slash != std::string::npos) FindPodItem(*track, pod, name.substr(slash + 1));
            FindPodItemAnyExtension(*track, pod, name);
        }
        PodItemSource items(*track, pod);
        items.findAndRead("ART\\GRASS.RAW");
    }
    ListPodSituationFiles(path);
    return 0;
}

// Feeds arbitrary bytes as a pod file to the track loader: the first and the
// second track, with every reader the load goes through.
#include "base/PortableFile.h"
#include "model/TrackPod.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One scratch file per process, removed when the process ends.
    static const struct Scratch {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("ravok-fuzz-pod-load-" + std::to_string(ravok::processId()) + ".pod");
        ~Scratch() {
            std::error_code ec;
            std::filesystem::remove(path, ec);
        }
    } scratch;
    if (FILE* f = ravok::openFile(scratch.path, "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    static auto track = std::make_unique<CTrackPOD>();
    for (int index : {0, 1})
        if (track->Load(scratch.path, index)) (void)track->counts();
    return 0;
}

// Feeds arbitrary bytes to the native track file reader, and writes what it
// read back out again.
#include "model/NativeFile.h"
#include "model/TrackPod.h"

#include <memory>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto track = std::make_unique<CTrackPOD>();
    if (LoadBinaryFromMemory(*track, {data, size})) {
        auto bytes = SaveBinaryToMemory(*track);
        CTrackPOD& again = *track;
        LoadBinaryFromMemory(again, bytes);
    }
    return 0;
}

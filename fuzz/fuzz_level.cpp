// Feeds a level file and the data items it names to the level file reader,
// then writes the text data files of what was read.
#include "ItemFraming.h"
#include "model/NewTrack.h"
#include "pod/DataFiles.h"
#include "pod/LevelFile.h"

#include <memory>

using namespace ravok;

namespace {
constexpr std::string_view kNames[] = {
    "DATA\\F.RAW",  "DATA\\F.RA0",  "DATA\\F.RA1",  "DATA\\F.CL0",   "DATA\\F.CLR", "ART\\F.ACT",
    "DATA\\F.TEX",  "DATA\\F.TTY",  "ART\\GRASS.RAW", "ART\\GRASS.ACT", "ART\\HD.PNG", "SOUND\\F.WAV",
    "FOG\\F.FOG",   "FOG\\F.MAP",   "DATA\\F.LTE",  "WORLD\\F.TXT",
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto track = [] {
        auto t = std::make_unique<CTrackPOD>();
        NewMtm2Track(*t);
        t->SetWorldName("F");
        return t;
    }();
    for (auto& slot : track->terrainTextures) slot.reset();
    for (auto& box : track->groundBoxes) box.reset();
    MemoryItemSource items;
    auto text = fuzz::splitInput(data, size, kNames, items);
    ReadLevelFile(*track, items, text);
    WriteLevelFile(*track);
    WriteTextureList(*track);
    WriteTextureTypes(*track);
    WriteTextureAnimations(*track);
    return 0;
}

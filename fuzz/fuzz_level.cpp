// Feeds a level file and the data items it names to the level file reader,
// then writes the data files of what was read.
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
    static auto track = std::make_unique<CTrackPOD>();
    NewMtm2Track(*track);
    track->SetWorldName("F");
    MemoryItemSource items;
    auto text = fuzz::splitInput(data, size, kNames, items);
    ReadLevelFile(*track, items, text);
    WriteLevelFile(*track);
    WriteTextureList(*track);
    WriteTextureTypes(*track);
    WriteTextureAnimations(*track);
    WriteGroundBoxLayers(*track);
    WriteFogMap(*track);
    return 0;
}

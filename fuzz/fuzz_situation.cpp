// Feeds a situation file and the items it names (level file, pictures,
// models) to the situation file reader, then writes the text again.
#include "ItemFraming.h"
#include "model/NewTrack.h"
#include "pod/SituationFile.h"

#include <memory>

using namespace ravok;

namespace {
constexpr std::string_view kNames[] = {
    "LEVELS\\F.LVL", "MODELS\\A.BIN", "MODELS\\B.BIN", "UI\\FS.BMP", "UI\\FL.PNG", "DATA\\F.RAW", "DATA\\F.TEX",
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto track = std::make_unique<CTrackPOD>();
    track->Clear();
    for (auto& o : track->objects) o.reset();
    MemoryItemSource items;
    auto text = fuzz::splitInput(data, size, kNames, items);
    ReadSituationFile(*track, items, text);
    SituationProblemText(*track);
    SituationFileText(*track);
    return 0;
}

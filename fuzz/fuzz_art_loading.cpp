// Feeds arbitrary bytes to the loading of a track's art from its folders: a
// texture's .RAW and .ACT and a model (a BIN file or a model list naming
// frames, themselves files of the folder) read from disk by the texture and
// model passes. Input: three framed files, the .RAW, the .ACT and the model,
// then the bytes of every frame file the model list may name.
#include "ItemFraming.h"
#include "ScratchFolder.h"
#include "model/TrackPod.h"
#include "trackart/TrackArt.h"

#include <memory>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFolder scratch("art-loading");
    const auto& root = scratch.fresh({"art", "models"});
    const auto art = root / "art", models = root / "models";
    fuzz::writeFile(art / "GRASS.RAW", fuzz::takeFramed(data, size, 3));
    fuzz::writeFile(art / "GRASS.ACT", fuzz::takeFramed(data, size, 2));
    fuzz::writeFile(models / "HUT.BIN", fuzz::takeFramed(data, size, 3));
    // Whatever is left is every frame a list may name, under a name of its own.
    const std::span<const uint8_t> rest(data, size);
    for (const char* frame : {"FRAME1.BIN", "FRAME2.BIN", "A.BIN"}) fuzz::writeFile(models / frame, rest);

    static auto track = std::make_unique<CTrackPOD>();
    track->Clear();
    auto texture = std::make_unique<Texture>();
    texture->setName("ART\\GRASS.RAW");
    track->terrainTextures[0] = std::move(texture);
    auto model = std::make_unique<Model>();
    model->setName("MODELS\\HUT.BIN");
    track->models[0] = std::move(model);
    LoadTrackArt(*track, art, models);
    CountBadArt(*track);
    return 0;
}

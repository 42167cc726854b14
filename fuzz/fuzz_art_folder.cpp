// Feeds arbitrary bytes as a file of the art folder to what reads the folder
// on its own: the textures box's thumbnails, the HD batch that keeps the
// .RAW/.ACT fallbacks up to date, the palette optimiser's texture input and
// the terrain-map pictures of the track components. The first byte picks
// the file's kind; a .RAW gets the rest split into itself and its .ACT.
#include "ScratchFolder.h"
#include "art/HdTextures.h"
#include "art/TextureFolder.h"
#include "base/Interfaces.h"
#include "model/TrackComponentsTerrainMaps.h"
#include "model/TrackPod.h"
#include "trackart/TrackPaletteOptimiser.h"

#include <memory>

using namespace ravok;

namespace {

struct QuietPrompter : Prompter {
    bool askYesNo(const std::string&, const std::string&, bool defaultYes) override { return defaultYes; }
    void inform(const std::string&, const std::string&) override {}
    void warn(const std::string&, const std::string&) override {}
};

constexpr const char* kNames[] = {"PIC.PNG", "PIC.TGA", "PIC.RAW"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFolder scratch("art-folder");
    if (size == 0) return 0;
    const std::string name = kNames[data[0] % 3];
    std::span<const uint8_t> bytes(data + 1, size - 1);
    const auto& folder = scratch.fresh();
    if (name == "PIC.RAW") {
        // The .ACT is the tail after the largest texture square that fits.
        size_t side = 0;
        for (size_t s : {1024u, 512u, 256u, 128u, 64u, 32u})
            if (bytes.size() >= s * s) {
                side = s;
                break;
            }
        fuzz::writeFile(folder / "PIC.ACT", bytes.subspan(side * side));
        bytes = bytes.first(side * side);
    }
    fuzz::writeFile(folder / name, bytes);

    MakeThumbnail(folder, name);
    QuietPrompter prompter;
    TerrainMapFile map;
    if (name != "PIC.RAW") LoadTerrainMap(TerrainMapKind::DetailNormal, map, folder / name, prompter);
    static auto track = std::make_unique<CTrackPOD>();
    track->Clear();
    auto texture = std::make_unique<Texture>();
    texture->setName("ART\\PIC.RAW");
    track->terrainTextures[0] = std::move(texture);
    int read = 0;
    BuildPaletteHistogram(*track, folder, &read);
    UpdateHdTexturesOfFolder(folder, {});
    return 0;
}

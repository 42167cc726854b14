#include "trackart/TrackPaletteChange.h"

#include "art/FogTable.h"
#include "base/Interfaces.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "trackart/TrackArt.h"

namespace ravok {

namespace {

// A texture's picture before the reload.
struct SavedPicture {
    bool had = false;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

template <typename Table> std::vector<SavedPicture> dropPixels(Table& table) {
    std::vector<SavedPicture> saved(table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        Texture* t = table[i].get();
        if (!t) continue;
        if (t->hasPixels() && !t->bad)
            saved[i] = {true, t->width(), t->height(), std::vector<uint8_t>(t->pixels().begin(), t->pixels().end())};
        t->dropPixels();
    }
    return saved;
}

// Textures that came back BAD, or were not reached because the reload was
// cancelled, take their old picture, remapped.
template <typename Table>
int restoreLost(Table& table, std::vector<SavedPicture>& saved, const TrackPalette& palette,
                const PaletteColours& oldPalette) {
    int restored = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        Texture* t = table[i].get();
        if (!t || !saved[i].had || (!t->bad && t->hasPixels())) continue;
        RemapToTrackPalette(palette, saved[i].pixels, oldPalette);
        t->setPicture(t->name().view(), saved[i].width, saved[i].height, saved[i].pixels.data());
        t->bad = 0;
        ++restored;
    }
    return restored;
}

void setCaption(ProgressSink* progress, const char* caption) {
    if (progress) progress->setCaption(caption);
}

} // namespace

PaletteReloadResult ReloadTexturesOntoPalette(CTrackPOD& track, const PaletteColours& oldPalette,
                                              const std::filesystem::path& artFolder, ProgressSink* progress) {
    PaletteReloadResult result;
    result.changed = true;
    auto terrain = dropPixels(track.terrainTextures);
    auto model = dropPixels(track.modelTextures);

    setCaption(progress, kLoadingArtCaption);
    BadReport terrainReport;
    result.texturesOk = LoadTextures(track, artFolder, terrainReport, progress);
    result.textureReport = terrainReport.text();

    setCaption(progress, kLoadingModelArtCaption);
    BadReport modelReport;
    result.modelTexturesOk = ReloadModelTextures(track, artFolder, modelReport, progress);
    result.modelTextureReport = modelReport.text();

    result.keptInMemory = restoreLost(track.terrainTextures, terrain, track.palette, oldPalette) +
                          restoreLost(track.modelTextures, model, track.palette, oldPalette);
    return result;
}

PaletteReloadResult ChangePalette(CTrackPOD& track, int index, const std::optional<PaletteColours>& custom,
                                  const std::filesystem::path& artFolder, ProgressSink* progress) {
    if (!track.isMtm2()) return {};
    std::optional<PaletteColours> colours = index == kCustomPaletteIndex ? custom : GamePaletteColours(index);
    if (!colours) return {};
    const PaletteColours old = track.palette.colours();
    track.palette.setColours(*colours);
    if (index == 0)
        track.fogMap = DefaultFogMap();
    else
        track.SetFogMap(BuildFogTable(*colours, uint8_t(index)));
    return ReloadTexturesOntoPalette(track, old, artFolder, progress);
}

PaletteReloadResult ApplyTrackPalette(CTrackPOD& track, const PaletteColours& colours,
                                      const std::filesystem::path& artFolder, ProgressSink* progress) {
    const PaletteColours old = track.palette.colours();
    track.palette.setColours(colours);
    if (track.isMtm2()) track.SetFogMap(BuildFogTable(colours, uint8_t(kCustomPaletteIndex)));
    return ReloadTexturesOntoPalette(track, old, artFolder, progress);
}

DisplayColourIndices DisplayColourIndicesFor(const TrackPalette& palette) {
    return {palette.NearestPaletteIndex(192, 192, 192), palette.NearestPaletteIndex(64, 128, 0)};
}

} // namespace ravok

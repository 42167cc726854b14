#include "trackart/TrackComponentsApply.h"

#include "art/InfoText.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "trackart/TrackArt.h"

#include <cmath>

namespace ravok {

namespace {

void applyNames(CTrackPOD& t, const TrackComponents& c) {
    t.SetComment(c.comment);
    t.SetTrackName(c.trackName);
    if (c.basedOnTrackName)
        t.UseTrackNameForWorldName();
    else
        t.SetWorldName(c.worldName);
}

void applySettings(CTrackPOD& t, const TrackComponents& c) {
    t.SetRaceType(c.raceType);
    t.SetWaterLevelQuarters(int32_t(std::floor(c.waterLevel * 4 + 0.5)));
    t.ambientSound = c.soundTheme;
}

void applyPictures(CTrackPOD& t, const TrackComponents& c) {
    TrackPictures& p = t.pictures;
    const auto& slots = c.pictures;
    if (p.browseBitmap != slots[kBrowseSlot].bitmap) t.SetBrowseBitmap(slots[kBrowseSlot].bitmap);
    if (p.iconBitmap != slots[kIconSlot].bitmap) t.SetIconBitmap(slots[kIconSlot].bitmap);
    if (p.music != c.music) t.SetMusic(c.music);
    if (p.infoPhoto != slots[kInfoPhotoSlot].bitmap) t.SetInfoPhoto(slots[kInfoPhotoSlot].bitmap);
    for (int s = 0; s < kHdArtSlots; ++s) {
        const PictureSlot& slot = slots[size_t(s)];
        if (p.hdArt[size_t(s)] != slot.hdArt || p.hdArtExt[size_t(s)] != slot.hdExt)
            t.SetHdArt(s, slot.hdArt, slot.hdExt);
    }
    if (TerrainMapFile{p.detailNormal, p.detailNormalExt.str()} != c.detailNormal)
        t.SetDetailNormal(c.detailNormal.bytes, c.detailNormal.ext);
    if (TerrainMapFile{p.terrainMask, p.terrainMaskExt.str()} != c.terrainMask)
        t.SetTerrainMask(c.terrainMask.bytes, c.terrainMask.ext);
}

// The description with its terminating zero, or none.
void applyDescription(CTrackPOD& t, const TrackComponents& c) {
    Blob text;
    if (DescriptionPresent(c.infoDescription)) {
        text.assign(c.infoDescription.begin(), c.infoDescription.end());
        text.push_back(0);
    }
    t.SetInfoDescription(std::move(text));
}

void applyArenaValues(CTrackPOD& t, const TrackComponents& c) {
    t.arenaX = int16_t(c.arenaX);
    t.arenaY = int16_t(c.arenaY);
    t.arenaSizeX = uint16_t(c.arenaSizeX);
    t.arenaSizeY = uint16_t(c.arenaSizeY);
}

void tell(const ComponentsApplyContext& context, const std::string& text, const char* caption) {
    if (context.prompter) context.prompter->warn(text, caption);
}

bool anyTextureBad(const CTrackPOD& t, const Model& model) {
    for (const std::string& name : ModelTextureNames(model)) {
        const int slot = t.FindModelTexture(name);
        if (slot >= 0 && t.modelTextures[size_t(slot)]->bad) return true;
    }
    return false;
}

// Loads the backdrop's textures; when some stay missing after the HD-only
// textures are filled, says that only the editor's preview lacks them.
void loadBackdropTextures(CTrackPOD& t, const ComponentsApplyContext& context) {
    BadReport report;
    if (LoadModelTextures(t, *t.backdrop, context.artFolder, report)) return;
    FillHdOnlyTextures(t, context.artFolder);
    if (!anyTextureBad(t, *t.backdrop)) return;
    tell(context,
         formatText("%s\r\n\r\nThe backdrop has been KEPT and will be written to the pod. Only the editor's preview is "
                    "affected - the game draws it from its own art. Import the art as textures if you want to see it "
                    "here too.",
                    report.text().c_str()),
         kBackdropTexturesCaption);
}

// Reads a newly chosen backdrop; true when the backdrop model changed.
bool applyNewBackdrop(CTrackPOD& t, const TrackComponents& c, const ComponentsApplyContext& context) {
    const std::filesystem::path& file = *c.newBackdropFile;
    std::error_code error;
    if (std::filesystem::is_directory(file, error) || !readWholeFile(file)) {
        tell(context, kBackdropNotFoundMessage, kTrackComponentsCaption);
        return false;
    }
    Model model;
    if (!model.readFile(BackdropModelName(file), file)) {
        tell(context, kBadBackdropMessage, kBadBackdropCaption);
        t.backdrop.reset();
        t.stadiumFlag = 0;
        return true;
    }
    if (!t.backdrop) t.backdrop = std::make_unique<Model>();
    *t.backdrop = std::move(model);
    loadBackdropTextures(t, context);
    return true;
}

void applyPalette(CTrackPOD& t, const TrackComponents& c, const ComponentsApplyContext& context,
                  ComponentsApplyResult& result) {
    if (!t.isMtm2()) {
        t.SetFogMap({});
        return;
    }
    if (!t.fogMap.empty() && t.fogMap[0] == c.palette) return;
    if (context.changePalette) context.changePalette(c.palette);
    result.paletteChanged = true;
}

} // namespace

ComponentsApplyResult ApplyTrackComponents(CTrackPOD& t, const TrackComponents& c,
                                           const ComponentsApplyContext& context) {
    ComponentsApplyResult result;
    if (t.podViewMode || c.podView) return result;
    result.applied = true;
    applyNames(t, c);
    applySettings(t, c);
    applyPictures(t, c);
    applyDescription(t, c);
    applyArenaValues(t, c);
    if (c.newBackdropFile) result.backdropChanged = applyNewBackdrop(t, c, context);
    // The Arena check decides the stadium flag whenever there is a backdrop to be the arena.
    t.stadiumFlag = c.arena && t.backdrop ? 1 : 0;
    t.RecomputeArenaOrigin();
    applyPalette(t, c, context, result);
    return result;
}

} // namespace ravok

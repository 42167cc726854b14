#include "model/NewTrack.h"

#include "art/FogTable.h"
#include "model/TrackPod.h"
#include "resources/BuiltinResources.h"

namespace ravok {

const char* const kGamePaletteNames[17] = {
    "Farm Road",        "Voodoo",          "Excavation",       "Scrapyard",    "Heights",
    "Sidewinder Canyon", "Tinhorn Junction", "Tumbleweed",      "Breakneck Ridge", "Arena Rumble",
    "Pyramid Rumble",   "Hypercube Rumble", "Graveyard",       "Crazy98",      "Torture Pit",
    "Metalcr3",         "Custom",
};

std::optional<PaletteColours> GamePaletteColours(int index) {
    auto rgb = resources::gamePalette(index);
    if (rgb.size() != 768) return std::nullopt;
    return paletteFromRgbBytes(rgb);
}

std::vector<uint8_t> DefaultFogMap() { return decodeFogMapPairs(resources::defaultFogMapPairs()); }

namespace {

constexpr const char* kTruckFiles[kVehicleSlots] = {
    "powerbig.trk", "bigfoot.trk", "grave.trk",    "boogey.trk",  "wildfoot.trk",
    "bearfoot.trk", "snakebit.trk", "rampage.trk", "overkill.trk",
};

Blob copyOf(std::span<const uint8_t> bytes) { return Blob(bytes.begin(), bytes.end()); }

} // namespace

CTrackPOD::CTrackPOD() {
    for (size_t i = 0; i < vehicles.size(); ++i) {
        vehicles[i] = VehicleSlot{};
        vehicles[i].truckFile.set(kTruckFiles[i]);
    }
    GameFlags = 0;
    omitLegacyFallback = 0;
    ambientSound = 14;
    weatherMask = 65535;
    filePath.clear();
    Clear();
}

void CTrackPOD::Clear() {
    droppedGroundBoxes = missingObjects = droppedObjects = 0;
    cylinderText.clear();
    cylinderCount = 0;
    podDirectory.clear();

    for (auto& slot : terrainTextures) slot.reset();
    for (auto& slot : models) slot.reset();
    for (auto& slot : modelTextures) slot.reset();
    for (auto& slot : objects) slot.reset();
    for (auto& slot : extendedCourses) slot.reset();
    for (auto& slot : groundBoxes) slot.reset();
    for (auto& slot : sounds) slot.reset();

    comment.clear();
    groundBoxMaps.clear();
    palette.clear();
    terrain.reset();

    mainCourse.clear();
    animations.clear();
    backdrop.reset();
    stadiumFlag = 0;
    arenaX = arenaY = 127;
    arenaSizeX = arenaSizeY = 18;
    arenaOriginX = arenaOriginY = 0;

    sky.setPicture("ART\\EARTHSKY.RAW", 64, 64, nullptr);

    trackName.set("new track");
    WorldName.set("RAVOK");
    locale.set("Ravokville USA");
    worldNameFromTrackName = 1;
    RaceType = 2;
    waterLevel = waterLevelQuarters = 0;

    fogMap.clear();
    fogTable.clear();
    versionRecord.clear();
    podPath.clear();
    podViewMode = false;
    situationSi2 = 0;
    levelVectors = LevelVectors{};

    pictures = TrackPictures{};
    browseBitmapName.clear();
    iconBitmapName.clear();
}

void CTrackPOD::SetUpMtm2() {
    int index = (!fogMap.empty() && fogMap[0] < 17) ? fogMap[0] : 0;
    if (auto colours = GamePaletteColours(index)) {
        palette.setColours(*colours);
        if (index == 0) fogMap = DefaultFogMap();
    }
    if (pictures.browseBitmap.empty() && pictures.hdArt[0].empty())
        pictures.browseBitmap = copyOf(resources::defaultBrowseBitmap());
    if (pictures.iconBitmap.empty() && pictures.hdArt[1].empty())
        pictures.iconBitmap = copyOf(resources::defaultIconBitmap());
}

void CTrackPOD::SetUpMtm1() { palette.set(kMtm1PaletteName, DefaultPalette()); }

void NewMtm2Track(CTrackPOD& track) {
    track.Clear();
    track.GameFlags |= 1u;
    track.SetUpMtm2();
}

void NewMtm1Track(CTrackPOD& track) {
    track.Clear();
    track.GameFlags &= ~1u;
    track.SetUpMtm1();
}

} // namespace ravok

#pragma once

#include "art/Model.h"
#include "art/Palette.h"
#include "art/Texture.h"
#include "art/TextureAnimation.h"
#include "base/FixedString.h"
#include "base/Outcome.h"
#include "model/TrackLimits.h"
#include "model/TrackRecords.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravok {

class ProgressSink;

using Blob = std::vector<uint8_t>; // an owned byte blob; empty means none

// Slot tables: each slot empty or owning one record.
template <typename T, size_t N> using SlotTable = std::array<std::unique_ptr<T>, N>;

// Lowest empty slot of a table, or -1 when it is full.
template <typename T, size_t N> int lowestEmptySlot(const SlotTable<T, N>& table) {
    for (size_t i = 0; i < N; ++i)
        if (!table[i]) return static_cast<int>(i);
    return -1;
}
template <typename T, size_t N> int filledSlots(const SlotTable<T, N>& table) {
    int n = 0;
    for (const auto& slot : table) n += slot != nullptr;
    return n;
}

// An entry of a pod directory in its on-disk meaning.
struct PodDirectoryEntry {
    FixedString<32> name;
    uint32_t size = 0;
    uint32_t offset = 0;
};

// The menu pictures, music and other files a track carries as blobs.
struct TrackPictures {
    Blob browseBitmap;    // 8-bit BMP file
    Blob iconBitmap;      // 8-bit BMP file: icon (MTM2) or zoom picture (MTM1)
    Blob music;           // WAV or MOD file, or a "MUSIC\...WAV" reference
    Blob descriptionText; // track description text file
    Blob infoPhoto;       // 640 x 480 8-bit BMP of the info pop-up
    Blob infoDescription; // text of the info pop-up, zero-terminated
    std::array<Blob, kHdArtSlots> hdArt;             // 0 browse, 1 icon/zoom, 2 info photo
    std::array<FixedString<8>, kHdArtSlots> hdArtExt; // ".PNG" or ".TGA"
    Blob detailNormal;
    FixedString<8> detailNormalExt;
    int32_t detailNormalValue = 0; // companion value, reset whenever the blob is set
    Blob terrainMask;
    FixedString<8> terrainMaskExt;
    int32_t terrainMaskValue = 0;
    bool operator==(const TrackPictures&) const = default;
};

// Builds a texture that has no .RAW from its HD picture: called with the
// texture name and kind (0 terrain, 1 model), it writes s x s palette indices
// (room for 1024 x 1024) and 256 red, green, blue triples, and returns s, or 0
// or less when it has no picture.
constexpr int kHdTerrainKind = 0;
constexpr int kHdModelKind = 1;
constexpr size_t kHdSourcePixelBytes = 1024 * 1024;
using HdSourceCallback =
    std::function<int(std::string_view name, int kind, std::span<uint8_t> pixels, std::span<uint8_t, 768> palette)>;

// Said when a track shown from a pod would be saved or written as a pod.
constexpr const char* kPodViewOnlyMessage =
    "This track is shown from a pod for viewing only, so it cannot be saved or written as a pod.\n\n"
    "Extract its models and art, or open or create a track to edit.";
constexpr const char* kPodViewOnlyCaption = "View POD";

// The info photo name of a browse picture name: its stem without the final S
// or T, then "M.BMP"; empty when the stem does not end so or the result does
// not fit `capacity` (including the terminator).
std::string InfoPhotoNameFor(std::string_view browsePictureName, size_t capacity = 260);

// Counts of a track's tables, for the statistics and the summaries.
struct TrackCounts {
    int terrainTextures = 0, models = 0, modelTextures = 0, objects = 0;
    int ramps = 0, topCrush = 0, checkpoints = 0, moving = 0, lights = 0;
    int groundBoxes = 0, sounds = 0, animations = 0, mainCourseSegments = 0, extendedCourses = 0;
};

// One whole track in memory: fixed tables of owned records with hard limits,
// fixed-size text fields and a few owned blobs. Members are in the order the
// track file and the game files think of them.
class CTrackPOD {
public:
    CTrackPOD();
    CTrackPOD(const CTrackPOD&) = delete;
    CTrackPOD& operator=(const CTrackPOD&) = delete;

    // Frees everything and restores the new-track state. Leaves the vehicle
    // slots, ambientSound, weatherMask, GameFlags, omitLegacyFallback and
    // filePath as they were.
    void Clear();
    // The MTM2 defaults: the game palette named by the fog map's first byte
    // (with the default fog map for palette 0) and the default menu pictures
    // where the track has none. Also run after an MTM2 track is opened.
    void SetUpMtm2();
    // The MTM1 default palette. Also run after an MTM1 track is opened.
    void SetUpMtm1();

    // ---- content -------------------------------------------------------------
    TrackPalette palette;
    SlotTable<Texture, kMaxTerrainTextures> terrainTextures;
    SlotTable<Texture, kMaxModelTextures> modelTextures; // derived from the models
    SlotTable<Model, kMaxModels> models;
    SlotTable<TrackObject, kMaxObjects> objects;
    Course mainCourse;
    std::array<std::unique_ptr<Course>, kMaxExtendedCourses> extendedCourses;
    TerrainGrid terrain;
    std::array<VehicleSlot, kVehicleSlots> vehicles;
    std::unique_ptr<Model> backdrop;
    Texture sky; // not stored in the track file
    SlotTable<GroundBox, kMaxGroundBoxes> groundBoxes;
    SlotTable<TrackSound, kMaxSounds> sounds;
    TextureAnimationTable animations;

    // Stadium: the backdrop is an arena; centre and size in grid squares.
    uint32_t stadiumFlag = 0;
    int16_t arenaX = 127, arenaY = 127;
    uint16_t arenaSizeX = 18, arenaSizeY = 18;
    uint16_t arenaOriginX = 0, arenaOriginY = 0; // derived from the backdrop

    // The situation file's cylinder section, kept for rewriting.
    std::string cylinderText;
    int32_t cylinderCount = 0;

    // Load counters, reported after a load.
    int32_t droppedGroundBoxes = 0;
    int32_t missingObjects = 0; // promised by a situation file but not there
    int32_t droppedObjects = 0;

    GroundBoxMaps groundBoxMaps;
    FixedString<260> filePath;
    LevelVectors levelVectors;
    FixedString<80> comment;
    std::vector<PodDirectoryEntry> podDirectory; // not part of the content
    FixedString<260> podPath;  // the pod the track was loaded from
    bool podViewMode = false;  // loaded from a pod: shown, never saved or written
    uint32_t situationSi2 = 0; // the pod's situation item was named .SI2

    FixedString<24> WorldName;
    uint32_t worldNameFromTrackName = 1;
    FixedString<32> trackName;
    FixedString<32> locale;
    FixedString<29> browseBitmapName;
    FixedString<29> iconBitmapName;
    int32_t RaceType = 2; // 1 Drag, 2 Circuit, 3 Rally, 4 Rumble
    int32_t waterLevel = 0;
    int32_t waterLevelQuarters = 0;
    uint32_t GameFlags = 0; // bit 0: MTM2 track
    uint32_t omitLegacyFallback = 0;
    int32_t ambientSound = 14;
    uint32_t weatherMask = 65535;
    Blob fogMap; // 32768 bytes or none; byte 0 selects the game palette
    Blob fogTable; // first 4096 bytes of a pod's fog table; not kept in the track file
    std::string versionRecord; // the version record of the pod the track came from
    TrackPictures pictures;
    HdSourceCallback hdSourceCallback; // installed by the view and ravok-cli

    // Loads track `trackIndex` (situation items counted in directory order
    // from 0) of a pod for viewing. On failure the track is left empty.
    bool Load(const std::filesystem::path& podPath, int trackIndex, ProgressSink* progress = nullptr);

    // ---- setters keeping the invariants --------------------------------------
    void SetComment(std::string_view text);
    void SetTrackName(std::string_view text);
    // False (and nothing changes) when the text has no letter or digit.
    bool SetWorldName(std::string_view text);
    void UseTrackNameForWorldName();
    // After a track file is read: 1 when the track name derives nothing or
    // exactly the stored world name.
    void recomputeWorldNameFromTrackName();
    void SetRaceType(int32_t type);
    void SetWaterLevelQuarters(int32_t quarters);
    void SetFogMap(std::span<const uint8_t> block); // an empty span frees it
    void SetBrowseBitmap(Blob blob) { pictures.browseBitmap = std::move(blob); }
    void SetIconBitmap(Blob blob) { pictures.iconBitmap = std::move(blob); }
    void SetMusic(Blob blob) { pictures.music = std::move(blob); }
    void SetDescriptionText(Blob blob) { pictures.descriptionText = std::move(blob); }
    void SetInfoPhoto(Blob blob) { pictures.infoPhoto = std::move(blob); }
    void SetInfoDescription(Blob blob) { pictures.infoDescription = std::move(blob); }
    void SetHdArt(int slot, Blob blob, std::string_view extension);
    void SetDetailNormal(Blob blob, std::string_view extension);
    void SetTerrainMask(Blob blob, std::string_view extension);
    bool isMtm2() const { return GameFlags & 1u; }

    // ---- adding records at the table limits ----------------------------------
    // Lowest empty slot, or -1 (no message) when all 1024 are in use.
    int AddTerrainTexture(std::unique_ptr<Texture> texture);
    // Refused with the kind's message when the overall or the kind's limit is reached.
    Outcome CanAddObject(int32_t type) const;
    // The new object's slot, or -1 with the refusal in `outcome`.
    int AddObject(std::unique_ptr<TrackObject> object, Outcome* outcome = nullptr);
    int AddSound(std::unique_ptr<TrackSound> sound, Outcome* outcome = nullptr);
    // Past 2048 the box is dropped and counted in droppedGroundBoxes.
    int AddGroundBox(std::unique_ptr<GroundBox> box);

    // ---- names and lookups ---------------------------------------------------
    std::string BrowsePictureName() const;
    std::string IconPictureName() const;
    // Empty when the browse picture name does not end in S or T before its dot
    // or the result does not fit `capacity` (including the terminator).
    std::string InfoPhotoName(size_t capacity = 260) const;
    std::string HdArtName(int slot) const;

    int FindTexture(std::string_view name) const;
    int FindModelTexture(std::string_view name) const;
    int FindModel(std::string_view name) const;
    int FindSound(std::string_view name) const;

    // ---- terrain, ground boxes, objects -------------------------------------
    int HighestTextureInUse() const;
    // Rebuilds the bottom and top maps from the ground boxes; with a face array
    // (65536 x 6 words) also stores each box's faces at its corner cell.
    void RebuildGroundBoxMaps(std::vector<std::array<uint16_t, 6>>* faces = nullptr);
    // Creates 1 x 1 boxes from maps (cells with a top above 0); boxes past the
    // table limit are counted in droppedGroundBoxes.
    void GroundBoxesFromMaps(std::span<const uint8_t> bottom, std::span<const uint8_t> top,
                             std::span<const std::array<uint16_t, 6>> faces);
    // Height of the terrain surface at a world position, truncated.
    int TerrainHeightAt(int32_t x, int32_t y) const;
    void NormaliseObjectHeights();
    // Recomputes the arena origin from the backdrop (stadium tracks only).
    void RecomputeArenaOrigin();
    int ArenaFloorHeight() const;

    // Occupied slots of every table.
    TrackCounts counts() const;
};

} // namespace ravok

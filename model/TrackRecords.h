#pragma once

#include "base/FixedString.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// The records a track is made of. World positions are integers, 64 units to a
// grid square (16384 a side); heights are terrain height units 0..255.
namespace ravok {

constexpr int kGridSize = 256;
constexpr int kGridCells = kGridSize * kGridSize;
constexpr int kUnitsPerSquare = 64;
constexpr int kMapCentre = 8192;

// Object types in the order of the type list; Ramp and Top-Crush are the
// list's positions 14 and 15.
enum ObjectType : int32_t {
    kObjectDefault = 0,
    kObjectSign = 1,
    kObjectBarricade = 2,
    kObjectTree = 3,
    kObjectCone = 4,
    kObjectVehicle = 5,
    kObjectCheckpoint = 6,
    kObjectNoCollide = 7,
    kObjectNoCollideFacing = 8,
    kObjectCollideFacing = 9,
    kObjectTrain = 10,
    kObjectPost = 11,
    kObjectLight = 12,
    kObjectMoving = 13,
    kObjectTopCrush = 98,
    kObjectRamp = 99,
};

// The 16 names of the type list, and the list position of a type code (any
// unknown code shows as Default, position 0).
extern const std::array<std::string_view, 16> kObjectTypeNames;
int objectTypeListPosition(int32_t type);
int32_t objectTypeFromListPosition(int position);

constexpr std::string_view kNoSound = "NULL.WAV";

// Parameters of a light object (type 12).
struct LightParameters {
    float rad = 64.0f, hgt = 8.0f, r = 1.0f, g = 1.0f, b = 1.0f;
    int32_t glow = 0; // 0 none (still lights), 1 glow sprite, 2 glow sprite + cone
    float glowRad = 6.0f, coneLen = 125.0f, coneRim = 10.0f, coneBase = 3.5f, bright = 1.0f, aimOff = 0.0f;
    bool operator==(const LightParameters&) const = default;
};

class Model;

// A scenery object, ramp, checkpoint, light or other placed thing.
struct TrackObject {
    int32_t x = kMapCentre, y = kMapCentre, z = 100;
    float theta = 0, phi = 0, psi = 0;
    int32_t length = 64, width = 64, height = 20;
    float mass = 0;
    std::array<float, 3> bvel{};
    float p = 0, q = 0, r = 0;
    int32_t type = kObjectDefault;
    int32_t flags = 0;
    int32_t priority = 0;
    FixedString<64> continuousSound{kNoSound};
    FixedString<64> impactSound{kNoSound};
    LightParameters light;
    int32_t sequence = 0;
    int32_t aboveGround = 0; // z minus the terrain height under (x, y)
    int16_t zFraction = 0;   // 1/256 height units added to z, kept in 0..255
    int16_t xFraction = 0, yFraction = 0; // 1/256 units added to x, y (0..255)
    std::array<int32_t, 3> cabOffset{};   // top crush only
    FixedString<32> modelName;            // empty for ramps
    FixedString<32> cabModelName;         // top crush only: the keyframed cab
    Model* model = nullptr;               // resolved from the names; not stored
    Model* cabModel = nullptr;
    bool operator==(const TrackObject&) const = default;

    // A sound field as read from a file: empty becomes "NULL.WAV".
    static void setSoundField(FixedString<64>& field, std::string_view name);
    // True when the field names no sound.
    static bool isNoSound(const FixedString<64>& field) { return field.empty() || field == kNoSound; }
};

// One piece of a course: ten 32-bit words.
struct CourseSegment {
    std::array<int32_t, 3> start{}; // cstart x, y, z
    std::array<int32_t, 3> end{};   // cend x, y, z
    int32_t speedLimit = 0;         // 0 = no limit
    int32_t trackWidth = 16;
    std::array<int32_t, 2> extra{}; // kept with the segment and stored unchanged
    bool operator==(const CourseSegment&) const = default;
};

// A course the computer trucks drive: segments in driving order.
struct Course {
    static constexpr int32_t kDefaultLength = 5000;
    std::vector<CourseSegment> segments;
    int32_t length = kDefaultLength; // written as the main course's track length
    bool operator==(const Course&) const = default;

    void clear() { segments.clear(); length = kDefaultLength; }
    // Inserts a segment with the first eight words zero and track width 16.
    void insertSegment(size_t at);
};

// A texture cell word: slot in bits 0..11, bit 12 mirrors corners c -> 3 - c,
// bit 13 mirrors c -> 1 - c (mod 4), bits 14..15 rotate by quarter turns.
using TextureCell = uint16_t;
constexpr uint16_t kTextureSlotMask = 0x0FFF;

// Per-cell data: byte 0 the shade (light value), bytes 1..6 further cell data.
using ShadeCell = std::array<uint8_t, 7>;
constexpr uint8_t kDefaultShade = 237;
constexpr uint8_t kDefaultHeight = 100;

struct TerrainGrid {
    FixedString<32> heightName, textureName, shadeName;
    std::vector<uint8_t> heights = std::vector<uint8_t>(kGridCells, kDefaultHeight);
    std::vector<TextureCell> textures = std::vector<TextureCell>(kGridCells, 0);
    std::vector<ShadeCell> cells = std::vector<ShadeCell>(kGridCells, ShadeCell{kDefaultShade});

    void reset();
    uint8_t height(int x, int y) const { return heights[size_t((y & 255) * kGridSize + (x & 255))]; }
};

// A truck start slot. Slot 0 is the player slot the games no longer use.
struct VehicleSlot {
    int32_t x = kMapCentre, y = kMapCentre, z = 100;
    float theta = 0, phi = 0, psi = 0;
    int32_t extra = 0; // stored unchanged
    FixedString<20> truckFile;
    bool operator==(const VehicleSlot&) const = default;
};

// A block standing on the terrain, in grid squares.
struct GroundBox {
    int32_t x = 0, y = 0;
    int32_t sizeX = 1, sizeY = 1;
    int32_t centreX = 0, centreY = 0, midHeight = 0; // derived by updateDerived()
    uint8_t bottom = 100, top = 116;
    std::array<uint16_t, 6> faces{}; // low 12 bits texture slot, upper 4 as in TextureCell
    void* renderCache = nullptr;     // the renderer's cached drawing; none when created or read

    void updateDerived() {
        // Wrapping arithmetic: a box read from a damaged file may hold any values.
        centreX = int32_t((2u * uint32_t(x) + uint32_t(sizeX)) * 32u);
        centreY = int32_t((2u * uint32_t(y) + uint32_t(sizeY)) * 32u);
        midHeight = (int(bottom) + int(top)) / 2;
    }
    bool operator==(const GroundBox&) const = default;
};

// Bottom and top heights of the ground boxes by cell (derived from the table).
struct GroundBoxMaps {
    std::vector<uint8_t> bottom = std::vector<uint8_t>(kGridCells, 0);
    std::vector<uint8_t> top = std::vector<uint8_t>(kGridCells, 0);
    void clear() {
        std::fill(bottom.begin(), bottom.end(), 0);
        std::fill(top.begin(), top.end(), 0);
    }
};

// A sound of the track: the WAV bytes and its "SOUND\" name.
struct TrackSound {
    uint32_t kind = 0; // bit 0 set: continuous, clear: impact
    FixedString<32> name;
    std::vector<uint8_t> data;
    bool operator==(const TrackSound&) const = default;
};

// Sun direction and light level, a second vector, then one more value.
struct LevelVectors {
    struct Vector {
        std::array<int32_t, 3> v{};
        int32_t w = 0;
        bool operator==(const Vector&) const = default;
    };
    Vector first{{-46333, -46333, 0}, 32768};
    Vector second{{32000, -46333, 0}, 64000};
    int32_t last = 255;
    bool operator==(const LevelVectors&) const = default;
};

} // namespace ravok

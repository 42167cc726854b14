#pragma once

// Fixed limits of a track's tables.
namespace ravok {

constexpr int kMaxTerrainTextures = 1024;
constexpr int kMaxModelTextures = 4096;
constexpr int kMaxModels = 4096;
constexpr int kMaxObjects = 4096;
constexpr int kMaxCheckpoints = 20;
constexpr int kMaxRamps = 100;
constexpr int kMaxTopCrush = 100;
constexpr int kMaxMovingObjects = 100; // Train and Moving together
constexpr int kMaxLights = 100;
constexpr int kMaxExtendedCourses = 4;
constexpr int kVehicleSlots = 9;
constexpr int kMaxGroundBoxes = 2048;
constexpr int kMaxSounds = 512;
constexpr int kHdArtSlots = 3;
constexpr int kMaxWaterLevelQuarters = 1020;

// Refusals at the object limits.
constexpr const char* kMaxObjectsMessage = "Max. 4096 Objects!";
constexpr const char* kMaxCheckpointsMessage = "Max. 20 Checkpoints!";
constexpr const char* kMaxRampsMessage = "Max. 100 Ramps!";
constexpr const char* kMaxTopCrushFormat = "Max. %d Top-Crush!";
constexpr const char* kMaxMovingMessage = "Max. 100 Moving objects (Train and Moving combined)!";
constexpr const char* kMaxLightsMessage = "Max. 100 Lights!";
constexpr const char* kMaxSoundsMessage = "Max. 512 Sounds! Sound dropped.";

} // namespace ravok

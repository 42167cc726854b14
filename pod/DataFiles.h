#pragma once

#include "model/TrackPod.h"

#include <string>
#include <string_view>
#include <vector>

// The track's binary and text data files. Every writer returns the bytes it
// wrote; their count is the item's size in the pod.
namespace ravok {

class TrackItemSource;

constexpr size_t kTerrainHeightsBytes = 65536;
constexpr size_t kCellTextureMapBytes = 131072;
constexpr size_t kTerrainLightingBytes = 458752; // 7 bytes a cell
constexpr size_t kGroundBoxLayerBytes = 65536;   // RA0 .. RA5
constexpr size_t kGroundBoxFacesBytes = 786432;  // CL0: 12 bytes a cell
constexpr size_t kZeroLayerCl1Bytes = 262144;
constexpr size_t kZeroLayerCl2Bytes = 786432;
constexpr size_t kZeroRawBytes = 78;
constexpr size_t kPaletteItemBytes = 768;
constexpr size_t kFogTableItemBytes = 4096;
constexpr const char* kEmptyTextureSlotName = "NULL.RAW";

Blob WriteTerrainHeights(const CTrackPOD& track);
Blob WriteCellTextureMap(const CTrackPOD& track);
Blob WriteTerrainLighting(const CTrackPOD& track);
Blob ZeroFilled(size_t bytes);

// RA0, RA1 and CL0, after rebuilding the track's ground-box maps from its
// boxes: each box at its corner cell.
struct GroundBoxLayers {
    Blob bottom, top, faces;
};
GroundBoxLayers WriteGroundBoxLayers(CTrackPOD& track);

// The track's fog map with its first byte 0, or the default map.
Blob WriteFogMap(const CTrackPOD& track);

// DATA\<stem>.TEX: the highest texture index in use plus one, then a name for
// every slot up to it ("NULL.RAW" for an empty one, so positions hold).
Blob WriteTextureList(const CTrackPOD& track);
// DATA\<stem>.TTY: the textures of a type other than 0, as "name,type*100+grip".
Blob WriteTextureTypes(const CTrackPOD& track);
// DATA\<stem>.ANI. Frame names longer than 15 characters are still written
// and added to `longNames` for the pod builder's report.
Blob WriteTextureAnimations(const CTrackPOD& track, std::vector<std::string>* longNames = nullptr);

// Applies a .TTY text to the textures the track holds.
void ReadTextureTypes(CTrackPOD& track, std::span<const uint8_t> text);

// Reads RA0, RA1 and CL0 beside a terrain item (its ".RAW" replaced) and makes
// every marked cell a one-cell ground box; nothing changes when one is missing.
void LoadGroundBoxes(CTrackPOD& track, TrackItemSource& items, std::string_view terrainItemName);

} // namespace ravok

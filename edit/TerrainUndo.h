#pragma once

#include <cstdint>
#include <vector>

namespace ravok {

class CTrackPOD;

// The one level of terrain undo: the heights before the last terrain edit and
// what else that edit changed. Each new edit replaces it.
struct TerrainUndo {
    std::vector<uint8_t> snapshot; // 65,536 heights, row-major
    bool available = false;        // terrain-undo-available
    bool objectsMoved = false;     // objects, truck starts and course points moved with the terrain
    bool waterLevelChanged = false;
    int32_t waterLevelQuarters = 0; // the water level before the change, in quarter units
};

// Copies the height map into the snapshot, sets available and clears the
// two other flags.
void TakeTerrainSnapshot(const CTrackPOD& track, TerrainUndo& undo);

// Undo in terrain mode: puts the snapshot back, moves what moved with the
// terrain back by the ground difference, restores the water level, and
// re-derives every object's height above ground. False when there was
// nothing to undo (or the track is shown from a pod).
bool UndoTerrainEdit(CTrackPOD& track, TerrainUndo& undo);

} // namespace ravok

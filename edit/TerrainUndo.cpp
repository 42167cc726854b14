#include "edit/TerrainUndo.h"

#include "edit/TerrainPoints.h"
#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

void TakeTerrainSnapshot(const CTrackPOD& track, TerrainUndo& undo) {
    undo.snapshot = track.terrain.heights;
    undo.available = true;
    undo.objectsMoved = false;
    undo.waterLevelChanged = false;
}

bool UndoTerrainEdit(CTrackPOD& track, TerrainUndo& undo) {
    if (!undo.available || track.podViewMode || undo.snapshot.size() != size_t(kGridCells)) return false;
    undo.available = false;
    TerrainPointList points;
    // Should the list not fit in memory the heights still come back; the
    // things on them then keep their heights.
    const bool movePoints = undo.objectsMoved && points.collect(track);
    std::copy(undo.snapshot.begin(), undo.snapshot.end(), track.terrain.heights.begin());
    if (movePoints) points.moveWithTerrain(track);
    if (undo.waterLevelChanged) track.SetWaterLevelQuarters(undo.waterLevelQuarters);
    undo.objectsMoved = false;
    undo.waterLevelChanged = false;
    track.NormaliseObjectHeights();
    return true;
}

} // namespace ravok

#pragma once

#include "base/ProgramSettings.h"
#include "edit/EditHistory.h"
#include "edit/GroundBoxEditing.h"
#include "edit/ObjectSelection.h"
#include "edit/TerrainTools.h"
#include "edit/TerrainUndo.h"
#include "edit/TextureModeState.h"
#include "edit/ViewCommands.h"
#include "edit/ViewKeys.h"
#include "model/TrackRecords.h"

#include <array>
#include <map>
#include <optional>
#include <string>

// The editing session of a track view: what each edit mode holds between
// inputs (tools with their remembered values, selections, clipboards) and
// the undo history shared by every mode. The view turns input into calls on
// it; the track itself belongs to the document.

namespace ravok {

// Terrain mode: the tool and its parameters as the Terrain Tools bar shows
// them, and the three remembered Altitude values (tools 0..5, Plane, and the
// Single-point step), swapped in as the tool changes group.
struct TerrainModeState {
    TerrainToolParams tool;
    std::array<int, 3> altitudes{32, 100, 1};
    TerrainArea area;        // Copy Area's block
    TerrainUndo undoScratch; // the tools' one-level snapshot; the history undoes

    // A new tool: the Altitude field takes the value remembered for its group.
    void selectTool(TerrainTool newTool);
    // The Altitude field (Single-point: the step), kept within -255..255 and remembered for the group.
    void setAltitude(int altitude);
    // Width and Height mean nothing to Single-point.
    bool sizeEnabled() const { return tool.tool != TerrainTool::SinglePoint; }
    // The step name of one application of the tool ("Raise Terrain").
    std::string stepName() const;
};

// Objects mode: the selection and Copy Object's record.
struct ObjectModeState {
    ObjectSelection selection;
    std::optional<TrackObject> clipboard;
};

// Course mode: the course shown (0 main, 1..4 extended), the anchor and the
// truck start under the mouse or held, and "Always show main".
struct CourseModeState {
    int course = 0;
    int anchor = -1;
    int truck = -1;
    bool alwaysShowMain = true;
};

// Ground-box mode: the picked box and face, the bar's heights, its paint
// mode (0 off, 1 face, 2 sides, 3 top and bottom, 4 all faces) and Copy Box.
struct GroundBoxModeState {
    GroundBoxSelection selection;
    GroundBoxBar bar;
    bool keysOnTop = true;
    int paint = 0;
    std::optional<GroundBoxClipboard> clipboard;
};

struct EditSession {
    EditMode mode = EditMode::Terrain;
    int displayMode = 2; // 0 textured, 1 wire frame, 2 both
    TerrainModeState terrain;
    TextureModeState textures;
    ObjectModeState objects;
    CourseModeState course;
    GroundBoxModeState boxes;
    EditHistory history;
    // The keys that act at most once per view tick (R, T, M, the Single-point keys), each its own.
    std::map<Key, TickGate> oneShotKeys;

    // The session as the settings' edit state left it at the last exit.
    void restore(const EditState& state, int planeAltitude);
    // What the settings keep of it: the edit state, and the Plane altitude apart.
    void store(EditState& state, int& planeAltitude) const;
    // A new mode clears what the modes point at: the selections, anchor, truck start and picked box.
    void setMode(EditMode newMode);
    // The track was replaced (new, opened, viewed, cloned): selections and history start afresh.
    void trackReplaced(const CTrackPOD& track);
};

} // namespace ravok

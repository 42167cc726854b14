#pragma once

#include "edit/ObjectSelection.h"
#include "model/TrackRecords.h"

#include <optional>
#include <string>

// Placing and arranging objects: insert, delete, copy and paste, the keys
// and the drags. World units (64 to a grid square) for x and y, height units
// for z; fractions in 1/256 of a unit.
namespace ravok {

class CTrackPOD;
class Prompter;

// The terrain point under the mouse: world x and y, and the ground height
// there in height units (the renderer's pick divided by 3).
struct GroundPick {
    int32_t x = 0, y = 0;
    int32_t height = 0;
};
// The pick the renderer would give at a world position: its terrain height.
GroundPick GroundPickAt(const CTrackPOD& track, int32_t x, int32_t y);

// A message for the user in an information box with its caption (empty text
// when there is nothing to say; an empty caption means the default caption).
struct EditNotice {
    std::string text;
    std::string caption;
    bool empty() const { return text.empty(); }
};

// Nothing of this subsystem works while a pod is shown for viewing only.
bool CanEditObjects(const CTrackPOD& track);

// A value in 1/256 units split into whole units (rounded down) and a
// fraction 0..255, as positions and heights are stored.
void SplitSubunits(int64_t subunits, int32_t& whole, int16_t& fraction);

// The height of the ground under an object's position.
int ObjectGroundHeight(const CTrackPOD& track, const TrackObject& object);
// z = ground under (x, y) + aboveGround.
void PlaceObjectOnGround(const CTrackPOD& track, TrackObject& object);

// ---- insert and delete ---------------------------------------------------------

struct ObjectInsertResult {
    int slot = -1;      // the new object, now the current object; -1 when nothing was inserted
    EditNotice refusal; // "Max. 4096 Objects!" at the limit
};
// Insert: clears the selection; refused at 4096 objects; does nothing
// without terrain under the cursor. The new object has the record defaults,
// stands on the picked point and becomes the current object.
ObjectInsertResult InsertObject(CTrackPOD& track, ObjectSelection& selection, std::optional<GroundPick> pick);

constexpr const char* kDeleteObjectsCaption = "Delete Objects";
// The question Delete asks first, or empty when at most one object is
// selected (a single object is deleted without asking).
std::string DeleteObjectsQuestion(const CTrackPOD& track, const ObjectSelection& selection);
// Delete: asks the question above (No the default) through the prompter when
// several objects are selected; on Yes or for one object frees every selected
// object and clears the selection. Returns how many were deleted.
int DeleteSelectedObjects(CTrackPOD& track, ObjectSelection& selection, Prompter& prompter);

// ---- copy and paste ------------------------------------------------------------

// Copy Object: the current object's record; nullopt without one.
std::optional<TrackObject> CopyObject(const CTrackPOD& track, const ObjectSelection& selection);
// Paste Object: inserts as Insert does, then takes every field of the
// clipboard record except the position (x, y come from the pick, z from the
// ground there plus the copied height above ground), then the limit checks.
ObjectInsertResult PasteObject(CTrackPOD& track, ObjectSelection& selection, const TrackObject& clipboard,
                               std::optional<GroundPick> pick);

// ---- the keys ----------------------------------------------------------------

// What an object key changes.
enum class ObjectAxis { X, Y, AboveGround, Heading, TiltPhi, TiltTheta, Width, Length, BoxHeight };
// A key's action: the axis and the signed step in the axis's unit (world
// units, height units, degrees, size units).
struct ObjectKeyAction {
    ObjectAxis axis = ObjectAxis::X;
    double step = 0;
};
// The view's keys: D/C x, F/V y, S or ] / X or [ height above ground, R/T
// heading, G/B tilt phi, H/N tilt theta, 1/2 width, 3/4 length, 5/6 box
// height, with the step columns plain, Shift and Shift+Ctrl (Ctrl alone only
// turns R/T, by 0.1 degrees). `sitUnits`: the option "Object X/Y in .SIT units
// (half of Ravok's own)", which doubles the finest x and y step. Letters in
// either case; nullopt for any other key.
std::optional<ObjectKeyAction> ObjectKeyActionFor(char key, bool shift, bool ctrl, bool sitUnits);

// Applies a step to every selected object, each in its own place. Returns
// true when something changed.
bool ApplyObjectStep(CTrackPOD& track, const ObjectSelection& selection, ObjectKeyAction action);

// The single steps, on one object.
void MoveObjectBy(const CTrackPOD& track, TrackObject& object, ObjectAxis axis, double units);
// Raise by a step in hundredths of a height unit (100 = one unit); capped at 500.
void RaiseObjectBy(const CTrackPOD& track, TrackObject& object, int hundredths);
constexpr int kMaxAboveGround = 500;
void TurnObjectBy(TrackObject& object, double degrees);
// A tilt angle (radians) turned by a step in degrees: rounded to 0.00001
// degree first, then brought into 0..360.
float TiltAngleBy(float radians, double degrees);
void SizeObjectBy(TrackObject& object, ObjectAxis axis, int step);

// ---- the mouse ---------------------------------------------------------------

// Dragging: the current object goes to the picked point, every other
// selected object moves by the same x and y change (coordinates below 0
// become 0); each stands at its ground height plus its height above ground.
bool DragSelectedObjects(CTrackPOD& track, const ObjectSelection& selection, const GroundPick& pick);
// Shift+drag: every selected object turns by 0.008 radians per pixel of
// horizontal mouse movement.
bool TurnSelectedObjects(CTrackPOD& track, const ObjectSelection& selection, int pixelsX);

// ---- terrain changes -------------------------------------------------------------

// After the terrain heights change: each object keeps its z (with the
// fraction normalised into 0..255) and its height above ground is derived again.
void RederiveObjectHeights(CTrackPOD& track);

} // namespace ravok

#pragma once

#include "edit/ObjectEditing.h"

#include <string>
#include <vector>

// Object types and their limits, Set Type, and the checkpoint numbers.
namespace ravok {

class CTrackPOD;

// The kinds of object the track limits below the overall 4096.
enum class ObjectLimitGroup { None, Checkpoints, Ramps, TopCrush, Moving, Lights };
ObjectLimitGroup ObjectLimitGroupOf(int32_t type);
// The group's limit (0 for None) and how many objects of the track are in it.
int ObjectGroupLimit(ObjectLimitGroup group);
int ObjectsInGroup(const CTrackPOD& track, ObjectLimitGroup group);

// Gives an object a type with the type's rules: to Ramp (from another type)
// the model reference, model name and cab model name are cleared; to
// Top-Crush only the code changes; to any other type the cab model name is
// cleared.
void RetypeObject(TrackObject& object, int32_t type);

// Checkpoint renumbering: the checkpoints (slot order) are sorted by their
// sequence numbers (ties keep slot order), put back into the checkpoint
// slots in that order and numbered 0, 1, 2, ... The selection follows the
// records to their new slots. Returns true when any record moved or any
// number changed.
bool RenumberCheckpoints(CTrackPOD& track, ObjectSelection* selection = nullptr);

constexpr const char* kSetTypeCaption = "Set Type";
struct SetTypeResult {
    int selected = 0;  // objects the command was given
    int changed = 0;   // objects that took the type
    int left = 0;      // objects left as they were: the type's group was full
    EditNotice notice; // the information box when objects were left
};
// Set Type from the menu's list index (0..15: 14 Ramp, 15 Top-Crush) on the
// whole selection, current object first. Objects entering a full group are
// left as they were; an object becoming a Checkpoint is numbered 1000 plus
// its position in the selection (so it sorts after the existing ones) and the
// checkpoints are renumbered.
SetTypeResult SetObjectsType(CTrackPOD& track, ObjectSelection& selection, int listIndex);

// The menu text of Set Type and Delete for the selection ("Set &Type of %d
// Objects" and "Delete %d Objects" with more than one).
std::string SetTypeMenuText(int selectedCount);
std::string DeleteMenuText(int selectedCount);

// The limit checks after Properties and Paste Object, counting the object
// itself: more than 100 Ramps, Top-Crush, Train and Moving together, or
// Lights turn the object into a Default one with the group's message.
// Checkpoints are handled by the sequence edit (Properties) and by Paste.
EditNotice CheckObjectLimits(CTrackPOD& track, int slot);

// The Sequence field of Object Properties for a checkpoint: the object takes
// the new number and every other checkpoint numbered at or above it moves up
// by one; with more than 20 checkpoints the object becomes Default with
// "Max. 20 Checkpoints!". Then the checkpoints are renumbered.
EditNotice SetCheckpointSequence(CTrackPOD& track, ObjectSelection* selection, int slot, int sequence);

// The view's label of a checkpoint: "CP %02d".
std::string CheckpointLabel(int sequence);
// The label the view writes beside an object: a checkpoint's "CP %02d"; an
// object drawn as a plain block (it has no model) "RAMP" or "BOX"; else none.
std::string ObjectViewLabel(const TrackObject& object, bool drawnAsPlainBlock);

} // namespace ravok

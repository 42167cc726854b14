#pragma once

#include "model/TrackLimits.h"

#include <array>
#include <span>
#include <vector>

// The objects the user has selected: UI state the view holds, read and
// updated by the object operations of the core.
namespace ravok {

class CTrackPOD;

// The current object (slot or -1) and the also-selected flags. The selected
// set is the current object plus every flagged, occupied slot; in a
// multi-selection the current object's own flag is set too.
struct ObjectSelection {
    int current = -1;
    std::array<bool, kMaxObjects> flagged{};
    int flaggedCount = 0;

    void clear();
    // Only this object (or none for -1).
    void selectOnly(int slot);
    void setFlag(int slot, bool on);
    bool isFlagged(int slot) const { return slot >= 0 && slot < kMaxObjects && flagged[size_t(slot)]; }
};

// The selected slots that hold objects: the current object first, then the
// flagged ones in slot order. Operations on the selection use this order.
std::vector<int> SelectedObjects(const CTrackPOD& track, const ObjectSelection& selection);
bool IsObjectSelected(const CTrackPOD& track, const ObjectSelection& selection, int slot);

// Drops what no longer holds: a current object whose slot is empty, flags on
// empty slots, and a multi-selection whose flags no longer include the
// current object (the flags are cleared, the current object stays).
void NormaliseSelection(const CTrackPOD& track, ObjectSelection& selection);

// Ctrl+click: adds the object to the selection or removes it. The first
// Ctrl+click beside a current object makes a multi-selection of both.
void ToggleObjectInSelection(const CTrackPOD& track, ObjectSelection& selection, int slot);

// A point of the screen, in pixels, and whether a world point projected onto
// it (in front of the camera and inside the view).
struct ScreenPoint {
    int x = 0, y = 0;
    bool visible = false;
};
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0; // either corner order
};

// Ctrl+drag: adds every object whose projected position (indexed by slot)
// lies inside the rectangle. Returns how many were added.
int AddObjectsInRect(const CTrackPOD& track, ObjectSelection& selection,
                     std::span<const ScreenPoint> projected, ScreenRect rect);

// Tab: the drawn object after the current one (in the order given), wrapping
// to the first; -1 when none is drawn.
int NextDrawnObject(std::span<const int> drawnSlots, int current);

// The nearest visible point by Manhattan distance in pixels, strictly below
// `limit`; the earliest wins a tie. -1 when none is near enough. Objects are
// picked within 128 pixels, truck starts within 64, course points within 20.
int PickNearestScreenPoint(std::span<const ScreenPoint> points, int mouseX, int mouseY, int limit);
constexpr int kObjectPickPixels = 128;

} // namespace ravok

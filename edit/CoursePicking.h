#pragma once

#include "edit/ObjectSelection.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// Which course anchor or truck start lies under the mouse, from the points
// the view projected onto the screen (pixels).
namespace ravok {

class CTrackPOD;

constexpr int kCourseAnchorPickPixels = 20;
constexpr int kTruckStartPickPixels = 64;

// Projects a world point (x, y in world units, z in height units) onto the
// screen; nullopt when it lies behind the camera or outside the view.
using ScreenProjection = std::function<std::optional<std::array<int, 2>>(int32_t x, int32_t y, int32_t z)>;

// The course's anchors on the screen, indexed by anchor (2 x segment + end).
std::vector<ScreenPoint> ProjectCourseAnchors(const CTrackPOD& track, int course,
                                              const ScreenProjection& project);
// The truck starts on the screen, indexed by vehicle slot (0..8).
std::vector<ScreenPoint> ProjectTruckStarts(const CTrackPOD& track, const ScreenProjection& project);

// The anchor nearest the mouse by Manhattan distance, strictly below 20
// pixels; earlier segments and start points win ties. -1 for none.
int PickCourseAnchor(std::span<const ScreenPoint> anchors, int mouseX, int mouseY);
// The truck start (1..8) nearest the mouse, below 64 pixels; -1 for none.
// Slot 0 is not picked.
int PickTruckStart(std::span<const ScreenPoint> starts, int mouseX, int mouseY);

// Which commands the course mode's context menu offers, from what lies under
// the cursor when it opens: with an anchor, Insert, Delete, Reverse and Speed
// Limit; without one only Insert, and that only to lay the first segment of an
// empty course over terrain. Generate from Main needs an extended course;
// Delete All Segments a course that has some.
struct CourseMenuState {
    bool insert = false, remove = false, reverse = false, speedLimit = false;
    bool generateFromMain = false, deleteAll = false;
    bool operator==(const CourseMenuState&) const = default;
};
CourseMenuState CourseContextMenuState(const CTrackPOD& track, int course, int anchor, bool terrainUnderCursor);

} // namespace ravok

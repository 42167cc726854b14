#pragma once

#include "edit/ObjectEditing.h"
#include "model/TrackRecords.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Courses and truck starts: the segments the computer trucks drive and the
// nine vehicle slots. Course 0 is the main course, 1..4 the extended
// courses. An anchor is 2 x segment + end (0 start point, 1 end point).
namespace ravok {

class CTrackPOD;

constexpr int kCourseCount = 1 + kMaxExtendedCourses;

bool CanEditCourses(const CTrackPOD& track);

// The course by number; nullptr for an absent extended course or a number
// outside 0..4. An absent course behaves as empty.
Course* CourseOf(CTrackPOD& track, int course);
const Course* CourseOf(const CTrackPOD& track, int course);
int CourseSegmentCount(const CTrackPOD& track, int course);
// The segment an anchor belongs to, or nullptr.
CourseSegment* AnchorSegment(CTrackPOD& track, int course, int anchor);
// The anchor's point (start or end of its segment), or nullptr.
std::array<int32_t, 3>* AnchorPoint(CTrackPOD& track, int course, int anchor);

// What an operation changed, for the view to refresh.
struct CourseChange {
    bool changed = false;    // the document is modified and the view redrawn
    bool mapChanged = false; // the overview map shows the main course: refresh it
    int anchor = -1;         // the anchor to hold afterwards, where it moved
};

// The context menu's enabling: Insert with an anchor, or on an empty course
// with terrain under the cursor; Delete, Reverse and Speed Limit need an
// anchor; Generate from Main needs course 1..4.
bool CanInsertSegment(const CTrackPOD& track, int course, int anchor, bool terrainUnderCursor);
bool CanEditAnchor(const CTrackPOD& track, int course, int anchor);
bool CanGenerateFromMain(int course);

// Insert Segment: creates the course if absent; after an end anchor the new
// segment starts 20 units further along x and is 40 long; before a start
// anchor it ends 20 units before and is 40 long; on an empty course it starts
// at the picked point (nothing without one), and on an empty main course the
// nine truck starts are placed in a row under it too.
CourseChange InsertCourseSegment(CTrackPOD& track, int course, int anchor, std::optional<GroundPick> pick);
CourseChange DeleteCourseSegment(CTrackPOD& track, int course, int anchor);
CourseChange DeleteAllCourseSegments(CTrackPOD& track, int course);
// Reverse: swaps the start and end point of the anchor's segment.
CourseChange ReverseCourseSegment(CTrackPOD& track, int course, int anchor);

// Speed Limit: stored doubled. The shown value is the stored one halved
// (integer division).
int ShownSpeedLimit(const CTrackPOD& track, int course, int anchor);
// Stores value x 2 in the anchor's segment or, with Apply to All, in the
// segment of the same index in the main course and every existing extended
// course that has one. Negative values are taken as 0 (no limit).
CourseChange SetSpeedLimit(CTrackPOD& track, int course, int anchor, int shownValue, bool applyToAll);

// Generate from Main (course 1..4, main course not empty): the course is
// rebuilt as a copy of the main course whose start x, start y, end x and end y
// (in that order, segment after segment) each get (random() & 15) - 7 added.
// `random` is the C library's rand() unless a test gives its own.
CourseChange GenerateCourseFromMain(CTrackPOD& track, int course, const std::function<int()>& random = {});

// Dragging: a held anchor's point goes to the picked point; a held truck
// start to the picked point 4 units up.
CourseChange DragCourseAnchor(CTrackPOD& track, int course, int anchor, const GroundPick& pick);
bool DragTruckStart(CTrackPOD& track, int truck, const GroundPick& pick);

// ---- truck starts ------------------------------------------------------------

// Truck menu "Reverse": adds pi to the heading. Trucks 1..8.
bool ReverseTruck(CTrackPOD& track, int truck);

// The values of the Truck Properties dialog.
struct TruckPropertiesValues {
    std::string name; // the truck file, read-only
    int32_t x = 0, y = 0;
    int z = 0;               // "Above ground": the stored z, 0..255
    double angleDegrees = 0; // the heading, brought into 0..360
    int course = 0;          // 0..4
};
TruckPropertiesValues TruckPropertiesOf(const CTrackPOD& track, int truck);
// OK: x, y, z (within 0..255), heading and course (within 0..4) are stored.
bool ApplyTruckProperties(CTrackPOD& track, int truck, const TruckPropertiesValues& values);

// ---- terrain changes -------------------------------------------------------------

// The ground under every course point and truck start, taken before the
// terrain changes, so that they can move with it afterwards.
struct CourseGroundSnapshot {
    std::vector<int> heights;
};
CourseGroundSnapshot TakeCourseGroundSnapshot(const CTrackPOD& track);
// Moves both points of every segment of every course, and the truck starts,
// up or down by the change of the ground under them.
void MoveCoursesWithGround(CTrackPOD& track, const CourseGroundSnapshot& before);

} // namespace ravok

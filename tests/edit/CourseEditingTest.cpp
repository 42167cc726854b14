#include "edit/CourseEditing.h"

#include "edit/CoursePicking.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <numbers>

using namespace ravok;

namespace {

using Point = std::array<int32_t, 3>;

CourseSegment segment(Point start, Point end) {
    CourseSegment s;
    s.start = start;
    s.end = end;
    return s;
}

// Random numbers from a script, for Generate from Main.
struct ScriptedRandom {
    std::deque<int> values;
    int operator()() {
        int v = values.front();
        values.pop_front();
        return v;
    }
};

} // namespace

TEST(InsertSegment, AfterAnEndAnchorAndBeforeAStartAnchor) {
    CTrackPOD track;
    track.mainCourse.segments = {segment({1000, 2000, 90}, {1100, 2050, 95})};
    track.mainCourse.segments[0].speedLimit = 30;
    CourseChange after = InsertCourseSegment(track, 0, 1, std::nullopt);
    ASSERT_TRUE(after.changed);
    EXPECT_TRUE(after.mapChanged);
    ASSERT_EQ(track.mainCourse.segments.size(), 2u);
    const CourseSegment& added = track.mainCourse.segments[1];
    EXPECT_EQ(added.start, (Point{1120, 2050, 95}));
    EXPECT_EQ(added.end, (Point{1160, 2050, 95}));
    EXPECT_EQ(added.speedLimit, 0);
    EXPECT_EQ(added.trackWidth, 16);
    EXPECT_EQ(after.anchor, 3) << "the new end point, so that the next insert continues the course";

    CourseChange before = InsertCourseSegment(track, 0, 0, std::nullopt);
    ASSERT_TRUE(before.changed);
    ASSERT_EQ(track.mainCourse.segments.size(), 3u);
    EXPECT_EQ(track.mainCourse.segments[0].end, (Point{980, 2000, 90}));
    EXPECT_EQ(track.mainCourse.segments[0].start, (Point{940, 2000, 90}));
    EXPECT_EQ(track.mainCourse.segments[1].speedLimit, 30);

    // A course with segments needs an anchor.
    EXPECT_FALSE(InsertCourseSegment(track, 0, -1, GroundPick{5, 5, 5}).changed);
    EXPECT_FALSE(InsertCourseSegment(track, 0, 6, GroundPick{5, 5, 5}).changed);
}

TEST(InsertSegment, OnAnEmptyMainCoursePlacesTheTruckStarts) {
    CTrackPOD track;
    EXPECT_FALSE(InsertCourseSegment(track, 0, -1, std::nullopt).changed) << "no terrain under the cursor";
    EXPECT_TRUE(track.mainCourse.segments.empty());
    ASSERT_TRUE(InsertCourseSegment(track, 0, -1, GroundPick{3000, 4000, 120}).changed);
    const CourseSegment& s = track.mainCourse.segments.at(0);
    EXPECT_EQ(s.start, (Point{3000, 4000, 120}));
    EXPECT_EQ(s.end, (Point{3040, 4000, 120}));
    for (int k = 0; k < kVehicleSlots; ++k) {
        const VehicleSlot& v = track.vehicles[size_t(k)];
        EXPECT_EQ(v.x, 3040 - 80 + 20 * k);
        EXPECT_EQ(v.y, 3960);
        EXPECT_EQ(v.z, 120);
    }

    // An extended course is created on first use; the trucks stay.
    ASSERT_EQ(track.extendedCourses[1], nullptr);
    ASSERT_TRUE(InsertCourseSegment(track, 2, -1, GroundPick{100, 200, 50}).changed);
    ASSERT_NE(track.extendedCourses[1], nullptr);
    EXPECT_EQ(track.extendedCourses[1]->segments.size(), 1u);
    EXPECT_EQ(track.vehicles[0].x, 2960);
    EXPECT_TRUE(CanInsertSegment(track, 3, -1, true));
    EXPECT_FALSE(CanInsertSegment(track, 3, -1, false));
    EXPECT_FALSE(CanInsertSegment(track, 0, -1, true));
}

TEST(CourseSegments, DeleteReverseAndDeleteAll) {
    CTrackPOD track;
    track.mainCourse.segments = {segment({1, 1, 1}, {2, 2, 2}), segment({3, 3, 3}, {4, 4, 4})};
    track.mainCourse.length = 7000;
    ASSERT_TRUE(ReverseCourseSegment(track, 0, 3).changed);
    EXPECT_EQ(track.mainCourse.segments[1].start, (Point{4, 4, 4}));
    ASSERT_TRUE(DeleteCourseSegment(track, 0, 0).changed);
    EXPECT_EQ(track.mainCourse.segments.size(), 1u);
    EXPECT_EQ(track.mainCourse.length, 7000);
    ASSERT_TRUE(DeleteAllCourseSegments(track, 0).changed);
    EXPECT_TRUE(track.mainCourse.segments.empty());
    EXPECT_EQ(track.mainCourse.length, 5000) << "an emptied course gets the default length";
    EXPECT_FALSE(DeleteAllCourseSegments(track, 3).changed) << "an absent course is empty";
}

TEST(SpeedLimit, StoredDoubledAndApplyToAllSkipsShorterCourses) {
    CTrackPOD track;
    for (int i = 0; i < 10; ++i)
        track.mainCourse.segments.push_back(segment({i, 0, 0}, {i, 1, 0}));
    track.extendedCourses[0] = std::make_unique<Course>();
    track.extendedCourses[0]->segments = track.mainCourse.segments;
    track.extendedCourses[2] = std::make_unique<Course>();
    track.extendedCourses[2]->segments.resize(5);

    SetSpeedLimit(track, 0, 2 * 3, 25, false);
    EXPECT_EQ(track.mainCourse.segments[3].speedLimit, 50);
    EXPECT_EQ(ShownSpeedLimit(track, 0, 2 * 3 + 1), 25);
    EXPECT_EQ(track.extendedCourses[0]->segments[3].speedLimit, 0);

    // Apply to All on segment 7, from course 1.
    ASSERT_TRUE(SetSpeedLimit(track, 1, 2 * 7, 40, true).changed);
    EXPECT_EQ(track.mainCourse.segments[7].speedLimit, 80);
    EXPECT_EQ(track.extendedCourses[0]->segments[7].speedLimit, 80);
    for (const CourseSegment& s : track.extendedCourses[2]->segments)
        EXPECT_EQ(s.speedLimit, 0);
    EXPECT_EQ(track.extendedCourses[2]->segments.size(), 5u);
    EXPECT_EQ(track.extendedCourses[1], nullptr);
    track.mainCourse.segments[1].speedLimit = 51;
    EXPECT_EQ(ShownSpeedLimit(track, 0, 2), 25) << "halved by integer division";
}

TEST(GenerateFromMain, CopiesTheMainCourseWithSmallOffsets) {
    CTrackPOD track;
    ScriptedRandom unused{{0}};
    EXPECT_FALSE(GenerateCourseFromMain(track, 1, std::ref(unused)).changed) << "empty main course";
    track.mainCourse.segments = {segment({100, 200, 30}, {300, 400, 31}),
                                 segment({300, 400, 31}, {500, 600, 32})};
    track.mainCourse.segments[1].speedLimit = 60;
    track.mainCourse.segments[1].trackWidth = 24;
    track.mainCourse.segments[1].extra = {7, 8};
    EXPECT_FALSE(GenerateCourseFromMain(track, 0, std::ref(unused)).changed) << "course 0 is the main course";
    EXPECT_EQ(track.mainCourse.segments[0].start[0], 100);

    track.extendedCourses[2] = std::make_unique<Course>();
    track.extendedCourses[2]->segments.resize(9);
    // (v & 15) - 7: 0 -> -7, 15 -> 8, 16 -> -7, 23 -> 0, 255 -> 8 ...
    ScriptedRandom random{{0, 15, 16, 23, 255, 7, 3, 12}};
    ASSERT_TRUE(GenerateCourseFromMain(track, 3, std::ref(random)).changed);
    const Course& c = *track.extendedCourses[2];
    ASSERT_EQ(c.segments.size(), 2u);
    EXPECT_EQ(c.segments[0].start, (Point{93, 208, 30}));
    EXPECT_EQ(c.segments[0].end, (Point{293, 400, 31}));
    EXPECT_EQ(c.segments[1].start, (Point{308, 400, 31}));
    EXPECT_EQ(c.segments[1].end, (Point{496, 605, 32}));
    EXPECT_EQ(c.segments[1].speedLimit, 60);
    EXPECT_EQ(c.segments[1].trackWidth, 24);
    EXPECT_EQ(c.segments[1].extra, (std::array<int32_t, 2>{7, 8}));
    EXPECT_TRUE(random.values.empty());

    // Without a script the C library's generator gives offsets in -7..8.
    ASSERT_TRUE(GenerateCourseFromMain(track, 4).changed);
    for (size_t i = 0; i < 2; ++i) {
        const int d = track.extendedCourses[3]->segments[i].start[0] - track.mainCourse.segments[i].start[0];
        EXPECT_GE(d, -7);
        EXPECT_LE(d, 8);
    }
}

TEST(CoursePicking, AnchorsWithinNineteenPixelsAreHeld) {
    std::vector<ScreenPoint> anchors{{100, 100, true}, {200, 100, true}, {300, 300, false}, {120, 100, true}};
    EXPECT_EQ(PickCourseAnchor(anchors, 100, 119), 0) << "19 pixels away";
    EXPECT_EQ(PickCourseAnchor(anchors, 100, 120), -1) << "20 pixels away";
    EXPECT_EQ(PickCourseAnchor(anchors, 205, 110), 1) << "Manhattan distance 15";
    EXPECT_EQ(PickCourseAnchor(anchors, 210, 110), -1) << "Manhattan distance 20";
    EXPECT_EQ(PickCourseAnchor(anchors, 220, 100), -1);
    EXPECT_EQ(PickCourseAnchor(anchors, 219, 100), 1);
    EXPECT_EQ(PickCourseAnchor(anchors, 300, 300), -1) << "a point off screen is never picked";
    // A tie goes to the earlier anchor.
    EXPECT_EQ(PickCourseAnchor(anchors, 110, 100), 0);
    EXPECT_EQ(PickCourseAnchor(anchors, 111, 100), 3);
}

TEST(CoursePicking, TheContextMenuFollowsWhatLiesUnderTheCursor) {
    CTrackPOD track;
    // An empty main course: only Insert, and only over terrain.
    CourseMenuState state = CourseContextMenuState(track, 0, -1, true);
    EXPECT_EQ(state, (CourseMenuState{.insert = true}));
    EXPECT_FALSE(CourseContextMenuState(track, 0, -1, false).insert);
    // A course with a segment: without an anchor nothing but Delete All; with one, the anchor's commands.
    track.mainCourse.segments.push_back(segment({0, 0, 0}, {40, 0, 0}));
    EXPECT_EQ(CourseContextMenuState(track, 0, -1, true), (CourseMenuState{.deleteAll = true}));
    EXPECT_EQ(CourseContextMenuState(track, 0, 1, false),
              (CourseMenuState{true, true, true, true, false, true}));
    // Generate from Main is for the extended courses only; a viewed pod offers nothing.
    EXPECT_TRUE(CourseContextMenuState(track, 3, -1, true).generateFromMain);
    track.podViewMode = true;
    EXPECT_EQ(CourseContextMenuState(track, 0, 1, true), CourseMenuState{});
}

TEST(CoursePicking, TruckStartsAndProjection) {
    CTrackPOD track;
    track.mainCourse.segments = {segment({64, 128, 10}, {640, 128, 10})};
    for (int k = 0; k < kVehicleSlots; ++k)
        track.vehicles[size_t(k)].x = 1000 + 100 * k;
    // A flat projection: one pixel per world unit, z ignored; x below 0 is off screen.
    ScreenProjection project = [](int32_t x, int32_t y, int32_t) -> std::optional<std::array<int, 2>> {
        if (x < 0) return std::nullopt;
        return std::array<int, 2>{x, y};
    };
    const auto anchors = ProjectCourseAnchors(track, 0, project);
    ASSERT_EQ(anchors.size(), 2u);
    EXPECT_EQ(PickCourseAnchor(anchors, 630, 130), 1);
    EXPECT_TRUE(ProjectCourseAnchors(track, 2, project).empty());

    const auto starts = ProjectTruckStarts(track, project);
    ASSERT_EQ(starts.size(), 9u);
    EXPECT_EQ(PickTruckStart(starts, 1000, 8192), -1) << "slot 0 is not a truck start";
    EXPECT_EQ(PickTruckStart(starts, 1340, 8192), 3);
    EXPECT_EQ(PickTruckStart(starts, 1849, 8192 + 14), 8) << "63 pixels away";
    EXPECT_EQ(PickTruckStart(starts, 1850, 8192 + 14), -1) << "64 pixels away";
}

TEST(TruckStarts, DragReverseAndProperties) {
    CTrackPOD track;
    ASSERT_TRUE(DragTruckStart(track, 4, GroundPick{700, 800, 90}));
    EXPECT_EQ(track.vehicles[4].z, 94);
    ASSERT_TRUE(ReverseTruck(track, 4));
    EXPECT_NEAR(track.vehicles[4].psi, std::numbers::pi, 1e-6);
    track.vehicles[4].psi = float(-std::numbers::pi / 2);
    track.vehicles[4].extra = 2;
    TruckPropertiesValues v = TruckPropertiesOf(track, 4);
    EXPECT_NEAR(v.angleDegrees, 270.0, 1e-3);
    EXPECT_EQ(v.course, 2);
    EXPECT_EQ(v.name, "wildfoot.trk");
    v.z = 300;
    v.angleDegrees = 45;
    v.course = 9;
    v.x = 1234;
    ASSERT_TRUE(ApplyTruckProperties(track, 4, v));
    EXPECT_EQ(track.vehicles[4].x, 1234);
    EXPECT_EQ(track.vehicles[4].z, 255);
    EXPECT_NEAR(track.vehicles[4].psi, std::numbers::pi / 4, 1e-6);
    EXPECT_EQ(track.vehicles[4].extra, 4);

    // Dragging an anchor of the main course: its start point refreshes the map.
    track.mainCourse.segments = {segment({1, 1, 1}, {2, 2, 2})};
    CourseChange start = DragCourseAnchor(track, 0, 0, GroundPick{50, 60, 70});
    EXPECT_TRUE(start.mapChanged);
    EXPECT_EQ(track.mainCourse.segments[0].start, (Point{50, 60, 70}));
    EXPECT_FALSE(DragCourseAnchor(track, 0, 1, GroundPick{5, 6, 7}).mapChanged);
    EXPECT_EQ(track.mainCourse.segments[0].end, (Point{5, 6, 7}));
}

TEST(CourseTerrain, PointsMoveWithTheGround) {
    CTrackPOD track;
    track.mainCourse.segments = {segment({640, 640, 100}, {6400, 640, 105})};
    track.vehicles[2].x = track.vehicles[2].y = 640;
    track.vehicles[2].z = 104;
    const CourseGroundSnapshot before = TakeCourseGroundSnapshot(track);
    track.terrain.heights[size_t(10 * 256 + 10)] = 130; // under (640, 640) only
    MoveCoursesWithGround(track, before);
    EXPECT_EQ(track.mainCourse.segments[0].start[2], 130);
    EXPECT_EQ(track.mainCourse.segments[0].end[2], 105);
    EXPECT_EQ(track.vehicles[2].z, 134);
}

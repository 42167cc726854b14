#include "edit/CourseEditing.h"

#include "model/TrackPod.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace ravok {

namespace {

bool validCourse(int course) {
    return course >= 0 && course < kCourseCount;
}
bool validTruck(int truck) {
    return truck >= 0 && truck < kVehicleSlots;
}

Course* ensureCourse(CTrackPOD& track, int course) {
    if (!validCourse(course)) return nullptr;
    if (course == 0) return &track.mainCourse;
    auto& slot = track.extendedCourses[size_t(course - 1)];
    if (!slot) slot = std::make_unique<Course>();
    return slot.get();
}

CourseChange changedCourse(int course, int anchor = -1) {
    return {true, course == 0, anchor};
}

} // namespace

bool CanEditCourses(const CTrackPOD& track) {
    return !track.podViewMode;
}

Course* CourseOf(CTrackPOD& track, int course) {
    if (!validCourse(course)) return nullptr;
    return course == 0 ? &track.mainCourse : track.extendedCourses[size_t(course - 1)].get();
}

const Course* CourseOf(const CTrackPOD& track, int course) {
    if (!validCourse(course)) return nullptr;
    return course == 0 ? &track.mainCourse : track.extendedCourses[size_t(course - 1)].get();
}

int CourseSegmentCount(const CTrackPOD& track, int course) {
    const Course* c = CourseOf(track, course);
    return c ? int(c->segments.size()) : 0;
}

CourseSegment* AnchorSegment(CTrackPOD& track, int course, int anchor) {
    Course* c = CourseOf(track, course);
    if (!c || anchor < 0 || size_t(anchor / 2) >= c->segments.size()) return nullptr;
    return &c->segments[size_t(anchor / 2)];
}

std::array<int32_t, 3>* AnchorPoint(CTrackPOD& track, int course, int anchor) {
    CourseSegment* s = AnchorSegment(track, course, anchor);
    if (!s) return nullptr;
    return anchor % 2 == 0 ? &s->start : &s->end;
}

bool CanInsertSegment(const CTrackPOD& track, int course, int anchor, bool terrainUnderCursor) {
    if (!CanEditCourses(track) || !validCourse(course)) return false;
    const int n = CourseSegmentCount(track, course);
    if (n == 0) return terrainUnderCursor;
    return anchor >= 0 && anchor / 2 < n;
}

bool CanEditAnchor(const CTrackPOD& track, int course, int anchor) {
    return CanEditCourses(track) && anchor >= 0 && anchor / 2 < CourseSegmentCount(track, course);
}

bool CanGenerateFromMain(int course) {
    return course >= 1 && course < kCourseCount;
}

CourseChange InsertCourseSegment(CTrackPOD& track, int course, int anchor, std::optional<GroundPick> pick) {
    if (!CanEditCourses(track) || !validCourse(course)) return {};
    const int n = CourseSegmentCount(track, course);
    if (n > 0) {
        if (anchor < 0 || anchor / 2 >= n) return {};
        Course& c = *ensureCourse(track, course);
        const size_t at = size_t(anchor / 2);
        const CourseSegment s = c.segments[at];
        if (anchor % 2 == 1) {
            c.insertSegment(at + 1);
            CourseSegment& added = c.segments[at + 1];
            added.start = {s.end[0] + 20, s.end[1], s.end[2]};
            added.end = {added.start[0] + 40, s.end[1], s.end[2]};
            return changedCourse(course, int(2 * (at + 1) + 1));
        }
        c.insertSegment(at);
        CourseSegment& added = c.segments[at];
        added.end = {s.start[0] - 20, s.start[1], s.start[2]};
        added.start = {added.end[0] - 40, s.start[1], s.start[2]};
        return changedCourse(course, int(2 * at));
    }
    if (!pick) return {};
    Course& c = *ensureCourse(track, course);
    c.insertSegment(0);
    CourseSegment& added = c.segments[0];
    added.start = {pick->x, pick->y, pick->height};
    added.end = {pick->x + 40, pick->y, pick->height};
    if (course == 0)
        for (int k = 0; k < kVehicleSlots; ++k) {
            VehicleSlot& v = track.vehicles[size_t(k)];
            v.x = added.end[0] - 80 + 20 * k;
            v.y = added.start[1] - 40;
            v.z = pick->height;
        }
    return changedCourse(course, 1);
}

CourseChange DeleteCourseSegment(CTrackPOD& track, int course, int anchor) {
    if (!CanEditAnchor(track, course, anchor)) return {};
    Course& c = *CourseOf(track, course);
    c.segments.erase(c.segments.begin() + anchor / 2);
    if (c.segments.empty()) c.clear(); // an emptied course gets the default length again
    return changedCourse(course);
}

CourseChange DeleteAllCourseSegments(CTrackPOD& track, int course) {
    if (!CanEditCourses(track)) return {};
    Course* c = CourseOf(track, course);
    if (!c || c->segments.empty()) return {};
    c->clear();
    return changedCourse(course);
}

CourseChange ReverseCourseSegment(CTrackPOD& track, int course, int anchor) {
    if (!CanEditAnchor(track, course, anchor)) return {};
    CourseSegment& s = *AnchorSegment(track, course, anchor);
    std::swap(s.start, s.end);
    return changedCourse(course, anchor);
}

int ShownSpeedLimit(const CTrackPOD& track, int course, int anchor) {
    const Course* c = CourseOf(track, course);
    if (!c || anchor < 0 || size_t(anchor / 2) >= c->segments.size()) return 0;
    return c->segments[size_t(anchor / 2)].speedLimit / 2;
}

CourseChange SetSpeedLimit(CTrackPOD& track, int course, int anchor, int shownValue, bool applyToAll) {
    if (!CanEditAnchor(track, course, anchor)) return {};
    const int32_t stored = int32_t(std::clamp<int64_t>(int64_t(shownValue) * 2, 0, INT32_MAX));
    if (!applyToAll) {
        AnchorSegment(track, course, anchor)->speedLimit = stored;
        return changedCourse(course, anchor);
    }
    const size_t index = size_t(anchor / 2);
    for (int k = 0; k < kCourseCount; ++k) {
        Course* c = CourseOf(track, k);
        if (c && index < c->segments.size()) c->segments[index].speedLimit = stored;
    }
    return {true, true, anchor};
}

CourseChange GenerateCourseFromMain(CTrackPOD& track, int course, const std::function<int()>& random) {
    if (!CanEditCourses(track) || !CanGenerateFromMain(course) || track.mainCourse.segments.empty())
        return {};
    auto draw = [&] { return ((random ? random() : std::rand()) & 15) - 7; };
    auto generated = std::make_unique<Course>();
    for (const CourseSegment& main : track.mainCourse.segments) {
        CourseSegment s = main;
        s.start[0] += draw();
        s.start[1] += draw();
        s.end[0] += draw();
        s.end[1] += draw();
        generated->segments.push_back(s);
    }
    track.extendedCourses[size_t(course - 1)] = std::move(generated);
    return changedCourse(course);
}

CourseChange DragCourseAnchor(CTrackPOD& track, int course, int anchor, const GroundPick& pick) {
    if (!CanEditAnchor(track, course, anchor)) return {};
    *AnchorPoint(track, course, anchor) = {pick.x, pick.y, pick.height};
    return {true, course == 0 && anchor % 2 == 0, anchor};
}

bool DragTruckStart(CTrackPOD& track, int truck, const GroundPick& pick) {
    if (!CanEditCourses(track) || !validTruck(truck)) return false;
    VehicleSlot& v = track.vehicles[size_t(truck)];
    v.x = pick.x;
    v.y = pick.y;
    v.z = pick.height + 4;
    return true;
}

// ---- truck starts ------------------------------------------------------------

bool ReverseTruck(CTrackPOD& track, int truck) {
    if (!CanEditCourses(track) || !validTruck(truck)) return false;
    VehicleSlot& v = track.vehicles[size_t(truck)];
    v.psi = float(double(v.psi) + std::numbers::pi);
    return true;
}

TruckPropertiesValues TruckPropertiesOf(const CTrackPOD& track, int truck) {
    TruckPropertiesValues values;
    if (!validTruck(truck)) return values;
    const VehicleSlot& v = track.vehicles[size_t(truck)];
    values.name = v.truckFile.str();
    values.x = v.x;
    values.y = v.y;
    values.z = v.z;
    double degrees = std::fmod(double(v.psi) * 180.0 / std::numbers::pi, 360.0);
    if (degrees < 0) degrees += 360.0;
    values.angleDegrees = degrees;
    values.course = v.extra;
    return values;
}

bool ApplyTruckProperties(CTrackPOD& track, int truck, const TruckPropertiesValues& values) {
    if (!CanEditCourses(track) || !validTruck(truck)) return false;
    VehicleSlot& v = track.vehicles[size_t(truck)];
    v.x = values.x;
    v.y = values.y;
    v.z = std::clamp(values.z, 0, 255);
    v.psi = float(values.angleDegrees * std::numbers::pi / 180.0);
    v.extra = std::clamp(values.course, 0, kCourseCount - 1);
    return true;
}

// ---- terrain changes -------------------------------------------------------------

namespace {
// Visits every course point and then every truck start, in a fixed order.
template <typename Track, typename Visit> void forEachGroundPoint(Track& track, Visit visit) {
    for (int k = 0; k < kCourseCount; ++k)
        if (auto* c = CourseOf(track, k))
            for (auto& s : c->segments) {
                visit(s.start[0], s.start[1], s.start[2]);
                visit(s.end[0], s.end[1], s.end[2]);
            }
    for (auto& v : track.vehicles)
        visit(v.x, v.y, v.z);
}
} // namespace

CourseGroundSnapshot TakeCourseGroundSnapshot(const CTrackPOD& track) {
    CourseGroundSnapshot snapshot;
    forEachGroundPoint(track, [&](int32_t x, int32_t y, int32_t) {
        snapshot.heights.push_back(track.TerrainHeightAt(x, y));
    });
    return snapshot;
}

void MoveCoursesWithGround(CTrackPOD& track, const CourseGroundSnapshot& before) {
    size_t count = 0;
    forEachGroundPoint(track, [&](int32_t, int32_t, int32_t) { ++count; });
    if (count != before.heights.size()) return; // the courses changed in between
    size_t i = 0;
    forEachGroundPoint(track, [&](int32_t& x, int32_t& y, int32_t& z) {
        z += track.TerrainHeightAt(x, y) - before.heights[i++];
    });
}

} // namespace ravok

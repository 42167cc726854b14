#include "edit/CoursePicking.h"

#include "edit/CourseEditing.h"
#include "model/TrackPod.h"

namespace ravok {

namespace {
ScreenPoint projected(const ScreenProjection& project, const std::array<int32_t, 3>& p) {
    auto at = project ? project(p[0], p[1], p[2]) : std::nullopt;
    return at ? ScreenPoint{(*at)[0], (*at)[1], true} : ScreenPoint{};
}
} // namespace

std::vector<ScreenPoint> ProjectCourseAnchors(const CTrackPOD& track, int course,
                                              const ScreenProjection& project) {
    std::vector<ScreenPoint> points;
    if (const Course* c = CourseOf(track, course))
        for (const CourseSegment& s : c->segments) {
            points.push_back(projected(project, s.start));
            points.push_back(projected(project, s.end));
        }
    return points;
}

std::vector<ScreenPoint> ProjectTruckStarts(const CTrackPOD& track, const ScreenProjection& project) {
    std::vector<ScreenPoint> points;
    for (const VehicleSlot& v : track.vehicles)
        points.push_back(projected(project, {v.x, v.y, v.z}));
    return points;
}

int PickCourseAnchor(std::span<const ScreenPoint> anchors, int mouseX, int mouseY) {
    return PickNearestScreenPoint(anchors, mouseX, mouseY, kCourseAnchorPickPixels);
}

int PickTruckStart(std::span<const ScreenPoint> starts, int mouseX, int mouseY) {
    if (starts.size() <= 1) return -1;
    const int at = PickNearestScreenPoint(starts.subspan(1, std::min<size_t>(starts.size() - 1, 8)), mouseX,
                                          mouseY, kTruckStartPickPixels);
    return at < 0 ? -1 : at + 1;
}

CourseMenuState CourseContextMenuState(const CTrackPOD& track, int course, int anchor, bool terrainUnderCursor) {
    const Course* shown = CourseOf(track, course);
    const bool empty = !shown || shown->segments.empty();
    const bool editable = CanEditCourses(track);
    CourseMenuState state;
    const bool held = anchor >= 0 && !empty;
    state.insert = editable && (held || (empty && terrainUnderCursor));
    state.remove = state.reverse = state.speedLimit = editable && held;
    state.generateFromMain = editable && course >= 1 && course <= 4;
    state.deleteAll = editable && !empty;
    return state;
}

} // namespace ravok

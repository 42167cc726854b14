#include "edit/TerrainPoints.h"

#include "model/TrackPod.h"

#include <new>

namespace ravok {

bool TerrainPointList::collect(CTrackPOD& track) {
    m_points.clear();
    try {
        size_t count = track.vehicles.size() + 2 * track.mainCourse.segments.size();
        for (const auto& object : track.objects)
            count += object != nullptr;
        for (const auto& course : track.extendedCourses)
            if (course) count += 2 * course->segments.size();
        m_points.reserve(count);
    } catch (const std::bad_alloc&) {
        m_points = {};
        return false;
    }
    auto add = [&](int32_t& height, int32_t x, int32_t y) {
        m_points.push_back({&height, x, y, track.TerrainHeightAt(x, y)});
    };
    for (auto& object : track.objects)
        if (object) add(object->z, object->x, object->y);
    for (auto& vehicle : track.vehicles)
        add(vehicle.z, vehicle.x, vehicle.y);
    auto addCourse = [&](Course& course) {
        for (auto& segment : course.segments) {
            add(segment.start[2], segment.start[0], segment.start[1]);
            add(segment.end[2], segment.end[0], segment.end[1]);
        }
    };
    addCourse(track.mainCourse);
    for (auto& course : track.extendedCourses)
        if (course) addCourse(*course);
    return true;
}

void TerrainPointList::moveWithTerrain(const CTrackPOD& track) const {
    for (const Point& point : m_points) {
        const int change = track.TerrainHeightAt(point.x, point.y) - point.ground;
        // Wrapping arithmetic: a record read from a damaged file may hold any height.
        *point.height = int32_t(uint32_t(*point.height) + uint32_t(change));
    }
}

} // namespace ravok

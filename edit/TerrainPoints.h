#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ravok {

class CTrackPOD;

// The things that stand on the terrain and move with it when its heights
// change as a whole: every object, the nine truck starts and both end points
// of every segment of the main and the extended courses. Each point keeps
// where its height is stored, its world position (64 units to a square) and
// the ground height under it when it was collected.
class TerrainPointList {
  public:
    // Collects the points over the current ground. False (and an empty list)
    // when there is not enough memory for the list.
    bool collect(CTrackPOD& track);
    // Adds to each point's height the change of the ground under it since
    // collect(). The track's records must not have been replaced in between.
    void moveWithTerrain(const CTrackPOD& track) const;

    size_t size() const { return m_points.size(); }
    void clear() { m_points.clear(); }

  private:
    struct Point {
        int32_t* height;
        int32_t x, y;
        int ground;
    };
    std::vector<Point> m_points;
};

} // namespace ravok

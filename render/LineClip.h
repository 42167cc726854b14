#pragma once

#include <algorithm>

namespace ravok {

// Clips the segment from (ax, ay) along (dx, dy) to the rectangle
// x0..x1, y0..y1 (Liang-Barsky): on success t0 and t1 (starting at 0 and 1)
// are the parameters of the part inside; false when no part is inside.
inline bool ClipSegment(double ax, double ay, double dx, double dy, double x0, double y0, double x1, double y1,
                        double& t0, double& t1) {
    auto clip = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double r = q / p;
        if (p < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    return clip(-dx, ax - x0) && clip(dx, x1 - ax) && clip(-dy, ay - y0) && clip(dy, y1 - ay);
}

} // namespace ravok

#include "render/CourseOverlay.h"

#include "model/TrackPod.h"
#include "render/LineClip.h"
#include "render/TrackMeshes.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace ravok {

namespace {

constexpr double kTruckLength = 40, kTruckHalfWidth = 10; // world units
// Nearer than this (the renderer's smallest w of 64, times 1024) a point is at the eye.
constexpr double kNearDepth = 64.0 * 1024.0;

OverlayPoint worldOf(const std::array<int32_t, 3>& p) {
    return {double(p[0]), double(p[1]), double(p[2]) * kWorldUnitsPerHeight};
}

// Whether the segment from a to b crosses the rectangle (Liang-Barsky on x and y).
bool crossesSquare(const OverlayPoint& a, const OverlayPoint& b, double x0, double y0, double x1, double y1) {
    double t0 = 0, t1 = 1;
    return ClipSegment(a[0], a[1], b[0] - a[0], b[1] - a[1], x0, y0, x1, y1, t0, t1);
}

void addCourse(CourseOverlay& overlay, const Course& course, bool extended, const TerrainWindow& window) {
    const double x0 = window.x0 * 64.0, y0 = window.y0 * 64.0;
    const double x1 = (window.x0 + window.size) * 64.0, y1 = (window.y0 + window.size) * 64.0;
    for (const CourseSegment& s : course.segments) {
        const OverlayPoint a = worldOf(s.start), b = worldOf(s.end);
        if (crossesSquare(a, b, x0, y0, x1, y1)) overlay.lines.push_back({a, b, extended});
    }
}

// A point in the camera's space: right and down before the divide, and depth.
struct EyePoint {
    double right, down, depth;
};

EyePoint toEye(const CameraMatrix& m, const OverlayPoint& p) {
    auto row = [&](size_t r) {
        return double(m.factors[r][0]) * p[0] * 64 + double(m.factors[r][1]) * p[1] * 64 +
               double(m.factors[r][2]) * p[2] * 64 + double(m.offsets[r]);
    };
    return {row(0), row(1), row(2)};
}

std::array<double, 2> toScreen(const FrameBuffer& frame, const EyePoint& e) {
    const double w = e.depth / 1024;
    return {frame.centreX + e.right / 2 / w, frame.centreY + e.down / 2 / w};
}

void plot(FrameBuffer& frame, int x, int y, uint8_t colour) {
    if (x >= 0 && x < frame.width && y >= 0 && y < frame.height)
        frame.pixels[size_t(y) * size_t(frame.bytesPerRow()) + size_t(x)] = colour;
}

// A line `width` pixels wide (1 or 2), clipped to the frame.
void screenLine(FrameBuffer& frame, std::array<double, 2> a, std::array<double, 2> b, uint8_t colour,
                int width) {
    double t0 = 0, t1 = 1;
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    // One pixel of margin beyond each edge, for the second pixel of a wide line.
    if (!ClipSegment(a[0], a[1], dx, dy, -1, -1, frame.width, frame.height, t0, t1)) return;
    int x = int(std::lround(a[0] + t0 * dx)), y = int(std::lround(a[1] + t0 * dy));
    const int bx = int(std::lround(a[0] + t1 * dx)), by = int(std::lround(a[1] + t1 * dy));
    const int sx = x < bx ? 1 : -1, sy = y < by ? 1 : -1;
    const int ddx = std::abs(bx - x), ddy = -std::abs(by - y);
    const bool steep = -ddy > ddx; // the second pixel goes beside a steep line, under a flat one
    int error = ddx + ddy;
    while (true) {
        plot(frame, x, y, colour);
        if (width > 1) plot(frame, x + (steep ? 1 : 0), y + (steep ? 0 : 1), colour);
        if (x == bx && y == by) break;
        const int e2 = 2 * error;
        if (e2 >= ddy) error += ddy, x += sx;
        if (e2 <= ddx) error += ddx, y += sy;
    }
}

// The part of a line in front of the eye, on the screen.
std::optional<std::array<std::array<double, 2>, 2>>
projectLine(const FrameBuffer& frame, const CameraMatrix& m, const OverlayPoint& a, const OverlayPoint& b) {
    EyePoint p = toEye(m, a), q = toEye(m, b);
    if (p.depth < kNearDepth && q.depth < kNearDepth) return std::nullopt;
    auto cut = [](EyePoint& behind, const EyePoint& front) {
        const double t = (kNearDepth - front.depth) / (behind.depth - front.depth);
        behind = {front.right + (behind.right - front.right) * t, front.down + (behind.down - front.down) * t,
                  kNearDepth};
    };
    if (p.depth < kNearDepth) cut(p, q);
    if (q.depth < kNearDepth) cut(q, p);
    return std::array{toScreen(frame, p), toScreen(frame, q)};
}

void fillScreenTriangle(FrameBuffer& frame, const std::array<std::array<double, 2>, 3>& c, uint8_t colour) {
    const double minY = std::min({c[0][1], c[1][1], c[2][1]}), maxY = std::max({c[0][1], c[1][1], c[2][1]});
    const int y0 = std::max(0, int(std::ceil(minY))), y1 = std::min(frame.height - 1, int(std::floor(maxY)));
    for (int y = y0; y <= y1; ++y) {
        // Where the row's centre line crosses the three edges.
        double lo = 1e300, hi = -1e300;
        for (size_t k = 0; k < 3; ++k) {
            const auto& p = c[k];
            const auto& q = c[(k + 1) % 3];
            if ((p[1] <= y && q[1] >= y) || (q[1] <= y && p[1] >= y)) {
                const double x =
                    p[1] == q[1] ? std::min(p[0], q[0]) : p[0] + (q[0] - p[0]) * (y - p[1]) / (q[1] - p[1]);
                const double x2 = p[1] == q[1] ? std::max(p[0], q[0]) : x;
                lo = std::min(lo, x), hi = std::max(hi, x2);
            }
        }
        const int x0 = std::max(0, int(std::ceil(lo))), x1 = std::min(frame.width - 1, int(std::floor(hi)));
        for (int x = x0; x <= x1; ++x)
            frame.pixels[size_t(y) * size_t(frame.bytesPerRow()) + size_t(x)] = colour;
    }
}

} // namespace

CourseOverlay CourseOverlayOf(const CTrackPOD& track, const TerrainWindow& window, int selectedCourse,
                              int selectedTruck, bool showMain) {
    CourseOverlay overlay;
    if (showMain || selectedCourse < 1) addCourse(overlay, track.mainCourse, false, window);
    if (selectedCourse >= 1 && size_t(selectedCourse) <= track.extendedCourses.size())
        if (const auto& course = track.extendedCourses[size_t(selectedCourse - 1)])
            addCourse(overlay, *course, true, window);
    // Slot 0 is the unused player slot.
    for (size_t slot = 1; slot < track.vehicles.size(); ++slot) {
        const VehicleSlot& v = track.vehicles[slot];
        const double fx = std::sin(v.psi), fy = std::cos(v.psi);
        const double z = double(v.z) * kWorldUnitsPerHeight;
        const double bx = v.x - fx * kTruckLength, by = v.y - fy * kTruckLength;
        overlay.trucks.push_back({{OverlayPoint{double(v.x), double(v.y), z},
                                   OverlayPoint{bx + fy * kTruckHalfWidth, by - fx * kTruckHalfWidth, z},
                                   OverlayPoint{bx - fy * kTruckHalfWidth, by + fx * kTruckHalfWidth, z}},
                                  int(slot) == selectedTruck});
    }
    return overlay;
}

CourseOverlayColours CourseOverlayColoursOf(const TrackPalette& palette) {
    auto nearest = [&](const RgbColour& c) { return uint8_t(palette.NearestPaletteIndex(c.r, c.g, c.b)); };
    return {nearest(kMainCourseColour), nearest(kExtendedCourseColour), nearest(kTruckStartColour),
            nearest(kSelectedTruckStartColour), nearest(kTruckStartOutline)};
}

void DrawCourseOverlay(FrameBuffer& frame, const CameraMatrix& camera, const CourseOverlay& overlay,
                       const CourseOverlayColours& colours) {
    for (const CourseLine& line : overlay.lines)
        if (const auto ends = projectLine(frame, camera, line.from, line.to))
            screenLine(frame, (*ends)[0], (*ends)[1],
                       line.extended ? colours.extendedCourse : colours.mainCourse, 2);
    for (const TruckStartMarker& truck : overlay.trucks) {
        std::array<std::array<double, 2>, 3> corners;
        bool inFront = true;
        for (size_t k = 0; k < 3; ++k) {
            const EyePoint e = toEye(camera, truck.corners[k]);
            inFront = inFront && e.depth >= kNearDepth;
            if (inFront) corners[k] = toScreen(frame, e);
        }
        if (!inFront) continue;
        fillScreenTriangle(frame, corners, truck.selected ? colours.selectedTruck : colours.truck);
        for (size_t k = 0; k < 3; ++k)
            screenLine(frame, corners[k], corners[(k + 1) % 3], colours.outline, 1);
    }
}

} // namespace ravok

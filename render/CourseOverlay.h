#pragma once

#include "art/Palette.h"
#include "render/SoftwareRenderer.h"
#include "render/ViewCamera.h"

#include <array>
#include <vector>

// What course mode shows over the scene: the main course and the selected
// extended course as lines, and the eight truck starts as triangles pointing
// along their headings. Both renderers draw the same shapes.
namespace ravok {

class CTrackPOD;

constexpr RgbColour kMainCourseColour{255, 32, 32};
constexpr RgbColour kExtendedCourseColour{255, 0, 255};
constexpr RgbColour kTruckStartColour{255, 255, 255};
constexpr RgbColour kSelectedTruckStartColour{0, 255, 0};
constexpr RgbColour kTruckStartOutline{255, 0, 0};

// A point in world units (64 to a grid square, 3 to a height step).
using OverlayPoint = std::array<double, 3>;

struct CourseLine {
    OverlayPoint from, to;
    bool extended = false; // of the selected extended course, else of the main course
};

// Apex at the truck's position, the other corners 40 units behind and 10 to either side.
struct TruckStartMarker {
    std::array<OverlayPoint, 3> corners;
    bool selected = false;
};

struct CourseOverlay {
    std::vector<CourseLine> lines; // the main course first
    std::vector<TruckStartMarker> trucks;
};

// The course lines and truck starts of the track; segments wholly outside
// the window's square of terrain are left out. `selectedCourse` 1..4 adds
// that extended course, `selectedTruck` 1..8 marks that start; beside an
// extended course the main course shows only with `showMain`.
CourseOverlay CourseOverlayOf(const CTrackPOD& track, const TerrainWindow& window, int selectedCourse,
                              int selectedTruck, bool showMain = true);

// The palette indices the software path draws the overlay in.
struct CourseOverlayColours {
    uint8_t mainCourse = 0, extendedCourse = 0, truck = 0, selectedTruck = 0, outline = 0;
};
CourseOverlayColours CourseOverlayColoursOf(const TrackPalette& palette);

// Draws the overlay over the frame without depth, as the OpenGL path does:
// 2-pixel lines clipped at the eye and the frame, filled triangles with a
// 1-pixel outline (a triangle reaching behind the eye is left out).
void DrawCourseOverlay(FrameBuffer& frame, const CameraMatrix& camera, const CourseOverlay& overlay,
                       const CourseOverlayColours& colours);

} // namespace ravok

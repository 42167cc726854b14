#pragma once

#include "render/SoftwareRenderer.h"

#include <array>

namespace ravok {

// The track view's camera, shared by both renderers. Position in world units
// (64 to a grid square), height in thirds of a height step (one height step
// is 3 world units), yaw and pitch in tenths of a degree: yaw 0 looks north
// (+y) and grows clockwise seen from above; pitch 900 is level, 1800 looks
// straight down.
struct ViewCamera {
    int x = 8192, y = 8192, z = 1152;
    int yaw = 0, pitch = 900;
    int gridSize = 64; // squares of terrain drawn around the view origin; 256 for the whole grid

    // The grid square under the camera, rounded down to even.
    int originX() const { return ((x / 64) & ~1); }
    int originY() const { return ((y / 64) & ~1); }
    // The direction the camera faces, length 256 (north at yaw 0).
    std::array<int, 2> direction() const;
};

// The window of grid points the terrain mesh covers: gridSize x gridSize
// points around the view origin, kept inside the 256 x 256 grid.
struct TerrainWindow {
    int x0 = 0, y0 = 0, size = 256;
};
TerrainWindow TerrainWindowOf(const ViewCamera& camera);

// An object's placement: world position (x, y in world units, z in world
// units, 3 to a height step) and heading and tilts in radians.
struct Placement {
    double x = 0, y = 0, z = 0;
    double heading = 0, tiltPhi = 0, tiltTheta = 0;
};

// The renderer's matrix for meshes in world units.
CameraMatrix CameraMatrixOf(const ViewCamera& camera);
// The same for a mesh placed in the world (a model at an object).
CameraMatrix CameraMatrixOf(const ViewCamera& camera, const Placement& placement);

} // namespace ravok

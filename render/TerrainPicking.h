#pragma once

#include "render/SoftwareRenderer.h"
#include "render/ViewCamera.h"

#include <optional>

namespace ravok {

class CTrackPOD;

// The vertex of the terrain window nearest the mouse on the screen (row * g +
// column), preferring the nearer of vertices that project to about the same
// place; -1 when no vertex is in front of the camera. Both renderers use the
// same projection, so the pick is the same whichever one draws.
int PickWindowVertex(const CTrackPOD& track, const TerrainWindow& window, const CameraMatrix& camera,
                     const FrameBuffer& frame, int mouseX, int mouseY);

// A projected point is usable for picking when it lies in front (depth at
// least 11) and inside the view.
bool ProjectionUsable(int screenX, int screenY, int depth, int viewWidth, int viewHeight);

// A world point (x, y in world units, z in world units: 3 to a height step)
// on the screen; none when it is behind the eye, too near or outside the view.
std::optional<std::array<int, 2>> ProjectWorldPoint(const CameraMatrix& camera, const FrameBuffer& frame, int x,
                                                    int y, int z);

} // namespace ravok

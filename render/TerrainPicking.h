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

// The point of the terrain under the mouse: world x and y (64 units to a
// square) and the height there in world units (3 to a height step); none when
// no terrain lies under the mouse near the picked vertex. The cells around the
// nearest vertex are tested as the screen triangles they are drawn as, and the
// point inside one is found with perspective-correct weights of its corners,
// so that a drag follows the mouse within a square rather than jumping from
// one square's centre to the next.
struct TerrainPoint {
    int x = 0, y = 0, z = 0;
};
std::optional<TerrainPoint> PickTerrainPoint(const CTrackPOD& track, const TerrainWindow& window,
                                             const CameraMatrix& camera, const FrameBuffer& frame, int mouseX,
                                             int mouseY);
// The same around a vertex already picked with PickWindowVertex.
std::optional<TerrainPoint> TerrainPointNearVertex(const CTrackPOD& track, const TerrainWindow& window,
                                                   const CameraMatrix& camera, const FrameBuffer& frame, int vertex,
                                                   int mouseX, int mouseY);

// A projected point is usable for picking when it lies in front (depth at
// least 11) and inside the view.
bool ProjectionUsable(int screenX, int screenY, int depth, int viewWidth, int viewHeight);

// A world point (x, y in world units, z in world units: 3 to a height step)
// on the screen; none when it is behind the eye, too near or outside the view.
std::optional<std::array<int, 2>> ProjectWorldPoint(const CameraMatrix& camera, const FrameBuffer& frame, int x,
                                                    int y, int z);

} // namespace ravok

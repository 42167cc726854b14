#include "render/ViewCamera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ravok {

namespace {

using Matrix3 = std::array<std::array<double, 3>, 3>;

constexpr double kFixedOne = 1024.0;   // the matrix factors' 1.0
constexpr double kStoredPerUnit = 64.0; // meshes store world units times 64

double radians(int tenthsOfDegree) { return tenthsOfDegree * std::numbers::pi / 1800.0; }

// Rows right, down and forward of the camera in world axes (x east, y north, z up).
Matrix3 cameraRows(const ViewCamera& c) {
    const double yaw = radians(c.yaw), below = radians(c.pitch - 900);
    const double sy = std::sin(yaw), cy = std::cos(yaw), sp = std::sin(below), cp = std::cos(below);
    return {{{cy, -sy, 0}, {-sy * sp, -cy * sp, -cp}, {sy * cp, cy * cp, -sp}}};
}

Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 m{};
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j)
            for (size_t k = 0; k < 3; ++k) m[i][j] += a[i][k] * b[k][j];
    return m;
}

// Heading about the vertical, then the two tilts (phi about the x axis,
// theta about the y axis), as a model is turned at its object.
Matrix3 placementRotation(const Placement& p) {
    const double ch = std::cos(p.heading), sh = std::sin(p.heading);
    const double cf = std::cos(p.tiltPhi), sf = std::sin(p.tiltPhi);
    const double ct = std::cos(p.tiltTheta), st = std::sin(p.tiltTheta);
    const Matrix3 heading{{{ch, -sh, 0}, {sh, ch, 0}, {0, 0, 1}}};
    const Matrix3 phi{{{1, 0, 0}, {0, cf, -sf}, {0, sf, cf}}};
    const Matrix3 theta{{{ct, 0, st}, {0, 1, 0}, {-st, 0, ct}}};
    return multiply(heading, multiply(phi, theta));
}

// The camera's view of a point: its rows applied to a world offset.
std::array<double, 3> apply(const Matrix3& rows, const std::array<double, 3>& v) {
    std::array<double, 3> out{};
    for (size_t r = 0; r < 3; ++r)
        for (size_t k = 0; k < 3; ++k) out[r] += rows[r][k] * v[k];
    return out;
}

// Factors in 1/1024 and offsets for stored coordinates (world units times 64).
CameraMatrix fixedPoint(const Matrix3& factors, const std::array<double, 3>& offsets) {
    CameraMatrix m;
    for (size_t r = 0; r < 3; ++r) {
        for (size_t k = 0; k < 3; ++k) m.factors[r][k] = int32_t(std::lround(factors[r][k] * kFixedOne));
        m.offsets[r] = std::llround(offsets[r] * kFixedOne * kStoredPerUnit);
    }
    return m;
}

} // namespace

std::array<int, 2> ViewCamera::direction() const {
    const double yawRadians = radians(yaw);
    return {int(std::lround(256 * std::sin(yawRadians))), int(std::lround(256 * std::cos(yawRadians)))};
}

TerrainWindow TerrainWindowOf(const ViewCamera& camera) {
    const int size = std::clamp(camera.gridSize, 2, 256);
    if (size >= 256) return {0, 0, 256};
    auto start = [size](int origin) { return std::clamp(origin - size / 2, 0, 256 - size); };
    return {start(camera.originX()), start(camera.originY()), size};
}

CameraMatrix CameraMatrixOf(const ViewCamera& camera) {
    const Matrix3 rows = cameraRows(camera);
    return fixedPoint(rows, apply(rows, {-double(camera.x), -double(camera.y), -double(camera.z)}));
}

CameraMatrix CameraMatrixOf(const ViewCamera& camera, const Placement& placement) {
    const Matrix3 rows = cameraRows(camera);
    return fixedPoint(multiply(rows, placementRotation(placement)),
                      apply(rows, {placement.x - camera.x, placement.y - camera.y, placement.z - camera.z}));
}

} // namespace ravok

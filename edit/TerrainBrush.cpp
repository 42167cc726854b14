#include "edit/TerrainBrush.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ravok {

namespace {

constexpr int kTableEntries = 400; // ten entries to a square of distance
constexpr float kPi = 3.14159265358979323846f;

bool usesCurvature(TerrainTool tool) {
    return tool == TerrainTool::Hill || tool == TerrainTool::Slope || tool == TerrainTool::Mound ||
           tool == TerrainTool::Bumps;
}

// A * exp(-k * i^2 / half^2), with the first entry A and, for a half-size of
// 0 (a brush one or two squares across), every other entry 0.
void fallOffTable(std::array<float, kTableEntries>& table, float a, double k, int half) {
    table.fill(0.0f);
    table[0] = a;
    if (half == 0) return;
    const double halfSquared = double(half) * double(half);
    for (int i = 1; i < kTableEntries; ++i)
        table[size_t(i)] = float(a * std::exp(-k * double(i) * i / halfSquared));
}

} // namespace

int altitudeGroupOf(TerrainTool tool) {
    if (tool == TerrainTool::Plane) return 1;
    if (tool == TerrainTool::SinglePoint) return 2;
    return 0;
}

int defaultAltitudeOfGroup(int group) {
    return group == 1 ? 100 : group == 2 ? 1 : 32;
}

TerrainToolParams TerrainToolParams::corrected() const {
    TerrainToolParams p = *this;
    p.tool = TerrainTool(std::clamp(int(tool), 0, 7));
    p.width = std::clamp(width, kMinToolSize, kMaxToolSize);
    p.height = std::clamp(height, kMinToolSize, kMaxToolSize);
    p.altitude = std::clamp(altitude, kMinAltitude, kMaxAltitude);
    p.orientation = std::clamp(orientation, 0, kMaxOrientation);
    p.curvature = std::clamp(curvature, 0, kMaxCurvature);
    return p;
}

float curvatureExponent(int curvature) {
    static constexpr float kExponents[] = {0.2f, 0.5f, 0.75f, 1.0f, 1.4f, 2.0f, 3.0f};
    return kExponents[std::clamp(curvature, 0, kMaxCurvature)];
}

int brushRound(double value) {
    if (value > 0) return int(value + 0.499);
    if (value < 0) return int(value - 0.499);
    return 0;
}

TerrainBrush BuildTerrainBrush(const TerrainToolParams& given) {
    const TerrainToolParams p = given.corrected();
    TerrainBrush brush;

    // Angle terms in single precision, as the extent depends on their last bits
    // (cos 90 degrees is not quite 0).
    const float angle = float(p.orientation) * kPi / 4.0f;
    const float s = std::sin(angle) * 10.0f;
    const float c = std::cos(angle) * 10.0f;
    const float wide = std::fabs(float(p.width) * c) + std::fabs(float(p.height) * s);
    const float high = std::fabs(float(p.width) * s) + std::fabs(float(p.height) * c);
    brush.rw = std::clamp(int(wide) / 10, 1, TerrainBrush::kSide - 1);
    brush.rh = std::clamp(int(high) / 10, 1, TerrainBrush::kSide - 1);

    const int w2 = (p.width - 1) >> 1, h2 = (p.height - 1) >> 1;
    const float a = float(p.altitude);

    std::array<float, kTableEntries> t1{}, t2{};
    switch (p.tool) {
    case TerrainTool::Hill:
        fallOffTable(t1, a, 0.09, w2);
        fallOffTable(t2, a, 0.09, h2);
        break;
    case TerrainTool::Mound:
        fallOffTable(t1, a, 0.06, w2);
        break;
    case TerrainTool::Bumps:
        for (int i = 0; i < kTableEntries; ++i)
            t1[size_t(i)] = float(std::rand() & 255) * a / 255.0f;
        break;
    default:
        break;
    }
    if (p.tool == TerrainTool::Smooth || p.tool == TerrainTool::Plane || p.tool == TerrainTool::SinglePoint)
        return brush; // these tools do not use the table

    const float exponent = curvatureExponent(p.curvature);
    // With Altitude 0 every value of the profile is 0; the curvature would
    // divide by the altitude, so it is left out (the deltas stay 0).
    const bool curved = p.curvature != kNeutralCurvature && usesCurvature(p.tool) && p.altitude != 0;
    const int uLimit = 10 * w2 + 10, vLimit = 10 * h2 + 10;

    for (int r = 0; r < brush.rh; ++r) {
        const int dy = r - ((brush.rh - 1) >> 1);
        for (int k = 0; k < brush.rw; ++k) {
            const int dx = k - ((brush.rw - 1) >> 1);
            const float u = float(dx) * c - float(dy) * s;
            const float v = float(dx) * s + float(dy) * c;
            const int roundedU = brushRound(u);
            const int bigU = std::min(std::abs(roundedU), kTableEntries - 1);
            const int bigV = std::min(std::abs(brushRound(v)), kTableEntries - 1);

            double value = 0;
            switch (p.tool) {
            case TerrainTool::Raise:
                value = a;
                break;
            case TerrainTool::Hill:
                value = (a < 0 ? -1.0 : 1.0) * std::sqrt(double(t1[size_t(bigU)]) * double(t2[size_t(bigV)]));
                break;
            case TerrainTool::Slope:
                // A falling slope has no deltas at all. Without this rule a
                // turned brush would give the corners behind the slope's foot
                // positive deltas (and, curved, the power of a negative ratio).
                if (p.altitude >= 0)
                    value = std::max(0.0, double(roundedU + 10 * w2) * (double(a) * 0.1) / p.width);
                break;
            case TerrainTool::Mound:
                value = t1[size_t(bigU)];
                break;
            case TerrainTool::Bumps:
                value = t1[size_t(((brush.rw * r + k) % 10) * 40)];
                break;
            default:
                break;
            }
            if (bigU > uLimit || bigV > vLimit) value = 0;
            if (curved) value = double(a) * std::pow(value / double(a), double(exponent));
            brush.deltas[size_t(r * TerrainBrush::kSide + k)] = int16_t(brushRound(value));
        }
    }
    return brush;
}

} // namespace ravok

#include "TestTracks.h"

#include "model/NewTrack.h"
#include "model/TrackPod.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace ravok::test {

// Grass, dirt and rock: 60 shades each, with a speckle so the tiles show.
void hillyTrack(CTrackPOD& t) {
    NewMtm2Track(t);
    PaletteColours colours{};
    const std::array<RgbColour, 3> bases{{{70, 130, 50}, {140, 105, 70}, {125, 125, 120}}};
    for (int i = 0; i < 180; ++i) {
        const RgbColour& b = bases[size_t(i / 60)];
        const int lift = (i % 60) - 30;
        auto channel = [lift](int v) { return uint8_t(std::clamp(v + lift, 0, 255)); };
        colours[size_t(i + 1)] = {channel(b.r), channel(b.g), channel(b.b)};
    }
    // Blues for the sky and the water, oranges for the objects.
    for (int i = 0; i < 40; ++i) colours[size_t(181 + i)] = {uint8_t(30 + i * 2), uint8_t(70 + i * 2), uint8_t(140 + i * 2)};
    for (int i = 0; i < 20; ++i) colours[size_t(221 + i)] = {uint8_t(200 + i * 2), uint8_t(110 + i * 3), 0};
    t.palette.set("ART\\HILLS.ACT", colours);
    for (auto& slot : t.terrainTextures) slot.reset();
    for (int slot = 0; slot < 3; ++slot) {
        std::vector<uint8_t> pixels(64 * 64);
        for (int v = 0; v < 64; ++v)
            for (int u = 0; u < 64; ++u)
                pixels[size_t(v * 64 + u)] = uint8_t(1 + slot * 60 + 20 + ((u * 7 + v * 13 + (u * v) % 11) % 21));
        auto texture = std::make_unique<Texture>();
        texture->setPicture("ART\\GROUND" + std::to_string(slot) + ".RAW", 64, 64, pixels.data());
        t.terrainTextures[size_t(slot)] = std::move(texture);
    }
    for (int y = 0; y < kGridSize; ++y)
        for (int x = 0; x < kGridSize; ++x) {
            const double h = 70 + 45 * std::sin(x * 0.045) * std::cos(y * 0.035) + 30 * std::sin((x + y) * 0.02);
            const int height = int(std::clamp(h, 0.0, 255.0));
            const size_t i = size_t(y * kGridSize + x);
            t.terrain.heights[i] = uint8_t(height);
            t.terrain.textures[i] = uint16_t(height > 110 ? 2 : (x / 8 + y / 8) % 5 == 0 ? 1 : 0);
            // A little light from the slopes, so the hills read.
            const int slope = height - int(t.terrain.height(x + 1, y));
            t.terrain.cells[i][0] = uint8_t(std::clamp(215 + slope * 12, 120, 255));
        }
    t.SetWaterLevelQuarters(4 * 52);
    for (int i = 0; i < 6; ++i) {
        auto box = std::make_unique<GroundBox>();
        box->x = 120 + i;
        box->y = 140;
        box->bottom = 60;
        box->top = uint8_t(140 + 6 * i);
        box->faces = {2, 2, 2, 2, 1, 2};
        t.AddGroundBox(std::move(box));
    }
    t.RebuildGroundBoxMaps();
    for (int i = 0; i < 12; ++i) {
        auto o = std::make_unique<TrackObject>();
        o->x = (100 + i * 5) * 64;
        o->y = 120 * 64 + (i % 3) * 200;
        o->z = t.TerrainHeightAt(o->x, o->y);
        o->width = o->length = 90;
        o->height = 60;
        o->psi = i * 0.3f;
        t.objects[size_t(lowestEmptySlot(t.objects))] = std::move(o);
    }
}

// Lays a course over the hills ahead of the close camera, with the truck
// starts in a row behind its start, and forgets the light map (a track never
// lit, drawn with relief shading).
void courseOverHillsUnlit(CTrackPOD& t) {
    const std::array<std::array<int, 2>, 6> points{{{113, 104}, {118, 108}, {124, 110}, {130, 115}, {134, 122}, {132, 130}}};
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        CourseSegment s;
        s.start = {points[i][0] * 64, points[i][1] * 64, t.terrain.height(points[i][0], points[i][1])};
        s.end = {points[i + 1][0] * 64, points[i + 1][1] * 64, t.terrain.height(points[i + 1][0], points[i + 1][1])};
        t.mainCourse.segments.push_back(s);
    }
    for (size_t slot = 1; slot < t.vehicles.size(); ++slot) {
        VehicleSlot& v = t.vehicles[slot];
        v.x = int32_t(108 * 64 + 24 * int(slot)), v.y = int32_t(102 * 64 + 14 * int(slot % 2));
        v.z = t.terrain.height(v.x / 64, v.y / 64) + 4;
        v.psi = 0.8f;
    }
    for (auto& cell : t.terrain.cells) cell[0] = kDefaultShade;
}

} // namespace ravok::test

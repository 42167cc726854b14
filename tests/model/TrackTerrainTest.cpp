#include "model/TrackPod.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {
void setHeight(CTrackPOD& t, int x, int y, uint8_t h) { t.terrain.heights[size_t(y * 256 + x)] = h; }
} // namespace

TEST(TerrainHeight, FollowsBothDiagonals) {
    CTrackPOD track;
    // Even square (0, 0): diagonal from (0,0) to (1,1). Raise only corner (1,0).
    setHeight(track, 1, 0, 164);
    EXPECT_EQ(track.TerrainHeightAt(0, 0), 100);
    EXPECT_EQ(track.TerrainHeightAt(63, 0), 100 + 64 * 63 / 64);
    // Upper-right triangle (lx >= ly) leans towards the raised corner...
    EXPECT_EQ(track.TerrainHeightAt(32, 16), 100 + 32 - 16); // 100 + 64*(32/64) - 64*(16/64)
    // ...the lower-left triangle does not touch it.
    EXPECT_EQ(track.TerrainHeightAt(16, 32), 100);

    // Odd square (1, 0): diagonal from (2,0) to (1,1). Raise corner (2,1), not on the diagonal.
    CTrackPOD odd;
    setHeight(odd, 2, 1, 164);
    EXPECT_EQ(odd.TerrainHeightAt(64 + 10, 10), 100);           // lx + ly <= 64: corner triangle
    EXPECT_EQ(odd.TerrainHeightAt(64 + 60, 60), 100 + 56);      // far triangle: 64*(60+60-64)/64
    EXPECT_EQ(odd.TerrainHeightAt(64 + 40, 30), 100 + 6);

    // Heights are truncated, not rounded.
    CTrackPOD frac;
    setHeight(frac, 1, 0, 101);
    EXPECT_EQ(frac.TerrainHeightAt(63, 0), 100);
}

TEST(TerrainHeight, LastRowAndColumnUseTheVertex) {
    CTrackPOD track;
    setHeight(track, 255, 10, 7);
    setHeight(track, 20, 255, 9);
    setHeight(track, 0, 10, 200); // would matter if the square wrapped
    EXPECT_EQ(track.TerrainHeightAt(255 * 64 + 40, 10 * 64 + 40), 7);
    EXPECT_EQ(track.TerrainHeightAt(20 * 64 + 63, 255 * 64 + 1), 9);
    // Outside the map the square wraps, and the height stays within the square's corners.
    setHeight(track, 0, 0, 120);
    int h = track.TerrainHeightAt(16384 + 8, 8);
    EXPECT_GE(h, 100);
    EXPECT_LE(h, 120);
    EXPECT_EQ(track.TerrainHeightAt(-64 * 256, 0), 120);
}

TEST(GroundBoxMaps, LaterBoxWinsAndFacesFollow) {
    CTrackPOD track;
    auto make = [](int x, int y, uint8_t bottom, uint8_t top, uint16_t face) {
        auto b = std::make_unique<GroundBox>();
        b->x = x;
        b->y = y;
        b->bottom = bottom;
        b->top = top;
        b->faces.fill(face);
        return b;
    };
    track.groundBoxes[0] = make(5, 6, 90, 110, 3);
    track.groundBoxes[4] = make(5, 6, 95, 130, 8);
    track.groundBoxes[7] = make(200, 1, 10, 20, 1);
    std::vector<std::array<uint16_t, 6>> faces(3);
    track.RebuildGroundBoxMaps(&faces);
    ASSERT_EQ(faces.size(), 65536u);
    EXPECT_EQ(track.groundBoxMaps.bottom[6 * 256 + 5], 95);
    EXPECT_EQ(track.groundBoxMaps.top[6 * 256 + 5], 130);
    EXPECT_EQ(faces[6 * 256 + 5][0], 8);
    EXPECT_EQ(track.groundBoxMaps.top[1 * 256 + 200], 20);
    EXPECT_EQ(track.groundBoxMaps.top[0], 0);

    track.groundBoxes[4].reset();
    track.RebuildGroundBoxMaps();
    EXPECT_EQ(track.groundBoxMaps.top[6 * 256 + 5], 110);

    track.groundBoxes[7]->faces.fill(0x4fff);
    track.groundBoxes[0]->faces[2] = 0x2005;
    EXPECT_EQ(track.HighestTextureInUse(), 1023); // 0xfff clamped
}

TEST(GroundBoxMaps, BoxesFromMapsInRowOrderUpToTheLimit) {
    CTrackPOD track;
    std::vector<uint8_t> bottom(65536, 0), top(65536, 0);
    std::vector<std::array<uint16_t, 6>> faces(65536);
    // 2050 cells with a top: two more than the table holds.
    for (int i = 0; i < 2050; ++i) {
        size_t at = size_t(i) * 31 % 65536;
        top[at] = uint8_t(1 + i % 200);
        bottom[at] = 4;
        faces[at].fill(uint16_t(i));
    }
    top[3 * 256 + 2] = 50; // a cell with bottom 0 still makes a box
    bottom[3 * 256 + 2] = 0;
    track.GroundBoxesFromMaps(bottom, top, faces);
    EXPECT_EQ(track.counts().groundBoxes, 2048);
    int boxesMade = 0;
    for (int i = 0; i < 65536; ++i) boxesMade += top[size_t(i)] != 0;
    EXPECT_EQ(track.droppedGroundBoxes, boxesMade - 2048);

    // Row order: the first box is the first cell with a top.
    const GroundBox& first = *track.groundBoxes[0];
    EXPECT_EQ(first.x, 0);
    EXPECT_EQ(first.y, 0);
    const GroundBox& second = *track.groundBoxes[1];
    EXPECT_EQ(second.x, 31);
    EXPECT_EQ(second.centreX, 31 * 64 + 32);
    EXPECT_EQ(second.centreY, 32);
    EXPECT_EQ(second.midHeight, (4 + top[31]) / 2);
    EXPECT_EQ(second.faces[5], 1);
    EXPECT_EQ(second.sizeX, 1);
}

TEST(ObjectHeights, FractionsCarryIntoZ) {
    CTrackPOD track;
    setHeight(track, 10, 10, 120);
    auto add = [&](int slot, int32_t z, int16_t fraction) {
        track.objects[size_t(slot)] = std::make_unique<TrackObject>();
        auto& o = *track.objects[size_t(slot)];
        o.x = 10 * 64;
        o.y = 10 * 64;
        o.z = z;
        o.zFraction = fraction;
    };
    add(0, 130, -1);
    add(1, 130, 600);
    add(5, 90, 255);
    track.NormaliseObjectHeights();
    EXPECT_EQ(track.objects[0]->z, 129);
    EXPECT_EQ(track.objects[0]->zFraction, 255);
    EXPECT_EQ(track.objects[0]->aboveGround, 9);
    EXPECT_EQ(track.objects[1]->z, 132);
    EXPECT_EQ(track.objects[1]->zFraction, 88);
    EXPECT_EQ(track.objects[5]->z, 90);
    EXPECT_EQ(track.objects[5]->aboveGround, -30);
}

TEST(Arena, OriginFromLowestBackdropVertex) {
    CTrackPOD track;
    EXPECT_EQ(track.ArenaFloorHeight(), 0);
    track.backdrop = std::make_unique<Model>();
    track.backdrop->setVertices({{4096 * 3, 4096 * 2, 50}, {4096 * 100 + 5, 4096 * 7, -20}, {0, 0, -20}});
    track.RecomputeArenaOrigin(); // no stadium: nothing changes
    EXPECT_EQ(track.arenaOriginX, 0);
    track.stadiumFlag = 1;
    track.RecomputeArenaOrigin();
    EXPECT_EQ(track.arenaOriginX, 100);
    EXPECT_EQ(track.arenaOriginY, 7);
    // Floor at (origin + arena centre) modulo 256.
    setHeight(track, (100 + 127) & 255, (7 + 127) & 255, 42);
    EXPECT_EQ(track.ArenaFloorHeight(), 42);
    track.arenaX = 200;
    setHeight(track, (100 + 200) & 255, (7 + 127) & 255, 17);
    EXPECT_EQ(track.ArenaFloorHeight(), 17);

    track.backdrop->setVertices({});
    track.RecomputeArenaOrigin();
    EXPECT_EQ(track.arenaOriginX, 0);
    EXPECT_EQ(track.arenaOriginY, 0);
}

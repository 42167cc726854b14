#include "edit/GroundBoxEditing.h"

#include "model/TrackPod.h"
#include "render/Mesh.h"
#include "render/TrackMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace ravok;

namespace {

size_t cell(int x, int y) {
    return size_t(y * 256 + x);
}

// The faces a box's mesh draws (its triangles are tagged face * 2 + 0 or 1).
std::set<int> drawnFaces(const CTrackPOD& track, int slot) {
    Mesh mesh;
    MeshTextureList list;
    BuildGroundBoxMesh(mesh, *track.groundBoxes[size_t(slot)], track, list);
    std::set<int> faces;
    for (const auto& t : mesh.triangles())
        faces.insert(t.tag / 2);
    return faces;
}

bool contains(const std::vector<int>& slots, int slot) {
    return std::find(slots.begin(), slots.end(), slot) != slots.end();
}

} // namespace

TEST(GroundBoxBar, BottomStaysBelowTop) {
    EXPECT_EQ(CorrectGroundBoxBar({150, 200}).bottom, 149);
    EXPECT_EQ(CorrectGroundBoxBar({150, 150}).bottom, 149);
    EXPECT_EQ(CorrectGroundBoxBar({150, -4}).bottom, 0);
    const GroundBoxBar low = CorrectGroundBoxBar({0, 0});
    EXPECT_EQ(low.top, 1);
    EXPECT_EQ(low.bottom, 0);
    EXPECT_EQ(CorrectGroundBoxBar({300, 10}).top, 255);
    EXPECT_EQ(GroundBoxBar{}.top, 128);
    EXPECT_EQ(GroundBoxBar{}.bottom, 64);

    // The S and X keys on the chosen value.
    EXPECT_EQ(StepGroundBoxBar({255, 64}, true, 1).top, 255);
    EXPECT_EQ(StepGroundBoxBar({100, 99}, false, 1).bottom, 99);
    EXPECT_EQ(StepGroundBoxBar({100, 0}, false, -1).bottom, 0);
    const GroundBoxBar lowered = StepGroundBoxBar({65, 64}, true, -1);
    EXPECT_EQ(lowered.top, 64);
    EXPECT_EQ(lowered.bottom, 63);
}

TEST(GroundBoxInsert, FreeCellsOnlyWithTheBarAndTheTexture) {
    CTrackPOD track;
    GroundBoxSelection selection;
    GroundBoxChange change = InsertGroundBox(track, selection, 10, 20, {150, 200}, 37);
    ASSERT_TRUE(change.changed);
    ASSERT_EQ(selection.box, 0);
    EXPECT_EQ(selection.faceValue, 11);
    EXPECT_EQ(change.rebuild, (std::vector<int>{0}));
    const GroundBox& box = *track.groundBoxes[0];
    EXPECT_EQ(box.bottom, 149);
    EXPECT_EQ(box.top, 150);
    EXPECT_EQ(box.midHeight, 149);
    EXPECT_EQ(box.centreX, 21 * 32);
    EXPECT_EQ(box.sizeX, 1);
    for (uint16_t face : box.faces)
        EXPECT_EQ(face, 37);
    EXPECT_EQ(track.groundBoxMaps.top[cell(10, 20)], 150);
    EXPECT_EQ(track.groundBoxMaps.bottom[cell(10, 20)], 149);

    // An occupied cell: nothing.
    GroundBoxSelection other;
    EXPECT_FALSE(InsertGroundBox(track, other, 10, 20, {}, std::nullopt).changed);
    EXPECT_EQ(other.box, -1);
    EXPECT_EQ(track.counts().groundBoxes, 1);
    EXPECT_FALSE(InsertGroundBox(track, other, 256, 3, {}, std::nullopt).changed);

    // Without a texture the faces are 0; a neighbour is rebuilt with the new box.
    GroundBoxChange beside = InsertGroundBox(track, other, 11, 20, {}, std::nullopt);
    ASSERT_TRUE(beside.changed);
    EXPECT_EQ(track.groundBoxes[1]->faces[4], 0);
    EXPECT_TRUE(contains(beside.rebuild, 0));
}

TEST(GroundBoxInsert, TheTwoThousandFortyNinthDoesNothing) {
    CTrackPOD track;
    GroundBoxSelection selection;
    for (int i = 0; i < kMaxGroundBoxes; ++i)
        ASSERT_TRUE(InsertGroundBox(track, selection, i % 256, i / 256, {}, 1).changed) << i;
    EXPECT_FALSE(CanInsertGroundBox(track, 0, 100));
    EXPECT_FALSE(InsertGroundBox(track, selection, 0, 100, {}, 1).changed);
    EXPECT_EQ(track.groundBoxMaps.top[cell(0, 100)], 0);
    EXPECT_EQ(track.droppedGroundBoxes, 0) << "refused, not dropped";
}

TEST(GroundBoxDelete, NeighboursAreRebuiltAndShowTheirSidesAgain) {
    CTrackPOD track;
    GroundBoxSelection selection;
    const GroundBoxBar bar{120, 100};
    InsertGroundBox(track, selection, 50, 50, bar, 2); // slot 0, the one deleted
    InsertGroundBox(track, selection, 51, 50, bar, 2); // east of it
    InsertGroundBox(track, selection, 50, 49, bar, 2); // south
    InsertGroundBox(track, selection, 49, 50, bar, 2); // west
    InsertGroundBox(track, selection, 50, 51, bar, 2); // north
    InsertGroundBox(track, selection, 52, 52, bar, 2); // not a neighbour
    EXPECT_EQ(drawnFaces(track, 1).count(3), 0u) << "the east box's west side is hidden";

    selection = {0, 4};
    GroundBoxChange change = DeleteGroundBox(track, selection);
    ASSERT_TRUE(change.changed);
    EXPECT_EQ(track.groundBoxes[0], nullptr);
    EXPECT_EQ(track.groundBoxMaps.top[cell(50, 50)], 0);
    EXPECT_EQ(track.groundBoxMaps.bottom[cell(50, 50)], 0);
    std::vector<int> rebuilt = change.rebuild;
    std::sort(rebuilt.begin(), rebuilt.end());
    EXPECT_EQ(rebuilt, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(drawnFaces(track, 1).count(3), 1u) << "shown again";
    EXPECT_EQ(drawnFaces(track, 2).count(2), 1u);
    EXPECT_EQ(selection.box, -1) << "slot 0 has no slot before it";

    GroundBoxSelection third{3, 0};
    DeleteGroundBox(track, third);
    EXPECT_EQ(third.box, 2) << "the slot before";
}

TEST(GroundBoxEdit, TopAndBottomFromTheBar) {
    CTrackPOD track;
    GroundBoxSelection selection;
    InsertGroundBox(track, selection, 5, 5, {120, 100}, 1);
    InsertGroundBox(track, selection, 6, 5, {120, 100}, 1);
    selection = {0, 11};
    EXPECT_FALSE(SetGroundBoxHeights(track, selection, {120, 100}).changed) << "nothing differs";
    GroundBoxChange change = SetGroundBoxHeights(track, selection, {200, 10});
    ASSERT_TRUE(change.changed);
    const GroundBox& box = *track.groundBoxes[0];
    EXPECT_EQ(box.top, 200);
    EXPECT_EQ(box.bottom, 10);
    EXPECT_EQ(box.midHeight, 105);
    EXPECT_EQ(track.groundBoxMaps.top[cell(5, 5)], 200);
    EXPECT_TRUE(contains(change.rebuild, 0));
    EXPECT_TRUE(contains(change.rebuild, 1));
}

TEST(GroundBoxPaint, ModesChangeOnlyTheTextureBits) {
    CTrackPOD track;
    GroundBoxSelection selection;
    InsertGroundBox(track, selection, 5, 5, {}, 3);
    GroundBox& box = *track.groundBoxes[0];
    // Each face turned and mirrored differently.
    for (size_t f = 0; f < 6; ++f)
        box.faces[f] = uint16_t(3 | (f % 4) << 14 | (f % 2) << 12);
    selection.faceValue = 2; // face 1

    ASSERT_TRUE(PaintGroundBox(track, selection, GroundBoxPaint::Sides, 700).changed);
    for (size_t f = 0; f < 4; ++f) {
        EXPECT_EQ(box.faces[f] & 0x0FFF, 700);
        EXPECT_EQ(box.faces[f] >> 14, int(f % 4)) << "rotation kept";
        EXPECT_EQ((box.faces[f] >> 12) & 1, int(f % 2)) << "mirror kept";
    }
    EXPECT_EQ(box.faces[4] & 0x0FFF, 3);
    PaintGroundBox(track, selection, GroundBoxPaint::TopBottom, 9);
    EXPECT_EQ(box.faces[4] & 0x0FFF, 9);
    EXPECT_EQ(box.faces[5], uint16_t(9 | 1 << 14 | 1 << 12));
    PaintGroundBox(track, selection, GroundBoxPaint::Face, 11);
    EXPECT_EQ(box.faces[1] & 0x0FFF, 11);
    EXPECT_EQ(box.faces[0] & 0x0FFF, 700);
    PaintGroundBox(track, selection, GroundBoxPaint::AllFaces, 5000);
    for (uint16_t face : box.faces)
        EXPECT_EQ(face & 0x0FFF, 5000 & 0x0FFF);
    EXPECT_FALSE(PaintGroundBox(track, selection, GroundBoxPaint::Off, 1).changed);
}

TEST(GroundBoxPaint, RotateAndMirrorTheSelectedFace) {
    CTrackPOD track;
    GroundBoxSelection selection;
    InsertGroundBox(track, selection, 5, 5, {}, 3);
    selection.faceValue = 9; // the top
    GroundBox& box = *track.groundBoxes[0];
    for (int i = 0; i < 3; ++i)
        RotateGroundBoxFace(track, selection);
    EXPECT_EQ(box.faces[4] >> 14, 3);
    RotateGroundBoxFace(track, selection);
    EXPECT_EQ(box.faces[4], 3) << "four turns restore it";
    MirrorGroundBoxFace(track, selection);
    EXPECT_EQ(box.faces[4], 3 | 0x1000);
    MirrorGroundBoxFace(track, selection);
    EXPECT_EQ(box.faces[4], 3);
    EXPECT_EQ(box.faces[0], 3);
    selection.faceValue = -1;
    EXPECT_FALSE(RotateGroundBoxFace(track, selection).changed) << "needs a face";
}

TEST(GroundBoxClipboard, CutCopyAndPaste) {
    CTrackPOD track;
    GroundBoxSelection selection;
    InsertGroundBox(track, selection, 5, 5, {90, 30}, 4);
    track.groundBoxes[0]->faces[2] = 0x4005;
    auto copied = CopyGroundBox(track, selection);
    ASSERT_TRUE(copied);
    GroundBoxSelection pasted;
    EXPECT_FALSE(PasteGroundBox(track, pasted, 5, 5, *copied).changed) << "occupied";
    ASSERT_TRUE(PasteGroundBox(track, pasted, 8, 9, *copied).changed);
    const GroundBox& p = *track.groundBoxes[size_t(pasted.box)];
    EXPECT_EQ(p.x, 8);
    EXPECT_EQ(p.top, 90);
    EXPECT_EQ(p.bottom, 30);
    EXPECT_EQ(p.faces[2], 0x4005);
    EXPECT_EQ(pasted.faceValue, 11);

    std::optional<GroundBoxClipboard> clipboard;
    ASSERT_TRUE(CutGroundBox(track, selection, clipboard).changed);
    ASSERT_TRUE(clipboard);
    EXPECT_EQ(clipboard->faces[2], 0x4005);
    EXPECT_EQ(track.groundBoxMaps.top[cell(5, 5)], 0);
    GroundBoxSelection none{1, -1};
    EXPECT_FALSE(CopyGroundBox(track, none)) << "Copy Box needs a face";
}

TEST(GroundBoxPick, NearestTriangleUnderTheMouse) {
    const std::array<std::array<int, 2>, 3> tri{{{0, 0}, {10, 0}, {0, 10}}};
    EXPECT_TRUE(PointInScreenTriangle(tri, 2, 2));
    EXPECT_TRUE(PointInScreenTriangle(tri, 5, 5)) << "on the edge";
    EXPECT_FALSE(PointInScreenTriangle(tri, 6, 6));
    EXPECT_FALSE(PointInScreenTriangle(tri, -1, 3));
    const std::array<std::array<int, 2>, 3> reversed{{{0, 0}, {0, 10}, {10, 0}}};
    EXPECT_TRUE(PointInScreenTriangle(reversed, 2, 2)) << "either winding";

    std::vector<GroundBoxScreenTriangle> triangles{
        {3, 8, tri, 500}, {7, 1, tri, 200}, {9, 4, {{{50, 50}, {60, 50}, {50, 60}}}, 10}};
    GroundBoxSelection picked = PickGroundBoxFace(triangles, 2, 2);
    EXPECT_EQ(picked.box, 7);
    EXPECT_EQ(picked.faceValue, 1);
    EXPECT_EQ(PickGroundBoxFace(triangles, 30, 30).box, -1);
}

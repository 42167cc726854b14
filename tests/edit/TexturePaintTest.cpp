#include "edit/TexturePaint.h"
#include "edit/TextureSelection.h"
#include "edit/TextureTransitions.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;

namespace {

uint16_t& cell(CTrackPOD& t, int x, int y) { return t.terrain.textures[size_t(y * 256 + x)]; }

uint16_t word(int slot, int rotation, bool mirrored = false) {
    return uint16_t(slot | (mirrored ? kTextureMirrorBit : 0) | rotation << kTextureRotationShift);
}

int rotationOf(uint16_t w) { return w >> kTextureRotationShift; }

// Cells 10..12 x 20..21 numbered 1..6 row by row.
void numberBlock(CTrackPOD& t) {
    int n = 1;
    for (int y = 20; y <= 21; ++y)
        for (int x = 10; x <= 12; ++x) cell(t, x, y) = uint16_t(n++);
}

} // namespace

TEST(TextureSelection, ClicksSpanAxisByAxisAndPaintModeShifts) {
    TextureSelection s = ClickTextureSquare(10, 20);
    EXPECT_EQ(s, (TextureSelection{10, 20, 10, 20}));
    s = ShiftClickTextureSquare(s, 14, 22);
    EXPECT_EQ(s, (TextureSelection{10, 20, 14, 22}));
    // Left of and above the first corner: the click becomes x0/y0 and the old x0/y0 the far side.
    s = ShiftClickTextureSquare(s, 7, 18);
    EXPECT_EQ(s, (TextureSelection{7, 18, 10, 20}));
    EXPECT_EQ(ShiftClickTextureSquare({}, 3, 4), ClickTextureSquare(3, 4));

    EXPECT_EQ(PaintModeRectangle(1, 1, 5, 5), (TextureSelection{0, 0, 4, 4}));
    EXPECT_EQ(PaintModeRectangle(254, 100, 4, 3), (TextureSelection{252, 99, 255, 101}));
    EXPECT_EQ(PaintModeRectangle(50, 50, 40, 0).width(), 16);
    EXPECT_EQ(PaintModeRectangle(50, 50, 40, 0).height(), 1);
}

TEST(TexturePaint, RotateAndMirrorRestoreAfterFullCycles) {
    auto t = std::make_unique<CTrackPOD>();
    TextureUndo undo;
    cell(*t, 5, 5) = word(7, 1, true) | 0x2000;
    const uint16_t before = cell(*t, 5, 5);
    const auto one = TextureSelection::square(5, 5);
    RotateTextures(*t, one, undo);
    EXPECT_EQ(rotationOf(cell(*t, 5, 5)) & 3, 2);
    for (int i = 0; i < 3; ++i) RotateTextures(*t, one, undo);
    EXPECT_EQ(cell(*t, 5, 5), before);
    MirrorTextures(*t, one, undo);
    EXPECT_EQ(cell(*t, 5, 5), before ^ kTextureMirrorBit);
    MirrorTextures(*t, one, undo);
    EXPECT_EQ(cell(*t, 5, 5), before);

    numberBlock(*t);
    cell(*t, 11, 20) |= kTextureMirrorBit;
    const std::vector<uint16_t> original = t->terrain.textures;
    const TextureSelection block{10, 20, 12, 21};
    MirrorTextureArea(*t, block, undo);
    EXPECT_EQ(cell(*t, 10, 20) & kTextureSlotMask, 4); // rows exchanged
    EXPECT_TRUE(cell(*t, 10, 20) & kTextureMirrorBit);
    MirrorTextureArea(*t, block, undo);
    EXPECT_EQ(t->terrain.textures, original);
}

TEST(TexturePaint, RotateAreaExchangesSidesAndTurnsMirroredCellsBack) {
    auto t = std::make_unique<CTrackPOD>();
    TextureUndo undo;
    numberBlock(*t);                   // 1 2 3 / 4 5 6, three wide and two high
    cell(*t, 12, 20) |= kTextureMirrorBit; // 3 is mirrored
    cell(*t, 10, 22) = 99;             // below the block, inside the written 2 x 3 one
    const TextureChange written = RotateTextureArea(*t, {10, 20, 12, 21}, undo);
    EXPECT_EQ(written, (TextureSelection{10, 20, 11, 22}));
    // Row r, column c takes the old row c, column w - 1 - r: 3 6 / 2 5 / 1 4.
    const int expected[3][2] = {{3, 6}, {2, 5}, {1, 4}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) EXPECT_EQ(cell(*t, 10 + c, 20 + r) & kTextureSlotMask, expected[r][c]);
    EXPECT_EQ(rotationOf(cell(*t, 11, 20)), 1); // 6 was plain: + 1
    EXPECT_EQ(rotationOf(cell(*t, 10, 20)), 3); // 3 was mirrored: - 1
    EXPECT_EQ(cell(*t, 12, 21) & kTextureSlotMask, 6); // outside the new shape: untouched
    // One undo restores both shapes.
    ASSERT_TRUE(UndoTextureEdit(*t, undo));
    EXPECT_EQ(cell(*t, 10, 22), 99);
    EXPECT_EQ(cell(*t, 12, 20), 3 | kTextureMirrorBit);
    EXPECT_FALSE(UndoTextureEdit(*t, undo)); // one level only

    // At the map's edge the cells past 255 are skipped.
    cell(*t, 254, 255) = 8;
    cell(*t, 255, 255) = 9;
    RotateTextureArea(*t, {254, 255, 255, 255}, undo);
    EXPECT_EQ(cell(*t, 254, 255) & kTextureSlotMask, 9);
}

TEST(TexturePaint, FillPasteReplaceAndUndo) {
    auto t = std::make_unique<CTrackPOD>();
    TextureUndo undo;
    FillTextures(*t, {0, 0, 1, 1}, 5, undo);
    EXPECT_EQ(cell(*t, 1, 1), 5);
    cell(*t, 0, 0) = word(5, 2, true);
    EXPECT_TRUE(FillTextures(*t, {0, 0, 0, 0}, -1, undo).empty()); // no texture selected: nothing

    // Paste reads the source at paste time; cells off the map read as 0.
    numberBlock(*t);
    const TextureSelection source = CopyTextureArea({10, 20, 12, 21});
    cell(*t, 10, 20) = 42;
    PasteTextureArea(*t, {100, 100, 102, 101}, source, undo);
    EXPECT_EQ(cell(*t, 100, 100), 42);
    EXPECT_EQ(cell(*t, 102, 101), 6);
    cell(*t, 255, 255) = 3;
    PasteTextureArea(*t, {0, 50, 1, 51}, {255, 255, 255, 255}, undo);
    EXPECT_EQ(cell(*t, 0, 50), 3);
    EXPECT_EQ(cell(*t, 1, 50), 0);

    // Replace needs one square and changes the whole map, flags cleared.
    EXPECT_EQ(ReplaceTexture(*t, {0, 0, 1, 0}, 7, undo).message, kSingleSquareMessage);
    const std::vector<uint16_t> before = t->terrain.textures;
    ASSERT_TRUE(ReplaceTexture(*t, {0, 0, 0, 0}, 7, undo).ok);
    EXPECT_EQ(cell(*t, 0, 0), 7);
    EXPECT_EQ(cell(*t, 1, 1), 7);
    EXPECT_EQ(TextureAtSquare(*t, 1, 1), 7);
    ASSERT_TRUE(UndoTextureEdit(*t, undo));
    EXPECT_EQ(t->terrain.textures, before);

    t->podViewMode = true;
    EXPECT_TRUE(FillTextures(*t, {0, 0, 0, 0}, 1, undo).empty());
    const Outcome transitions = ApplyTextureTransitions(*t, TransitionSettings{}, TextureSelection::whole(), undo);
    EXPECT_FALSE(transitions.ok);
    EXPECT_TRUE(transitions.message.empty()); // silent while a pod is viewed
}

TEST(TextureTransitions, SingleHillGetsCornersSlopesAndTop) {
    auto t = std::make_unique<CTrackPOD>();
    std::fill(t->terrain.heights.begin(), t->terrain.heights.end(), uint8_t(50));
    std::fill(t->terrain.textures.begin(), t->terrain.textures.end(), uint16_t(77));
    for (int y = 100; y <= 110; ++y)
        for (int x = 100; x <= 110; ++x) t->terrain.heights[size_t(y * 256 + x)] = y == 105 && x == 105 ? 250 : 200;
    TransitionSettings s;
    TextureUndo undo;
    EXPECT_EQ(ApplyTextureTransitions(*t, s, TextureSelection::whole(), undo).message, kTexturesNotSpecifiedMessage);
    int n = 10;
    for (auto& row : s.picture)
        for (int& v : row) v = n++; // picture (row, column) holds 10 + 3 * row + column
    s.outer = 1;
    s.fillUpValue = 220; // the top at 200 is painted, the cells touching the peak at 250 are not
    ASSERT_TRUE(ApplyTextureTransitions(*t, s, TextureSelection::whole(), undo).ok);
    EXPECT_EQ(cell(*t, 50, 50), 1);      // all outside, above fill-down 0: outer
    EXPECT_EQ(cell(*t, 99, 99), 16);     // code 8: only (x+1, y+1) inside -> (2, 0)
    EXPECT_EQ(cell(*t, 110, 110), 12);   // code 1 -> (0, 2)
    EXPECT_EQ(cell(*t, 105, 99), 17);    // code 12 -> (2, 1)
    EXPECT_EQ(cell(*t, 99, 105), 13);    // code 10 -> (1, 0)
    EXPECT_EQ(cell(*t, 102, 102), 14);   // flat top: the centre
    EXPECT_EQ(cell(*t, 104, 104), 77);   // touches 250, above fill-up: left alone
    EXPECT_EQ(TransitionCornerCode(*t, s, 110, 104), 5);

    // Without Fill up to the top stays; a selection limits the area.
    s.fillUpTo = false;
    std::fill(t->terrain.textures.begin(), t->terrain.textures.end(), uint16_t(77));
    const TextureSelection area = TransitionArea({0, 0, 102, 102}, false);
    ASSERT_TRUE(ApplyTextureTransitions(*t, s, area, undo).ok);
    EXPECT_EQ(cell(*t, 101, 101), 77);
    EXPECT_EQ(cell(*t, 50, 50), 1);
    EXPECT_EQ(cell(*t, 150, 150), 77);
    EXPECT_EQ(TransitionArea({0, 0, 102, 102}, true), TextureSelection::whole());
    EXPECT_EQ(TransitionArea({5, 5, 5, 5}, false), TextureSelection::whole());

    // Inverted, the low ground is inside: the plain at 50 becomes the centre.
    s.invert = true;
    ASSERT_TRUE(ApplyTextureTransitions(*t, s, TextureSelection::whole(), undo).ok);
    EXPECT_EQ(cell(*t, 50, 50), 14);
    EXPECT_EQ(cell(*t, 102, 102), 77); // outside when inverted, fill-up off
}

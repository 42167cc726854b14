#include "edit/TextureAnimating.h"
#include "edit/TextureProperties.h"
#include "edit/TextureRemoval.h"
#include "edit/TextureTransitions.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;

namespace {

std::unique_ptr<CTrackPOD> trackWithTextures(int count) {
    auto t = std::make_unique<CTrackPOD>();
    for (int i = 0; i < count; ++i) {
        auto tex = std::make_unique<Texture>();
        tex->setName("ART\\T" + std::to_string(i) + ".RAW");
        t->AddTerrainTexture(std::move(tex));
    }
    return t;
}

GroundBox& addBox(CTrackPOD& t, std::array<uint16_t, 6> faces) {
    auto box = std::make_unique<GroundBox>();
    box->faces = faces;
    return *t.groundBoxes[size_t(t.AddGroundBox(std::move(box)))];
}

} // namespace

TEST(TextureRemoval, PurgeRenumbersCellsFacesAndFramesKeepingBits) {
    auto t = trackWithTextures(10);
    t->terrain.textures[0] = uint16_t(9 | 0x1000 | 0xC000);
    t->terrain.textures[1] = 6;
    for (size_t i = 2; i < t->terrain.textures.size(); ++i) t->terrain.textures[i] = 0;
    GroundBox& box = addBox(*t, {8, 8, 8, 8, uint16_t(7 | 0x2000), 0});
    ASSERT_TRUE(t->animations.start(3).ok);
    ASSERT_TRUE(t->animations.appendFrame(0, 9, "ART\\T9.RAW").ok);
    // Used: 0, 3, 6, 7, 8, 9. Unused: 1, 2, 4, 5.
    EXPECT_EQ(UnusedTextures(*t), (std::vector<int>{1, 2, 4, 5}));

    test::ScriptedPrompter no;
    no.answers = {false};
    EXPECT_EQ(PurgeUnusedTextures(*t, no), 0);
    EXPECT_EQ(no.shown.back(), "Purge Textures: There are 4 unused textures.\nGo ahead and remove them?");

    test::ScriptedPrompter yes;
    EXPECT_EQ(PurgeUnusedTextures(*t, yes), 4);
    EXPECT_EQ(t->terrain.textures[0], uint16_t(5 | 0x1000 | 0xC000)); // 9 -> 5, bits kept
    EXPECT_EQ(t->terrain.textures[1], 2); // 6 -> 2
    EXPECT_EQ(box.faces[0], 4);
    EXPECT_EQ(box.faces[4], uint16_t(3 | 0x2000));
    EXPECT_EQ(t->animations.animations()[0].frames[0], 1u);
    EXPECT_EQ(t->animations.animations()[0].frames[1], 5u);
    EXPECT_EQ(t->terrainTextures[5]->name().view(), "ART\\T9.RAW");
    EXPECT_FALSE(t->terrainTextures[6]);
    EXPECT_EQ(PurgeUnusedTextures(*t, yes), 0);
    EXPECT_EQ(yes.shown.back(), "Purge Textures: There are no unused textures.");
}

TEST(TextureRemoval, RemovingFiveTurnsNineIntoEight) {
    auto t = trackWithTextures(10);
    t->terrain.textures[7] = uint16_t(9 | 0x5000);
    RemoveTextureSlot(*t, 5);
    EXPECT_EQ(t->terrain.textures[7], uint16_t(8 | 0x5000));
    EXPECT_EQ(t->terrainTextures[8]->name().view(), "ART\\T9.RAW");
}

TEST(TextureRemoval, DeletingATextureInUseAsksAndMovesItsUsesToTextureZero) {
    auto t = trackWithTextures(6);
    t->terrain.textures[0] = uint16_t(4 | 0x4000);
    t->terrain.textures[1] = 5;
    GroundBox& box = addBox(*t, {4, 4, 5, 0, 0, 0});
    ASSERT_TRUE(t->animations.start(4).ok); // an animation of texture 4 alone goes with it
    ASSERT_TRUE(t->animations.start(2).ok);
    ASSERT_TRUE(t->animations.appendFrame(1, 4, "ART\\T4.RAW").ok);
    ASSERT_TRUE(t->animations.appendFrame(1, 5, "ART\\T5.RAW").ok);
    const TextureUses uses = CountTextureUses(*t, 4);
    EXPECT_EQ(uses.cells, 1);
    EXPECT_EQ(uses.faces, 2);
    EXPECT_EQ(uses.frames, 2);

    test::ScriptedPrompter no;
    no.answers = {false};
    EXPECT_FALSE(DeleteTexture(*t, 4, no));
    ASSERT_EQ(no.shown.size(), 1u);
    EXPECT_NE(no.shown[0].find("used by 1 terrain cells, 2 ground box faces and 2 animation frames"), std::string::npos);
    EXPECT_TRUE(t->terrainTextures[4]);

    test::ScriptedPrompter yes;
    yes.answers = {true};
    ASSERT_TRUE(DeleteTexture(*t, 4, yes));
    EXPECT_EQ(t->terrain.textures[0], uint16_t(0x4000)); // texture 0, bits kept
    EXPECT_EQ(t->terrain.textures[1], 4);                // the old 5 moved down
    EXPECT_EQ(box.faces[0], 0);
    EXPECT_EQ(box.faces[2], 4);
    ASSERT_EQ(t->animations.count(), 1);
    const TextureAnimation& a = t->animations.animations()[0];
    EXPECT_EQ(a.frameCount, 2u);
    EXPECT_EQ(a.frames[0], 2u);
    EXPECT_EQ(a.frames[1], 4u);

    // An unused texture goes without a question.
    test::ScriptedPrompter silent;
    EXPECT_TRUE(DeleteTexture(*t, 3, silent));
    EXPECT_TRUE(silent.shown.empty());

    TransitionSettings s;
    s.outer = 3;
    s.picture[1][1] = 5;
    RenumberTransitionSlots(s, 3);
    EXPECT_EQ(s.outer, -1);
    EXPECT_EQ(s.picture[1][1], 4);
}

TEST(TextureAnimating, CtrlClickingNineTexturesKeepsEightFrames) {
    auto t = trackWithTextures(10);
    for (int clicked = 1; clicked <= 7; ++clicked) EXPECT_TRUE(AnimateTextureClick(*t, 0, clicked).ok) << clicked;
    const Outcome ninth = AnimateTextureClick(*t, 0, 8);
    EXPECT_EQ(ninth.message, "Max. 8 frames per animation.");
    ASSERT_EQ(t->animations.count(), 1);
    EXPECT_EQ(t->animations.animations()[0].frameCount, 8u);
    EXPECT_EQ(t->animations.animations()[0].frames[7], 7u);

    t->terrainTextures[9]->setName("ART\\SIXTEENCHARSXX.RAW");
    const Outcome longName = AnimateTextureClick(*t, 1, 9);
    EXPECT_EQ(longName.caption, "Frame name too long");
    EXPECT_EQ(t->animations.startedBy(1), -1); // no animation of texture 1 alone is left
    EXPECT_EQ(t->animations.count(), 1);
    // The texture that would start the animation is its first frame, under the same rule.
    const Outcome longFirst = AnimateTextureClick(*t, 9, 1);
    EXPECT_EQ(longFirst.caption, "Frame name too long");
    EXPECT_EQ(longFirst.message.rfind("\"SIXTEENCHARSXX.RAW\" is 18 characters.", 0), 0u);
    EXPECT_EQ(t->animations.startedBy(9), -1);
    EXPECT_FALSE(AnimateTextureClick(*t, 0, 9).ok); // an existing animation stays with its frames
    ASSERT_EQ(t->animations.startedBy(0), 0);
    EXPECT_EQ(t->animations.animations()[0].frameCount, 8u);
    EXPECT_TRUE(UnanimateTexture(*t, 0));
    EXPECT_EQ(t->animations.startedBy(0), -1);
}

TEST(TextureAnimating, PeriodIsKeptWithin50To1000) {
    auto t = trackWithTextures(3);
    EXPECT_FALSE(SetAnimationPeriod(*t, 0, 500)); // texture 0 starts no animation
    ASSERT_TRUE(AnimateTextureClick(*t, 0, 1).ok);
    EXPECT_FALSE(SetAnimationPeriod(*t, 0, 250)); // the default already
    EXPECT_TRUE(SetAnimationPeriod(*t, 0, 20));
    EXPECT_EQ(t->animations.animations()[0].period, 50u);
    EXPECT_TRUE(SetAnimationPeriod(*t, 0, 5000));
    EXPECT_EQ(t->animations.animations()[0].period, 1000u);
    EXPECT_FALSE(SetAnimationPeriod(*t, 1, 300)); // a frame, not the first
}

TEST(TextureProperties, TypeAndGripReachEveryTextureOfTheSelectionWithinTheirRanges) {
    auto t = trackWithTextures(4);
    EXPECT_TRUE(SetSurfaceType(*t, {1, 3, 700, -1}, 7)); // unknown and empty slots are skipped
    EXPECT_EQ(t->terrainTextures[1]->surfaceType(), 7);
    EXPECT_EQ(t->terrainTextures[3]->surfaceType(), 7);
    EXPECT_EQ(t->terrainTextures[2]->surfaceType(), 0);
    EXPECT_FALSE(SetSurfaceType(*t, {1, 3}, 13)); // outside 0..12: kept
    EXPECT_EQ(t->terrainTextures[1]->surfaceType(), 7);
    EXPECT_FALSE(SetSurfaceType(*t, {1}, 7)); // nothing changed

    EXPECT_TRUE(SetGripDepth(*t, {0, 2}, 99));
    EXPECT_EQ(t->terrainTextures[2]->gripDepth(), 99);
    EXPECT_EQ(t->terrainTextures[1]->gripDepth(), 1);
    EXPECT_FALSE(SetGripDepth(*t, {0}, 100));
    EXPECT_EQ(t->terrainTextures[0]->gripDepth(), 99);
}

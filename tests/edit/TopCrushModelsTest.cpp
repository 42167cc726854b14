#include "edit/TopCrushModels.h"

#include "art/Model.h"
#include "edit/ObjectModels.h"
#include "model/TrackPod.h"

#include "TestModels.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
namespace fs = std::filesystem;

TEST(TopCrushModels, CabMustBeKeyframedAndEachFailureHasItsMessage) {
    test::TempDir root;
    const fs::path models = root / "models", art = root / "art";
    fs::create_directories(models);
    fs::create_directories(art);
    test::writeBytes(models / "plain.bin", test::binModel({}));
    test::writeBytes(models / "junk.bin", {9, 9, 9, 9});
    test::writeBytes(models / "crusher.bin", test::modelList({"CRUSH1.BIN", "CRUSH2.BIN"}));
    CTrackPOD track;
    auto caption = [](const TopCrushModelLoad& l) {
        return l.notices.empty() ? std::string() : l.notices[0].caption;
    };
    auto text = [](const TopCrushModelLoad& l) {
        return l.notices.empty() ? std::string() : l.notices[0].text;
    };

    const TopCrushModelLoad plain =
        LoadTopCrushModel(track, TopCrushPart::Cab, models / "plain.bin", models, art);
    EXPECT_EQ(plain.slot, -1);
    EXPECT_EQ(caption(plain), "Not a valid cab model");
    EXPECT_NE(text(plain).find("keyframed"), std::string::npos);
    EXPECT_EQ(track.counts().models, 0) << "a refused cab never reaches the table";

    const TopCrushModelLoad missing =
        LoadTopCrushModel(track, TopCrushPart::Base, models / "none.bin", models, art);
    EXPECT_EQ(text(missing), "Error opening BIN file");
    EXPECT_EQ(caption(missing), "Bad base model");
    const TopCrushModelLoad junk =
        LoadTopCrushModel(track, TopCrushPart::Cab, models / "junk.bin", models, art);
    EXPECT_EQ(text(junk), "Error loading BIN file");
    EXPECT_EQ(caption(junk), "Bad model");

    // A keyframed cab is loaded once; choosing it again uses the same slot.
    const TopCrushModelLoad cab =
        LoadTopCrushModel(track, TopCrushPart::Cab, models / "crusher.bin", models, art);
    ASSERT_GE(cab.slot, 0);
    const TopCrushModelLoad again =
        LoadTopCrushModel(track, TopCrushPart::Cab, models / "crusher.bin", models, art);
    EXPECT_EQ(again.slot, cab.slot);
    EXPECT_TRUE(again.notices.empty());
    EXPECT_EQ(track.counts().models, 1);
}

TEST(TopCrushModels, ObjectTakesCabAndBaseStandingOnTheGround) {
    test::TempDir root;
    const fs::path models = root / "models";
    fs::create_directories(models);
    test::writeBytes(models / "crusher.bin", test::modelList({"CRUSH1.BIN"}));
    test::writeBytes(models / "base.bin", test::binModel({}, -300));
    CTrackPOD track;
    auto o = std::make_unique<TrackObject>();
    o->x = o->y = 640;
    o->type = kObjectTopCrush;
    o->aboveGround = 20;
    const int slot = track.AddObject(std::move(o));
    const int cab = LoadTopCrushModel(track, TopCrushPart::Cab, models / "crusher.bin", models, {}).slot;
    const int base = LoadTopCrushModel(track, TopCrushPart::Base, models / "base.bin", models, {}).slot;
    ASSERT_GE(cab, 0);
    ASSERT_GE(base, 0);
    EXPECT_FALSE(SetTopCrushModels(track, slot, cab, -1)) << "both are required";
    ASSERT_TRUE(SetTopCrushModels(track, slot, cab, base));
    const TrackObject& t = *track.objects[size_t(slot)];
    EXPECT_EQ(t.cabModelName, "CRUSHER.BIN");
    EXPECT_EQ(t.modelName, "BASE.BIN");
    EXPECT_EQ(t.cabModel, track.models[size_t(cab)].get());
    EXPECT_EQ(t.model, track.models[size_t(base)].get());
    EXPECT_EQ(t.aboveGround * 256 + t.zFraction, 331);
    EXPECT_EQ(UnusedModels(track), std::vector<int>{}) << "both count as used";
}

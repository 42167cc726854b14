#include "edit/ObjectModels.h"

#include "art/Model.h"
#include "base/ByteWriter.h"
#include "base/Interfaces.h"
#include "model/TrackPod.h"

#include "TestModels.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
namespace fs = std::filesystem;
using ravok::test::binModel;
using ravok::test::modelList;

namespace {


int addModel(CTrackPOD& track, const std::string& name, const std::vector<uint8_t>& bytes) {
    auto model = std::make_unique<Model>();
    EXPECT_TRUE(model->read(name, bytes));
    const int slot = lowestEmptySlot(track.models);
    track.models[size_t(slot)] = std::move(model);
    return slot;
}

int addObject(CTrackPOD& track, int32_t type = kObjectDefault) {
    auto o = std::make_unique<TrackObject>();
    o->x = o->y = 640;
    o->type = type;
    return track.AddObject(std::move(o));
}

} // namespace

TEST(AssignModel, LiftsTheModelBaseOntoTheGround) {
    CTrackPOD track;
    track.terrain.heights[size_t(10 * 256 + 10)] = 130; // (640, 640) stands on vertex (10, 10)
    const int tree = addModel(track, "MODELS\\TREE.BIN", binModel({}, -300));
    ASSERT_EQ(track.models[size_t(tree)]->baseHeight(), -331);
    const int a = addObject(track), b = addObject(track), ramp = addObject(track, kObjectRamp);
    track.objects[size_t(a)]->aboveGround = 40;
    ObjectSelection selection;
    selection.selectOnly(a);
    for (int slot : {a, b, ramp})
        selection.setFlag(slot, true);
    EXPECT_EQ(AssignModelToObjects(track, selection, tree), 2);
    EXPECT_TRUE(track.objects[size_t(ramp)]->modelName.empty()) << "a ramp has no model";
    for (int slot : {a, b}) {
        const TrackObject& o = *track.objects[size_t(slot)];
        EXPECT_EQ(o.modelName, "TREE.BIN");
        EXPECT_EQ(o.model, track.models[size_t(tree)].get());
        EXPECT_EQ(o.aboveGround * 256 + o.zFraction, 331);
        EXPECT_EQ(o.aboveGround, 1);
        EXPECT_EQ(o.z, 131);
    }
}

TEST(AssignModel, TopCrushTakesAKeyframedModelAsItsCab) {
    CTrackPOD track;
    const int cab = addModel(track, "MODELS\\CRUSHER.BIN", modelList({"CRUSH1.BIN", "CRUSH2.BIN"}));
    const int base = addModel(track, "MODELS\\BASE.BIN", binModel({}));
    const int slot = addObject(track, kObjectTopCrush);
    TrackObject& o = *track.objects[size_t(slot)];
    o.aboveGround = 9;
    ObjectSelection selection;
    selection.selectOnly(slot);
    AssignModelToObjects(track, selection, cab);
    EXPECT_EQ(o.cabModelName, "CRUSHER.BIN");
    EXPECT_TRUE(o.modelName.empty());
    EXPECT_EQ(o.aboveGround, 9) << "a cab does not lift the object";
    EXPECT_EQ(o.cabModel, track.models[size_t(cab)].get());
    AssignModelToObjects(track, selection, base);
    EXPECT_EQ(o.modelName, "BASE.BIN");
    EXPECT_EQ(o.model, track.models[size_t(base)].get());
    EXPECT_EQ(o.cabModel, track.models[size_t(base)].get()) << "a plain model is the cab reference too";
    EXPECT_EQ(o.cabModelName, "CRUSHER.BIN");
    EXPECT_EQ(o.aboveGround, 0);
    EXPECT_EQ(o.zFraction, 31);
}

TEST(PurgeModels, KeepsUsedAndFrameModelsAndAsksFirst) {
    CTrackPOD track;
    const int used = addModel(track, "MODELS\\HUT.BIN", binModel({}));
    const int list = addModel(track, "MODELS\\CAB.BIN", modelList({"FRAME1.BIN"}));
    const int frame = addModel(track, "MODELS\\FRAME1.BIN", binModel({}));
    const int unused = addModel(track, "MODELS\\ROCK.BIN", binModel({}));
    const int byName = addModel(track, "MODELS\\WALL.BIN", binModel({}));
    track.objects[size_t(addObject(track))]->model = track.models[size_t(used)].get();
    track.objects[size_t(addObject(track, kObjectTopCrush))]->cabModel = track.models[size_t(list)].get();
    track.objects[size_t(addObject(track))]->modelName.set("WALL.BIN"); // not linked yet
    (void)frame;
    (void)byName;
    EXPECT_EQ(UnusedModels(track), (std::vector<int>{unused}));

    test::ScriptedPrompter prompter;
    prompter.answers = {false};
    EXPECT_EQ(PurgeUnusedModels(track, prompter).removed, 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "Purge Models: There are 1 unused models.\nGo ahead and remove them?");
    prompter.answers = {true};
    EXPECT_EQ(PurgeUnusedModels(track, prompter).removed, 1);
    EXPECT_EQ(track.models[size_t(unused)], nullptr);
    const PurgeResult none = PurgeUnusedModels(track, prompter);
    EXPECT_EQ(none.notice.text, "There are no unused models.");
    EXPECT_EQ(none.notice.caption, "Purge Models");
}

TEST(CutModel, ObjectsLoseTheModelOrGoWithIt) {
    CTrackPOD track;
    const int hut = addModel(track, "MODELS\\HUT.BIN", binModel({}));
    const int a = addObject(track), b = addObject(track), other = addObject(track);
    for (int slot : {a, b}) {
        track.objects[size_t(slot)]->model = track.models[size_t(hut)].get();
        track.objects[size_t(slot)]->modelName.set("HUT.BIN");
    }
    EXPECT_EQ(CutModel(track, hut, false), 2);
    EXPECT_EQ(track.models[size_t(hut)], nullptr);
    EXPECT_TRUE(track.objects[size_t(a)]->modelName.empty());
    EXPECT_EQ(track.objects[size_t(a)]->model, nullptr);

    const int again = addModel(track, "MODELS\\HUT.BIN", binModel({}));
    track.objects[size_t(b)]->model = track.models[size_t(again)].get();
    track.objects[size_t(b)]->modelName.set("HUT.BIN");
    ObjectSelection selection;
    selection.selectOnly(b);
    // A copy made before the model went: the pasted object does not keep the old reference.
    const TrackObject copied = *track.objects[size_t(b)];
    EXPECT_EQ(CutModel(track, again, true, &selection), 1);
    EXPECT_EQ(track.objects[size_t(b)], nullptr);
    EXPECT_NE(track.objects[size_t(other)], nullptr);
    EXPECT_EQ(selection.current, -1);
    auto pasted = PasteObject(track, selection, copied, GroundPick{100, 100, 100});
    ASSERT_GE(pasted.slot, 0);
    EXPECT_EQ(track.objects[size_t(pasted.slot)]->model, nullptr);
    EXPECT_EQ(track.objects[size_t(pasted.slot)]->modelName, "HUT.BIN");
    const int back = addModel(track, "MODELS\\HUT.BIN", binModel({}));
    pasted = PasteObject(track, selection, copied, GroundPick{100, 100, 100});
    EXPECT_EQ(track.objects[size_t(pasted.slot)]->model, track.models[size_t(back)].get());
}

TEST(LoadModelFile, LoadsOnceAndReportsMissingTextures) {
    test::TempDir root;
    const fs::path art = root / "art", models = root / "models", elsewhere = root / "elsewhere";
    for (const auto& d : {art, models, elsewhere})
        fs::create_directories(d);
    test::writeBytes(models / "tree.bin", binModel({"BARK.RAW", "LEAF.RAW"}));
    test::writeBytes(art / "LEAF.RAW", std::vector<uint8_t>(64 * 64, 7));
    CTrackPOD track;

    ModelFileResult first = LoadModelFile(track, models / "tree.bin", models, art);
    ASSERT_GE(first.slot, 0);
    EXPECT_EQ(track.models[size_t(first.slot)]->name(), "MODELS\\TREE.BIN");
    ASSERT_EQ(first.notices.size(), 1u);
    EXPECT_EQ(first.notices[0].caption, "Bad model textures!");
    EXPECT_NE(first.notices[0].text.find("BARK.RAW"), std::string::npos);
    EXPECT_EQ(first.notices[0].text.find("LEAF.RAW"), std::string::npos);

    ModelFileResult second = LoadModelFile(track, models / "tree.bin", models, art);
    EXPECT_EQ(second.slot, -1);
    EXPECT_FALSE(second.stop);
    ASSERT_EQ(second.notices.size(), 1u);
    EXPECT_EQ(second.notices[0].text, "Model \"TREE.BIN\" already loaded.");
    EXPECT_EQ(track.counts().models, 1);

    // Blanks: the file is copied into the models folder with underscores.
    test::writeBytes(elsewhere / "big rock.bin", binModel({"LEAF.RAW"}));
    ModelFileResult blanks = LoadModelFile(track, elsewhere / "big rock.bin", models, art);
    ASSERT_GE(blanks.slot, 0);
    EXPECT_EQ(blanks.copiedAs, "big_rock.bin");
    EXPECT_TRUE(fs::exists(models / "big_rock.bin"));
    EXPECT_EQ(track.models[size_t(blanks.slot)]->name(), "MODELS\\BIG_ROCK.BIN");
    ASSERT_EQ(blanks.notices.size(), 1u) << "the user is told; all textures were found";

    // A different file already holds that name: it stays, the copy takes a free name.
    const std::vector<uint8_t> otherRock = binModel({"BARK.RAW"});
    test::writeBytes(models / "Wet_Rock.BIN", otherRock);
    test::writeBytes(elsewhere / "wet rock.bin", binModel({"LEAF.RAW"}));
    ModelFileResult wet = LoadModelFile(track, elsewhere / "wet rock.bin", models, art);
    ASSERT_GE(wet.slot, 0);
    EXPECT_EQ(wet.copiedAs, "wet_rock_2.bin");
    EXPECT_EQ(test::fileBytes(models / "Wet_Rock.BIN"), otherRock);
    EXPECT_EQ(test::fileBytes(models / "wet_rock_2.bin"), binModel({"LEAF.RAW"}));
    EXPECT_EQ(track.models[size_t(wet.slot)]->name(), "MODELS\\WET_ROCK_2.BIN");
    // The same file loaded again into another track finds its own copy.
    CTrackPOD again;
    EXPECT_EQ(LoadModelFile(again, elsewhere / "wet rock.bin", models, art).copiedAs, "wet_rock_2.bin");
    track.models[size_t(wet.slot)].reset();

    // Not a model: the loading stops and the slot stays free.
    test::writeBytes(models / "junk.bin", {1, 2, 3, 4, 5, 6, 7, 8});
    ModelFileResult junk = LoadModelFile(track, models / "junk.bin", models, art);
    EXPECT_EQ(junk.slot, -1);
    EXPECT_TRUE(junk.stop);
    EXPECT_EQ(junk.notices.at(0).text, "Error loading BIN file");
    EXPECT_EQ(junk.notices.at(0).caption, "Bad model");
    EXPECT_EQ(track.counts().models, 2);

    ModelFileResult tooLong = LoadModelFile(track, models / "averyveryverylongname.bin", models, art);
    EXPECT_EQ(tooLong.notices.at(0).caption, "Model name too long");
}

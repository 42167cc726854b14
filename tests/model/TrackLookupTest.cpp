#include "model/TrackLimits.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {
void addTexture(CTrackPOD& track, int slot, const char* name) {
    track.terrainTextures[size_t(slot)] = std::make_unique<Texture>();
    track.terrainTextures[size_t(slot)]->setName(name);
}
} // namespace

TEST(FindByName, IgnoresFolderAndQueryCase) {
    CTrackPOD track;
    addTexture(track, 3, "ART\\GRASS.RAW");
    addTexture(track, 7, "ART\\MUD.RAW");
    addTexture(track, 9, "OTHER\\GRASS.RAW"); // same compared part: the lower slot wins
    EXPECT_EQ(track.FindTexture("ART\\GRASS.RAW"), 3);
    EXPECT_EQ(track.FindTexture("X\\GRASS.RAW"), 3);
    EXPECT_EQ(track.FindTexture("grass.raw"), 3);
    EXPECT_EQ(track.FindTexture("art\\mud.raw"), 7);
    EXPECT_EQ(track.FindTexture("ROCK.RAW"), -1);

    // Only the part after the FIRST backslash is compared.
    EXPECT_EQ(track.FindTexture("A\\B\\GRASS.RAW"), -1);
}

TEST(FindByName, TextureFallsBackToRawExtension) {
    CTrackPOD track;
    addTexture(track, 0, "ART\\ROCK.RAW");
    EXPECT_EQ(track.FindTexture("ART\\ROCK.PNG"), 0);
    EXPECT_EQ(track.FindTexture("rock.tga"), 0);
    EXPECT_EQ(track.FindTexture("ROCK"), -1); // no extension to replace

    // Models and sounds have no fallback.
    track.models[2] = std::make_unique<Model>();
    track.models[2]->setName("MODELS\\BARN.BIN");
    EXPECT_EQ(track.FindModel("barn.bin"), 2);
    EXPECT_EQ(track.FindModel("barn.raw"), -1);
    track.sounds[5] = std::make_unique<TrackSound>();
    track.sounds[5]->name.set("SOUND\\HORN1.WAV");
    EXPECT_EQ(track.FindSound("horn1.wav"), 5);

    // A stored name is compared as stored, so lower case never matches.
    addTexture(track, 1, "ART\\lower.RAW");
    EXPECT_EQ(track.FindTexture("ART\\lower.RAW"), -1);
}

TEST(FindByName, QueryCutTo31Characters) {
    CTrackPOD track;
    std::string longName = "ART\\" + std::string(27, 'A'); // 31 characters
    addTexture(track, 4, longName.c_str());
    EXPECT_EQ(track.FindTexture(longName + "TAIL"), 4);
}

TEST(TrackCounts, CountsKindsAndFilledSlots) {
    CTrackPOD track;
    const int32_t types[] = {kObjectRamp, kObjectRamp, kObjectTrain, kObjectMoving, kObjectLight,
                             kObjectCheckpoint, kObjectTopCrush, kObjectTree};
    for (size_t i = 0; i < std::size(types); ++i) {
        track.objects[i * 3] = std::make_unique<TrackObject>(); // holes between them
        track.objects[i * 3]->type = types[i];
    }
    addTexture(track, 10, "ART\\A.RAW");
    track.mainCourse.insertSegment(0);
    track.mainCourse.insertSegment(0);
    track.extendedCourses[2] = std::make_unique<Course>();
    TrackCounts c = track.counts();
    EXPECT_EQ(c.objects, 8);
    EXPECT_EQ(c.ramps, 2);
    EXPECT_EQ(c.moving, 2);
    EXPECT_EQ(c.lights, 1);
    EXPECT_EQ(c.checkpoints, 1);
    EXPECT_EQ(c.topCrush, 1);
    EXPECT_EQ(c.terrainTextures, 1);
    EXPECT_EQ(c.mainCourseSegments, 2);
    EXPECT_EQ(c.extendedCourses, 1);
    EXPECT_EQ(track.mainCourse.segments[0].trackWidth, 16);
    EXPECT_EQ(track.mainCourse.segments[0].start[0], 0);
}

TEST(ObjectTypes, ListPositionsAndUnknownCodes) {
    EXPECT_EQ(objectTypeListPosition(kObjectRamp), 14);
    EXPECT_EQ(objectTypeListPosition(kObjectTopCrush), 15);
    EXPECT_EQ(objectTypeListPosition(57), 0);
    EXPECT_EQ(kObjectTypeNames[size_t(objectTypeListPosition(kObjectLight))], "Light");
    EXPECT_EQ(objectTypeFromListPosition(14), kObjectRamp);
    EXPECT_EQ(objectTypeFromListPosition(13), kObjectMoving);
}

TEST(TableLimits, AddingPastALimitIsRefused) {
    CTrackPOD track;
    for (int i = 0; i < kMaxTerrainTextures; ++i) ASSERT_EQ(track.AddTerrainTexture(std::make_unique<Texture>()), i);
    EXPECT_EQ(track.AddTerrainTexture(std::make_unique<Texture>()), -1);
    track.terrainTextures[17].reset();
    EXPECT_EQ(track.AddTerrainTexture(std::make_unique<Texture>()), 17); // the lowest hole

    auto object = [](int32_t type) {
        auto o = std::make_unique<TrackObject>();
        o->type = type;
        return o;
    };
    Outcome outcome;
    for (int i = 0; i < kMaxCheckpoints; ++i) ASSERT_GE(track.AddObject(object(kObjectCheckpoint)), 0);
    EXPECT_EQ(track.AddObject(object(kObjectCheckpoint), &outcome), -1);
    EXPECT_EQ(outcome.message, "Max. 20 Checkpoints!");
    for (int i = 0; i < 60; ++i) ASSERT_GE(track.AddObject(object(kObjectTrain)), 0);
    for (int i = 0; i < 40; ++i) ASSERT_GE(track.AddObject(object(kObjectMoving)), 0);
    track.AddObject(object(kObjectMoving), &outcome);
    EXPECT_EQ(outcome.message, "Max. 100 Moving objects (Train and Moving combined)!");
    for (int i = 0; i < kMaxTopCrush; ++i) ASSERT_GE(track.AddObject(object(kObjectTopCrush)), 0);
    EXPECT_EQ(track.CanAddObject(kObjectTopCrush).message, "Max. 100 Top-Crush!");
    EXPECT_TRUE(track.CanAddObject(kObjectLight));
    while (track.counts().objects < kMaxObjects) ASSERT_GE(track.AddObject(object(kObjectTree)), 0);
    EXPECT_EQ(track.CanAddObject(kObjectTree).message, "Max. 4096 Objects!");
    EXPECT_EQ(track.CanAddObject(kObjectLight).message, "Max. 4096 Objects!");

    for (int i = 0; i < kMaxSounds; ++i) ASSERT_GE(track.AddSound(std::make_unique<TrackSound>()), 0);
    EXPECT_EQ(track.AddSound(std::make_unique<TrackSound>(), &outcome), -1);
    EXPECT_EQ(outcome.message, "Max. 512 Sounds! Sound dropped.");

    for (int i = 0; i < kMaxGroundBoxes; ++i) ASSERT_GE(track.AddGroundBox(std::make_unique<GroundBox>()), 0);
    EXPECT_EQ(track.AddGroundBox(std::make_unique<GroundBox>()), -1);
    EXPECT_EQ(track.droppedGroundBoxes, 1);
}

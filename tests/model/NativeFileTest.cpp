#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace ravok;

namespace {

std::string magicOf(const std::vector<uint8_t>& bytes) { return std::string(reinterpret_cast<const char*>(bytes.data())); }

TrackObject& addObject(CTrackPOD& t, int32_t type) {
    auto o = std::make_unique<TrackObject>();
    o->type = type;
    int slot = t.AddObject(std::move(o));
    return *t.objects[size_t(slot)];
}

// A track using every section of the file.
void fill(CTrackPOD& t) {
    NewMtm2Track(t);
    t.SetComment("a comment");
    t.SetTrackName("Dust Bowl");
    t.locale.set("Nowhere");
    t.browseBitmapName.set("OTHERS.BMP");
    t.SetRaceType(3);
    t.SetWaterLevelQuarters(51); // 12.75
    t.ambientSound = 7;
    t.weatherMask = 5;
    t.omitLegacyFallback = 1;
    t.pictures.music = {'M', 'U', 'S'};
    t.pictures.infoPhoto = {1, 2};
    t.SetDetailNormal({3, 4, 5}, "png");
    t.SetHdArt(1, {6, 7}, "tga");
    auto tex = std::make_unique<Texture>();
    tex->setName("ART\\GRASS.RAW");
    tex->setSurfaceType(4);
    tex->setGripDepth(30);
    t.terrainTextures[0] = std::move(tex);
    t.models[0] = std::make_unique<Model>();
    t.models[0]->setName("MODELS\\BARN.BIN");
    TrackObject& light = addObject(t, kObjectLight);
    light.x = 1000;
    light.zFraction = 77;
    light.xFraction = 5;
    light.yFraction = 250;
    light.light.bright = 0.5f;
    light.light.aimOff = 2.0f;
    light.light.glow = 2;
    TrackObject::setSoundField(light.continuousSound, "CRICKETS_LONG.WAV");
    TrackObject& crush = addObject(t, kObjectTopCrush);
    crush.modelName.set("MODELS\\BASE.BIN");
    crush.cabModelName.set("MODELS\\CAB.BIN");
    crush.cabOffset = {1, -2, 3};
    t.mainCourse.insertSegment(0);
    t.mainCourse.segments[0].end = {9, 8, 7};
    t.mainCourse.segments[0].extra = {11, 12};
    t.extendedCourses[0] = std::make_unique<Course>();
    t.extendedCourses[0]->insertSegment(0);
    t.terrain.heights[300] = 200;
    t.terrain.textures[400] = 0xC123;
    t.terrain.cells[500] = {1, 2, 3, 4, 5, 6, 7};
    t.vehicles[2].truckFile.set("mine.trk");
    t.vehicles[2].psi = 1.5f;
    t.backdrop = std::make_unique<Model>();
    t.backdrop->setName("MODELS\\STADIUM.BIN");
    t.stadiumFlag = 1;
    t.arenaX = 100;
    t.arenaSizeY = 30;
    auto box = std::make_unique<GroundBox>();
    box->x = 4;
    box->y = 5;
    box->top = 140;
    box->faces = {1, 2, 3, 4, 5, 0x6006};
    t.AddGroundBox(std::move(box));
    auto sound = std::make_unique<TrackSound>();
    sound->name.set("SOUND\\CRICKETS_LONG.WAV");
    sound->kind = 1;
    sound->data = {'R', 'I', 'F', 'F'};
    t.AddSound(std::move(sound));
    (void)t.animations.start(0);
    t.levelVectors.first = {{1, 2, 3}, 4};
}

} // namespace

TEST(NativeFile, EverySectionRoundTrips) {
    CTrackPOD t;
    fill(t);
    test::TempDir dir;
    ASSERT_TRUE(SaveBinary(t, dir / "t.rvk"));
    CTrackPOD r;
    ASSERT_TRUE(LoadBinary(r, dir / "t.rvk"));
    EXPECT_EQ(r.filePath.view(), (dir / "t.rvk").string());
    EXPECT_EQ(r.comment.view(), "a comment");
    EXPECT_EQ(r.WorldName.view(), "DUSTBOWL");
    EXPECT_EQ(r.worldNameFromTrackName, 1u);
    EXPECT_EQ(r.browseBitmapName.view(), "OTHERS.BMP");
    EXPECT_EQ(r.RaceType, 3);
    EXPECT_EQ(r.waterLevel, 12);
    EXPECT_EQ(r.waterLevelQuarters, 3);
    EXPECT_EQ(r.GameFlags, 1u);
    EXPECT_EQ(r.ambientSound, 7);
    EXPECT_EQ(r.weatherMask, 5u);
    EXPECT_EQ(r.omitLegacyFallback, 1u);
    EXPECT_EQ(r.pictures.browseBitmap, t.pictures.browseBitmap);
    EXPECT_EQ(r.pictures.music, t.pictures.music);
    EXPECT_EQ(r.pictures.infoPhoto, t.pictures.infoPhoto);
    EXPECT_EQ(r.pictures.detailNormal, t.pictures.detailNormal);
    EXPECT_EQ(r.pictures.detailNormalExt.view(), ".PNG");
    EXPECT_EQ(r.pictures.hdArt[1], t.pictures.hdArt[1]);
    EXPECT_EQ(r.pictures.hdArtExt[1].view(), ".TGA");
    EXPECT_TRUE(r.pictures.hdArtExt[0].empty());
    EXPECT_EQ(r.palette.colours(), t.palette.colours());
    ASSERT_TRUE(r.terrainTextures[0]);
    EXPECT_EQ(r.terrainTextures[0]->name().view(), "ART\\GRASS.RAW");
    EXPECT_EQ(r.terrainTextures[0]->surfaceType(), 4);
    EXPECT_EQ(r.terrainTextures[0]->gripDepth(), 30);
    EXPECT_EQ(r.terrainTextures[0]->width(), 64);
    EXPECT_FALSE(r.terrainTextures[0]->hasPixels());
    EXPECT_EQ(r.models[0]->name().view(), "MODELS\\BARN.BIN");
    const TrackObject& light = *r.objects[0];
    EXPECT_EQ(light.x, 1000);
    EXPECT_EQ(light.zFraction, 77);
    EXPECT_EQ(light.xFraction, 5);
    EXPECT_EQ(light.yFraction, 250);
    EXPECT_EQ(light.light.bright, 0.5f);
    EXPECT_EQ(light.light.aimOff, 2.0f);
    EXPECT_EQ(light.light.glow, 2);
    EXPECT_EQ(light.continuousSound.view(), "CRICKETS_LONG.WAV");
    EXPECT_EQ(light.impactSound.view(), "NULL.WAV");
    const TrackObject& crush = *r.objects[1];
    EXPECT_EQ(crush.cabModelName.view(), "MODELS\\CAB.BIN");
    EXPECT_EQ(crush.cabOffset[1], -2);
    EXPECT_EQ(r.mainCourse.segments.at(0).end[0], 9);
    EXPECT_EQ(r.mainCourse.segments[0].extra[1], 12);
    EXPECT_EQ(r.mainCourse.segments[0].trackWidth, 16);
    ASSERT_TRUE(r.extendedCourses[0]);
    EXPECT_EQ(r.extendedCourses[0]->segments.size(), 1u);
    EXPECT_EQ(r.terrain.heights, t.terrain.heights);
    EXPECT_EQ(r.terrain.textures, t.terrain.textures);
    EXPECT_EQ(r.terrain.cells, t.terrain.cells);
    EXPECT_EQ(r.vehicles[2].truckFile.view(), "mine.trk");
    EXPECT_EQ(r.vehicles[2].psi, 1.5f);
    ASSERT_TRUE(r.backdrop);
    EXPECT_EQ(r.backdrop->name().view(), "MODELS\\STADIUM.BIN");
    EXPECT_EQ(r.stadiumFlag, 1u);
    EXPECT_EQ(r.arenaX, 100);
    EXPECT_EQ(r.arenaSizeY, 30);
    EXPECT_EQ(r.fogMap, t.fogMap);
    ASSERT_TRUE(r.groundBoxes[0]);
    EXPECT_EQ(r.groundBoxes[0]->faces[5], 0x6006);
    EXPECT_EQ(r.groundBoxes[0]->centreX, (2 * 4 + 1) * 32);
    EXPECT_EQ(r.groundBoxMaps.top[5 * 256 + 4], 140);
    ASSERT_TRUE(r.sounds[0]);
    EXPECT_EQ(r.sounds[0]->data, t.sounds[0]->data);
    EXPECT_EQ(r.sounds[0]->kind, 1u);
    EXPECT_EQ(r.animations.count(), 1);
    EXPECT_EQ(r.levelVectors.first, t.levelVectors.first);

    // Written again, the bytes are the same.
    EXPECT_EQ(SaveBinaryToMemory(r), SaveBinaryToMemory(t));
}

TEST(NativeFile, VersionFollowsContent) {
    CTrackPOD t;
    NewMtm2Track(t);
    EXPECT_EQ(NativeFileVersionFor(t), 2);
    EXPECT_EQ(magicOf(SaveBinaryToMemory(t)), "RAVOKV2");
    t.browseBitmapName.set("ravoks.bmp"); // same as the default name ignoring case
    EXPECT_EQ(NativeFileVersionFor(t), 2);
    TrackObject& o = addObject(t, kObjectLight);
    EXPECT_EQ(NativeFileVersionFor(t), 3);
    TrackObject::setSoundField(o.impactSound, "ABCDEFGHIJKLM");
    EXPECT_EQ(NativeFileVersionFor(t), 4);
    o.light.bright = 2;
    EXPECT_EQ(NativeFileVersionFor(t), 5);
    o.light.aimOff = 1;
    EXPECT_EQ(NativeFileVersionFor(t), 6);
    t.iconBitmapName.set("X.BMP");
    EXPECT_EQ(NativeFileVersionFor(t), 7);
    t.pictures.infoDescription = {'a', 0};
    EXPECT_EQ(NativeFileVersionFor(t), 8);
    t.SetTerrainMask({1}, "PNG");
    EXPECT_EQ(NativeFileVersionFor(t), 9);
    t.SetHdArt(0, {1}, "PNG");
    EXPECT_EQ(NativeFileVersionFor(t), 10);
    t.SetWaterLevelQuarters(1);
    EXPECT_EQ(NativeFileVersionFor(t), 11);
    auto bytes = SaveBinaryToMemory(t);
    EXPECT_EQ(magicOf(bytes), "RAVOKV11");
    EXPECT_EQ(bytes[8], 0);
    EXPECT_EQ(bytes[9], 0);

    // The highest rule wins even when lower ones do not apply.
    CTrackPOD w;
    w.SetWaterLevelQuarters(3);
    EXPECT_EQ(NativeFileVersionFor(w), 11);
}

TEST(NativeFile, TwelveCharacterSoundNamesInEarlyVersions) {
    CTrackPOD t;
    TrackObject& o = addObject(t, kObjectTree);
    TrackObject::setSoundField(o.impactSound, "ABCDEFGH.WAV"); // exactly 12
    auto bytes = SaveBinaryToMemory(t);
    ASSERT_EQ(magicOf(bytes), "RAVOKV2");
    auto at = std::search(bytes.begin(), bytes.end(), o.impactSound.c_str(), o.impactSound.c_str() + 12);
    ASSERT_NE(at, bytes.end());
    EXPECT_EQ(*(at + 12), 0); // zFraction follows directly
    CTrackPOD r;
    ASSERT_TRUE(LoadBinaryFromMemory(r, bytes));
    EXPECT_EQ(r.objects[0]->impactSound.view(), "ABCDEFGH.WAV");
    EXPECT_EQ(r.objects[0]->continuousSound.view(), "NULL.WAV");
}

TEST(NativeFile, HeightPlaneRunsAndSoundsNoObjectNames) {
    CTrackPOD t;
    auto sound = std::make_unique<TrackSound>();
    sound->name.set("SOUND\\LONELY.WAV");
    t.AddSound(std::move(sound));
    auto bytes = SaveBinaryToMemory(t);
    EXPECT_EQ(t.counts().sounds, 0); // dropped from the track when saved

    // Flat terrain at 100: 257 runs of (255, 100), one of (1, 100), then the end byte.
    std::vector<uint8_t> plane;
    plane.push_back(0x07);
    plane.push_back(0x80);
    for (int i = 0; i < 257; ++i) {
        plane.push_back(255);
        plane.push_back(100);
    }
    plane.push_back(1);
    plane.push_back(100);
    plane.push_back(0);
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), plane.begin(), plane.end()), bytes.end());
}

TEST(NativeFile, OddValuesReadAsTheFileRulesSay) {
    CTrackPOD t;
    t.terrainTextures[0] = std::make_unique<Texture>();
    t.weatherMask = 0;
    t.backdrop = std::make_unique<Model>();
    t.backdrop->setName(std::string("MODELS\\") + std::string(24, 'B')); // 31 characters, no stadium
    auto bytes = SaveBinaryToMemory(t);
    CTrackPOD r;
    ASSERT_TRUE(LoadBinaryFromMemory(r, bytes));
    EXPECT_EQ(r.terrainTextures[0]->name().view(), "ERROR");
    EXPECT_EQ(r.weatherMask, 65535u);
    ASSERT_TRUE(r.backdrop);
    EXPECT_EQ(r.backdrop->name().size(), 31u);
    EXPECT_EQ(r.stadiumFlag, 0u);
}

// A file whose object says it has a sound but leaves the name empty.
std::vector<uint8_t> withEmptySoundName(const std::string& name, bool lengthPrefixed) {
    CTrackPOD t;
    auto o = std::make_unique<TrackObject>();
    TrackObject::setSoundField(o->impactSound, name);
    t.AddObject(std::move(o));
    auto bytes = SaveBinaryToMemory(t);
    auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
    EXPECT_NE(at, bytes.end());
    if (!lengthPrefixed) {
        std::fill_n(at, 12, 0);
        return bytes;
    }
    std::vector<uint8_t> patched(bytes.begin(), at - 1);
    patched.push_back(1); // L = 1: only the terminator
    patched.push_back(0);
    patched.insert(patched.end(), at + std::ptrdiff_t(name.size()) + 1, bytes.end());
    return patched;
}

TEST(NativeFile, EmptySoundNamesReadAsNoSound) {
    for (bool lengthPrefixed : {false, true}) {
        const std::string name = lengthPrefixed ? "THIRTEEN_CHARS.WAV" : "TWELVE_C.WAV";
        auto bytes = withEmptySoundName(name, lengthPrefixed);
        CTrackPOD r;
        int version = 0;
        ASSERT_TRUE(LoadBinaryFromMemory(r, bytes, &version));
        EXPECT_EQ(version, lengthPrefixed ? 4 : 2);
        ASSERT_TRUE(r.objects[0]);
        EXPECT_EQ(r.objects[0]->impactSound.view(), "NULL.WAV") << version;
        EXPECT_EQ(r.objects[0]->continuousSound.view(), "NULL.WAV") << version;
    }
}

TEST(NativeFile, LongStadiumNamesDropTheFolderBeforeBeingCut) {
    CTrackPOD t;
    t.backdrop = std::make_unique<Model>();
    t.stadiumFlag = 1;
    t.arenaX = 100;
    test::ScriptedPrompter prompter;
    t.backdrop->setName("MODELS\\BIGSTADIUM_NIGHT.BIN"); // 28 characters; 21 without the folder
    CTrackPOD r;
    ASSERT_TRUE(LoadBinaryFromMemory(r, SaveBinaryToMemory(t, &prompter)));
    EXPECT_EQ(r.backdrop->name().view(), "BIGSTADIUM_NIGHT.BIN");
    EXPECT_EQ(r.stadiumFlag, 1u);
    EXPECT_EQ(r.arenaX, 100);
    EXPECT_TRUE(prompter.shown.empty());

    t.backdrop->setName("MODELS\\A_LONGER_STADIUMNAME.BIN"); // 24 characters without the folder
    ASSERT_TRUE(LoadBinaryFromMemory(r, SaveBinaryToMemory(t, &prompter)));
    EXPECT_EQ(r.backdrop->name().view(), "MODELS\\A_LONGER_STADIUM");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].find("\"MODELS\\A_LONGER_STADIUM\""), std::string::npos);
    EXPECT_EQ(t.backdrop->name().view(), "MODELS\\A_LONGER_STADIUMNAME.BIN"); // the track keeps its name
}

TEST(NativeFile, BadAndShortFilesFail) {
    CTrackPOD t;
    fill(t);
    auto bytes = SaveBinaryToMemory(t);
    CTrackPOD r;
    EXPECT_TRUE(LoadBinaryFromMemory(r, bytes));

    auto wrongMagic = bytes;
    wrongMagic[6] = '9';
    wrongMagic[7] = '9';
    EXPECT_FALSE(LoadBinaryFromMemory(r, wrongMagic));
    EXPECT_FALSE(LoadBinaryFromMemory(r, {}));
    // Cut anywhere: the load fails (level vectors are always written last).
    for (size_t cut : {size_t(5), size_t(20), bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
        std::vector<uint8_t> shortFile(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
        EXPECT_FALSE(LoadBinaryFromMemory(r, shortFile)) << cut;
    }
    // A count larger than its table fails instead of writing past it.
    CTrackPOD empty;
    auto small = SaveBinaryToMemory(empty);
    // magic; comment, world, track and locale strings; five header values; four blobs; palette name and colours
    size_t textureCount = 10 + 2 + 7 + 11 + 16 + 20 + 16 + 2 + 768;
    ASSERT_EQ(small[textureCount], 0);
    small[textureCount + 1] = 0x10; // 4096 textures
    EXPECT_FALSE(LoadBinaryFromMemory(r, small));

    test::TempDir dir;
    EXPECT_FALSE(LoadBinary(r, dir / "missing.rvk"));
}

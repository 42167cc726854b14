#include "model/TrackPod.h"
#include "model/WorldName.h"

#include <gtest/gtest.h>

using namespace ravok;

TEST(WorldName, DerivesLettersAndDigitsOnly) {
    EXPECT_EQ(DeriveWorldName("new track"), "NEWTRACK");
    EXPECT_EQ(DeriveWorldName("Mud-Run #2 (ä)"), "MUDRUN2");
    EXPECT_EQ(DeriveWorldName("abcdefghijklmnopqrstuvwxy"), "ABCDEFGHIJKLMNOPQR"); // 25 letters -> 18
    EXPECT_EQ(DeriveWorldName("!!! ---"), "");
    EXPECT_EQ(DeriveWorldName("abcdef", 4), "ABC"); // the buffer keeps one byte for the terminator
}

TEST(WorldName, TrackNameSettersKeepTheWorldNameRules) {
    CTrackPOD track;
    EXPECT_EQ(track.WorldName.view(), "RAVOK");
    track.SetTrackName("Dusty Hollow");
    EXPECT_EQ(track.WorldName.view(), "DUSTYHOLLOW");

    // A name without letters or digits derives nothing: the world name stays.
    track.SetTrackName("*** ***");
    EXPECT_EQ(track.trackName.view(), "*** ***");
    EXPECT_EQ(track.WorldName.view(), "DUSTYHOLLOW");

    EXPECT_FALSE(track.SetWorldName("...."));
    EXPECT_EQ(track.WorldName.view(), "DUSTYHOLLOW");
    EXPECT_EQ(track.worldNameFromTrackName, 1u);

    EXPECT_TRUE(track.SetWorldName("my world 7"));
    EXPECT_EQ(track.WorldName.view(), "MYWORLD7");
    EXPECT_EQ(track.worldNameFromTrackName, 0u);
    track.SetTrackName("Other");
    EXPECT_EQ(track.WorldName.view(), "MYWORLD7"); // no longer follows the track name

    track.UseTrackNameForWorldName();
    EXPECT_EQ(track.WorldName.view(), "OTHER");

    track.SetTrackName(std::string(40, 'x'));
    EXPECT_EQ(track.trackName.size(), 31u);
    track.SetComment(std::string(100, 'c'));
    EXPECT_EQ(track.comment.size(), 79u);
}

TEST(WorldName, FlagRecomputedAfterReading) {
    CTrackPOD track;
    track.trackName.set("Canyon Run");
    track.WorldName.set("CANYONRUN");
    track.recomputeWorldNameFromTrackName();
    EXPECT_EQ(track.worldNameFromTrackName, 1u);
    track.WorldName.set("CANYON");
    track.recomputeWorldNameFromTrackName();
    EXPECT_EQ(track.worldNameFromTrackName, 0u);
    track.trackName.set("???");
    track.recomputeWorldNameFromTrackName();
    EXPECT_EQ(track.worldNameFromTrackName, 1u);
}

TEST(PictureNames, DefaultsAndInfoPhoto) {
    CTrackPOD track;
    track.WorldName.set("TRACK");
    EXPECT_EQ(track.BrowsePictureName(), "TRACKS.BMP");
    EXPECT_EQ(track.IconPictureName(), "TRACKL.BMP");
    EXPECT_EQ(track.InfoPhotoName(), "TRACKM.BMP");

    track.browseBitmapName.set("TRACKX.BMP");
    EXPECT_EQ(track.InfoPhotoName(), "");
    track.browseBitmapName.set("shot.bmp"); // lower-case t is accepted too
    EXPECT_EQ(track.InfoPhotoName(), "shoM.BMP");
    track.browseBitmapName.set("S.BMP"); // fewer than two characters before the dot
    EXPECT_EQ(track.InfoPhotoName(), "");
    track.browseBitmapName.set("LONGNAMES.BMP");
    EXPECT_EQ(track.InfoPhotoName(13), "");              // 13 characters need 14 bytes...
    EXPECT_EQ(track.InfoPhotoName(14), "LONGNAMEM.BMP"); // ...plus the terminator
}

TEST(PictureNames, HdArtNamesAndExtensions) {
    CTrackPOD track;
    track.WorldName.set("MUD");
    EXPECT_EQ(track.HdArtName(0), "");
    track.SetHdArt(0, {1, 2, 3}, "png");
    track.SetHdArt(1, {1}, ".tga");
    track.SetHdArt(2, {1}, "PNG");
    EXPECT_EQ(track.pictures.hdArtExt[0].view(), ".PNG");
    EXPECT_EQ(track.HdArtName(0), "MUDS.PNG");
    EXPECT_EQ(track.HdArtName(1), "MUDL.TGA");
    EXPECT_EQ(track.HdArtName(2), "MUDM.PNG");
    EXPECT_EQ(track.HdArtName(3), "");
    track.SetHdArt(3, {1}, "PNG"); // ignored
    track.SetHdArt(0, {}, "PNG");
    EXPECT_TRUE(track.pictures.hdArtExt[0].empty());
    EXPECT_EQ(track.HdArtName(0), "");

    EXPECT_EQ(NormaliseExtension("jpegxlarge"), ".JPEGXL");
    track.pictures.detailNormalValue = 9;
    track.SetDetailNormal({7}, "png");
    EXPECT_EQ(track.pictures.detailNormalExt.view(), ".PNG");
    EXPECT_EQ(track.pictures.detailNormalValue, 0);
}

TEST(TrackSetters, RangesAndClamps) {
    CTrackPOD track;
    track.SetRaceType(4);
    track.SetRaceType(0);
    track.SetRaceType(5);
    EXPECT_EQ(track.RaceType, 4);

    track.SetWaterLevelQuarters(1021);
    EXPECT_EQ(track.waterLevel, 255);
    EXPECT_EQ(track.waterLevelQuarters, 0);
    track.SetWaterLevelQuarters(-5);
    EXPECT_EQ(track.waterLevel, 0);
    EXPECT_EQ(track.waterLevelQuarters, 0);
    track.SetWaterLevelQuarters(403);
    EXPECT_EQ(track.waterLevel, 100);
    EXPECT_EQ(track.waterLevelQuarters, 3);

    std::vector<uint8_t> shortBlock(100, 5);
    track.SetFogMap(shortBlock);
    ASSERT_EQ(track.fogMap.size(), 32768u);
    EXPECT_EQ(track.fogMap[99], 5);
    EXPECT_EQ(track.fogMap[100], 0);
    track.SetFogMap({});
    EXPECT_TRUE(track.fogMap.empty());

    TrackObject object;
    TrackObject::setSoundField(object.impactSound, "");
    EXPECT_EQ(object.impactSound.view(), "NULL.WAV");
    EXPECT_TRUE(TrackObject::isNoSound(object.impactSound));
    TrackObject::setSoundField(object.impactSound, "SOUND\\HORN1.WAV");
    EXPECT_FALSE(TrackObject::isNoSound(object.impactSound));
}

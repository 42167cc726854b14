#include "model/Completeness.h"

#include "art/Model.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ravok;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size());
    return out;
}

} // namespace

TEST(Completeness, NewTracksReportWhatTheyLackInOrder) {
    CTrackPOD mtm2;
    NewMtm2Track(mtm2);
    CompletenessReport report = CheckTrackComplete(mtm2);
    EXPECT_FALSE(report.complete);
    EXPECT_EQ(lines(report.text), (std::vector<std::string>{
                                      "Track name not specified.", "Music MOD/WAV not specified.",
                                      "Backdrop model not specified.", "Main course segments not specified.",
                                      "Extended courses not specified.", "Checkpoints not specified."}));

    CTrackPOD mtm1;
    NewMtm1Track(mtm1);
    EXPECT_EQ(lines(CheckTrackComplete(mtm1).text),
              (std::vector<std::string>{"Track name not specified.", "Music MOD/WAV not specified.",
                                        "Thumbnail/browse bitmap not specified.",
                                        "Zoom (MTM1) or Icon (MTM2) bitmap not specified.",
                                        "Backdrop model not specified.", "Main course segments not specified.",
                                        "Extended courses not specified.", "Checkpoints not specified."}));

    // Everything present: complete, empty report.
    mtm2.SetTrackName("Farm Road");
    mtm2.SetMusic({'R', 'I', 'F', 'F'});
    mtm2.backdrop = std::make_unique<Model>();
    mtm2.mainCourse.insertSegment(0);
    mtm2.extendedCourses[0] = std::make_unique<Course>();
    mtm2.extendedCourses[1] = std::make_unique<Course>();
    auto checkpoint = std::make_unique<TrackObject>();
    checkpoint->type = kObjectCheckpoint;
    mtm2.objects[0] = std::move(checkpoint);
    report = CheckTrackComplete(mtm2);
    EXPECT_EQ(report.text, "");
    EXPECT_TRUE(report.complete);

    // Only extended course 0 still reports the extended courses.
    mtm2.extendedCourses[1].reset();
    EXPECT_EQ(CheckTrackComplete(mtm2).text, "Extended courses not specified.\r\n");
}

TEST(Completeness, NamesCountersAndTheLineLimit) {
    CTrackPOD t;
    NewMtm2Track(t);
    t.SetTrackName("Farm Road");
    auto only = [&](std::string_view expectedStart) {
        auto all = lines(CheckTrackComplete(t).text);
        std::vector<std::string> found;
        for (const auto& line : all)
            if (line.rfind(expectedStart, 0) == 0) found.push_back(line);
        return found;
    };

    t.WorldName.set("MY.TRACK");
    auto named = only("Track file name");
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0], "Track file name \"MY.TRACK\" contains a dot.  Names derived from it (DATA\\...TTY, "
                        "ART\\...ACT, FOG\\...MAP) are cut at the first dot and will not be found.");
    t.WorldName.set("MY_TRACK");
    EXPECT_EQ(only("Track file name"),
              (std::vector<std::string>{"Track file name \"MY_TRACK\" contains '_'.  Use letters and digits only."}));
    t.WorldName.set("ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(only("Track file name"), (std::vector<std::string>{"Track file name \"ABCDEFGHIJKLMNOPQRS\" is 19 "
                                                                 "characters; the longest that fits every folder it "
                                                                 "is used in is 18."}));
    t.WorldName.clear();
    EXPECT_EQ(only("Track name contains").size(), 1u);

    // A world name cut from a longer track name.
    t.SetTrackName("The Longest Farm Road Of All");
    t.WorldName.set("THELONGESTFARMROAD");
    EXPECT_EQ(only("Track name is longer"),
              (std::vector<std::string>{"Track name is longer than a file name can be, so the track's files are "
                                        "called \"THELONGESTFARMROAD\".  Any other track whose name starts the same "
                                        "way would overwrite it."}));
    t.WorldName.set("FARM");
    EXPECT_TRUE(only("Track name is longer").empty());

    t.missingObjects = 1;
    t.droppedObjects = 1;
    t.droppedGroundBoxes = 3;
    EXPECT_EQ(only("The situation file"),
              (std::vector<std::string>{"The situation file this track came from promised 1 more object than it "
                                        "held. Ravok kept the ones that were there; writing the track corrects the "
                                        "count."}));
    EXPECT_EQ(only("1 object"), (std::vector<std::string>{"1 object was dropped when this track was opened - it "
                                                          "holds more than the 4096 this version supports."}));
    EXPECT_EQ(only("3 ground").size(), 1u);

    // 40 bad textures: 32 lines, then "(more...)" and nothing after it.
    CTrackPOD bad;
    NewMtm2Track(bad);
    for (int i = 0; i < 40; ++i) {
        auto texture = std::make_unique<Texture>();
        texture->setName("ART\\BAD" + std::to_string(i) + ".RAW");
        bad.terrainTextures[size_t(100 + i)] = std::move(texture);
    }
    auto all = lines(CheckTrackComplete(bad).text);
    ASSERT_EQ(all.size(), 33u);
    EXPECT_EQ(all[6], "Bad texture ART\\BAD0.RAW");
    EXPECT_EQ(all[32], "(more...)");
}

TEST(Completeness, TexturesAndModels) {
    CTrackPOD t;
    NewMtm2Track(t);
    std::vector<uint8_t> pixels(32 * 32, 1);
    auto good = std::make_unique<Texture>();
    good->setPicture("ART\\GOOD.RAW", 32, 32, pixels.data());
    t.terrainTextures[5] = std::move(good);
    auto unnamed = std::make_unique<Texture>();
    unnamed->setPicture("", 32, 32, pixels.data());
    t.terrainTextures[6] = std::move(unnamed);
    auto placeholder = std::make_unique<Texture>();
    placeholder->setPicture("ART\\LOST.RAW", 32, 32, pixels.data());
    placeholder->bad = 1;
    t.modelTextures[2] = std::move(placeholder);
    auto text = CheckTrackComplete(t).text;
    EXPECT_EQ(text.find("GOOD"), std::string::npos);
    EXPECT_NE(text.find("Bad texture #6\r\n"), std::string::npos);
    EXPECT_NE(text.find("Bad model texture ART\\LOST.RAW\r\n"), std::string::npos);
}

// Names the pod could not hold as they are: a texture of the track's own stem
// (its .ACT/.RAW hold the track palette) and entries over 31 characters.
TEST(Completeness, NamesThePodCannotHold) {
    CTrackPOD t;
    NewMtm2Track(t);
    t.SetTrackName("Grass");
    std::vector<uint8_t> pixels(32 * 32, 1);
    for (auto [slot, name] : {std::pair{size_t(0), "ART\\GRASS.RAW"}, {size_t(1), "ART\\GRASSY.RAW"}}) {
        auto texture = std::make_unique<Texture>();
        texture->setPicture(name, 32, 32, pixels.data());
        t.terrainTextures[slot] = std::move(texture);
    }
    t.backdrop = std::make_unique<Model>();
    t.backdrop->setName("A_LONGER_BACKDROP_NAME.BIN");
    auto shortSound = std::make_unique<TrackSound>();
    shortSound->name.set("BIRDS.WAV");
    shortSound->kind = 1;
    t.sounds[0] = std::move(shortSound);
    auto longSound = std::make_unique<TrackSound>();
    longSound->name.set("A_SOUND_NAME_OF_23_CHRS.WAV");
    t.sounds[1] = std::move(longSound);

    const auto report = lines(CheckTrackComplete(t).text);
    auto has = [&](const std::string& line) { return std::find(report.begin(), report.end(), line) != report.end(); };
    EXPECT_TRUE(has("Texture ART\\GRASS.RAW has the track's file name: ART\\GRASS.ACT and ART\\GRASS.RAW hold the "
                    "track palette in the pod, so the texture cannot be packed.  Rename it."));
    EXPECT_TRUE(has("Item name \"MODELS\\A_LONGER_BACKDROP_NAME.BIN\" is 33 characters; a pod entry holds at most 31, "
                    "so it cannot be packed."));
    EXPECT_TRUE(has("Item name \"SOUND\\A_SOUND_NAME_OF_23_CHRS.WAV\" is 33 characters; a pod entry holds at most "
                    "31, so it cannot be packed."));
    for (const std::string& line : report) {
        EXPECT_EQ(line.find("GRASSY"), std::string::npos) << line;
        EXPECT_EQ(line.find("BIRDS"), std::string::npos) << line;
    }
}

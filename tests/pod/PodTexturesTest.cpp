#include "pod/PodTextures.h"

#include "base/Trace.h"
#include "model/NewTrack.h"
#include "pod/ItemSource.h"

#include <gtest/gtest.h>

using namespace ravok;

TEST(PodTextures, TileSizesPalettesHdOnlyEntriesAndTraces) {
    CTrackPOD track;
    NewMtm2Track(track);
    PaletteColours colours{};
    for (int i = 0; i < 246; ++i) colours[size_t(i)] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    track.palette.set("ART\\T.ACT", colours);

    MemoryItemSource items;
    Blob act(768, 0);
    act[3 * 7] = act[3 * 7 + 1] = act[3 * 7 + 2] = 100; // source colour 7 is grey 100
    items.add("ART\\GRASS.RAW", Blob(64 * 64, 7));
    items.add("ART\\GRASS.ACT", act);
    items.add("ART\\PLAIN.RAW", Blob(32 * 32, 1)); // no .ACT: the default palette
    items.add("ART\\ODD.RAW", Blob(5000, 1));
    items.add("ART\\SHINY.PNG", {0x89, 'P', 'N', 'G'});

    std::vector<std::string> traces;
    auto previous = setTraceSink([&](const std::string& line) { traces.push_back(line); });

    auto grass = LoadTextureItem(track, items, "ART\\GRASS.RAW", "terrain tex");
    ASSERT_TRUE(grass);
    EXPECT_EQ(grass->width(), 64);
    EXPECT_EQ(grass->pixels()[0], 100); // remapped into the track palette
    auto plain = LoadTextureItem(track, items, "art\\plain.raw", "model tex");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->width(), 32);

    EXPECT_FALSE(LoadTextureItem(track, items, "ART\\ODD.RAW", "terrain tex"));
    auto shiny = LoadTextureItem(track, items, "ART\\SHINY.RAW", "backdrop tex"); // found as .PNG
    ASSERT_TRUE(shiny);
    EXPECT_EQ(shiny->name().str(), "ART\\SHINY.RAW");
    EXPECT_FALSE(shiny->hasPixels());
    EXPECT_EQ(shiny->hdSource().size(), 4u);
    EXPECT_FALSE(LoadTextureItem(track, items, "ART\\NONE.RAW", "terrain tex"));
    setTraceSink(previous);

    EXPECT_EQ(traces, (std::vector<std::string>{
                          "  terrain tex \"ART\\ODD.RAW\": in pod but length 5000 fits no tile size - NOT LOADED",
                          "  backdrop tex \"ART\\SHINY.RAW\": HD-only entry \"ART\\SHINY.PNG\" (4 bytes) - stashed "
                          "for decode",
                          "  terrain tex \"ART\\NONE.RAW\": no such item in pod - NOT LOADED"}));

    // A texture list puts each name in the slot of its position.
    CTrackPOD listed;
    NewMtm2Track(listed);
    for (auto& slot : listed.terrainTextures) slot.reset();
    std::string list = "3\r\nPLAIN.RAW\r\nNONE.RAW\r\nGRASS.RAW\r\n";
    LoadTextureList(listed, items, Blob(list.begin(), list.end()));
    ASSERT_TRUE(listed.terrainTextures[0]);
    EXPECT_FALSE(listed.terrainTextures[1]);
    ASSERT_TRUE(listed.terrainTextures[2]);
    EXPECT_EQ(listed.terrainTextures[2]->name().str(), "ART\\GRASS.RAW");
}

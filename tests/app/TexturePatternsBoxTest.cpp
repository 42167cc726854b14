#include "app/TexturePatternsBox.h"
#include "TestSupport.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "art/Texture.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"
#include "trackart/TexturePatternFile.h"

#include "AppTestSupport.h"

#include <QListWidget>
#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::app;
using ravok::test::ScriptedPrompter;
using ravok::test::TempDir;

TEST(TexturePatternsBox, SelGetAndDelWorkOnTheFile) {
    app();
    TempDir dir;
    ProgramSettings settings = defaultSettings(dir.path());
    settings.patternFile = dir / "roads.rvp";
    CRavokDoc doc(settings);
    ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    CTrackPOD& track = doc.track();
    const std::vector<uint8_t> pixels(64 * 64, 3);
    for (int slot : {7, 9, 12}) {
        track.terrainTextures[size_t(slot)] = std::make_unique<Texture>();
        track.terrainTextures[size_t(slot)]->setPicture("ART\\T" + std::to_string(slot) + ".RAW", 64, 64,
                                                        pixels.data());
    }
    // 7 7 9 / 9 12 7 at (10, 10), the last cell turned once.
    const uint16_t cells[] = {7, 7, 9, 9, 12, 0x4007};
    for (int i = 0; i < 6; ++i)
        track.terrain.textures[size_t((10 + i / 3) * 256 + 10 + i % 3)] = cells[i];
    CRavokFrame frame(doc, settings);
    frame.setEditMode(ravok::EditMode::Textures);
    CRavokView& view = *frame.view();
    CTexturePatternsBox& box = *frame.patternsBox();
    std::vector<QString> names{QStringLiteral(""), QStringLiteral("Crossing")};
    box.askName = [&](const QString&) -> std::optional<QString> {
        if (names.empty()) return std::nullopt;
        QString n = names.front();
        names.erase(names.begin());
        return n;
    };
    EXPECT_FALSE(box.OnSel()); // nothing selected
    view.TextureClick({10, 10}, false);
    view.TextureClick({12, 11}, true);
    ASSERT_TRUE(box.OnSel()); // the empty name asked again
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "Add Pattern: You must provide a name!\nTry again?");
    const auto onDisk = ReadPatternFile(settings.patternFile);
    ASSERT_EQ(onDisk.size(), 1u);
    EXPECT_EQ(onDisk[0].name, "Crossing");
    EXPECT_EQ(onDisk[0].textures.size(), 3u);
    EXPECT_TRUE(box.findChild<QListWidget*>()->item(0)->text().endsWith(QStringLiteral("3x2")));
    EXPECT_FALSE(PatternPreviewImage(onDisk[0]).isNull());

    // A second "Crossing" is a duplicate; No stops.
    names = {QStringLiteral("Crossing")};
    prompter.answers = {false};
    EXPECT_FALSE(box.OnSel());
    EXPECT_EQ(prompter.shown.back(), "Duplicate Name: A pattern of that name already exists!\nTry again?");

    // Get stamps at the selection, keeping the turned cell's bits.
    view.TextureClick({200, 50}, false);
    ASSERT_TRUE(box.OnGet());
    EXPECT_EQ(track.terrain.textures[50 * 256 + 200], 7);
    EXPECT_EQ(track.terrain.textures[51 * 256 + 201], 12);
    EXPECT_EQ(track.terrain.textures[51 * 256 + 202], 0x4007);
    EXPECT_TRUE(doc.isModified());
    ASSERT_TRUE(view.Undo());
    EXPECT_EQ(track.terrain.textures[50 * 256 + 200], 0);

    // Del asks, then rewrites the file.
    prompter.answers = {false, true};
    EXPECT_FALSE(box.OnDel());
    ASSERT_TRUE(box.OnDel());
    EXPECT_TRUE(box.patterns().empty());
    EXPECT_TRUE(ReadPatternFile(settings.patternFile).empty());

    // A file that cannot be written says so instead of passing for deleted.
    names = {QStringLiteral("Ramp")};
    view.TextureClick({10, 10}, false);
    view.TextureClick({11, 10}, true);
    ASSERT_TRUE(box.OnSel());
    std::filesystem::remove(settings.patternFile);
    std::filesystem::create_directory(settings.patternFile);
    prompter.answers = {true};
    box.OnDel();
    EXPECT_EQ(prompter.shown.back(), ": Could not write the patterns file.");
}

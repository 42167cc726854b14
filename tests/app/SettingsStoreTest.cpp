#include "app/SettingsStore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ravok;

namespace {
// A store of its own in a temporary folder, never the user's.
struct TempStore {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("settings.ini")); }
};
} // namespace

TEST(SettingsStore, EveryValueRoundTrips) {
    TempStore temp;
    ProgramSettings s = defaultSettings("/tmp/base");
    s.gamma = 1.7f;
    s.quality = 2;
    s.polysize = 128;
    s.display = 4;
    s.useOpenGL = true;
    s.showWater = false;
    s.detailMask = true;
    s.artFolder = "/data/art";
    s.soundFolder = "/data/sound";
    s.lighting = {2, 250, 10, 60, 30};
    s.autoTerrain.sliders = {1, 2, 3, 4};
    s.seed = seedValue(99, 1);
    s.autosave = {true, 0, 5};
    s.editState.toolWidth = 9;
    s.windowPos = {10, 20, 810, 620};
    s.modelsRect = {1, 2, 3, 4};
    s.texturesRect = {5, 6, 7, 8};
    s.texturePaneWidth = 333;
    s.modelsListWidth = 290;
    s.componentsSize = {500, 400};
    s.texCutFormat = 2;
    s.maximized = true;
    s.colors[0] = {1, 2, 3};
    {
        QSettings store(temp.path(), QSettings::IniFormat);
        SaveSettings(store, s);
    }
    QSettings store(temp.path(), QSettings::IniFormat);
    ProgramSettings back = defaultSettings("/elsewhere");
    LoadSettings(store, back);
    EXPECT_FLOAT_EQ(back.gamma, 1.7f);
    EXPECT_EQ(back.quality, 2u);
    EXPECT_EQ(back.polysize, 128u);
    EXPECT_EQ(back.display, 4u);
    EXPECT_EQ(packViewFlags(back), packViewFlags(s));
    EXPECT_EQ(back.artFolder, s.artFolder);
    EXPECT_EQ(back.soundFolder, s.soundFolder);
    EXPECT_EQ(back.modelsFolder, std::filesystem::path("/tmp/base/Models"));
    EXPECT_EQ(back.lighting.toBytes(), s.lighting.toBytes());
    EXPECT_EQ(back.autoTerrain.sliders, s.autoTerrain.sliders);
    EXPECT_EQ(back.seed, s.seed);
    EXPECT_TRUE(back.autosave.enabled);
    EXPECT_EQ(back.autosave.minutes, 5);
    EXPECT_EQ(back.editState.toolWidth, 9);
    EXPECT_EQ(back.windowPos.right, 810);
    EXPECT_EQ(back.modelsRect.bottom, 4);
    EXPECT_EQ(back.texturesRect.left, 5);
    EXPECT_EQ(back.texturePaneWidth, 333u);
    EXPECT_EQ(back.modelsListWidth, 290u);
    EXPECT_EQ(back.componentsSize.cx, 500);
    EXPECT_EQ(back.texCutFormat, 2u);
    EXPECT_TRUE(back.maximized);
    EXPECT_EQ(back.colors, s.colors);

    // Values are stored with their types and sizes, under group 1.0.
    EXPECT_EQ(store.value(QStringLiteral("1.0/Edit")).toByteArray().size(), 12);
    EXPECT_EQ(store.value(QStringLiteral("1.0/Colors")).toByteArray().size(), 32);
    EXPECT_EQ(store.value(QStringLiteral("1.0/Flags")).toUInt(), packViewFlags(s));
    EXPECT_FALSE(store.contains(QStringLiteral("1.0/Show Water")));
    EXPECT_FALSE(store.contains(QStringLiteral("1.0/Models Pos")));
    EXPECT_FALSE(store.contains(QStringLiteral("1.0/Texture Filter")));
    EXPECT_FALSE(store.contains(QStringLiteral("1.0/Texture Zoom")));
}

TEST(SettingsStore, CorrectionsAndOlderValues) {
    TempStore temp;
    {
        QSettings store(temp.path(), QSettings::IniFormat);
        store.beginGroup(QStringLiteral("1.0"));
        store.setValue(QStringLiteral("Polysize"), 100);
        store.setValue(QStringLiteral("Display"), 7);
        store.setValue(QStringLiteral("Show Water"), 0);
        store.setValue(QStringLiteral("Show Course"), 1);
        store.setValue(QStringLiteral("Models Pos"), QByteArray("\x01\0\0\0\x02\0\0\0\x03\0\0\0\x04\0\0\0", 16));
        store.setValue(QStringLiteral("Edit"), QByteArray("\x01\x02", 2)); // wrong length
        store.setValue(QStringLiteral("Texture Filter"), QStringLiteral("ABCDEFGHIJKLMNOP"));
        store.setValue(QStringLiteral("ART folder"), QString(300, QLatin1Char('a')));
        store.endGroup();
    }
    QSettings store(temp.path(), QSettings::IniFormat);
    ProgramSettings s = defaultSettings("/base");
    LoadSettings(store, s);
    EXPECT_EQ(s.polysize, 104u);
    EXPECT_EQ(s.display, 0u);
    EXPECT_FALSE(s.showWater);
    EXPECT_TRUE(s.alwaysShowCourse);
    EXPECT_TRUE(s.showBackdrop); // absent older value keeps its default
    EXPECT_EQ(s.modelsRect.left, 1);
    EXPECT_EQ(s.modelsRect.bottom, 4);
    EXPECT_EQ(s.editState.toBytes(), EditState{}.toBytes());
    EXPECT_EQ(s.artFolder.string().size(), 259u);
    // A value this version no longer keeps stays as an older version left it.
    SaveSettings(store, s);
    EXPECT_EQ(store.value(QStringLiteral("1.0/Texture Filter")).toString(), QStringLiteral("ABCDEFGHIJKLMNOP"));

    // "Flags" wins over the older values.
    store.setValue(QStringLiteral("1.0/Flags"), 1u << 3);
    ProgramSettings t;
    LoadSettings(store, t);
    EXPECT_TRUE(t.showWater);
    EXPECT_FALSE(t.alwaysShowCourse);
    EXPECT_FALSE(t.showBackdrop);
}

TEST(SettingsStore, EmptyStoreLeavesTheDefaults) {
    TempStore temp;
    QSettings store(temp.path(), QSettings::IniFormat);
    ProgramSettings s = defaultSettings("/base");
    LoadSettings(store, s);
    EXPECT_EQ(s.polysize, 64u);
    EXPECT_EQ(s.artFolder, std::filesystem::path("/base/Art"));
    EXPECT_EQ(s.gamma, 1.0f);
    EXPECT_EQ(s.windowPos.left, -1000);
}

TEST(SettingsStore, FirstStartDrawsAtTheWindowSizeThroughOpenGLWhereItCan) {
    for (const bool openGL : {true, false}) {
        TempStore temp;
        QSettings store(temp.path(), QSettings::IniFormat);
        ProgramSettings s = defaultSettings("/tmp/base");
        LoadSettings(store, s);
        int asked = 0;
        EXPECT_TRUE(ChooseFirstStartDisplay(store, s, [&] { return ++asked, openGL; }));
        EXPECT_EQ(s.display, 4u);
        EXPECT_EQ(s.useOpenGL, openGL);
        EXPECT_EQ(asked, 1);
    }

    // A stored choice is honoured, and OpenGL is not even tried.
    TempStore temp;
    {
        QSettings store(temp.path(), QSettings::IniFormat);
        ProgramSettings chosen = defaultSettings("/tmp/base");
        chosen.display = 1;
        chosen.useOpenGL = false;
        SaveSettings(store, chosen);
    }
    QSettings store(temp.path(), QSettings::IniFormat);
    ProgramSettings s = defaultSettings("/tmp/base");
    LoadSettings(store, s);
    int asked = 0;
    EXPECT_FALSE(ChooseFirstStartDisplay(store, s, [&] { return ++asked, true; }));
    EXPECT_EQ(s.display, 1u);
    EXPECT_FALSE(s.useOpenGL);
    EXPECT_EQ(asked, 0);

    // A store holding only folders still leaves the display to be chosen.
    TempStore partial;
    {
        QSettings only(partial.path(), QSettings::IniFormat);
        only.setValue(QStringLiteral("1.0/ART folder"), QStringLiteral("/data/art"));
    }
    QSettings folders(partial.path(), QSettings::IniFormat);
    ProgramSettings f = defaultSettings("/tmp/base");
    LoadSettings(folders, f);
    EXPECT_TRUE(ChooseFirstStartDisplay(folders, f, [] { return false; }));
    EXPECT_EQ(f.display, 4u);
    EXPECT_FALSE(f.useOpenGL);
}

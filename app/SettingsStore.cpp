#include "app/SettingsStore.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <algorithm>
#include <cstring>

namespace ravok {
namespace {

const QString kGroup = QStringLiteral("1.0");

// One place for converting folder paths to and from the store's text.
QString toText(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

std::optional<uint32_t> readDword(QSettings& store, const char* name) {
    QVariant v = store.value(QLatin1String(name));
    bool ok = false;
    uint32_t value = v.toUInt(&ok);
    if (!ok) value = uint32_t(v.toInt(&ok));
    return ok ? std::optional<uint32_t>(value) : std::nullopt;
}

std::optional<QByteArray> readBinary(QSettings& store, const char* name, qsizetype size) {
    QVariant v = store.value(QLatin1String(name));
    if (!v.isValid()) return std::nullopt;
    QByteArray bytes = v.toByteArray();
    if (bytes.size() != size) return std::nullopt; // a value of the wrong length is ignored
    return bytes;
}

std::span<const uint8_t> span(const QByteArray& b) {
    return {reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size())};
}

template <size_t N> QByteArray toBinary(const std::array<uint8_t, N>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(N));
}

void readString(QSettings& store, const char* name, size_t capacity, std::string& out) {
    QVariant v = store.value(QLatin1String(name));
    if (v.isValid()) out = v.toString().toStdString().substr(0, capacity);
}

void readFolder(QSettings& store, const char* name, std::filesystem::path& out) {
    std::string text;
    readString(store, name, kMaxFolderChars, text);
    if (store.contains(QLatin1String(name))) out = text;
}

template <typename T> void readRecord(QSettings& store, const char* name, qsizetype size, T& out) {
    if (auto b = readBinary(store, name, size)) out = T::fromBytes(span(*b));
}

void readViewFlags(QSettings& store, ProgramSettings& s) {
    if (auto flags = readDword(store, "Flags")) {
        unpackViewFlags(s, *flags);
        return;
    }
    // Older stores kept the first five flags as values of their own.
    const std::pair<const char*, bool ProgramSettings::*> older[] = {
        {"Show Course", &ProgramSettings::alwaysShowCourse},
        {"Show Objects", &ProgramSettings::alwaysShowObjects},
        {"Show Buildings", &ProgramSettings::alwaysShowGroundBoxes},
        {"Show Water", &ProgramSettings::showWater},
        {"Backdrop", &ProgramSettings::showBackdrop},
    };
    for (const auto& [name, member] : older)
        if (auto v = readDword(store, name)) s.*member = *v != 0;
}

} // namespace

void LoadSettings(QSettings& store, ProgramSettings& s) {
    store.beginGroup(kGroup);
    if (auto v = readDword(store, "Gamma")) std::memcpy(&s.gamma, &*v, 4);
    if (auto v = readDword(store, "Quality")) s.quality = *v;
    if (auto v = readDword(store, "Polysize")) s.polysize = correctPolysize(*v);
    if (auto v = readDword(store, "Display")) s.display = correctDisplay(*v);
    readViewFlags(store, s);
    readFolder(store, "ART folder", s.artFolder);
    readFolder(store, "MODELS folder", s.modelsFolder);
    readFolder(store, "POD folder", s.podFolder);
    readFolder(store, "RVK folder", s.trackFolder);
    readFolder(store, "SIT folder", s.sitFolder);
    readFolder(store, "SOUND folder", s.soundFolder);
    readFolder(store, "BITMAPS folder", s.bitmapsFolder);
    readFolder(store, "RVP file", s.patternFile);
    readRecord(store, "Lighting", 16, s.lighting);
    readRecord(store, "Auto Terrain", 16, s.autoTerrain);
    if (auto v = readDword(store, "Seed")) s.seed = *v;
    readRecord(store, "Autosave", 16, s.autosave);
    readRecord(store, "Edit", 12, s.editState);
    if (auto v = readDword(store, "Plane Altitude")) s.planeAltitude = std::clamp(int(int32_t(*v)), -255, 255);
    readRecord(store, "Window Pos", 16, s.windowPos);
    readRecord(store, "Models Pos", 16, s.modelsRect);
    readRecord(store, "Models Rect", 16, s.modelsRect);
    readRecord(store, "Textures Pos", 16, s.texturesRect);
    readRecord(store, "Textures Rect", 16, s.texturesRect);
    if (auto v = readDword(store, "Texture Pane Width")) s.texturePaneWidth = *v;
    if (auto v = readDword(store, "Models List Width")) s.modelsListWidth = *v;
    readRecord(store, "Components Size", 8, s.componentsSize);
    readRecord(store, "ObjProps Size", 8, s.objPropsSize);
    readRecord(store, "TexCut Size", 8, s.texCutSize);
    if (auto v = readDword(store, "TexCut Format")) s.texCutFormat = *v;
    if (auto b = readBinary(store, "Maximized", 4)) s.maximized = span(*b)[0] || span(*b)[1] || span(*b)[2] || span(*b)[3];
    if (auto b = readBinary(store, "Colors", 32)) s.colors = coloursFromBytes(span(*b));
    store.endGroup();
}

void SaveSettings(QSettings& store, const ProgramSettings& s) {
    store.beginGroup(kGroup);
    uint32_t gammaBits;
    std::memcpy(&gammaBits, &s.gamma, 4);
    store.setValue(QStringLiteral("Gamma"), gammaBits);
    store.setValue(QStringLiteral("Quality"), s.quality);
    store.setValue(QStringLiteral("Polysize"), s.polysize);
    store.setValue(QStringLiteral("Display"), s.display);
    store.setValue(QStringLiteral("Flags"), packViewFlags(s));
    store.setValue(QStringLiteral("ART folder"), toText(s.artFolder));
    store.setValue(QStringLiteral("MODELS folder"), toText(s.modelsFolder));
    store.setValue(QStringLiteral("POD folder"), toText(s.podFolder));
    store.setValue(QStringLiteral("RVK folder"), toText(s.trackFolder));
    store.setValue(QStringLiteral("SIT folder"), toText(s.sitFolder));
    store.setValue(QStringLiteral("SOUND folder"), toText(s.soundFolder));
    store.setValue(QStringLiteral("BITMAPS folder"), toText(s.bitmapsFolder));
    store.setValue(QStringLiteral("RVP file"), toText(s.patternFile));
    store.setValue(QStringLiteral("Lighting"), toBinary(s.lighting.toBytes()));
    store.setValue(QStringLiteral("Auto Terrain"), toBinary(s.autoTerrain.toBytes()));
    store.setValue(QStringLiteral("Seed"), s.seed);
    store.setValue(QStringLiteral("Autosave"), toBinary(s.autosave.toBytes()));
    store.setValue(QStringLiteral("Edit"), toBinary(s.editState.toBytes()));
    store.setValue(QStringLiteral("Plane Altitude"), uint32_t(int32_t(s.planeAltitude)));
    store.setValue(QStringLiteral("Window Pos"), toBinary(s.windowPos.toBytes()));
    store.setValue(QStringLiteral("Models Rect"), toBinary(s.modelsRect.toBytes()));
    store.setValue(QStringLiteral("Textures Rect"), toBinary(s.texturesRect.toBytes()));
    store.setValue(QStringLiteral("Texture Pane Width"), s.texturePaneWidth);
    store.setValue(QStringLiteral("Models List Width"), s.modelsListWidth);
    store.setValue(QStringLiteral("Components Size"), toBinary(s.componentsSize.toBytes()));
    store.setValue(QStringLiteral("ObjProps Size"), toBinary(s.objPropsSize.toBytes()));
    store.setValue(QStringLiteral("TexCut Size"), toBinary(s.texCutSize.toBytes()));
    store.setValue(QStringLiteral("TexCut Format"), s.texCutFormat);
    store.setValue(QStringLiteral("Maximized"), toBinary(std::array<uint8_t, 4>{uint8_t(s.maximized), 0, 0, 0}));
    store.setValue(QStringLiteral("Colors"), toBinary(coloursToBytes(s.colors)));
    store.endGroup();
}

namespace {
constexpr uint32_t kDisplayWindowSize = 4;
} // namespace

bool ChooseFirstStartDisplay(QSettings& store, ProgramSettings& s, const std::function<bool()>& openGLAvailable) {
    store.beginGroup(kGroup);
    const bool displayStored = store.contains(QStringLiteral("Display"));
    // The renderer is one of the view flags: any stored flag word is a choice made.
    const bool rendererStored = store.contains(QStringLiteral("Flags"));
    store.endGroup();
    if (!displayStored) s.display = kDisplayWindowSize;
    if (!rendererStored) s.useOpenGL = openGLAvailable();
    return !displayStored || !rendererStored;
}

void LoadSettings(ProgramSettings& s) {
    QSettings store(QStringLiteral("Quorvane"), QStringLiteral("Ravok"));
    LoadSettings(store, s);
}

void SaveSettings(const ProgramSettings& s) {
    QSettings store(QStringLiteral("Quorvane"), QStringLiteral("Ravok"));
    SaveSettings(store, s);
}

QStringList LoadRecentFileList(QSettings& store) {
    QStringList files;
    store.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= 4; ++i) {
        const QString file = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty()) files << file;
    }
    store.endGroup();
    return files;
}

void SaveRecentFileList(QSettings& store, const QStringList& files) {
    store.beginGroup(QStringLiteral("Recent File List"));
    store.remove(QString());
    for (int i = 0; i < files.size() && i < 4; ++i) store.setValue(QStringLiteral("File%1").arg(i + 1), files[i]);
    store.endGroup();
}

} // namespace ravok

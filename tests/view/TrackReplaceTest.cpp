#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "app/ViewSurface.h"
#include "art/Model.h"
#include "base/ProgramSettings.h"
#include "model/NativeFile.h"
#include "model/TrackPod.h"

#include "AppTestSupport.h"
#include "OpenGLApp.h"
#include "TestModels.h"
#include "TestSupport.h"
#include "TestTracks.h"

#include <QSurfaceFormat>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace ravok;
using ravok::test::TempDir;

namespace {

QString qpath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

// The hilly track with every object standing on a model of the models
// folder (a LightWave cube stored under the model's name).
void writeTrackWithModels(const std::filesystem::path& path, const std::string& modelFile, float size,
                          const ProgramSettings& settings) {
    test::writeBytes(settings.modelsFolder / modelFile, test::lightWaveCube(size, 200, 20, 10));
    CTrackPOD track;
    test::hillyTrack(track);
    track.SetTrackName("Model Farm");
    // Its textures in the art folder, where Open finds them.
    for (const auto& texture : track.terrainTextures) {
        if (!texture) continue;
        const std::string name(texture->name().view());
        test::writeBytes(settings.artFolder / name.substr(name.find('\\') + 1),
                         std::vector<uint8_t>(texture->pixels().begin(), texture->pixels().end()));
    }
    auto model = std::make_unique<Model>();
    model->setName("MODELS\\" + modelFile);
    track.models[0] = std::move(model);
    for (auto& object : track.objects)
        if (object) object->modelName.set("MODELS\\" + modelFile);
    ASSERT_TRUE(SaveBinary(track, path));
}

// Draws the view through the renderer and returns what it shows.
QImage drawnBy(CRavokView& view, ProgramSettings& settings, bool openGL) {
    settings.useOpenGL = openGL;
    view.update();
    QTest::qWait(50);
    return view.grabView();
}

} // namespace

// Open, New and View POD replace the track through one door: before the old
// track is cleared the view holds no mesh, texture or OpenGL object made from
// it (so nothing can be drawn for a freed model), and draws the new track
// through both renderers afterwards.
TEST(TrackReplace, TheViewLetsGoOfTheOldTrackBeforeItIsCleared) {
    ravok::test::openGLApp();
    TempDir dir;
    ProgramSettings settings = defaultSettings(dir.path());
    std::filesystem::create_directories(settings.artFolder);
    std::filesystem::create_directories(settings.modelsFolder);
    settings.display = 4;
    settings.wholeGrid = true;
    settings.alwaysShowObjects = settings.alwaysShowGroundBoxes = true;
    writeTrackWithModels(dir / "huts.rvk", "HUT.BIN", 120, settings);
    writeTrackWithModels(dir / "barns.rvk", "BARN.BIN", 200, settings);

    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    CRavokFrame frame(doc, settings);
    CRavokView& view = *frame.view();
    frame.resize(900, 700);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const bool openGL = CViewSurface::OpenGLAvailable();

    // What the view still held when each old track went; connected after the view's own slot.
    struct Held {
        bool scene;
        int openGLObjects;
    };
    std::vector<Held> held;
    QObject::connect(&doc, &CRavokDoc::aboutToReplaceContents,
                     [&] { held.push_back({!view.scene().empty(), view.glRenderer().objectsHeld()}); });

    // Opens (or views) a track, draws it through both renderers and checks its models were drawn from.
    auto drawModels = [&](const char* what) {
        SCOPED_TRACE(what);
        const Model* model = doc.track().models[0].get();
        ASSERT_TRUE(model);
        const Mesh* mesh = view.scene().modelMesh(model);
        ASSERT_TRUE(mesh);
        EXPECT_GT(mesh->triangleCount(), 0u);
        view.camera() = ViewCamera{60 * 64, 40 * 64, 3 * 400, 450, 1500, 256};
        view.JumpTo(60 * 64, 40 * 64);
        EXPECT_FALSE(drawnBy(view, settings, false).isNull());
        if (openGL) {
            EXPECT_FALSE(drawnBy(view, settings, true).isNull());
            EXPECT_GT(view.glRenderer().objectsHeld(), 0);
        }
    };

    ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "huts.rvk")));
    drawModels("huts");
    held.clear();

    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_FALSE(held[0].scene) << "New";
    EXPECT_EQ(held[0].openGLObjects, 0) << "New";
    EXPECT_FALSE(drawnBy(view, settings, false).isNull());

    ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "huts.rvk")));
    drawModels("huts again");
    ASSERT_TRUE(doc.WritePod(qpath(dir / "huts.pod"), false));
    ASSERT_TRUE(doc.ViewPod(qpath(dir / "huts.pod")));
    drawModels("huts viewed from their pod");
    ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "barns.rvk")));
    drawModels("barns");

    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front();
    ASSERT_EQ(held.size(), 4u);
    for (size_t i = 1; i < held.size(); ++i) {
        EXPECT_FALSE(held[i].scene) << "replacement " << i;
        EXPECT_EQ(held[i].openGLObjects, 0) << "replacement " << i;
    }
}

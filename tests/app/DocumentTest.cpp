#include "app/ProgressDlg.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "art/Model.h"
#include "base/ProgramSettings.h"
#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "pod/TrackPodBuild.h"
#include "trackart/TrackArt.h"

#include "../pod/PodFixture.h"
#include "AppTestSupport.h"
#include "TestModels.h"
#include "TestSupport.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace ravok;
using ravok::test::app;
using ravok::test::ModalAnswerer;
using ravok::test::TempDir;

namespace {

QString qpath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

// Settings whose folders all lie in one temporary folder.
ProgramSettings settingsIn(const TempDir& dir) {
    ProgramSettings s = defaultSettings(dir.path());
    std::filesystem::create_directories(s.artFolder);
    std::filesystem::create_directories(s.modelsFolder);
    return s;
}

void writeNewTrack(const std::filesystem::path& path) {
    CTrackPOD track;
    NewMtm2Track(track);
    track.SetTrackName("Hill Climb");
    auto grass = std::make_unique<Texture>();
    std::vector<uint8_t> pixels(64 * 64, 7);
    grass->setPicture("ART\\GRASS.RAW", 64, 64, pixels.data());
    track.AddTerrainTexture(std::move(grass));
    ASSERT_TRUE(SaveBinary(track, path));
}

// Cancel pressed on every progress dialog before its worker starts.
struct CancelEveryProgress {
    CancelEveryProgress() { CProgressDlg::onShown = [](CProgressDlg& d) { d.cancel(); }; }
    ~CancelEveryProgress() { CProgressDlg::onShown = nullptr; }
};

} // namespace

TEST(Document, OpenOfAFileThatIsNotATrackShowsTheErrorAndLeavesAClearedTrack) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    test::writeBytes(dir / "junk.rvk", {'N', 'O', 'T', ' ', 'A', ' ', 'T', 'R', 'A', 'C', 'K'});
    CRavokDoc doc(settings);
    ModalAnswerer answerer;
    EXPECT_FALSE(doc.OnOpenDocument(qpath(dir / "junk.rvk")));
    EXPECT_EQ(answerer.boxes, QStringList{QStringLiteral("Ravok: Error loading rvk file")});
    EXPECT_EQ(doc.title(), QStringLiteral("Untitled"));
    EXPECT_TRUE(doc.pathName().isEmpty());
    EXPECT_EQ(filledSlots(doc.track().terrainTextures), 0);
    EXPECT_TRUE(doc.track().fogMap.empty());
    EXPECT_TRUE(doc.recentFiles().isEmpty());
}

TEST(Document, OpenWithMissingTexturesOpensAndReportsThem) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    writeNewTrack(dir / "hill.rvk");
    CRavokDoc doc(settings);
    doc.setModified(true);
    ModalAnswerer answerer([](QWidget* modal) {
        return ModalAnswerer::press(modal, QStringLiteral("Save changes"), QMessageBox::No);
    });
    ASSERT_TRUE(doc.OpenFile(qpath(dir / "hill.rvk")));
    ASSERT_EQ(answerer.boxes.size(), 2);
    EXPECT_TRUE(answerer.boxes[0].contains(QStringLiteral("Save changes to Untitled?")));
    EXPECT_TRUE(answerer.boxes[1].startsWith(QStringLiteral("Error loading texture(s): ")));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.title(), QStringLiteral("hill.rvk"));
    EXPECT_EQ(doc.lastFolder(), qpath(dir.path()));
    EXPECT_EQ(doc.recentFiles().value(0), qpath(dir / "hill.rvk"));
    // Every texture is there as a placeholder marked bad.
    ASSERT_GT(filledSlots(doc.track().terrainTextures), 0);
    EXPECT_TRUE(doc.track().terrainTextures[0]->bad);
}

TEST(Document, SaveKeepsTheModifiedFlagWhenTheWriteFails) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    doc.setModified(true);
    EXPECT_FALSE(doc.OnSaveDocument(qpath(dir / "no-such-folder" / "x.rvk")));
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.pathName().isEmpty());
    ASSERT_EQ(prompter.shown.size(), 1u);

    ASSERT_TRUE(doc.OnSaveDocument(qpath(dir / "x.rvk")));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.title(), QStringLiteral("x.rvk"));
    CTrackPOD back;
    EXPECT_TRUE(LoadBinary(back, dir / "x.rvk"));
}

TEST(Document, RecentFilesKeepTheFourNewestAndReopen) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(doc.OnSaveDocument(qpath(dir / ("t" + std::to_string(i) + ".rvk"))));
    ASSERT_EQ(doc.recentFiles().size(), 4);
    EXPECT_EQ(doc.recentFiles().front(), qpath(dir / "t4.rvk"));
    EXPECT_EQ(doc.recentFiles().back(), qpath(dir / "t1.rvk"));
    EXPECT_TRUE(frame.recentFileAction(3)->text().endsWith(QStringLiteral("t1.rvk")));

    ASSERT_TRUE(doc.OnNewDocument());
    frame.recentFileAction(2)->trigger(); // t2.rvk
    EXPECT_EQ(doc.title(), QStringLiteral("t2.rvk"));
    EXPECT_EQ(doc.recentFiles().front(), qpath(dir / "t2.rvk"));
    EXPECT_EQ(doc.recentFiles().size(), 4);
}

TEST(Document, AViewedPodIsNeverSavedNorAutosaved) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    settings.autosave = {true, 0, 5};
    CTrackPOD source;
    test::richTrack(source);
    ASSERT_TRUE(BuildTrackPod(source, dir / "farm.pod", dir / "no-art", nullptr).ok);
    writeNewTrack(dir / "mine.rvk");

    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "mine.rvk")));
    const auto mineBefore = std::filesystem::last_write_time(dir / "mine.rvk");
    prompter.shown.clear();

    ASSERT_TRUE(doc.ViewPod(qpath(dir / "farm.pod")));
    EXPECT_TRUE(doc.podViewMode());
    EXPECT_EQ(doc.title(), QStringLiteral("Farm Road"));
    // The file opened before is no longer the document's: autosave cannot reach it.
    EXPECT_TRUE(doc.pathName().isEmpty());
    EXPECT_FALSE(doc.Autosave());
    EXPECT_FALSE(doc.OnSaveDocument(qpath(dir / "mine.rvk")));
    EXPECT_FALSE(doc.OnSaveDocument(qpath(dir / "other.rvk")));
    EXPECT_FALSE(std::filesystem::exists(dir / "other.rvk"));
    EXPECT_EQ(std::filesystem::last_write_time(dir / "mine.rvk"), mineBefore);
    EXPECT_FALSE(frame.saveAction()->isEnabled());
    EXPECT_FALSE(frame.writePodAction()->isEnabled());
    EXPECT_TRUE(frame.extractAction()->isEnabled());
    EXPECT_EQ(settings.podFolder, dir.path());

    // Leaving the viewed pod never asks to save it.
    doc.setModified(true);
    EXPECT_TRUE(doc.SaveModified());
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(doc.podViewMode());
    EXPECT_TRUE(frame.writePodAction()->isEnabled());
    EXPECT_FALSE(frame.extractAction()->isEnabled());
}

TEST(Document, ExtractWritesTheViewedPodsArtIntoEmptyFolders) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    CTrackPOD source;
    test::richTrack(source);
    ASSERT_TRUE(BuildTrackPod(source, dir / "farm.pod", dir / "no-art", nullptr).ok);
    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    prompter.answers = {true};
    doc.setPrompter(&prompter);
    ASSERT_TRUE(doc.ViewPod(qpath(dir / "farm.pod")));
    doc.ExtractArt();
    EXPECT_TRUE(std::filesystem::exists(settings.artFolder / "TEX0.RAW"));
    EXPECT_TRUE(std::filesystem::exists(settings.modelsFolder / "HUT.BIN"));
}

TEST(Document, CancelLeavesTheProgramWorking) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    writeNewTrack(dir / "hill.rvk");
    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);

    // A worker that runs until it is told to stop.
    {
        std::atomic<int> steps{0};
        // Cancel pressed a little after the dialog shows, however late that is on a busy machine.
        CProgressDlg::onShown = [](CProgressDlg& d) { QTimer::singleShot(50, &d, [&d] { d.cancel(); }); };
        const ProgressOutcome outcome = doc.runProgress([&](ProgressSink& sink) {
            while (!sink.cancelled()) {
                sink.setPosition(++steps % 100);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return false;
        });
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.cancelled);
        CProgressDlg::onShown = nullptr;
        EXPECT_GT(steps.load(), 0);
    }

    {
        CancelEveryProgress cancel;
        // Open: the file is read whole, the art and models passes stop at once.
        EXPECT_FALSE(doc.OnOpenDocument(qpath(dir / "hill.rvk")));
        EXPECT_TRUE(prompter.shown.empty()); // a cancel is not an error
        // Write POD: nothing is written.
        doc.track().SetTrackName("Hill Climb");
        EXPECT_FALSE(doc.WritePod(qpath(dir / "hill.pod"), false));
        EXPECT_FALSE(std::filesystem::exists(dir / "hill.pod"));
        EXPECT_TRUE(prompter.shown.empty());
    }
    // Everything works again afterwards.
    ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "hill.rvk")));
    doc.WritePod(qpath(dir / "hill.pod"), false);
    EXPECT_TRUE(std::filesystem::exists(dir / "hill.pod"));
}

TEST(Document, AutosaveWritesOnlyTracksThatHaveAFile) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    settings.autosave = {true, 1, 5};
    CRavokDoc doc(settings);
    const QString special = CRavokDoc::specialAutosavePath();
    QFile::remove(special);
    // Never saved: the special file method does nothing.
    EXPECT_FALSE(doc.Autosave());
    EXPECT_FALSE(QFile::exists(special));

    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    ASSERT_TRUE(doc.OnSaveDocument(qpath(dir / "mine.rvk")));
    doc.setModified(true);
    EXPECT_TRUE(doc.Autosave());
    EXPECT_TRUE(QFile::exists(special));
    EXPECT_TRUE(doc.isModified()); // autosave leaves the flag as it was
    CTrackPOD back;
    EXPECT_TRUE(LoadBinary(back, special.toStdString()));

    // Overwrite the original.
    settings.autosave.method = 0;
    std::filesystem::remove(dir / "mine.rvk");
    EXPECT_TRUE(doc.Autosave());
    EXPECT_TRUE(std::filesystem::exists(dir / "mine.rvk"));
    QFile::remove(special);
}

TEST(Document, CloneFailureShowsItsMessageAndLeavesAnEmptyTrack) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    test::writeBytes(dir / "LOOSE.SIT", {'x'});
    EXPECT_FALSE(doc.CloneTrack(qpath(dir / "LOOSE.SIT")));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].find("SIT not in proper location."), std::string::npos);
    EXPECT_EQ(filledSlots(doc.track().terrainTextures), 0);
    EXPECT_EQ(settings.sitFolder, dir.path());
}

namespace {

// A prompter that, while it shows a message, lets the autosave timer tick,
// as a message box's own event loop does.
struct AutosavingPrompter : test::ScriptedPrompter {
    CRavokDoc* doc = nullptr;
    int ticks = 0, written = 0;
    void warn(const std::string& text, const std::string& caption) override {
        ScriptedPrompter::warn(text, caption);
        ++ticks;
        written += doc->Autosave();
    }
};

} // namespace

TEST(Document, AutosaveNeverWritesWhileAnotherTrackComesIn) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    writeNewTrack(dir / "first.rvk");
    writeNewTrack(dir / "second.rvk"); // its texture is missing from the art folder
    CRavokDoc doc(settings);
    AutosavingPrompter prompter;
    prompter.doc = &doc;
    doc.setPrompter(&prompter);
    ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "first.rvk")));
    ASSERT_GT(prompter.ticks, 0); // the texture report came up
    doc.track().SetTrackName("Changed First");
    doc.setModified(true);
    const std::vector<uint8_t> first = test::fileBytes(dir / "first.rvk");

    for (int method : {0, 1}) {
        settings.autosave = {true, method, 5};
        const QString special = CRavokDoc::specialAutosavePath();
        QFile::remove(special);
        prompter.ticks = prompter.written = 0;
        ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "second.rvk")));
        EXPECT_GT(prompter.ticks, 0);
        EXPECT_EQ(prompter.written, 0) << "method " << method;
        EXPECT_EQ(test::fileBytes(dir / "first.rvk"), first);
        EXPECT_FALSE(QFile::exists(special));
        EXPECT_EQ(doc.pathName(), qpath(dir / "second.rvk"));
        // Once the open is over, autosave writes the new track to its own file.
        EXPECT_TRUE(doc.Autosave());
        ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "first.rvk")));
    }
    QFile::remove(CRavokDoc::specialAutosavePath());
}

TEST(Document, AFailingSaveLeavesTheFileAndTheDocumentModified) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    writeNewTrack(dir / "mine.rvk");
    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    ASSERT_TRUE(doc.OnOpenDocument(qpath(dir / "mine.rvk")));
    doc.track().SetTrackName("Edited");
    doc.setModified(true);
    const std::vector<uint8_t> old = test::fileBytes(dir / "mine.rvk");

    // Read-only: the message names the file; the file stays as it was.
    std::filesystem::permissions(dir / "mine.rvk", std::filesystem::perms(0444));
    prompter.shown.clear();
    EXPECT_FALSE(doc.DoFileSave());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].find("mine.rvk"), std::string::npos) << prompter.shown[0];
    EXPECT_EQ(test::fileBytes(dir / "mine.rvk"), old);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.pathName(), qpath(dir / "mine.rvk"));

    // A folder in the way of Save As.
    std::filesystem::create_directory(dir / "taken.rvk");
    EXPECT_FALSE(doc.OnSaveDocument(qpath(dir / "taken.rvk")));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.rvk"));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.pathName(), qpath(dir / "mine.rvk"));
}

TEST(Document, CancelAfterTheWorkIsDoneReportsTheRealResult) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    doc.track().SetTrackName("Hill Climb");
    doc.setModified(true);
    // Cancel is pressed on the dialog after the worker has finished, before
    // the dialog has learnt it.
    int pressed = 0;
    CProgressDlg::onWorkDone = [&pressed](CProgressDlg& dialog) {
        QMetaObject::invokeMethod(&dialog, [&dialog, &pressed] {
            if (dialog.isVisible()) ++pressed;
            dialog.cancel();
        }, Qt::QueuedConnection);
    };
    const bool saved = doc.OnSaveDocument(qpath(dir / "done.rvk"));
    const bool written = doc.WritePod(qpath(dir / "done.pod"), false);
    CProgressDlg::onWorkDone = nullptr;
    EXPECT_EQ(pressed, 2);
    EXPECT_TRUE(saved);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.pathName(), qpath(dir / "done.rvk"));
    EXPECT_TRUE(written);
    EXPECT_TRUE(std::filesystem::exists(dir / "done.pod"));
    EXPECT_TRUE(prompter.shown.empty());
}

namespace {

// Runs `work` in a child process that is then killed without any clean-up,
// as a crash or a power cut would end the editor.
bool killedAfter(const std::function<void()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        work();
        kill(getpid(), SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

} // namespace

TEST(Document, RecoversTheWorkOfAKilledSession) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    writeNewTrack(dir / "mine.rvk");
    QFile::remove(CRavokDoc::recoveryPath());

    // A never-saved track with edits: recovered as modified and Untitled.
    {
        CRavokDoc doc(settings);
        doc.track().SetTrackName("Unsaved Work");
        doc.setModified(true);
        ASSERT_TRUE(killedAfter([&] { doc.WriteRecovery(); }));
    }
    {
        CRavokDoc doc(settings);
        test::ScriptedPrompter prompter;
        prompter.answers = {true};
        doc.setPrompter(&prompter);
        ASSERT_TRUE(doc.OfferRecovery());
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_NE(prompter.shown[0].find("\"Untitled\""), std::string::npos) << prompter.shown[0];
        EXPECT_EQ(doc.track().trackName.str(), "Unsaved Work");
        EXPECT_TRUE(doc.isModified());
        EXPECT_EQ(doc.title(), QStringLiteral("Untitled"));
        // A clean exit removes it.
        doc.RemoveRecovery();
        EXPECT_FALSE(QFile::exists(CRavokDoc::recoveryPath()));
        EXPECT_FALSE(doc.OfferRecovery());
    }

    // Edits to a saved track: recovered under its name; No removes the file.
    // The session that is killed after a recovery tick.
    auto editMine = [&] {
        CRavokDoc doc(settings);
        test::ScriptedPrompter quiet;
        doc.setPrompter(&quiet);
        doc.OnOpenDocument(qpath(dir / "mine.rvk"));
        doc.track().SetTrackName("Edited Mine");
        doc.setModified(true);
        return killedAfter([&] { doc.WriteRecovery(); });
    };
    ASSERT_TRUE(editMine());
    {
        CRavokDoc doc(settings);
        test::ScriptedPrompter prompter;
        prompter.answers = {true};
        doc.setPrompter(&prompter);
        ASSERT_TRUE(doc.OfferRecovery());
        EXPECT_EQ(doc.track().trackName.str(), "Edited Mine");
        EXPECT_EQ(doc.pathName(), qpath(dir / "mine.rvk"));
        EXPECT_TRUE(doc.isModified());
    }
    ASSERT_TRUE(editMine());
    {
        CRavokDoc doc(settings);
        test::ScriptedPrompter prompter;
        prompter.answers = {false};
        doc.setPrompter(&prompter);
        EXPECT_FALSE(doc.OfferRecovery());
        EXPECT_EQ(prompter.shown.size(), 1u);
        EXPECT_FALSE(QFile::exists(CRavokDoc::recoveryPath()));
    }

    // The document's file saved after the recovery file: nothing is asked.
    ASSERT_TRUE(editMine());
    std::filesystem::last_write_time(dir / "mine.rvk",
                                     std::filesystem::file_time_type::clock::now() + std::chrono::minutes(1));
    {
        CRavokDoc doc(settings);
        test::ScriptedPrompter prompter;
        doc.setPrompter(&prompter);
        EXPECT_FALSE(doc.OfferRecovery());
        EXPECT_TRUE(prompter.shown.empty());
        EXPECT_FALSE(QFile::exists(CRavokDoc::recoveryPath()));
    }
}

TEST(Document, TheViewDrawsNothingOfTheTrackWhileAWorkerOwnsIt) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    settings.useOpenGL = false;
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    frame.resize(800, 600);
    frame.show();
    QWidget* view = frame.view();
    auto frameWhileBusy = [&] {
        QImage seen;
        QTimer::singleShot(0, [&] { seen = view->grab().toImage(); });
        doc.runProgress([](ProgressSink&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return true;
        });
        return seen;
    };
    const QImage idleMtm2 = view->grab().toImage();
    const QImage busyMtm2 = frameWhileBusy();
    ASSERT_TRUE(doc.OnFileNewMTM1());
    doc.track().SetTrackName("Another Look");
    const QImage idleMtm1 = view->grab().toImage();
    const QImage busyMtm1 = frameWhileBusy();
    ASSERT_FALSE(busyMtm2.isNull());
    EXPECT_NE(idleMtm2, busyMtm2);
    EXPECT_NE(idleMtm1, idleMtm2); // the two tracks look different when drawn...
    EXPECT_EQ(busyMtm1, busyMtm2); // ...but not while a worker owns them
}

TEST(Document, WritePodTellsTheViewsAboutModelsReadAgain) {
    app();
    TempDir dir;
    ProgramSettings settings = settingsIn(dir);
    settings.keepHdArtOnly = true;
    test::writeBytes(settings.modelsFolder / "HUT.BIN", test::binModel({"WOOD.RAW"}));
    test::writeBytes(settings.artFolder / "WOOD.RAW", std::vector<uint8_t>(64 * 64, 1));
    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    auto hut = std::make_unique<Model>();
    hut->setName("MODELS\\HUT.BIN");
    doc.track().models[0] = std::move(hut);
    BadReport report;
    ASSERT_TRUE(LoadModels(doc.track(), settings.modelsFolder, settings.artFolder, report));

    int told = 0;
    QObject::connect(&doc, &CRavokDoc::modelsChanged, [&told] { ++told; });
    doc.WritePod(qpath(dir / "first.pod"), false);
    EXPECT_EQ(told, 0); // nothing changed on disk
    test::writeBytes(settings.modelsFolder / "HUT.BIN", test::binModel({"WOOD.RAW", "WOOD.RAW"}));
    std::filesystem::last_write_time(settings.modelsFolder / "HUT.BIN",
                                     std::filesystem::file_time_type::clock::now() + std::chrono::seconds(30));
    doc.WritePod(qpath(dir / "second.pod"), false);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(doc.track().models[0]->facets().size(), 2u);
}

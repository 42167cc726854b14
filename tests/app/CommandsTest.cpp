#include "app/OptionsSheet.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "base/ProgramSettings.h"

#include "../pod/PodFixture.h"
#include "AppTestSupport.h"
#include "TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::app;
using ravok::test::ModalAnswerer;
using ravok::test::TempDir;

namespace {

QString qpath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

template <typename T> T* child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

} // namespace

TEST(Options, OkClampsTheMinutesStartsAutosaveAndOffersToCreateFolders) {
    app();
    TempDir dir;
    ProgramSettings settings = defaultSettings(dir.path());
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    ASSERT_FALSE(frame.autosaveTimer().isActive());
    auto answerer = std::make_unique<ModalAnswerer>([&](QWidget* modal) {
        auto* sheet = qobject_cast<COptionsSheet*>(modal);
        if (!sheet) return false;
        child<QCheckBox>(sheet, "Save every")->setChecked(true);
        QSpinBox* minutes = child<QSpinBox>(sheet, "minutes");
        minutes->clear();
        QTest::keyClicks(minutes, QStringLiteral("45"));
        child<QLineEdit>(sheet, "artFolder")->setText(qpath(dir / "MyArt"));
        child<QCheckBox>(sheet, "Explain the legacy .RAW fallback when writing a pod")->setChecked(false);
        sheet->accept();
        return true;
    });
    frame.OnOptions();
    EXPECT_TRUE(settings.autosave.enabled);
    EXPECT_EQ(settings.autosave.minutes, 30);
    EXPECT_TRUE(frame.autosaveTimer().isActive());
    EXPECT_EQ(frame.autosaveTimer().interval(), 30 * 60 * 1000);
    EXPECT_TRUE(settings.dontExplainLegacyFallback);
    EXPECT_EQ(settings.artFolder, dir / "MyArt");
    // Both folders were missing: each question was asked and Yes created it.
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_TRUE(answerer->boxes[0].startsWith(QStringLiteral("ART Folder Not Found: Folder:\n\"")));
    EXPECT_TRUE(answerer->boxes[1].startsWith(QStringLiteral("MODELS Folder Not Found: ")));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "MyArt"));
    EXPECT_TRUE(std::filesystem::is_directory(settings.modelsFolder));

    // The recovery file is written at the same interval, from now on.
    EXPECT_TRUE(doc.recoveryTimer().isActive());
    EXPECT_EQ(doc.recoveryTimer().interval(), 30 * 60 * 1000);

    // A shorter interval while autosave stays on counts at once, for both.
    answerer.reset();
    {
        ModalAnswerer shorter([&](QWidget* modal) {
            auto* sheet = qobject_cast<COptionsSheet*>(modal);
            if (!sheet) return false;
            QSpinBox* minutes = child<QSpinBox>(sheet, "minutes");
            minutes->clear();
            QTest::keyClicks(minutes, QStringLiteral("1"));
            sheet->accept();
            return true;
        });
        frame.OnOptions();
    }
    EXPECT_EQ(frame.autosaveTimer().interval(), 60 * 1000);
    EXPECT_EQ(doc.recoveryTimer().interval(), 60 * 1000);

    // Turning autosave off stops the timer.
    ModalAnswerer off([&](QWidget* modal) {
        auto* sheet = qobject_cast<COptionsSheet*>(modal);
        if (!sheet) return false;
        child<QCheckBox>(sheet, "Save every")->setChecked(false);
        sheet->accept();
        return true;
    });
    frame.OnOptions();
    EXPECT_FALSE(frame.autosaveTimer().isActive());
}

TEST(Startup, MissingFoldersAreOfferedOnceAndCreatedOnYes) {
    app();
    TempDir dir;
    ProgramSettings settings = defaultSettings(dir.path());
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    test::ScriptedPrompter prompter;
    prompter.answers = {true};
    doc.setPrompter(&prompter);
    frame.OnStartupCheck();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "Folder(s) Not Found: ART/MODELS folders are currently:\n\"" +
                                     settings.artFolder.string() + "\"\n\"" + settings.modelsFolder.string() +
                                     "\"\nand the don't exist.\n\nGo to View/Options to set them up.\n\nOr shall I "
                                     "create them for you?");
    EXPECT_TRUE(std::filesystem::is_directory(settings.artFolder));
    EXPECT_TRUE(std::filesystem::is_directory(settings.modelsFolder));
    frame.OnStartupCheck(); // they exist now: nothing is asked
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST(About, VersionTextWithAndWithoutABuildNumber) {
    EXPECT_EQ(aboutVersionText(1, 2, 3, 45, QStringLiteral("Dec  7 2026")),
              QStringLiteral("Ravok Version 1.2.3 Build 45 (Dec  7 2026)"));
    EXPECT_EQ(aboutVersionText(0, 1, 0, 0, QStringLiteral("Dec  7 2026")),
              QStringLiteral("Ravok Version 0.1.0 Build (Dec  7 2026)"));
}

TEST(WritePod, DialogsInOrderThenTheBuild) {
    app();
    TempDir dir;
    ProgramSettings settings = defaultSettings(dir.path());
    settings.keepHdArtOnly = true;
    std::filesystem::create_directories(settings.artFolder);
    test::writeBytes(settings.artFolder / "TEX0.PNG", {0x89, 'P', 'N', 'G'});
    CRavokDoc doc(settings);
    test::richTrack(doc.track());
    doc.track().SetTrackName(""); // incomplete: the report comes first
    CRavokFrame frame(doc, settings);

    QStringList seen;
    bool omitEnabled = false;
    QString omitText, proposedName, proposedFolder;
    ModalAnswerer answerer([&](QWidget* modal) {
        seen << modal->windowTitle();
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            auto* omit = child<QCheckBox>(files, "omitFallback");
            omitEnabled = omit->isEnabled();
            omitText = omit->text();
            proposedName = child<QLineEdit>(files, "fileNameEdit")->text();
            proposedFolder = files->directory().absolutePath();
            omit->setChecked(true);
            files->setDirectory(qpath(dir / "out"));
            child<QLineEdit>(files, "fileNameEdit")->setText(QStringLiteral("farm.pod"));
            QMetaObject::invokeMethod(files, "accept");
            return true;
        }
        if (modal->windowTitle() == QStringLiteral("Legacy .RAW fallback")) {
            child<QCheckBox>(modal, "dontExplain")->setChecked(true);
            qobject_cast<QDialog*>(modal)->accept();
            return true;
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && !qobject_cast<QMessageBox*>(modal)) {
            if (dialog->windowTitle() == QStringLiteral("Incomplete Track")) dialog->accept();
            return dialog->windowTitle() == QStringLiteral("Incomplete Track");
        }
        return false;
    });
    std::filesystem::create_directories(dir / "out");
    frame.writePodAction()->trigger();
    ASSERT_GE(seen.size(), 3);
    EXPECT_EQ(seen.mid(0, 3), (QStringList{QStringLiteral("Incomplete Track"), QStringLiteral("Legacy .RAW fallback"),
                                           QStringLiteral("Write POD file")}));
    EXPECT_TRUE(omitEnabled);
    EXPECT_TRUE(omitText.startsWith(QStringLiteral("Omit the legacy .RAW fallback  (saves ")));
    EXPECT_TRUE(settings.dontExplainLegacyFallback);
    EXPECT_EQ(doc.track().omitLegacyFallback, 1u);
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "farm.pod"));
    EXPECT_EQ(settings.podFolder, dir / "out");
    // The dialog proposed the world name in the last pod folder; the status
    // bar says where the pod went and how big it is.
    EXPECT_EQ(proposedName, QString::fromStdString(std::string(doc.track().WorldName.view())) + ".pod");
    EXPECT_EQ(proposedFolder, qpath(dir.path()));
    const QString status = frame.statusBar()->currentMessage();
    EXPECT_TRUE(status.contains(qpath(dir / "out" / "farm.pod"))) << status.toStdString();
    EXPECT_TRUE(status.contains(QStringLiteral("KB)")) || status.contains(QStringLiteral("MB)")));
}

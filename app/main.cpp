#include "app/FileAssociation.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/SettingsStore.h"
#include "app/ViewSurface.h"
#include "base/ProgramSettings.h"

#include <QApplication>
#include <QSettings>
#include <QSurfaceFormat>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    // The track view draws with OpenGL 1.1 calls: a compatibility context.
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("Ravok"));
    QApplication::setApplicationVersion(QStringLiteral(RAVOK_VERSION));

    // Seeded from the clock, so that the random course of "Generate from Main" differs between runs.
    std::srand(unsigned(std::chrono::system_clock::now().time_since_epoch().count()));

    RegisterFileAssociation();
    ravok::ProgramSettings settings = ravok::defaultSettings(std::filesystem::current_path());
    ravok::LoadSettings(settings);
    QSettings store;
    ravok::ChooseFirstStartDisplay(store, settings, &CViewSurface::OpenGLAvailable);

    CRavokDoc doc(settings);
    doc.setRecentFiles(ravok::LoadRecentFileList(store));
    CRavokFrame frame(doc, settings);
    frame.restoreFromSettings();
    frame.show();

    // Work left behind by a run that did not end cleanly is offered back first;
    // otherwise a file named on the command line (or by a double-click on a
    // track) opens at once. Then the check of the art and models folders.
    const QStringList arguments = QApplication::arguments();
    QTimer::singleShot(0, &frame, [&] {
        if (!doc.OfferRecovery() && arguments.size() > 1) doc.OpenFile(arguments.at(1));
        frame.OnStartupCheck();
    });
    doc.startRecovery(settings.autosave.minutes);

    // RAVOK_QUIT_AFTER_MS lets scripts start the editor and see it come up and close cleanly.
    if (qEnvironmentVariableIsSet("RAVOK_QUIT_AFTER_MS"))
        QTimer::singleShot(qEnvironmentVariableIntValue("RAVOK_QUIT_AFTER_MS"), &frame, [&] {
            doc.setModified(false);
            frame.close();
        });

    int result = app.exec();
    doc.RemoveRecovery(); // a clean exit leaves nothing to recover
    ravok::SaveSettings(settings);
    ravok::SaveRecentFileList(store, doc.recentFiles());
    return result;
}

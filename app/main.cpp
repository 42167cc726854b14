#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/SettingsStore.h"
#include "base/ProgramSettings.h"

#include <QApplication>
#include <QSurfaceFormat>
#include <QTimer>

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

    ravok::ProgramSettings settings = ravok::defaultSettings(std::filesystem::current_path());
    ravok::LoadSettings(settings);

    CRavokDoc doc;
    CRavokFrame frame(doc, settings);
    frame.restoreFromSettings();
    if (settings.maximized)
        frame.showMaximized();
    else
        frame.show();

    // RAVOK_QUIT_AFTER_MS lets scripts start the editor and see it come up and close cleanly.
    if (qEnvironmentVariableIsSet("RAVOK_QUIT_AFTER_MS"))
        QTimer::singleShot(qEnvironmentVariableIntValue("RAVOK_QUIT_AFTER_MS"), &frame, &QWidget::close);

    int result = app.exec();
    ravok::SaveSettings(settings);
    return result;
}

#include "app/FileAssociation.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

void RegisterFileAssociation() {
#ifdef Q_OS_WIN
    // The per-user classes: the same keys as under the classes root, without
    // needing an administrator.
    QSettings classes(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"), QSettings::NativeFormat);
    if (classes.childGroups().contains(QStringLiteral(".rvk"), Qt::CaseInsensitive)) return;
    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    classes.setValue(QStringLiteral(".rvk/Default"), QStringLiteral("Ravok.MTMTrack"));
    classes.setValue(QStringLiteral("Ravok.MTMTrack/DefaultIcon/Default"), program + QStringLiteral(",0"));
    classes.setValue(QStringLiteral("Ravok.MTMTrack/shell/open/command/Default"),
                     QStringLiteral("\"%1\" \"%2\"").arg(program, QStringLiteral("%1")));
#endif
}

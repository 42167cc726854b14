#pragma once

#include <QString>

// The system's file-dialog filters in Qt's syntax. The system writes
// "Situation files (*.sit;*.si2)" or "Image files (*.png, *.tga)"; Qt
// separates the patterns of one filter with blanks and filters with ";;".
// Files from Windows installations carry any letter case, and a native
// dialog may match case-sensitively: every pattern is offered in lower and
// in upper case.
QString QtFileFilter(const QString& systemFilter);

// The track file dialogs' filter (Open and Save As).
constexpr const char* kTrackFilesFilter = "Ravok MTM Track Files (*.rvk);;All Files (*)";
inline QString QtFileFilter(const char* systemFilter) {
    return QtFileFilter(QString::fromLatin1(systemFilter));
}

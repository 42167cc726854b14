#include "app/RavokDoc.h"

#include "model/NewTrack.h"

#include <QFileInfo>

CRavokDoc::CRavokDoc(QObject* parent) : QObject(parent) { ravok::NewMtm2Track(m_track); }

void CRavokDoc::OnNewDocument() {
    ravok::NewMtm2Track(m_track);
    replaced();
}

void CRavokDoc::OnFileNewMTM1() {
    ravok::NewMtm1Track(m_track);
    replaced();
}

void CRavokDoc::replaced() {
    m_pathName.clear();
    m_podViewMode = false;
    m_modified = false;
    emit contentsReplaced();
    emit titleChanged();
}

void CRavokDoc::setModified(bool modified) {
    if (m_modified == modified) return;
    m_modified = modified;
    emit titleChanged();
}

QString CRavokDoc::title() const {
    return m_pathName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(m_pathName).fileName();
}

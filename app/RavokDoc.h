#pragma once

#include "model/TrackPod.h"

#include <QObject>
#include <QString>

// The single document: owns the one track for the whole run.
class CRavokDoc : public QObject {
    Q_OBJECT
public:
    explicit CRavokDoc(QObject* parent = nullptr);

    ravok::CTrackPOD& track() { return m_track; }
    const ravok::CTrackPOD& track() const { return m_track; }

    // New (MTM2) and New (MTM1).
    void OnNewDocument();
    void OnFileNewMTM1();

    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    bool podViewMode() const { return m_podViewMode; }

    QString pathName() const { return m_pathName; }
    // The document's title: the file name, or "Untitled" for a new track.
    QString title() const;

signals:
    // The whole track was replaced: views rebuild everything they show.
    void contentsReplaced();
    void titleChanged();

private:
    void replaced();

    ravok::CTrackPOD m_track;
    QString m_pathName;
    bool m_modified = false;
    bool m_podViewMode = false;
};

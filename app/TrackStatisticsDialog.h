#pragma once

#include <QDialog>

namespace ravok {
class CTrackPOD;
}

// "Track Statistics": the counts of the track's tables beside their limits.
class TrackStatisticsDialog : public QDialog {
    Q_OBJECT
public:
    TrackStatisticsDialog(const ravok::CTrackPOD& track, QWidget* parent = nullptr);
};

#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QCheckBox;

namespace ravok {
class CTrackPOD;
struct FallbackEstimate;
} // namespace ravok

// "Incomplete Track": what the track lacks; OK writes the pod anyway.
class CIncompleteDlg : public QDialog {
    Q_OBJECT
public:
    CIncompleteDlg(const QString& report, QWidget* parent = nullptr);
};

// "Legacy .RAW fallback": how much of the pod the fallback is and what
// leaving it out means. Continue or Cancel; "Don't explain this again".
class CLegacyFallbackDlg : public QDialog {
    Q_OBJECT
public:
    CLegacyFallbackDlg(const ravok::FallbackEstimate& estimate, QWidget* parent = nullptr);
    bool dontExplainAgain() const;

private:
    QCheckBox* m_dontExplain;
};

// The target of Write POD and the state of its omit check box.
struct PodTarget {
    QString path;
    bool omitFallback = false;
};
// The name the "Write POD file" dialog proposes: the world name with ".pod"
// in the folder of the last pod.
QString suggestedPodPath(const ravok::CTrackPOD& track, const QString& podFolder);
// The "Write POD file" save dialog with the omit check box under it, on the
// suggested file; nullopt for Cancel.
std::optional<PodTarget> askPodTarget(QWidget* parent, const ravok::FallbackEstimate& estimate, bool omitFallback,
                                      const QString& suggested);

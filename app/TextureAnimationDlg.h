#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QListWidget;
class QSpinBox;

namespace ravok {
class CTrackPOD;
}

// "Texture Animation": the frames of the animation a texture starts, one name
// a line (without ART\), a preview that steps through them at the period,
// "Period (ms)" 50..1000, and "Un-Animate", which removes the animation.
class CTextureAnimationDlg : public QDialog {
    Q_OBJECT
  public:
    // `firstFrame` is the texture that starts the animation.
    CTextureAnimationDlg(ravok::CTrackPOD& track, int firstFrame, QWidget* parent = nullptr);

    // Whether the period changed or the animation was removed.
    bool changedTrack() const { return m_changed; }
    bool unanimated() const { return m_unanimated; }
    int previewFrame() const { return m_frame; }
    const QTimer& previewTimer() const { return m_timer; }

  private:
    int animation() const;
    void showFrame();
    void setPeriod(int period);
    void unanimate();

    ravok::CTrackPOD& m_track;
    int m_firstFrame;
    QListWidget* m_frames = nullptr;
    QLabel* m_preview = nullptr;
    QSpinBox* m_period = nullptr;
    QTimer m_timer;
    int m_frame = 0;
    bool m_changed = false;
    bool m_unanimated = false;
};

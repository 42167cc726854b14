#pragma once

#include "edit/ViewCommands.h"
#include "edit/TextureTransitions.h"

#include <QDialog>

#include <array>

class CRavokDoc;
class QCheckBox;
class QLabel;
class QSlider;
class QSpinBox;
class QToolButton;

// "Auto Texture Transitions" (modeless): the 3 x 3 picture of a raised area's
// textures and the outer texture, each set by clicking it while a texture is
// selected in the Textures box; Invert, Fill up to, Fill down to and the
// Threshold Altitude. The settings are the view's and last while the program
// runs; Apply sends notification 39, which runs the transitions.
class CTextureTransitionsDlg : public QDialog {
    Q_OBJECT
  public:
    CTextureTransitionsDlg(ravok::TransitionSettings& settings, CRavokDoc& doc, QWidget* parent = nullptr);

    // The slot buttons: picture cells by row and column, and the outer texture.
    QToolButton* cellButton(int row, int column) const { return m_cells[size_t(row * 3 + column)]; }
    QToolButton* outerButton() const { return m_outer; }

  public slots:
    // Shows the slots' textures again (the texture table or palette changed).
    void refresh();

  signals:
    void notify(ravok::ViewCommand command, int value);

  private:
    QToolButton* slotButton(const QString& name, int& slot);
    void showSlot(QToolButton* button, int slot);
    void readControls();

    ravok::TransitionSettings& m_settings;
    CRavokDoc& m_doc;
    std::array<QToolButton*, 9> m_cells{};
    QToolButton* m_outer = nullptr;
    QCheckBox *m_invert, *m_fillUp, *m_fillDown;
    QSpinBox *m_fillUpValue, *m_fillDownValue;
    QSlider* m_threshold;
    QLabel* m_thresholdValue;
};

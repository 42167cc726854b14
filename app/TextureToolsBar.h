#pragma once

#include "edit/ViewCommands.h"
#include <QToolBar>

class QCheckBox;
class QSpinBox;

// "Texture Tools": the check box "Paint Mode" with its Width and Height
// (1..16 squares, disabled while paint mode is off). Paint mode goes to the
// view as notification 27; the size as paintSizeChanged.
class CTextureToolsBar : public QToolBar {
    Q_OBJECT
  public:
    // Starts with the paint size the view's session holds.
    explicit CTextureToolsBar(int paintWidth = 1, int paintHeight = 1, QWidget* parent = nullptr);

  signals:
    void notify(ravok::ViewCommand command, int value);
    void paintSizeChanged(int width, int height);

  private:
    QSpinBox* spin(const char* name, int value);
    void showEnabled();

    QCheckBox* m_paint;
    QSpinBox *m_width, *m_height;
};

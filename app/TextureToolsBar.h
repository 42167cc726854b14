#pragma once

#include <QToolBar>

class QCheckBox;
class QSpinBox;

// "Texture Tools": the check box "Paint Mode" with its Width and Height
// (1..16 squares, disabled while paint mode is off). Paint mode goes to the
// view as notification 27; the size as paintSizeChanged.
class CTextureToolsBar : public QToolBar {
    Q_OBJECT
  public:
    explicit CTextureToolsBar(QWidget* parent = nullptr);

  signals:
    void notify(int code, int value);
    void paintSizeChanged(int width, int height);

  private:
    QSpinBox* spin(const char* name);
    void showEnabled();

    QCheckBox* m_paint;
    QSpinBox *m_width, *m_height;
};

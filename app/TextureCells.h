#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <vector>

// A grid of 64 x 64 pictures, as many to a row as the width allows, for the
// Textures box's track textures and art-folder pages. It draws the cells and
// their highlight and reports presses and drags by cell index; what they
// select is the box's business.
class CTextureCells : public QWidget {
    Q_OBJECT
  public:
    struct Cell {
        QImage image;
        QString name;
        bool marked = false; // drawn with a corner mark (a texture that starts an animation)
    };

    explicit CTextureCells(bool showNames, QWidget* parent = nullptr);

    void setCells(std::vector<Cell> cells);
    const std::vector<Cell>& cells() const { return m_cells; }
    // The cell drawn as the current one (-1 for none) and every highlighted cell.
    void setHighlight(int current, std::vector<int> highlighted);

    int columns() const;
    QRect cellRect(int index) const;
    int cellAt(const QPoint& pos) const;
    // The cells of the box spanned by two cells of the grid, in index order.
    std::vector<int> cellsInBox(int a, int b) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

  signals:
    void cellPressed(int index, Qt::KeyboardModifiers modifiers);
    // The left button went down on `from` and is now over `to`.
    void cellDragged(int from, int to);
    void cellDoubleClicked(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    int cellWidth() const;
    int cellHeight() const;
    int columnsFor(int width) const;

    bool m_showNames;
    std::vector<Cell> m_cells;
    int m_current = -1;
    std::vector<bool> m_highlighted;
    int m_dragFrom = -1, m_dragTo = -1;
};

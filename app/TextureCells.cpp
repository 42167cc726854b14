#include "app/TextureCells.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {
constexpr int kPicture = 64;
constexpr int kGap = 4;
} // namespace

CTextureCells::CTextureCells(bool showNames, QWidget* parent) : QWidget(parent), m_showNames(showNames) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMouseTracking(false);
}

void CTextureCells::setCells(std::vector<Cell> cells) {
    m_cells = std::move(cells);
    m_highlighted.assign(m_cells.size(), false);
    m_current = -1;
    m_dragFrom = m_dragTo = -1;
    updateGeometry();
    update();
}

void CTextureCells::setHighlight(int current, std::vector<int> highlighted) {
    m_current = current;
    m_highlighted.assign(m_cells.size(), false);
    for (int i : highlighted)
        if (i >= 0 && i < int(m_cells.size())) m_highlighted[size_t(i)] = true;
    update();
}

int CTextureCells::cellWidth() const {
    return kPicture + kGap;
}
int CTextureCells::cellHeight() const {
    return kPicture + kGap + (m_showNames ? fontMetrics().height() : 0);
}
int CTextureCells::columnsFor(int width) const {
    return std::max(1, width / cellWidth());
}
int CTextureCells::columns() const {
    return columnsFor(width());
}

int CTextureCells::heightForWidth(int width) const {
    const int n = int(m_cells.size());
    return std::max(1, (n + columnsFor(width) - 1) / columnsFor(width)) * cellHeight();
}

QSize CTextureCells::sizeHint() const {
    return {4 * cellWidth(), heightForWidth(4 * cellWidth())};
}

QRect CTextureCells::cellRect(int index) const {
    const int c = columns();
    return {(index % c) * cellWidth(), (index / c) * cellHeight(), cellWidth(), cellHeight()};
}

int CTextureCells::cellAt(const QPoint& pos) const {
    if (pos.x() < 0 || pos.y() < 0) return -1;
    const int column = pos.x() / cellWidth();
    if (column >= columns()) return -1;
    const int index = (pos.y() / cellHeight()) * columns() + column;
    return index < int(m_cells.size()) ? index : -1;
}

std::vector<int> CTextureCells::cellsInBox(int a, int b) const {
    const int c = columns();
    const int x0 = std::min(a % c, b % c), x1 = std::max(a % c, b % c);
    const int y0 = std::min(a / c, b / c), y1 = std::max(a / c, b / c);
    std::vector<int> inside;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (y * c + x < int(m_cells.size())) inside.push_back(y * c + x);
    return inside;
}

void CTextureCells::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().base());
    for (int i = 0; i < int(m_cells.size()); ++i) {
        const QRect cell = cellRect(i);
        if (!cell.intersects(event->rect())) continue;
        const QRect picture(cell.left() + kGap / 2, cell.top() + kGap / 2, kPicture, kPicture);
        const Cell& c = m_cells[size_t(i)];
        if (c.image.isNull())
            painter.fillRect(picture, Qt::darkGray);
        else
            painter.drawImage(picture, c.image);
        if (c.marked) painter.fillRect(QRect(picture.topRight() - QPoint(9, 0), QSize(10, 10)), Qt::yellow);
        if (m_showNames)
            painter.drawText(QRect(cell.left(), picture.bottom() + 1, cell.width(), fontMetrics().height()),
                             Qt::AlignCenter, fontMetrics().elidedText(c.name, Qt::ElideRight, cell.width()));
        if (m_highlighted[size_t(i)] || i == m_current) {
            painter.setPen(QPen(i == m_current ? Qt::red : Qt::blue, 2));
            painter.drawRect(picture.adjusted(-1, -1, 0, 0));
        }
    }
}

void CTextureCells::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int index = cellAt(event->position().toPoint());
    m_dragFrom = m_dragTo = -1;
    if (index < 0) return;
    if (!(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) m_dragFrom = m_dragTo = index;
    emit cellPressed(index, event->modifiers());
}

void CTextureCells::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragFrom < 0 || !(event->buttons() & Qt::LeftButton)) return;
    const int index = cellAt(event->position().toPoint());
    if (index < 0 || index == m_dragTo) return;
    m_dragTo = index;
    emit cellDragged(m_dragFrom, m_dragTo);
}

void CTextureCells::mouseReleaseEvent(QMouseEvent*) {
    m_dragFrom = m_dragTo = -1;
}

void CTextureCells::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = cellAt(event->position().toPoint());
    if (index >= 0) emit cellDoubleClicked(index);
}

bool CTextureCells::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = cellAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), m_cells[size_t(index)].name, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

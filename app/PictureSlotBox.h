#pragma once

#include "art/PictureSlots.h"

#include <QGroupBox>
#include <QImage>

class QLabel;

// The picture a slot shows: its 8-bit picture, else its HD art; a null
// picture when it holds neither or they cannot be read.
QImage ImageOfSlot(const ravok::PictureSlot& slot);

// One picture box of the Track Components dialog: the slot's label as its
// title, the picture scaled into it, and the picture commands on its context
// menu. The commands go to the dialog, which owns the slot.
class CPictureSlotBox : public QGroupBox {
    Q_OBJECT
public:
    CPictureSlotBox(const ravok::PictureSlotRules& rules, QWidget* parent = nullptr);
    void showSlot(const ravok::PictureSlot& slot);

signals:
    void loadRequested();
    void pasteRequested();
    void saveRequested();
    void stockIconRequested(int index);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showImage();

    ravok::PictureSlotRules m_rules;
    QLabel* m_picture;
    QImage m_image;
};

#include "app/PictureSlotBox.h"

#include "app/DibClipboard.h"
#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "edit/DibImage.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QVBoxLayout>

#include <cstring>

using namespace ravok;

namespace {

QImage imageOfStockIcon(const StockIcon& icon) {
    const auto dib = DibOfBmpFile(icon.bitmap);
    return dib ? ImageOfDib(*dib) : QImage();
}

} // namespace

QImage ImageOfSlot(const PictureSlot& slot) {
    if (!slot.bitmap.empty())
        if (const auto dib = DibOfBmpFile(slot.bitmap)) {
            QImage image = ImageOfDib(*dib);
            if (!image.isNull()) return image;
        }
    if (slot.hdArt.empty()) return {};
    std::string message;
    const auto rgb = DecodePicture(slot.hdArt, "picture" + slot.hdExt, false, message);
    if (!rgb) return {};
    QImage image(rgb->width, rgb->height, QImage::Format_RGB888);
    const size_t row = size_t(rgb->width) * 3;
    for (int y = 0; y < rgb->height; ++y) std::memcpy(image.scanLine(y), rgb->rgb.data() + size_t(y) * row, row);
    return image;
}

CPictureSlotBox::CPictureSlotBox(const PictureSlotRules& rules, QWidget* parent) : QGroupBox(parent), m_rules(rules) {
    m_picture = new QLabel(this);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(64, 48);
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_picture->setToolTip(QStringLiteral("Right-click for the picture commands"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_picture);
}

void CPictureSlotBox::showSlot(const PictureSlot& slot) {
    setTitle(QString::fromStdString(SlotLabel(slot, m_rules)));
    m_image = ImageOfSlot(slot);
    showImage();
}

void CPictureSlotBox::showImage() {
    if (m_image.isNull()) {
        m_picture->setPixmap({});
        m_picture->setText(QStringLiteral("(none)"));
        return;
    }
    // Small pictures grow with sharp pixels, large ones shrink smoothly.
    const bool grows = m_image.width() < m_picture->width() && m_image.height() < m_picture->height();
    m_picture->setPixmap(QPixmap::fromImage(m_image.scaled(m_picture->size(), Qt::KeepAspectRatio,
                                                           grows ? Qt::FastTransformation : Qt::SmoothTransformation)));
}

void CPictureSlotBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    showImage();
}

void CPictureSlotBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Load Picture..."), this, &CPictureSlotBox::loadRequested);
    // Always offered: without a bitmap on the clipboard the dialog says so.
    menu.addAction(QStringLiteral("Paste Bitmap"), this, &CPictureSlotBox::pasteRequested);
    menu.addAction(QStringLiteral("Save Picture..."), this, &CPictureSlotBox::saveRequested);
    if (StockIconsAvailable(m_rules)) {
        QMenu* stock = menu.addMenu(QStringLiteral("Stock Icon"));
        const auto& icons = StockIcons();
        for (size_t i = 0; i < icons.size(); ++i)
            stock->addAction(QIcon(QPixmap::fromImage(imageOfStockIcon(icons[i]))),
                             QString::fromStdString(icons[i].name), this,
                             [this, i] { emit stockIconRequested(int(i)); });
    }
    menu.exec(event->globalPos());
}

#include "app/TextureToolsBar.h"

#include "edit/TextureSelection.h"

#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>

CTextureToolsBar::CTextureToolsBar(int paintWidth, int paintHeight, QWidget* parent)
    : QToolBar(QStringLiteral("Texture Tools"), parent) {
    setObjectName(QStringLiteral("Texture Tools"));
    m_paint = new QCheckBox(QStringLiteral("Paint Mode"), this);
    m_paint->setObjectName(QStringLiteral("Paint Mode"));
    addWidget(m_paint);
    addWidget(new QLabel(QStringLiteral(" Width "), this));
    m_width = spin("Width", paintWidth);
    addWidget(new QLabel(QStringLiteral(" Height "), this));
    m_height = spin("Height", paintHeight);
    showEnabled();
    connect(m_paint, &QCheckBox::toggled, this, [this](bool on) {
        showEnabled();
        emit notify(ravok::ViewCommand::TexturePaintMode, on ? 1 : 0);
    });
}

QSpinBox* CTextureToolsBar::spin(const char* name, int value) {
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(ravok::kMinPaintSize, ravok::kMaxPaintSize);
    box->setValue(value);
    addWidget(box);
    connect(box, &QSpinBox::valueChanged, this,
            [this] { emit paintSizeChanged(m_width->value(), m_height->value()); });
    return box;
}

void CTextureToolsBar::showEnabled() {
    m_width->setEnabled(m_paint->isChecked());
    m_height->setEnabled(m_paint->isChecked());
}

#include "app/TextureTransitionsDlg.h"

#include "app/PalettedImage.h"
#include "app/RavokDoc.h"
#include "model/TrackPod.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kSlotPixels = 64;

QSpinBox* heightBox(int value) {
    auto* box = new QSpinBox;
    box->setRange(0, 255);
    box->setValue(value);
    return box;
}

} // namespace

CTextureTransitionsDlg::CTextureTransitionsDlg(ravok::TransitionSettings& settings, CRavokDoc& doc,
                                               QWidget* parent)
    : QDialog(parent), m_settings(settings), m_doc(doc) {
    setWindowTitle(QStringLiteral("Auto Texture Transitions"));
    setModal(false);
    auto* picture = new QGridLayout;
    picture->setSpacing(1);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            QToolButton* button = slotButton(QStringLiteral("cell%1%2").arg(r).arg(c),
                                             m_settings.picture[size_t(r)][size_t(c)]);
            m_cells[size_t(r * 3 + c)] = button;
            picture->addWidget(button, r, c);
        }
    auto* pictureBox = new QGroupBox(QStringLiteral("Inner"));
    pictureBox->setLayout(picture);
    m_outer = slotButton(QStringLiteral("outer"), m_settings.outer);
    auto* outerBox = new QGroupBox(QStringLiteral("Outer"));
    auto* outerLayout = new QVBoxLayout(outerBox);
    outerLayout->addWidget(m_outer);
    outerLayout->addStretch();
    auto* slotRow = new QHBoxLayout;
    slotRow->addWidget(pictureBox);
    slotRow->addWidget(outerBox);

    m_invert = new QCheckBox(QStringLiteral("Invert (inner goes below Threshold)"));
    m_invert->setChecked(m_settings.invert);
    m_fillUp = new QCheckBox(QStringLiteral("Fill up to:"));
    m_fillUp->setChecked(m_settings.fillUpTo);
    m_fillUpValue = heightBox(m_settings.fillUpValue);
    m_fillDown = new QCheckBox(QStringLiteral("Fill down to:"));
    m_fillDown->setChecked(m_settings.fillDownTo);
    m_fillDownValue = heightBox(m_settings.fillDownValue);
    m_threshold = new QSlider(Qt::Horizontal);
    m_threshold->setObjectName(QStringLiteral("Threshold"));
    m_threshold->setRange(0, 255);
    m_threshold->setValue(m_settings.threshold);
    m_thresholdValue = new QLabel(QString::number(m_settings.threshold));
    auto* limits = new QGridLayout;
    limits->addWidget(m_fillUp, 0, 0);
    limits->addWidget(m_fillUpValue, 0, 1);
    limits->addWidget(m_fillDown, 1, 0);
    limits->addWidget(m_fillDownValue, 1, 1);
    limits->addWidget(new QLabel(QStringLiteral("Threshold Altitude:")), 2, 0);
    auto* threshold = new QHBoxLayout;
    threshold->addWidget(m_threshold);
    threshold->addWidget(m_thresholdValue);
    limits->addLayout(threshold, 2, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* apply = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::ApplyRole);
    apply->setObjectName(QStringLiteral("Apply"));
    connect(apply, &QPushButton::clicked, this, [this] {
        readControls();
        emit notify(ravok::ViewCommand::AutoTransitions, 0);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(slotRow);
    layout->addWidget(m_invert);
    layout->addLayout(limits);
    layout->addWidget(buttons);

    for (QCheckBox* box : {m_invert, m_fillUp, m_fillDown})
        connect(box, &QCheckBox::toggled, this, [this] { readControls(); });
    for (QSpinBox* box : {m_fillUpValue, m_fillDownValue})
        connect(box, &QSpinBox::valueChanged, this, [this] { readControls(); });
    connect(m_threshold, &QSlider::valueChanged, this, [this](int v) {
        m_thresholdValue->setText(QString::number(v));
        readControls();
    });
    readControls();
    connect(&m_doc, &CRavokDoc::texturesChanged, this, &CTextureTransitionsDlg::refresh);
    connect(&m_doc, &CRavokDoc::contentsReplaced, this, &CTextureTransitionsDlg::refresh);
    connect(&m_doc, &CRavokDoc::busyChanged, this, [this](bool busy) { setEnabled(!busy); });
    refresh();
}

QToolButton* CTextureTransitionsDlg::slotButton(const QString& name, int& slot) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setFixedSize(kSlotPixels + 4, kSlotPixels + 4);
    button->setIconSize(QSize(kSlotPixels, kSlotPixels));
    // A click takes the Textures box's selected texture into the slot.
    connect(button, &QToolButton::clicked, this, [this, button, &slot] {
        if (m_doc.selectedTexture() < 0) return;
        slot = m_doc.selectedTexture();
        showSlot(button, slot);
    });
    return button;
}

void CTextureTransitionsDlg::showSlot(QToolButton* button, int slot) {
    const ravok::CTrackPOD& track = m_doc.track();
    const ravok::Texture* texture = slot >= 0 && slot < int(track.terrainTextures.size())
                                        ? track.terrainTextures[size_t(slot)].get()
                                        : nullptr;
    const QImage image = TextureImage(texture, track.palette.colours());
    if (image.isNull()) {
        button->setIcon({});
        button->setText(slot < 0 ? QString() : QString::number(slot));
    } else {
        button->setText({});
        button->setIcon(QPixmap::fromImage(image.scaled(kSlotPixels, kSlotPixels)));
    }
    button->setToolTip(texture ? QString::fromStdString(std::string(texture->name().view())) : QString());
}

void CTextureTransitionsDlg::refresh() {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            showSlot(cellButton(r, c), m_settings.picture[size_t(r)][size_t(c)]);
    showSlot(m_outer, m_settings.outer);
}

void CTextureTransitionsDlg::readControls() {
    m_fillUpValue->setEnabled(m_fillUp->isChecked());
    m_fillDownValue->setEnabled(m_fillDown->isChecked());
    m_settings.invert = m_invert->isChecked();
    m_settings.fillUpTo = m_fillUp->isChecked();
    m_settings.fillUpValue = m_fillUpValue->value();
    m_settings.fillDownTo = m_fillDown->isChecked();
    m_settings.fillDownValue = m_fillDownValue->value();
    m_settings.threshold = m_threshold->value();
}

#include "app/TextureAnimationDlg.h"

#include "app/TextureImages.h"
#include "art/ItemNames.h"
#include "edit/TextureAnimating.h"
#include "model/TrackPod.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kPreviewSide = 128;
} // namespace

CTextureAnimationDlg::CTextureAnimationDlg(ravok::CTrackPOD& track, int firstFrame, QWidget* parent)
    : QDialog(parent), m_track(track), m_firstFrame(firstFrame) {
    setWindowTitle(QStringLiteral("Texture Animation"));
    m_frames = new QListWidget(this);
    m_frames->setObjectName(QStringLiteral("frames"));
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setFixedSize(kPreviewSide, kPreviewSide);
    m_period = new QSpinBox(this);
    m_period->setObjectName(QStringLiteral("period"));
    m_period->setRange(ravok::kMinAnimationPeriod, ravok::kMaxAnimationPeriod);
    auto* unanimate = new QPushButton(QStringLiteral("Un-Animate"), this);
    unanimate->setObjectName(QStringLiteral("unanimate"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Period (ms)"), m_period);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frames);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addLayout(form);
    layout->addWidget(unanimate);
    layout->addWidget(buttons);

    const int a = animation();
    if (a >= 0) {
        const ravok::TextureAnimation& anim = m_track.animations.at(a);
        for (uint32_t f = 0; f < anim.frameCount && f < uint32_t(ravok::kMaxAnimationFrames); ++f) {
            const auto& texture = m_track.terrainTextures[anim.frames[f] % ravok::kMaxTerrainTextures];
            std::string_view name = texture ? texture->name().view() : std::string_view();
            if (ravok::isInItemFolder(name, "ART")) name = ravok::nameInFolder(name);
            m_frames->addItem(QString::fromStdString(std::string(name)));
        }
        m_period->setValue(
            std::clamp(int(anim.period), ravok::kMinAnimationPeriod, ravok::kMaxAnimationPeriod));
    }
    unanimate->setEnabled(a >= 0);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        ++m_frame;
        showFrame();
    });
    connect(m_period, &QSpinBox::valueChanged, this, &CTextureAnimationDlg::setPeriod);
    connect(unanimate, &QPushButton::clicked, this, &CTextureAnimationDlg::unanimate);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    showFrame();
    if (a >= 0) m_timer.start(m_period->value());
}

int CTextureAnimationDlg::animation() const {
    return m_firstFrame < 0 ? -1 : m_track.animations.startedBy(uint32_t(m_firstFrame));
}

void CTextureAnimationDlg::showFrame() {
    const int a = animation();
    if (a < 0) {
        m_preview->clear();
        return;
    }
    const ravok::TextureAnimation& anim = m_track.animations.at(a);
    const uint32_t count = std::min<uint32_t>(anim.frameCount, ravok::kMaxAnimationFrames);
    if (count == 0) return;
    m_frame %= int(count);
    m_frames->setCurrentRow(m_frame);
    const auto& texture = m_track.terrainTextures[anim.frames[size_t(m_frame)] % ravok::kMaxTerrainTextures];
    m_preview->setPixmap(
        texture ? QPixmap::fromImage(ravok::ImageOfTexture(*texture, m_track.palette, kPreviewSide))
                : QPixmap());
}

void CTextureAnimationDlg::setPeriod(int period) {
    if (animation() < 0) return;
    if (ravok::SetAnimationPeriod(m_track, m_firstFrame, period)) m_changed = true;
    m_timer.start(period); // restarts the preview at the new period
}

void CTextureAnimationDlg::unanimate() {
    if (!ravok::UnanimateTexture(m_track, m_firstFrame)) return;
    m_timer.stop();
    m_changed = m_unanimated = true;
    accept();
}

#include "app/StockSoundDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

CStockSoundDlg::CStockSoundDlg(ravok::SoundKind kind, const QString& current, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Stock Sounds"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("stockSounds"));
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Description")});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    const QString stem = current.section(QLatin1Char('.'), 0, 0);
    for (const ravok::StockSound& sound : ravok::StockSounds(kind)) {
        auto* row = new QTreeWidgetItem(
            m_list, {QString::fromStdString(sound.stem), QString::fromStdString(sound.description)});
        if (row->text(0).compare(stem, Qt::CaseInsensitive) == 0) m_list->setCurrentItem(row);
    }
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(420, 360);
}

QString CStockSoundDlg::field() const {
    const QTreeWidgetItem* row = m_list->currentItem();
    if (!row) return {};
    return QString::fromStdString(ravok::StockSoundFieldName(row->text(0).toStdString()));
}

#include "app/StockMusicDlg.h"

#include "model/TrackComponentsMusic.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

CStockMusicDlg::CStockMusicDlg(const QString& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(ravok::kStockMusicTitle));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("stockList"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Description")});
    for (const ravok::StockMusic& music : ravok::StockMusicList())
        new QTreeWidgetItem(m_list, {QString::fromStdString(music.name), QString::fromStdString(music.description)});
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(420, 300);
    selectName(current);
    if (!m_list->currentItem()) selectName(QString::fromLatin1(ravok::kDefaultStockMusic));
}

void CStockMusicDlg::selectName(const QString& name) {
    const auto found = m_list->findItems(name, Qt::MatchFixedString, 0);
    if (!found.isEmpty()) m_list->setCurrentItem(found.front());
}

QString CStockMusicDlg::selectedName() const {
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->text(0) : QString();
}

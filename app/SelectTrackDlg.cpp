#include "app/SelectTrackDlg.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

CSelectTrackDlg::CSelectTrackDlg(const QStringList& names, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Select Track"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("tracks"));
    m_list->addItems(names);
    m_list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

int CSelectTrackDlg::selectedIndex() const { return m_list->currentRow(); }

int chooseTrackOfPod(const QStringList& names, QWidget* parent) {
    CSelectTrackDlg dialog(names, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedIndex() : -1;
}

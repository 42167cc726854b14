#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// "Select Track": the tracks of a pod in directory order, OK and Cancel.
class CSelectTrackDlg : public QDialog {
    Q_OBJECT
public:
    CSelectTrackDlg(const QStringList& names, QWidget* parent = nullptr);
    int selectedIndex() const;

private:
    QListWidget* m_list;
};

// Shows the dialog; the chosen index, or -1 for Cancel.
int chooseTrackOfPod(const QStringList& names, QWidget* parent);

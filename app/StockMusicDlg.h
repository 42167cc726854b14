#pragma once

#include <QDialog>
#include <QString>

class QTreeWidget;

// "Stock Music": the game's own music pieces in a list with the columns
// "Name" and "Description"; OK (or a double click) chooses the selected one.
class CStockMusicDlg : public QDialog {
    Q_OBJECT
public:
    // `current` is the piece selected at first; BREAK when it is none of them.
    explicit CStockMusicDlg(const QString& current, QWidget* parent = nullptr);
    // The selected piece's name; empty when none is selected.
    QString selectedName() const;
    void selectName(const QString& name);

private:
    QTreeWidget* m_list;
};

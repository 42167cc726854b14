#pragma once

#include "edit/TrackSounds.h"

#include <QDialog>

class QTreeWidget;

// "Stock Sounds": the sounds the games have of their own, as a list with the
// columns "Name" and "Description"; OK (or a double-click) picks the row.
class CStockSoundDlg : public QDialog {
    Q_OBJECT
  public:
    // `current`: the object's sound field, whose row is selected first.
    CStockSoundDlg(ravok::SoundKind kind, const QString& current, QWidget* parent = nullptr);
    // The sound field the chosen row gives ("NAME.WAV"); empty without a choice.
    QString field() const;
    QTreeWidget* list() const { return m_list; }

  private:
    QTreeWidget* m_list;
};

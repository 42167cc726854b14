#pragma once

#include "base/ProgramSettings.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

// "Program Options": the General, Folders, Auto-Save, Colors and Advanced
// pages over a copy of the settings; values() is what OK keeps.
class COptionsSheet : public QDialog {
    Q_OBJECT
public:
    COptionsSheet(const ravok::ProgramSettings& settings, QWidget* parent = nullptr);

    // The settings with every page's values copied in, minutes clamped to 1..30.
    ravok::ProgramSettings values() const;

private:
    QWidget* generalPage();
    QWidget* foldersPage();
    QWidget* autosavePage();
    QWidget* colorsPage();
    QWidget* advancedPage();
    QCheckBox* check(const QString& text, bool on, QWidget* parent);
    void showColour(int index);
    void pickColour(int index);

    ravok::ProgramSettings m_settings;
    QSlider* m_quality = nullptr;
    std::array<QCheckBox*, 6> m_general{};
    QButtonGroup* m_display = nullptr;
    QLineEdit* m_artFolder = nullptr;
    QLineEdit* m_modelsFolder = nullptr;
    QCheckBox* m_keepHdOnly = nullptr;
    QCheckBox* m_autosaveOn = nullptr;
    QSpinBox* m_minutes = nullptr;
    QButtonGroup* m_method = nullptr;
    std::array<QPushButton*, 6> m_colourButtons{};
    ravok::ViewColours m_colours;
    std::array<QCheckBox*, 7> m_advanced{};
};

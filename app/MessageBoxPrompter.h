#pragma once

#include "base/Interfaces.h"

#include <QString>

class QWidget;

// Answers the core's questions with message boxes. Safe to call from a
// worker thread: the box is shown on the interface thread while the worker
// waits for the answer.
class MessageBoxPrompter : public ravok::Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    bool askYesNo(const std::string& text, const std::string& caption, bool defaultYes) override;
    void inform(const std::string& text, const std::string& caption) override;
    void warn(const std::string& text, const std::string& caption) override;

private:
    QWidget* m_parent;
};

// The program's caption for message boxes that have none of their own.
QString programCaption();

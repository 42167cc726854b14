#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace ravok::test {

// The one application of the GUI tests, on the offscreen platform unless
// another is asked for. Settings and per-user data go to a temporary home,
// never the user's.
inline QApplication& app() {
    static bool homeSet = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static char home[] = "/tmp/ravok-test-app-XXXXXX";
        if (mkdtemp(home)) {
            setenv("XDG_CONFIG_HOME", (std::string(home) + "/config").c_str(), 1);
            setenv("XDG_DATA_HOME", (std::string(home) + "/data").c_str(), 1);
            setenv("XDG_RUNTIME_DIR", home, 1);
        }
        return true;
    }();
    (void)homeSet;
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt Test's input devices outlive any static destruction order.
    static QApplication* instance = new QApplication(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("Ravok"));
    return *instance;
}

// Answers the modal windows that come up while it lives: each new one goes
// to `handle`; message boxes are recorded as "caption: text" and, unless
// `handle` took them, answered with their default (or only) button.
class ModalAnswerer {
public:
    using Handler = std::function<bool(QWidget* modal)>;
    explicit ModalAnswerer(Handler handle = {}) : m_handle(std::move(handle)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
        m_timer.start(10);
    }
    QStringList boxes; // every message box seen

    // A handler answering message boxes whose text contains `part` with `button`.
    static bool press(QWidget* modal, const QString& part, QMessageBox::StandardButton button) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box || !box->text().contains(part)) return false;
        box->button(button)->click();
        return true;
    }

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last) return;
        m_last = modal;
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box) boxes << box->windowTitle() + QStringLiteral(": ") + box->text();
        if (m_handle && m_handle(modal)) return;
        if (box) {
            QAbstractButton* button = box->defaultButton();
            if (!button && !box->buttons().isEmpty()) button = box->buttons().front();
            if (button) button->click();
        }
    }
    Handler m_handle;
    QTimer m_timer;
    QPointer<QWidget> m_last;
};

} // namespace ravok::test

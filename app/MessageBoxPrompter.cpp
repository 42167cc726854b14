#include "app/MessageBoxPrompter.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

namespace {

QString fromCore(const std::string& text) { return QString::fromStdString(text); }

// Runs `show` on the interface thread and waits for it.
template <typename Show> auto onInterfaceThread(Show show) {
    using Result = decltype(show());
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return show();
    Result result{};
    QMetaObject::invokeMethod(app, [&] { result = show(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

QString programCaption() { return QStringLiteral("Ravok"); }

bool MessageBoxPrompter::askYesNo(const std::string& text, const std::string& caption, bool defaultYes) {
    QPointer<QWidget> parent = m_parent;
    return onInterfaceThread([&] {
        return QMessageBox::question(parent, caption.empty() ? programCaption() : fromCore(caption), fromCore(text),
                                     QMessageBox::Yes | QMessageBox::No,
                                     defaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
    });
}

void MessageBoxPrompter::inform(const std::string& text, const std::string& caption) {
    QPointer<QWidget> parent = m_parent;
    onInterfaceThread([&] {
        QMessageBox::information(parent, caption.empty() ? programCaption() : fromCore(caption), fromCore(text));
        return true;
    });
}

void MessageBoxPrompter::warn(const std::string& text, const std::string& caption) {
    QPointer<QWidget> parent = m_parent;
    onInterfaceThread([&] {
        QMessageBox::warning(parent, caption.empty() ? programCaption() : fromCore(caption), fromCore(text));
        return true;
    });
}

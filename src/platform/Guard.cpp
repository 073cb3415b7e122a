#include "platform/Guard.h"

#include "platform/Dialogs.h"
#include "text/Error.h"

#include <QtGlobal>

#include <exception>
#include <new>

namespace qel {

namespace {

void show(const QString& text) noexcept {
    try {
        dialogs().showException(text);
    } catch (...) {
        // Nothing is left to show it with; at least leave a trace.
        qCritical("%s", text.toLocal8Bit().constData());
    }
}

} // namespace

QString currentExceptionText() {
    try {
        throw;
    } catch (const Error& error) {
        return error.message();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("メモリが不足しています。");
    } catch (const std::exception& error) {
        const QString text = QString::fromUtf8(error.what());
        if (!text.isEmpty())
            return text;
    } catch (...) {
    }
    return QStringLiteral("予期しないエラーが発生しました。");
}

bool guarded(const std::function<void()>& handler) noexcept {
    try {
        handler();
        return true;
    } catch (...) {
        QString text;
        try {
            text = currentExceptionText();
        } catch (...) {
            // Building the text ran out of memory; show what needs no allocation.
        }
        show(text);
        return false;
    }
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace qel

#pragma once

#include <QApplication>

#include <functional>

namespace qel {

// Runs `handler`; an exception that escapes it is shown through the Dialogs service
// (showException) and swallowed, so the event loop goes on. Returns false when the
// handler ended with an exception.
bool guarded(const std::function<void()>& handler) noexcept;

// The text shown for the exception currently being handled. Only valid inside a
// catch block.
QString currentExceptionText();

// The application object of the program. Every event is delivered inside the
// exception guard, so an exception thrown by an event handler or an event filter is
// shown to the user instead of unwinding through Qt's event loop (which Qt does not
// support). Handlers that can fail should still use guarded() themselves; this is the
// backstop.
class GuardedApplication : public QApplication {
public:
    // As for QApplication, `argc` must outlive the application object.
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace qel

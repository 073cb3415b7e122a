// Leaks on purpose, after starting the application and showing a window as the window
// tests do: the sanitizer build's tests pass only when this leak is reported, so leak
// detection is on and the suppressions (lsan.supp) do not hide leaks of our own code.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

// Not inlined, so the report names it. (Not a widget: Qt lists every widget, so a
// lost one stays reachable.)
[[gnu::noinline]] void leakFromOurCode() {
    auto* lost = new QTimer;
    lost->setObjectName(QStringLiteral("never deleted"));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QPlainTextEdit shown;
    shown.show();
    QApplication::processEvents();
    leakFromOurCode();
    return 0;
}

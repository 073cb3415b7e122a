// The yardstick for the start-up benchmark: a plain-text editor as small as a Qt
// program gets, a main window with a menu bar, a text edit and a status bar, as Qt's
// own examples begin. It opens no file and reads no settings.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    auto* editor = new QPlainTextEdit;
    window.setCentralWidget(editor);
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New"), editor, &QPlainTextEdit::clear);
    file->addAction(QStringLiteral("E&xit"), &window, &QWidget::close);
    QMenu* edit = window.menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("&Undo"), editor, &QPlainTextEdit::undo);
    edit->addAction(QStringLiteral("Select &All"), editor, &QPlainTextEdit::selectAll);
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(500, 350);
    window.show();
    return QApplication::exec();
}

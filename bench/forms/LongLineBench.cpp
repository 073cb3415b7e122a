// Keys on a line of 200,000 characters of mixed Japanese and English, the main window
// and the three sub-windows shown: End on a line not yet measured, End again, and a
// character typed at the end, each with the repaint that shows it.
#include "../MixedDocument.h"
#include "forms/MainWindow.h"
#include "forms/SubWindow.h"
#include "forms/WindowSet.h"
#include "platform/ByteEditor.h"
#include "platform/FontSubstitutes.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
#include "settings/ProgramFolder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace qel;

constexpr qsizetype kLineLength = 200000;

// The long line between two short ones.
QString longLineText() {
    QString line = bench::mixedDocument(3 * kLineLength);
    line.replace(u'\n', u' ');
    return QStringLiteral("first line\n") + line.left(kLineLength) + QStringLiteral("\nlast");
}

// The program on the offscreen platform, made once for all the benchmarks.
struct Program {
    int argc = 1;
    char name[16] = "long_line_bench";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app = [this] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<WindowSet> windows;

    Program() {
        useFontSubstitutes();
        setProgramFolder(folder.path() + u'/');
        setInstalledPrinterCountForTesting(0);
        windows = std::make_unique<WindowSet>(QStringList());
        MainWindow& main = windows->mainWindow();
        main.show();
        for (int n = 1; n <= 3; ++n)
            main.toggleSubWindow(n);
        editor()->setText(longLineText());
        editor()->setFocus();
        paint();
    }
    ByteEditor* editor() const { return windows->mainWindow().editor(); }
    // Paints every shown window now, as the event loop would next.
    void paint() const {
        windows->mainWindow().repaint();
        for (int n = 1; n <= 3; ++n)
            windows->subWindow(n).repaint();
        QApplication::processEvents();
    }
    void key(Qt::Key k, const QString& text = QString()) const {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(editor(), &press);
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
        QApplication::sendEvent(editor(), &release);
    }
    // The caret at the start of the long line.
    void toLineStart() const {
        editor()->setCursorPosition(editor()->document()->lineStart(1));
        paint();
    }
};

Program& program() {
    static Program p;
    return p;
}

// End from the start of the line: on a line no view has measured yet (the line given
// anew each time; argument 1), and on one measured before (0).
void BM_End(benchmark::State& state) {
    Program& p = program();
    for (auto _ : state) {
        state.PauseTiming();
        if (state.range(0) == 1)
            p.editor()->setText(longLineText());
        p.toLineStart();
        state.ResumeTiming();
        p.key(Qt::Key_End);
        p.paint();
    }
}
BENCHMARK(BM_End)->Arg(1)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_End)->Arg(0)->Iterations(30)->Unit(benchmark::kMillisecond);

// A character typed at the end of the line, half-width and full-width in turn.
void BM_TypingAtTheEnd(benchmark::State& state) {
    Program& p = program();
    p.editor()->setCursorPosition(p.editor()->document()->lineEnd(1));
    p.paint();
    int i = 0;
    for (auto _ : state) {
        p.key(Qt::Key_A, ++i % 2 ? QStringLiteral("a") : QStringLiteral("漢"));
        p.paint();
    }
}
BENCHMARK(BM_TypingAtTheEnd)->Unit(benchmark::kMillisecond)->Iterations(100);

} // namespace

// The main window alone on big documents: opening a file, and the whole change
// handling of one typed character and one Backspace (modified check, panels,
// caption). The four windows together are measured by document_bench.
#include "../MixedDocument.h"
#include "forms/MainWindow.h"
#include "platform/ByteEditor.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
#include "recovery/RecoveryFolder.h"
#include "settings/ProgramFolder.h"
#include "text/Cp932.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void scenario(qsizetype bytes, const QString& folder) {
    const QString path = folder + QStringLiteral("/doc%1.txt").arg(bytes);
    const QByteArray data = qel::cp932::encode(qel::bench::mixedDocument(bytes));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(data);
    }

    qel::recovery::RecoverySession recovery(folder + QStringLiteral("/recovery"));
    qel::MainWindow window(recovery);
    window.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    const auto decoded = qel::cp932::decode(data);
    const double decodeMs = timer.nsecsElapsed() / 1e6;
    Q_UNUSED(decoded);

    timer.restart();
    window.loadDocument(path);
    window.repaint();
    const double openMs = timer.nsecsElapsed() / 1e6;

    // Type in the middle of the text: each key runs the change handling once.
    qel::ByteEditor* editor = window.editor();
    editor->setSelection(editor->byteLength() / 2, 0);
    std::vector<double> typed;
    for (int i = 0; i < 200; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        timer.restart();
        QApplication::sendEvent(editor, &press);
        typed.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::vector<double> erased;
    for (int i = 0; i < 200; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        timer.restart();
        QApplication::sendEvent(editor, &press);
        erased.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%6.1f MB: open %7.1f ms (decode alone %6.1f ms, ratio %.1f); "
                "typed char median %.3f ms (max %.3f); backspace median %.3f ms; modified %d\n",
                data.size() / 1e6, openMs, decodeMs, openMs / decodeMs, median(typed),
                *std::max_element(typed.begin(), typed.end()), median(erased), window.isModified());
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    qel::setProgramFolder(folder.path() + u'/');
    qel::setInstalledPrinterCountForTesting(0);
    qel::ScriptedDialogs dialogs; // nothing is asked; any question would be logged
    for (qsizetype mb : {1, 10})
        scenario(mb * 1000 * 1000, folder.path());
    return dialogs.unexpectedCalls().isEmpty() ? 0 : 1;
}

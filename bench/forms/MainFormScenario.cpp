// Timed scenarios for the main window on big documents: opening a file, and the whole
// change handling of one typed character (modified check, panels, caption).
#include "forms/Autocopy.h"
#include "forms/Subw.h"
#include "forms/Windows.h"
#include "platform/ByteEditor.h"
#include "platform/FindReplaceDialogs.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
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

// Mixed Japanese and English lines, as the editor's users write them.
QString makeDocument(qsizetype bytes) {
    const QString lines[] = {
        QStringLiteral("今日は晴れ。The quick brown fox jumps over the lazy dog 0123456789."),
        QStringLiteral("日本語の文章と English sentences が混ざった行です。全角ＡＢＣと半角ｶﾅ。"),
        QStringLiteral("    indented code line: for (int i = 0; i < n; ++i) total += value[i];"),
        QString(),
    };
    QString text;
    qsizetype size = 0;
    for (int i = 0; size < bytes; ++i) {
        const QString& line = lines[i % 4];
        text += line;
        text += u'\n';
        size += qel::cp932::byteLength(line) + 2;
    }
    return text;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void scenario(qsizetype bytes, const QString& folder) {
    const QString path = folder + QStringLiteral("/doc%1.txt").arg(bytes);
    const QByteArray data = qel::cp932::encode(makeDocument(bytes));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(data);
    }

    qel::TMainForm window({});
    window.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    const auto decoded = qel::cp932::decode(data);
    const double decodeMs = timer.nsecsElapsed() / 1e6;
    Q_UNUSED(decoded);

    timer.restart();
    window.LoadText(path);
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

// The whole program, its sub-windows hidden as at a first start: opening a big file,
// then showing a sub-window, which takes the text then.
void programScenario(qsizetype bytes, const QString& folder) {
    const QString path = folder + QStringLiteral("/program%1.txt").arg(bytes);
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(qel::cp932::encode(makeDocument(bytes)));
    }
    qel::WindowSet windows({});
    qel::MainForm->show();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    qel::MainForm->LoadText(path);
    const double openMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    qel::MainForm->OpenSubWindowExecute();
    const double showMs = timer.nsecsElapsed() / 1e6;
    std::printf("%6.1f MB, whole program, sub-windows hidden: open %.1f ms; then showing "
                "sub-window 1 %.1f ms; texts equal: %s\n",
                bytes / 1e6, openMs, showMs,
                qel::SubForm->editor()->text() == qel::MainForm->editor()->text() ? "yes" : "NO");
}

// All four editors of one document shown: a key typed into any of them runs the change
// handling of every window.
void mirroredScenario(qsizetype bytes, const QString& folder) {
    const QString path = folder + QStringLiteral("/mirrored%1.txt").arg(bytes);
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(qel::cp932::encode(makeDocument(bytes)));
    }
    qel::WindowSet windows({});
    qel::MainForm->show();
    qel::MainForm->OpenSubWindowExecute();
    qel::MainForm->OpenSubWindow2Execute();
    qel::MainForm->OpenSubWindow3Execute();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    qel::MainForm->LoadText(path);
    const double openMs = timer.nsecsElapsed() / 1e6;

    std::printf("%6.1f MB, three sub-windows shown: open %.1f ms\n", bytes / 1e6, openMs);
    qel::ByteEditor* editors[] = {qel::MainForm->editor(), qel::SubForm->editor(),
                                  qel::SubForm2->editor(), qel::SubForm3->editor()};
    const char* names[] = {"main", "sub-window 1", "sub-window 2", "sub-window 3"};
    for (int e = 0; e < 4; ++e) {
        qel::ByteEditor* editor = editors[e];
        editor->setSelection(editor->byteLength() / 3, 0);
        std::vector<double> typed;
        for (int i = 0; i < 100; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("x"));
            timer.restart();
            QApplication::sendEvent(editor, &press);
            typed.push_back(timer.nsecsElapsed() / 1e6);
        }
        const QString main = qel::MainForm->editor()->text();
        bool equal = true;
        for (qel::ByteEditor* other : editors)
            equal = equal && other->text() == main;
        std::printf("  typed into %-13s median %.3f ms (max %.3f); texts equal: %s\n", names[e],
                    median(typed), *std::max_element(typed.begin(), typed.end()),
                    equal ? "yes" : "NO");
    }

    // Replace All of 100,000 occurrences, reaching all four editors.
    QString text = makeDocument(bytes);
    const qsizetype step = text.size() / 100000;
    for (qsizetype i = 0; i < 100000; ++i)
        text.replace(i * step, 2, QStringLiteral("置換"));
    qel::MainForm->editor()->setText(text);
    auto* replace = qel::MainForm->findChild<qel::ReplaceDialog*>(QStringLiteral("ReplaceDialog1"));
    replace->setFindText(QStringLiteral("置換"));
    replace->setReplaceText(QStringLiteral("ちか"));
    timer.restart();
    qel::MainForm->DoReplaceAll();
    const double replaceMs = timer.nsecsElapsed() / 1e6;
    const QString after = qel::MainForm->editor()->text();
    bool equal = true;
    for (qel::ByteEditor* other : editors)
        equal = equal && other->text() == after;
    std::printf("  Replace All of %lld occurrences: %.1f ms; texts equal: %s\n",
                static_cast<long long>(after.count(QStringLiteral("ちか"))), replaceMs,
                equal ? "yes" : "NO");
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
    programScenario(10 * 1000 * 1000, folder.path());
    mirroredScenario(10 * 1000 * 1000, folder.path());
    return dialogs.unexpectedCalls().isEmpty() ? 0 : 1;
}

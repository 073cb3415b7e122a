// Timed scenarios for one document shown in the main window and the three sub-windows,
// as a user meets them on big files: opening to a painted window, memory, saving, one
// typed character, showing a hidden sub-window, undo of "select all, delete", Replace
// All of 100,000 occurrences, and scrolling by page keys and by the scroll bar.
//
//     document_bench [MB ...]        (default: 1 10 100)
//     document_bench --write FILE MB (only writes the document, for startup_bench)
//
// Each size runs in a fresh process of its own, so that the memory figures are those
// of that size alone.
#include "../MixedDocument.h"
#include "forms/MainWindow.h"
#include "forms/SubWindow.h"
#include "forms/WindowSet.h"
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
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace qel;

// The same text with `count` occurrences of "置換" spread evenly over it.
QString withOccurrences(QString text, qsizetype count) {
    const qsizetype step = text.size() / count;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = i * step;
        text[at] = u'置';
        text[at + 1] = u'換';
    }
    return text;
}

// Resident and peak memory of this process in MB, from the kernel's own account.
std::pair<double, double> memoryMB() {
    QFile status(QStringLiteral("/proc/self/status"));
    double rss = -1, peak = -1;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2 && parts[0] == "VmRSS:")
                rss = parts[1].toDouble() / 1024;
            if (parts.size() >= 2 && parts[0] == "VmHWM:")
                peak = parts[1].toDouble() / 1024;
        }
    }
    return {rss, peak};
}

std::array<QWidget*, 4> windows(const WindowSet& set) {
    return {&set.mainWindow(), &set.subWindow(1), &set.subWindow(2), &set.subWindow(3)};
}

ByteEditor* editorOf(const WindowSet& set, int n) {
    return n == 0 ? set.mainWindow().editor() : set.subWindow(n).editor();
}

// Paints every shown window now, as the event loop would next.
void paintAll(const WindowSet& set) {
    for (QWidget* w : windows(set))
        if (w->isVisible())
            w->repaint();
    QApplication::processEvents();
}

// Wall-clock time and the processor time this process spent: on a machine shared with
// other work the second is the truer measure of the program's own cost.
struct Lap {
    double wall = 0, cpu = 0;
};

class Stopwatch {
public:
    Stopwatch() { restart(); }
    void restart() {
        wall_.restart();
        cpu_ = std::clock();
    }
    Lap lap() const {
        return {double(wall_.nsecsElapsed()) / 1e6,
                double(std::clock() - cpu_) * 1e3 / CLOCKS_PER_SEC};
    }

private:
    QElapsedTimer wall_;
    std::clock_t cpu_;
};

struct Stats {
    Lap median, max;
};

Stats stats(const std::vector<Lap>& laps) {
    std::vector<double> wall, cpu;
    for (const Lap& l : laps) {
        wall.push_back(l.wall);
        cpu.push_back(l.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {{wall[wall.size() / 2], cpu[cpu.size() / 2]}, {wall.back(), cpu.back()}};
}

// "12.3 ms (CPU 10.1)"
std::string ms(const Lap& l) {
    char out[64];
    std::snprintf(out, sizeof out, "%.3g ms (CPU %.3g)", l.wall, l.cpu);
    return out;
}

void key(QWidget* target, Qt::Key k, const QString& text = QString(),
         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, k, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, k, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Whether two files hold the same bytes, read a block at a time.
bool sameFiles(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    }
    return true;
}

// Above this size the document is not copied whole in the benchmark itself: no
// decoding beside the editor's, no Replace All (which needs the text as a string).
constexpr qsizetype kWholeCopyLimit = 200;

void runScenarios(qsizetype megabytes, const QString& path, qsizetype fileSize, double baseline);

void runOne(qsizetype megabytes, const QString& folder) {
    const qsizetype bytes = megabytes * 1000 * 1000;
    const QString path = folder + QStringLiteral("/doc%1.txt").arg(megabytes);
    qsizetype fileSize = 0;
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || (fileSize = bench::writeMixedDocument(f, bytes)) < 0)
            return;
    }
    const double baseline = memoryMB().first;
    runScenarios(megabytes, path, fileSize, baseline);

    if (megabytes > kWholeCopyLimit)
        return;
    // The same bytes read whole and decoded on one thread, for comparison.
    Stopwatch timer;
    QByteArray read;
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        read = f.readAll();
    }
    const Lap readTime = timer.lap();
    timer.restart();
    {
        const auto decoded = cp932::decode(read);
        Q_UNUSED(decoded);
    }
    const Lap decodeTime = timer.lap();
    std::printf("          for comparison: read whole %s, decoded on one thread %s\n",
                ms(readTime).c_str(), ms(decodeTime).c_str());
    std::fflush(stdout);
}

void runScenarios(qsizetype megabytes, const QString& path, qsizetype fileSize, double baseline) {
    Stopwatch timer;
    WindowSet set({});
    MainWindow* mainWindow = &set.mainWindow();
    mainWindow->show();
    mainWindow->toggleSubWindow(1);
    mainWindow->toggleSubWindow(2);
    mainWindow->toggleSubWindow(3);
    paintAll(set);
    const double empty = memoryMB().first;

    timer.restart();
    mainWindow->loadDocument(path);
    paintAll(set);
    const Lap openTime = timer.lap();
    const auto [rss, peak] = memoryMB();
    std::printf("%5lld MB  open, 3 sub-windows shown, painted: %s\n",
                static_cast<long long>(megabytes), ms(openTime).c_str());
    std::printf("          memory: %.0f MB resident (%.0f before the program, %.0f with no "
                "text), peak %.0f MB = %.2fx the file\n",
                rss, baseline, empty, peak, peak / (double(fileSize) / 1e6));

    // Save, then the saved file against the one that was opened.
    {
        const QString saved = path + QStringLiteral(".saved");
        ScriptedDialogs answers; // Save As, answered with that name
        answers.answerFile(saved);
        timer.restart();
        mainWindow->saveAs();
        const Lap saveTime = timer.lap();
        const auto [rssSaved, peakSaved] = memoryMB();
        std::printf("          save: %s; byte for byte: %s; peak %.0f MB\n", ms(saveTime).c_str(),
                    sameFiles(path, saved) ? "yes" : "NO", peakSaved);
        Q_UNUSED(rssSaved);
        QFile::remove(saved);
    }

    // One typed character in the middle, all four views shown: the whole change handling
    // (modified check, panels, every view), then the paint that shows it.
    for (int n : {0, 2}) {
        ByteEditor* e = editorOf(set, n);
        e->setFocus();
        e->setSelection(e->byteLength() / 2, 0);
        std::vector<Lap> typed, painted;
        for (int i = 0; i < 60; ++i) {
            timer.restart();
            key(e, Qt::Key_A, QStringLiteral("x"));
            typed.push_back(timer.lap());
            timer.restart();
            paintAll(set);
            painted.push_back(timer.lap());
        }
        const Stats t = stats(typed), p = stats(painted);
        std::printf("          typed char in %s: median %s, max %s; repaint of the four "
                    "windows median %s\n",
                    n == 0 ? "main window " : "sub-window 2", ms(t.median).c_str(),
                    ms(t.max).c_str(), ms(p.median).c_str());
    }

    // A sub-window hidden while the document is loaded again, then shown and painted.
    mainWindow->toggleSubWindow(3);
    mainWindow->loadDocument(path);
    paintAll(set);
    timer.restart();
    mainWindow->toggleSubWindow(3);
    QApplication::processEvents();
    set.subWindow(3).repaint();
    const Lap showTime = timer.lap();
    std::printf("          showing a hidden sub-window after a load, painted: %s\n",
                ms(showTime).c_str());

    // Select all, delete, undo.
    ByteEditor* main = mainWindow->editor();
    main->setFocus();
    mainWindow->selectAll();
    mainWindow->deleteSelection();
    paintAll(set);
    timer.restart();
    mainWindow->undo();
    const Lap undoTime = timer.lap();
    timer.restart();
    paintAll(set);
    const Lap undoPaint = timer.lap();
    std::printf("          undo of select all + delete: %s, then painted: %s; length back: %s\n",
                ms(undoTime).c_str(), ms(undoPaint).c_str(),
                main->byteLength() == fileSize ? "yes" : "NO");

    // Scrolling, main window: page keys from the top, then the scroll bar dragged to
    // places all over the document. Each step is one repaint.
    main->setSelection(0, 0);
    paintAll(set);
    std::vector<Lap> paging, dragging;
    for (int i = 0; i < 60; ++i) {
        timer.restart();
        key(main, Qt::Key_PageDown);
        mainWindow->repaint();
        paging.push_back(timer.lap());
    }
    QScrollBar* bar = main->verticalScrollBar();
    std::mt19937 rng(13);
    for (int i = 0; i < 60; ++i) {
        timer.restart();
        bar->setValue(int(rng() % unsigned(bar->maximum() + 1)));
        mainWindow->repaint();
        dragging.push_back(timer.lap());
    }
    const Stats pg = stats(paging), dr = stats(dragging);
    std::printf("          scrolling: page down + repaint median %s, max %s; scroll bar "
                "moved + repaint median %s, max %s\n",
                ms(pg.median).c_str(), ms(pg.max).c_str(), ms(dr.median).c_str(),
                ms(dr.max).c_str());

    // Replace All of 100,000 occurrences at 10 MB or more, four views shown.
    if (megabytes >= 10 && megabytes <= kWholeCopyLimit) {
        const qsizetype bytes = megabytes * 1000 * 1000;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(cp932::encode(withOccurrences(bench::mixedDocument(bytes), 100000)));
        f.close();
        mainWindow->loadDocument(path);
        paintAll(set);
        mainWindow->showReplaceDialog();
        auto* replace = mainWindow->findChild<ReplaceDialog*>(QStringLiteral("ReplaceDialog1"));
        replace->setFindText(QStringLiteral("置換"));
        replace->setReplaceText(QStringLiteral("ちか"));
        timer.restart();
        mainWindow->replaceAllMatches();
        paintAll(set);
        const Lap replaceTime = timer.lap();
        const QString after = main->text();
        bool equal = true;
        for (int n = 1; n <= 3; ++n)
            equal = equal && editorOf(set, n)->text() == after;
        std::printf("          Replace All of %lld occurrences, painted: %s; every view "
                    "equal: %s\n",
                    static_cast<long long>(after.count(QStringLiteral("ちか"))),
                    ms(replaceTime).c_str(), equal ? "yes" : "NO");
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == u"--write") {
        QFile f(args.value(1));
        return f.open(QIODevice::WriteOnly) &&
                       bench::writeMixedDocument(f, args.value(2).toLongLong() * 1000 * 1000) >= 0
                   ? 0
                   : 1;
    }
    if (args.value(0) == u"--one") {
        QTemporaryDir folder;
        setProgramFolder(folder.path() + u'/');
        setInstalledPrinterCountForTesting(0);
        ScriptedDialogs dialogs; // nothing is asked; a question would be logged
        runOne(args.value(1).toLongLong(), folder.path());
        return dialogs.unexpectedCalls().isEmpty() ? 0 : 1;
    }
    if (args.isEmpty())
        args = {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("100")};
    int failures = 0;
    for (const QString& size : args) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), {QStringLiteral("--one"), size});
        child.waitForFinished(-1);
        failures += child.exitCode() != 0 || child.exitStatus() != QProcess::NormalExit;
    }
    return failures == 0 ? 0 : 1;
}

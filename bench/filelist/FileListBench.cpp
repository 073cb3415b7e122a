// The file list window with 10,000 entries whose files exist: reading the list file
// into a shown, sorted window; sorting by each key; adding one file; saving the list.
#include "filelist/ListFile.h"
#include "forms/FileListWindow.h"
#include "platform/ScriptedDialogs.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace qel;

namespace {

constexpr int kEntries = 10'000;

// A program folder holding 10,000 files in 100 folders, with mixed Japanese and English
// names, sizes and days, a list file naming them in no particular order, and a master
// settings file that shows the list window with it.
class ListFolder {
public:
    ListFolder() {
        const QDateTime start(QDate(2001, 1, 1), QTime(12, 0));
        const QString stems[] = {QStringLiteral("報告書"), QStringLiteral("Report"),
                                 QStringLiteral("議事録"), QStringLiteral("notes"),
                                 QStringLiteral("ﾒﾓ")};
        for (int f = 0; f < 100; ++f)
            QDir(dir_.path()).mkdir(QStringLiteral("Folder%1").arg(f, 2, 10, QLatin1Char('0')));
        for (int i = 0; i < kEntries; ++i) {
            // Spread over the folders and names so that no order is the stored one.
            const int n = (i * 7919) % kEntries;
            const QString path = dir_.filePath(QStringLiteral("Folder%1/%2_%3.txt")
                                                   .arg(n % 100, 2, 10, QLatin1Char('0'))
                                                   .arg(stems[n % 5])
                                                   .arg(n));
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray(n % 4096, 'x'));
            f.setFileTime(start.addDays(n % 3000), QFileDevice::FileModificationTime);
            paths_.append(path);
        }
        {
            IniFile list(listPath());
            writeListFile(list, ListLook(), paths_);
        }
        IniFile master(folder() + QStringLiteral("QelEditor.ini"));
        master.writeBool(kFileListSection, u"Visible", true);
        master.writeString(kFileListSection, u"UseListFile", listPath());
        extra_ = dir_.filePath(QStringLiteral("追加_extra.txt"));
        QFile f(extra_);
        f.open(QIODevice::WriteOnly);
    }
    QString folder() const { return dir_.path() + u'/'; }
    QString listPath() const { return folder() + QStringLiteral("big.QelL"); }
    const QString& extra() const { return extra_; }

private:
    QTemporaryDir dir_;
    QStringList paths_;
    QString extra_;
};

ListFolder& listFolder() {
    static ListFolder folder;
    setProgramFolder(folder.folder());
    return folder;
}

// The window comes up: the list file read, every file looked up, sorted, shown.
void BM_OpenListOf10000(benchmark::State& state) {
    listFolder();
    ScriptedDialogs dialogs;
    for (auto _ : state) {
        auto window = std::make_unique<FileListWindow>();
        QApplication::processEvents(); // shown and painted
        state.PauseTiming();
        if (window->list().size() != kEntries || !window->isVisible() || !dialogs.calls().isEmpty())
            state.SkipWithError("the list did not come up whole");
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenListOf10000)->Unit(benchmark::kMillisecond)->Iterations(5);

// One sort by the key given, from the order of another key, in the shown window.
void BM_SortListOf10000(benchmark::State& state) {
    listFolder();
    ScriptedDialogs dialogs;
    FileListWindow window;
    QApplication::processEvents();
    const auto sortBy = [&window](int key) {
        switch (key) {
        case 0:
            return window.sortByName();
        case 1:
            return window.sortByDate();
        case 2:
            return window.sortBySize();
        default:
            return window.sortByFullPath();
        }
    };
    const int key = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        sortBy((key + 1) % 4);
        QApplication::processEvents();
        state.ResumeTiming();
        sortBy(key);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SortListOf10000)
    ->ArgName("key")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// Adding one file to the shown list of 10,000: checked, placed by name, shown.
void BM_AddOneTo10000(benchmark::State& state) {
    const ListFolder& folder = listFolder();
    ScriptedDialogs dialogs;
    FileListWindow window;
    QApplication::processEvents();
    for (auto _ : state) {
        window.addPaths({folder.extra()});
        QApplication::processEvents();
        state.PauseTiming();
        const QStringList paths = window.list().fullPaths();
        if (paths.size() != kEntries + 1)
            state.SkipWithError("not added");
        window.list().remove(paths.indexOf(folder.extra()));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddOneTo10000)->Unit(benchmark::kMicrosecond)->Iterations(50);

// Writing the list of 10,000 back over its file.
void BM_SaveListOf10000(benchmark::State& state) {
    listFolder();
    ScriptedDialogs dialogs;
    FileListWindow window;
    for (auto _ : state)
        window.writeList();
}
BENCHMARK(BM_SaveListOf10000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Dates and names as the program's users see them.
    qputenv("LC_ALL", "ja_JP.UTF-8");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

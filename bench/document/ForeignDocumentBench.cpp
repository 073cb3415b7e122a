// Opening a big code page 932 file with and without first looking at its start for
// another encoding, as every open now does; what that look costs on its own, on a
// clean start and on a start with a stray byte (which sends it on to ICU's detector);
// and what opening a UTF-8 file converted costs before the question is asked.
#include "../MixedDocument.h"
#include "document/ForeignDocument.h"
#include "settings/FileContent.h"
#include "textmodel/TextDocument.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <map>

namespace {

using namespace qel;

QTemporaryDir& folder() {
    static QTemporaryDir dir((QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                  ? QStringLiteral("/dev/shm")
                                  : QDir::tempPath()) +
                             QStringLiteral("/qel-bench-XXXXXX"));
    return dir;
}

enum Kind { Cp932, Cp932StrayByte, Utf8 };

// A file of mixed Japanese and English lines, `megabytes` in code page 932.
QString file(Kind kind, qsizetype megabytes) {
    static std::map<std::pair<Kind, qsizetype>, QString> made;
    QString& path = made[{kind, megabytes}];
    if (path.isEmpty()) {
        const QString text = bench::mixedDocument(megabytes * 1000 * 1000);
        QByteArray bytes = kind == Utf8 ? text.toUtf8() : cp932::encode(text);
        if (kind == Cp932StrayByte)
            bytes[100] = char(0xFF);
        path = folder().filePath(QStringLiteral("%1-%2.txt").arg(kind).arg(megabytes));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
    return path;
}

void load(const QString& path) {
    textmodel::TextDocument doc;
    doc.load(cp932::decode(readRegularFile(path)));
    benchmark::DoNotOptimize(doc.lineCount());
}

void BM_LoadWithoutRecognition(benchmark::State& state) {
    const QString path = file(Cp932, state.range(0));
    for (auto _ : state)
        load(path);
}
void BM_LoadWithRecognition(benchmark::State& state) {
    const QString path = file(Cp932, state.range(0));
    for (auto _ : state) {
        if (examineDocumentFile(path))
            std::abort(); // code page 932 is never foreign
        load(path);
    }
}
// Side by side, so that both see much the same state of the machine.
BENCHMARK(BM_LoadWithoutRecognition)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_LoadWithRecognition)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_LoadWithoutRecognition)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadWithRecognition)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RecognitionAlone(benchmark::State& state) {
    const QString path = file(Kind(state.range(0)), 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(examineDocumentFile(path));
}
BENCHMARK(BM_RecognitionAlone)->Arg(Cp932)->Arg(Cp932StrayByte)->Unit(benchmark::kMicrosecond);

void BM_ExamineUtf8(benchmark::State& state) {
    const QString path = file(Utf8, state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(examineDocumentFile(path));
}
BENCHMARK(BM_ExamineUtf8)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();

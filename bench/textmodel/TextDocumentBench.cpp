// The document model alone on big texts: loading, one typed character and the
// measures the status bar asks for after it, line and byte look-ups, undo of "select
// all, delete", and 100,000 replacements made in turn.
#include "../MixedDocument.h"
#include "settings/FileContent.h"
#include "textmodel/TextDocument.h"
#include "textmodel/TextLoader.h"

#include <QTemporaryFile>

#include <benchmark/benchmark.h>

#include <ctime>
#include <map>
#include <random>

namespace {

using namespace qel;
using namespace qel::textmodel;

// Mixed Japanese and English lines of the given size in code page 932 bytes.
const QByteArray& document(qsizetype megabytes) {
    static std::map<qsizetype, QByteArray> made;
    QByteArray& bytes = made[megabytes];
    if (bytes.isEmpty())
        bytes = cp932::encode(bench::mixedDocument(megabytes * 1000 * 1000));
    return bytes;
}

void BM_Load(benchmark::State& state) {
    const QByteArray& bytes = document(state.range(0));
    for (auto _ : state) {
        TextDocument doc;
        doc.load(cp932::decode(bytes));
        benchmark::DoNotOptimize(doc.lineCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Load)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same through the loader the editor uses, from a file, on one thread and on two;
// in real time, since the work is spread over threads.
void BM_LoadFile(benchmark::State& state) {
    const QByteArray& bytes = document(state.range(0));
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
        state.SkipWithError("cannot write the document");
        return;
    }
    const RegularFileSource source(file.fileName());
    TextLoader::Options options;
    options.threads = int(state.range(1));
    const auto processTime = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    };
    const double cpuBefore = processTime();
    for (auto _ : state) {
        TextDocument doc;
        TextLoader loader(source, options);
        doc.load(loader.take());
        benchmark::DoNotOptimize(doc.lineCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    // Processor time of all the threads, per load: the load's own cost on a busy machine.
    state.counters["all_threads_cpu_ms"] = (processTime() - cpuBefore) / double(state.iterations());
}
BENCHMARK(BM_LoadFile)
    ->Args({10, 1})
    ->Args({10, 2})
    ->Args({100, 1})
    ->Args({100, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// One character typed in the middle, then what the status bar reads: size, lines,
// the caret's line and byte column, and whether the text differs from the saved one.
void BM_TypedCharacter(benchmark::State& state) {
    TextDocument doc;
    doc.load(cp932::decode(document(state.range(0))));
    doc.markSaved();
    qsizetype caret = doc.length() / 2;
    int view = 0;
    for (auto _ : state) {
        doc.replace(caret, 0, u"x", &view, EditKind::TypedInsert);
        ++caret;
        const qsizetype line = doc.lineOf(caret);
        benchmark::DoNotOptimize(doc.byteLength() + doc.lineCount() + doc.byteOffsetOf(caret) -
                                 doc.byteOffsetOf(doc.lineStart(line)) + doc.differsFromSaved());
    }
}
BENCHMARK(BM_TypedCharacter)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

// Typing at places all over the text: many pieces.
void BM_TypedAllOver(benchmark::State& state) {
    TextDocument doc;
    doc.load(cp932::decode(document(10)));
    std::mt19937 rng(7);
    int view = 0;
    for (auto _ : state) {
        const qsizetype at = qsizetype(rng() % unsigned(doc.length()));
        doc.replace(at, 0, u"x", &view, EditKind::TypedInsert);
        benchmark::DoNotOptimize(doc.byteOffsetOf(at));
    }
}
BENCHMARK(BM_TypedAllOver)->Unit(benchmark::kMicrosecond);

void BM_LineAndByteLookups(benchmark::State& state) {
    TextDocument doc;
    doc.load(cp932::decode(document(state.range(0))));
    std::mt19937 rng(3);
    for (auto _ : state) {
        const qsizetype line = qsizetype(rng() % unsigned(doc.lineCount()));
        const qsizetype start = doc.lineStart(line);
        benchmark::DoNotOptimize(doc.positionOfByte(doc.byteOffsetOf(start) + 7));
        benchmark::DoNotOptimize(doc.lineText(line));
    }
}
BENCHMARK(BM_LineAndByteLookups)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_UndoSelectAllDelete(benchmark::State& state) {
    TextDocument doc;
    doc.load(cp932::decode(document(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        doc.replace(0, doc.length(), QString());
        state.ResumeTiming();
        doc.undo();
        benchmark::DoNotOptimize(doc.length());
    }
}
BENCHMARK(BM_UndoSelectAllDelete)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_ReplaceInTurn100000(benchmark::State& state) {
    TextDocument doc;
    doc.load(cp932::decode(document(10)));
    std::vector<qsizetype> positions;
    const qsizetype step = doc.length() / 100000;
    for (qsizetype i = 0; i < 100000; ++i)
        positions.push_back(i * step);
    for (auto _ : state) {
        doc.replaceInTurn(positions, 2, u"置換");
        state.PauseTiming();
        doc.undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReplaceInTurn100000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Encode(benchmark::State& state) {
    TextDocument doc;
    doc.load(cp932::decode(document(10)));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.encoded());
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();

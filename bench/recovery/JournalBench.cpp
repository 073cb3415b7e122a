// The journal of unsaved edits: what it adds to a typed character in a 10 MB document
// (with and without it, the flush a second's typing makes included), how big it is
// after 10,000 typed characters, and how long recovering a journal of 100,000 edits
// takes, from finding it to the recovered text.
#include "../MixedDocument.h"
#include "recovery/AbandonedWork.h"
#include "recovery/EditJournal.h"
#include "recovery/JournalFile.h"
#include "recovery/RecoveryFolder.h"
#include "textmodel/TextDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace qel;
using namespace qel::recovery;
using namespace qel::textmodel;

const QByteArray& tenMegabytes() {
    static const QByteArray bytes = cp932::encode(bench::mixedDocument(10 * 1000 * 1000));
    return bytes;
}

QString written(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}

// A document loaded from a file, with its journal when `journal` is set.
struct Editing {
    QTemporaryDir dir;
    RecoverySession session{dir.filePath(QStringLiteral("recovery"))};
    TextDocument doc;
    std::unique_ptr<EditJournal> journal;

    Editing(const QByteArray& bytes, bool withJournal) {
        const QString file = written(dir.filePath(QStringLiteral("doc.txt")), bytes);
        if (withJournal)
            journal = std::make_unique<EditJournal>(doc, session);
        doc.load(cp932::decode(bytes));
        doc.markSaved();
        if (journal)
            journal->startFrom(file, true);
    }
};

// One character typed in the middle, as the status bar then reads the text (see
// textmodel_bench); with the journal, the flush its timer makes after each 50.
void BM_TypedCharacter(benchmark::State& state) {
    Editing e(tenMegabytes(), state.range(0) != 0);
    qsizetype caret = e.doc.length() / 2;
    int view = 0;
    int typed = 0;
    for (auto _ : state) {
        e.doc.replace(caret, 0, u"x", &view, EditKind::TypedInsert);
        ++caret;
        benchmark::DoNotOptimize(e.doc.byteLength() + e.doc.lineCount() +
                                 e.doc.byteOffsetOf(caret) + e.doc.differsFromSaved());
        if (e.journal && ++typed % 50 == 0)
            e.journal->flush();
    }
    if (e.journal)
        e.journal->waitUntilWritten();
}
BENCHMARK(BM_TypedCharacter)->ArgName("journal")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// 10,000 characters typed (a line break after every 60), flushed after every 10 (ten
// keys a second) or every 50: the journal's size, and the text's.
void BM_JournalOfTenThousandCharacters(benchmark::State& state) {
    const int perFlush = int(state.range(0));
    qint64 size = 0, textBytes = 0;
    for (auto _ : state) {
        Editing e(cp932::encode(bench::mixedDocument(100 * 1000)), true);
        const qsizetype start = e.doc.length() / 2;
        qsizetype caret = start;
        const QString typed = QStringLiteral("日本語と English を打つ");
        for (int i = 0; i < 10000; ++i) {
            const QString c =
                i % 60 == 59 ? QStringLiteral("\n") : QString(typed[i % typed.size()]);
            e.doc.replace(caret++, 0, c, nullptr, EditKind::TypedInsert);
            if ((i + 1) % perFlush == 0)
                e.journal->flush();
        }
        e.journal->flush();
        e.journal->waitUntilWritten();
        // Without the copy of the file it starts from, which a 100 kB file takes along.
        const JournalContents read = readJournal([&] {
            QFile f(e.session.journalPath());
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }());
        size = QFileInfo(e.session.journalPath()).size() - read.originBytes->size();
        textBytes = cp932::byteLength(e.doc.text(start, caret));
    }
    state.counters["journal_bytes"] = double(size);
    state.counters["typed_text_bytes"] = double(textBytes);
}
BENCHMARK(BM_JournalOfTenThousandCharacters)
    ->ArgName("keys_per_flush")
    ->Arg(10)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A journal of 100,000 edits (single characters typed and deleted all over a 1 MB
// document, none joining another, a mark after every ten) left by a killed program:
// found, checked against its file, read and replayed.
void BM_RecoverHundredThousandEdits(benchmark::State& state) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const QByteArray original = cp932::encode(bench::mixedDocument(1000 * 1000));
    const QString file = written(dir.filePath(QStringLiteral("doc.txt")), original);
    QByteArray journal;
    {
        TextDocument doc;
        RecoverySession session(folder);
        EditJournal writer(doc, session);
        doc.load(cp932::decode(original));
        doc.markSaved();
        writer.startFrom(file, true);
        std::mt19937 random(5);
        for (int i = 0; i < 100000; ++i) {
            const qsizetype at = qsizetype(random() % unsigned(doc.length()));
            if (i % 3 == 2)
                doc.replace(at, 1, QString());
            else
                doc.replace(at, 0, i % 2 ? QStringLiteral("字") : QStringLiteral("a"));
            if (i % 10 == 9)
                writer.flush();
        }
        writer.waitUntilWritten();
        QFile f(session.journalPath());
        f.open(QIODevice::ReadOnly);
        journal = f.readAll();
        state.counters["edits"] = double(readJournal(journal).edits.size());
    }
    makePrivateFolder(folder, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        written(folder + QStringLiteral("/1-bench-1.journal"), journal);
        state.ResumeTiming();
        std::vector<AbandonedWork> found = AbandonedWork::findIn(folder);
        RecoveredText text = found.at(0).recover();
        benchmark::DoNotOptimize(text.text->length());
    }
    state.counters["journal_bytes"] = double(journal.size());
}
BENCHMARK(BM_RecoverHundredThousandEdits)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

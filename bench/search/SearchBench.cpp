// Replace All and the backward find on a 10 MB document holding 100,000 occurrences:
// the search layer alone, and through the editor (copy out, replace, apply one edit).

#include "platform/ByteEditor.h"
#include "platform/EditorSearch.h"
#include "platform/ScriptedDialogs.h"
#include "search/ReplaceAll.h"
#include "text/Cp932.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace qel;

constexpr qsizetype kDocumentBytes = 10 * 1024 * 1024;
constexpr int kOccurrences = 100000;

// Lines of Japanese and English filler, with `target` put in `kOccurrences` times at
// random places between words. The filler never contains the target.
QString makeDocument(const QString& target) {
    std::mt19937 rng(2101);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    static const char16_t* const words[] = {
        u"検索",     u"置換", u"文字列", u"ファイル", u"ウィンドウ", u"保存",   u"日本語",
        u"テキスト", u"の",   u"を",     u"に",       u"は",         u"です",   u"ます",
        u"editor",   u"line", u"text",   u"save",     u"search",     u"window", u"Osaka",
        u"version",  u"、",   u"。",     u" "};
    const qsizetype targetBytes = cp932::byteLength(target);
    const qsizetype fillerBytes = kDocumentBytes - kOccurrences * targetBytes;
    // Word positions at which the target goes in.
    QString doc;
    doc.reserve(kDocumentBytes);
    qsizetype bytes = 0;
    const qsizetype gap = fillerBytes / kOccurrences;
    int placed = 0;
    qsizetype nextTarget = pick(int(gap));
    while (bytes < fillerBytes || placed < kOccurrences) {
        if (placed < kOccurrences && bytes >= nextTarget) {
            doc += u' ';
            doc += target;
            doc += u' ';
            bytes += targetBytes + 2;
            ++placed;
            nextTarget += gap;
            continue;
        }
        const QString word = QString::fromUtf16(words[pick(int(std::size(words)))]);
        doc += word;
        bytes += cp932::byteLength(word);
        if (pick(12) == 0) {
            doc += u'\n';
            bytes += 2;
        }
    }
    return doc;
}

const QString& kanjiDocument() {
    static const QString doc = makeDocument(QStringLiteral("東京都"));
    return doc;
}

const QString& wordDocument() {
    static const QString doc = makeDocument(QStringLiteral("Tokyo"));
    return doc;
}

void check(benchmark::State& state, qsizetype count) {
    if (count != kOccurrences)
        state.SkipWithError("wrong number of replacements");
}

// Same length in bytes, so every occurrence lies within the original length.
void BM_ReplaceAllKanjiMatchCase(benchmark::State& state) {
    const QString& doc = kanjiDocument();
    for (auto _ : state) {
        const search::ReplaceAllResult r =
            search::replaceAll(doc, u"東京都", u"大阪府", {.wholeWord = false, .matchCase = true});
        check(state, r.count);
        benchmark::DoNotOptimize(r.text.data());
    }
    state.SetBytesProcessed(state.iterations() * kDocumentBytes);
}
BENCHMARK(BM_ReplaceAllKanjiMatchCase)->Unit(benchmark::kMillisecond);

void BM_ReplaceAllWholeWordAnyCase(benchmark::State& state) {
    const QString& doc = wordDocument();
    for (auto _ : state) {
        const search::ReplaceAllResult r =
            search::replaceAll(doc, u"tokyo", u"KYOTO", {.wholeWord = true, .matchCase = false});
        check(state, r.count);
        benchmark::DoNotOptimize(r.text.data());
    }
    state.SetBytesProcessed(state.iterations() * kDocumentBytes);
}
BENCHMARK(BM_ReplaceAllWholeWordAnyCase)->Unit(benchmark::kMillisecond);

// The whole command on the editor: its text copied out, replaced, and applied back as
// one undoable edit.
void BM_ReplaceAllInEditor(benchmark::State& state) {
    ScriptedDialogs dialogs;
    ByteEditor editor;
    const search::ReplaceRequest request{QStringLiteral("東京都"),
                                         QStringLiteral("大阪府"),
                                         {.wholeWord = false, .matchCase = true},
                                         search::ReplaceAction::ReplaceAll};
    for (auto _ : state) {
        state.PauseTiming();
        editor.setText(kanjiDocument());
        editor.document()->clearHistory();
        dialogs.clearCalls();
        state.ResumeTiming();
        EditorSearch(editor).replaceAllMatches(request);
        if (dialogs.texts(QStringLiteral("message")) !=
            QStringList{QStringLiteral("置き換えが終了しました")})
            state.SkipWithError("Replace All did not finish");
    }
}
BENCHMARK(BM_ReplaceAllInEditor)->Unit(benchmark::kMillisecond)->Iterations(5);

// Find Next upwards from the end walks every occurrence from the top: 100,000
// searches, each starting where the last match ended.
void BM_FindUpFromTheEndInEditor(benchmark::State& state) {
    ScriptedDialogs dialogs;
    ByteEditor editor;
    editor.setText(kanjiDocument());
    const search::FindRequest request{
        QStringLiteral("東京都"), {.wholeWord = true, .matchCase = true}, search::Direction::Up};
    for (auto _ : state) {
        editor.setCursorPosition(editor.document()->length());
        if (!EditorSearch(editor).findUp(request))
            state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindUpFromTheEndInEditor)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Decoding and encoding a large Japanese and English document, next to ICU's own
// converter on the same bytes. Rates are in bytes of the code page 932 file.

#include "text/Cp932.h"

#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

using namespace qel;

constexpr qsizetype kDocumentSize = 10 * 1024 * 1024;

void appendCode(QByteArray& out, int code) {
    out.append(char(code >> 8));
    out.append(char(code & 0xFF));
}

// A document of CR LF lines: mostly Japanese prose (kanji, hiragana, katakana words,
// punctuation, the odd ASCII word or number), some English lines, some blank ones.
QByteArray makeDocument(qsizetype size) {
    std::mt19937 rng(932);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    static const char* const words[] = {
        "the",   "editor", "file",   "Shift_JIS", "line",  "of",     "text",  "and",     "a",
        "save",  "open",   "window", "search",    "with",  "Tokyo",  "page",  "version", "is",
        "print", "macro",  "key",    "for",       "value", "README", "UTF-8", "in",      "to"};
    auto appendWord = [&](QByteArray& out) { out.append(words[pick(std::size(words))]); };
    auto appendKanji = [&](QByteArray& out) {
        // JIS level 1: 0x889F-0x9872.
        const int lead = 0x88 + pick(0x98 - 0x88 + 1);
        int trail;
        if (lead == 0x88)
            trail = 0x9F + pick(0xFC - 0x9F + 1);
        else if (lead == 0x98)
            trail = 0x40 + pick(0x72 - 0x40 + 1);
        else
            do
                trail = 0x40 + pick(0xFC - 0x40 + 1);
            while (trail == 0x7F);
        appendCode(out, lead << 8 | trail);
    };

    QByteArray doc;
    doc.reserve(size + 256);
    while (doc.size() < size) {
        const int kind = pick(10);
        if (kind < 7) {
            const int lineLength = 20 + pick(100);
            const qsizetype start = doc.size();
            while (doc.size() - start < lineLength) {
                const int token = pick(20);
                if (token < 7) {
                    for (int k = 1 + pick(3); k > 0; --k)
                        appendKanji(doc);
                } else if (token < 14) {
                    for (int k = 1 + pick(4); k > 0; --k)
                        appendCode(doc, 0x829F + pick(0x82F1 - 0x829F + 1));
                } else if (token < 16) {
                    for (int k = 2 + pick(5); k > 0; --k)
                        appendCode(doc, 0x8340 + pick(0x837E - 0x8340 + 1));
                    appendCode(doc, 0x815B); // ー
                } else if (token < 17) {
                    appendWord(doc);
                } else if (token < 18) {
                    doc.append(QByteArray::number(pick(10000)));
                } else {
                    appendCode(doc, pick(3) ? 0x8141 : 0x8142); // 、。
                }
            }
            appendCode(doc, 0x8142);
        } else if (kind < 9) {
            for (int k = 4 + pick(12); k > 0; --k) {
                appendWord(doc);
                doc.append(' ');
            }
            doc.append('.');
        }
        doc.append("\r\n");
    }
    return doc;
}

const QByteArray& document() {
    static const QByteArray doc = makeDocument(kDocumentSize);
    return doc;
}

using Converter = std::unique_ptr<UConverter, void (*)(UConverter*)>;

Converter openIcu() {
    UErrorCode status = U_ZERO_ERROR;
    Converter conv(ucnv_open("windows-31j", &status), ucnv_close);
    if (U_FAILURE(status))
        throw std::runtime_error("ICU has no windows-31j converter");
    return conv;
}

void BM_Decode(benchmark::State& state) {
    const QByteArray& doc = document();
    for (auto _ : state) {
        cp932::Decoded d = cp932::decode(doc);
        benchmark::DoNotOptimize(d.text.data());
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

void BM_IcuToUChars(benchmark::State& state) {
    const QByteArray& doc = document();
    Converter conv = openIcu();
    std::vector<UChar> out(doc.size());
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n = ucnv_toUChars(conv.get(), out.data(), int32_t(out.size()), doc.data(),
                                        int32_t(doc.size()), &status);
        if (U_FAILURE(status))
            state.SkipWithError("ucnv_toUChars failed");
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_IcuToUChars)->Unit(benchmark::kMillisecond);

void BM_Encode(benchmark::State& state) {
    const QByteArray& doc = document();
    const cp932::Decoded d = cp932::decode(doc);
    for (auto _ : state) {
        QByteArray bytes = cp932::encode(d.text, d.alternates);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);

void BM_IcuFromUChars(benchmark::State& state) {
    const QByteArray& doc = document();
    Converter conv = openIcu();
    // ICU's own reading of the document, CR LF kept, so both write the same bytes.
    std::vector<UChar> text(doc.size());
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(conv.get(), text.data(), int32_t(text.size()), doc.data(),
                                         int32_t(doc.size()), &status);
    std::vector<char> out(doc.size() + 16);
    for (auto _ : state) {
        status = U_ZERO_ERROR;
        const int32_t n = ucnv_fromUChars(conv.get(), out.data(), int32_t(out.size()), text.data(),
                                          length, &status);
        if (U_FAILURE(status) || n != doc.size())
            state.SkipWithError("ucnv_fromUChars failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_IcuFromUChars)->Unit(benchmark::kMillisecond);

void BM_ByteLength(benchmark::State& state) {
    const QByteArray& doc = document();
    const QString text = cp932::decodeText(doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(cp932::byteLength(text));
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_ByteLength)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

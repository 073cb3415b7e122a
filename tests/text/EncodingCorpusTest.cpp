// Recognition and conversion over the generated corpus (make_encoding_corpus.py): a
// few hundred files in each encoding. Prints the table of what each encoding is
// recognised as, split at 100 bytes, and how the table moves with the confidence
// threshold.
#include "../TestPrinters.h"
#include "EncodingPrinters.h"
#include "text/Cp932.h"
#include "text/Encoding.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include <array>
#include <cstdio>
#include <map>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace qel::encoding {

namespace {

struct CorpusFile {
    QString path;
    Encoding encoding;
    qsizetype lost;
    QByteArray bytes;
    QByteArray expected; // saved after opening it converted; empty for code page 932
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const std::vector<CorpusFile>& corpus() {
    static const std::vector<CorpusFile> files = [] {
        std::vector<CorpusFile> out;
        const QString root = QStringLiteral(ENCODING_CORPUS_DIR) + u'/';
        const QStringList lines =
            QString::fromUtf8(readAll(root + u"manifest.tsv"_s)).split(u'\n', Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList f = lines[i].split(u'\t');
            CorpusFile file;
            file.path = f.value(0);
            file.encoding = Encoding::Cp932;
            for (const Encoding e : kAll)
                if (f.value(1) == QLatin1StringView(label(e)))
                    file.encoding = e;
            file.lost = f.value(3).toLongLong();
            file.bytes = readAll(root + file.path);
            if (file.encoding != Encoding::Cp932)
                file.expected = readAll(root + u"expected/"_s + file.path);
            out.push_back(std::move(file));
        }
        return out;
    }();
    return files;
}

bool isShort(const CorpusFile& f) {
    return f.bytes.size() < 100;
}

// recognised[short][written in][recognised as]
using Table = std::map<bool, std::map<Encoding, std::map<Encoding, int>>>;

Table recognitionTable(int threshold) {
    Table table;
    for (const CorpusFile& f : corpus())
        ++table[isShort(f)][f.encoding][recognise(f.bytes, true, threshold).encoding];
    return table;
}

void printTable(const Table& table) {
    std::printf("%-12s %-6s", "written in", "size");
    for (const Encoding as : kAll)
        std::printf(" %11s", label(as));
    std::printf("\n");
    for (const Encoding in : kAll)
        for (const bool small : {true, false}) {
            std::printf("%-12s %-6s", label(in), small ? "<100" : ">=100");
            for (const Encoding as : kAll) {
                auto row = table.find(small);
                int n = 0;
                if (row != table.end() && row->second.count(in) && row->second.at(in).count(as))
                    n = row->second.at(in).at(as);
                std::printf(" %11d", n);
            }
            std::printf("\n");
        }
}

// Share recognised as what they are written in, of the files written in `in` (all
// but code page 932 when nullopt) of one size (either when nullopt).
double shareRight(const Table& table, std::optional<Encoding> in, std::optional<bool> small) {
    int right = 0, all = 0;
    for (const auto& [s, rows] : table) {
        if (small && *small != s)
            continue;
        for (const auto& [written, row] : rows) {
            if (in ? written != *in : written == Encoding::Cp932)
                continue;
            for (const auto& [as, n] : row) {
                all += n;
                right += as == written ? n : 0;
            }
        }
    }
    return all ? double(right) / all : 1.0;
}

TEST(EncodingCorpus, HasEnoughOfEveryKind) {
    std::map<Encoding, int> count, small;
    for (const CorpusFile& f : corpus()) {
        ++count[f.encoding];
        small[f.encoding] += isShort(f);
        ASSERT_FALSE(f.bytes.isEmpty()) << f.path.toStdString();
    }
    for (const Encoding e : kAll) {
        EXPECT_GE(count[e], 200) << label(e);
        EXPECT_GE(small[e], 40) << label(e);
    }
}

TEST(EncodingCorpus, RecognisedAsWritten) {
    const Table table = recognitionTable(kMinimumConfidence);
    std::printf("Recognised with confidence %d or more:\n", kMinimumConfidence);
    printTable(table);

    // How many are recognised at other thresholds (code page 932: how many are not
    // taken for something else).
    std::printf("\nthreshold");
    for (const Encoding e : kAll)
        std::printf(" %11s", label(e));
    std::printf("\n");
    for (const int threshold : {10, 11, 70, 71, 80, 81}) {
        const Table t = recognitionTable(threshold);
        std::printf("%9d", threshold);
        for (const Encoding e : kAll)
            std::printf(" %10.1f%%", 100 * shareRight(t, e, std::nullopt));
        std::printf("\n");
    }

    // No code page 932 file is taken for anything else; of the others 99% are
    // recognised, and 95% of those under 100 bytes.
    for (const bool small : {true, false}) {
        const auto& row = table.at(small).at(Encoding::Cp932);
        EXPECT_EQ(row.size(), 1u) << (small ? "under 100 bytes" : "100 bytes or more");
        EXPECT_TRUE(row.count(Encoding::Cp932));
    }
    EXPECT_GE(shareRight(table, std::nullopt, std::nullopt), 0.99);
    EXPECT_GE(shareRight(table, std::nullopt, true), 0.95);
    for (const Encoding e : kAll) {
        EXPECT_EQ(shareRight(table, e, false), 1.0) << label(e) << ", 100 bytes or more";
        // One or two EUC-JP words can be, byte for byte, half-width katakana in code
        // page 932 as well; such a file stays code page 932.
        EXPECT_GE(shareRight(table, e, true), e == Encoding::EucJp ? 0.85 : 0.95)
            << label(e) << ", under 100 bytes";
    }
}

// Only the start is looked at, and a cut through a character there is no fault.
TEST(EncodingCorpus, LongFilesByTheirStart) {
    int longFiles = 0;
    for (const CorpusFile& f : corpus()) {
        if (f.bytes.size() <= kRecognitionBytes)
            continue;
        ++longFiles;
        EXPECT_EQ(recognise(f.bytes, true), recognise(f.bytes.first(kRecognitionBytes), false))
            << f.path.toStdString();
        EXPECT_EQ(recognise(f.bytes, true).encoding, f.encoding) << f.path.toStdString();
    }
    EXPECT_GE(longFiles, 3);
}

TEST(EncodingCorpus, ConvertedAsTheTextWasWritten) {
    int failures = 0;
    for (const CorpusFile& f : corpus()) {
        if (f.encoding == Encoding::Cp932 || failures > 10)
            continue;
        const Converted c = convertToCp932(f.bytes, f.encoding);
        const QByteArray saved = cp932::encode(c.text);
        if (saved != f.expected || c.lost != f.lost) {
            ++failures;
            ADD_FAILURE() << f.path.toStdString() << ": lost " << c.lost << ", expected " << f.lost
                          << "\n  saved:    " << saved.left(200).toHex(' ').toStdString()
                          << "\n  expected: " << f.expected.left(200).toHex(' ').toStdString();
        }
        EXPECT_EQ(c.firstLost.isEmpty(), c.lost == 0) << f.path.toStdString();
    }
}

} // namespace
} // namespace qel::encoding

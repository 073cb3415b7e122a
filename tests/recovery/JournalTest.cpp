// The journal on the disk: entries read back as they were written, a journal cut short
// or ending in garbage gives every complete entry before the damage, and a replay never
// reaches outside the text.
#include "../TestPrinters.h"
#include "recovery/JournalFormat.h"
#include "recovery/Replay.h"
#include "text/Cp932.h"
#include "textmodel/TextDocument.h"

#include <gtest/gtest.h>

#include <random>

using namespace qel;
using namespace qel::recovery;
using namespace Qt::StringLiterals;

namespace {

const QString kReserved = QString(QChar(cp932::reservedFor(0x81)));

// A journal of the given edits, a mark after each.
QByteArray journalOf(const Origin& origin, const std::vector<Edit>& edits) {
    QByteArray out = journalHeading() + originEntry(origin);
    for (std::size_t i = 0; i < edits.size(); ++i)
        out += editEntry(edits[i]) + markEntry({qint64(1000 + i), -1, -1, 0});
    return out;
}

std::vector<Edit> someEdits() {
    return {
        {0, 0, u"こんにちは、world\n"_s, {}},
        {3, 2, QString(), {}},
        {1, 0, kReserved + u"A"_s, {}},
        {0, 0, QString(), {5, 2, 30, 27}},     // a run, back and forth
        {4, 1, u"①"_s, {}},                    // a character of the NEC rows
        {0, 0, u"x"_s, {0, 1, 2}},             // a run with nothing taken out
        {70000, 3, QString(80000, u'あ'), {}}, // numbers of several bytes
    };
}

QString textAfter(const QString& start, const JournalContents& journal) {
    textmodel::TextDocument doc;
    doc.load(cp932::decode(cp932::encode(start)));
    replay(journal, doc);
    return doc.text();
}

} // namespace

TEST(JournalFormat, EntriesReadBackAsWritten) {
    std::vector<Edit> edits = someEdits();
    edits[3].removed = 2;
    edits[5].removed = 0;
    const std::vector<Origin> origins = {
        {}, // untitled, empty
        {u"/home/ユーザー/メモ.txt"_s, true, 12345, 1700000000123, 0x0123456789ABCDEFu, 99},
        {u"/tmp/a.txt"_s, true, 0, -5, std::nullopt, 1}, // changed before it was read
    };
    for (const Origin& origin : origins) {
        SCOPED_TRACE(origin.documentPath.toStdString());
        const QByteArray bytes = journalHeading() + originEntry(origin) +
                                 originBytesEntry("\x82\xa0\r\n") + editEntry(edits[0]) +
                                 markEntry({42, 7, 9, 0}) + editEntry(edits[3]) +
                                 editEntry(edits[6]);
        const JournalContents read = readJournal(bytes);
        EXPECT_FALSE(read.damaged);
        EXPECT_EQ(read.completeBytes, bytes.size());
        ASSERT_TRUE(read.origin);
        EXPECT_EQ(*read.origin, origin);
        EXPECT_EQ(read.originBytes, QByteArray("\x82\xa0\r\n"));
        EXPECT_EQ(read.edits, (std::vector<Edit>{edits[0], edits[3], edits[6]}));
        EXPECT_EQ(read.marks, (std::vector<Mark>{{42, 7, 9, 1}}));
    }
    // Every kind of edit, one after the other.
    const JournalContents all = readJournal(journalOf({}, edits));
    EXPECT_EQ(all.edits, edits);
    EXPECT_EQ(all.marks.size(), edits.size());
}

TEST(JournalFormat, DamageEndsTheJournalAfterItsLastCompleteEntry) {
    const std::vector<Edit> edits = someEdits();
    const QByteArray whole = journalOf({u"/a"_s, true, 3, 4, 5, 6}, edits);
    // Where each entry ends, and how many edits the journal then holds.
    std::vector<std::pair<qsizetype, std::size_t>> ends;
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const JournalContents read = readJournal(whole.first(cut));
        if (!read.damaged)
            ends.push_back({cut, read.edits.size()});
    }
    // The empty file, the heading, the origin, and each edit with its mark: 2 + 2n + 1.
    ASSERT_EQ(ends.size(), 2 * edits.size() + 3);
    // Cut anywhere, a journal gives the edits of every entry complete before the cut,
    // and says it is damaged unless it was cut between two entries.
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const JournalContents read = readJournal(whole.first(cut));
        auto last = std::prev(std::upper_bound(
            ends.begin(), ends.end(), cut, [](qsizetype c, const auto& e) { return c < e.first; }));
        ASSERT_EQ(read.edits.size(), last->second) << "cut at " << cut;
        ASSERT_EQ(read.completeBytes, last->first) << cut;
        ASSERT_EQ(read.damaged, cut != last->first) << cut;
        ASSERT_TRUE(std::equal(read.edits.begin(), read.edits.end(), edits.begin()));
    }

    // Garbage after the end, or a byte changed inside an entry: the entries before it.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray garbage(1 + int(random() % 40), Qt::Uninitialized);
        for (char& c : garbage)
            c = char(random());
        const JournalContents tail = readJournal(QByteArray(whole + garbage));
        EXPECT_EQ(tail.edits, edits);
        EXPECT_TRUE(tail.damaged);

        QByteArray flipped = whole;
        const qsizetype at = ends[2].first + qsizetype(random() % (whole.size() - ends[2].first));
        flipped[at] = char(flipped[at] ^ (1 << (random() % 8)));
        const JournalContents read = readJournal(flipped);
        const auto entry = std::upper_bound(ends.begin(), ends.end(), at,
                                            [](qsizetype c, const auto& e) { return c < e.first; });
        EXPECT_EQ(read.edits.size(), std::prev(entry)->second) << "changed at " << at;
        EXPECT_TRUE(read.damaged);
    }
    // Not a journal at all.
    EXPECT_FALSE(readJournal("QelEditor settings\n").origin);
    EXPECT_TRUE(readJournal("QelEditor settings\n").damaged);
}

TEST(Replay, NothingInAJournalReachesOutsideTheText) {
    const QString start = u"0123456789"_s;
    struct Case {
        const char* what;
        std::vector<Edit> edits;
        QString expected;
        std::size_t made;
    };
    const std::vector<Case> cases = {
        {"in the text", {{10, 0, u"!"_s, {}}, {0, 2, u"ab"_s, {}}}, u"ab23456789!"_s, 2},
        {"past the end", {{1, 1, u"x"_s, {}}, {11, 0, u"!"_s, {}}}, u"0x23456789"_s, 1},
        {"removes past the end", {{8, 3, QString(), {}}}, start, 0},
        {"negative", {{-1, 0, u"x"_s, {}}}, start, 0},
        {"a run inside", {{0, 1, u"ab"_s, {0, 3, 8}}}, u"ab1ab345ab789"_s, 1},
        // Each step counts with the text as the steps before left it.
        {"a run that shrinks the text under its last step",
         {{0, 3, QString(), {0, 0, 0, 2}}},
         start,
         0},
        {"a run starting past the end", {{0, 1, u"x"_s, {10}}}, start, 0},
        // CR LF enters as one line break: the positions after it count with that.
        {"a run whose text enters shorter", {{0, 1, u"\r\n"_s, {0, 9}}}, u"\n12345678\n"_s, 1},
        {"a run that fits only with its text as written", {{0, 1, u"\r\n"_s, {0, 10}}}, start, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const JournalContents journal = readJournal(journalOf({}, c.edits));
        textmodel::TextDocument doc;
        doc.load(cp932::decode(cp932::encode(start)));
        const Replayed r = replay(journal, doc);
        EXPECT_EQ(r.edits, c.made);
        EXPECT_EQ(doc.text(), c.expected);
    }
}

TEST(Replay, AMarkTheTextDisagreesWithTakesBackTheEditsSinceTheMarkBefore) {
    // Marks as the program writes them: the length after each batch.
    QByteArray bytes = journalHeading() + originEntry({});
    bytes += editEntry({0, 0, u"abc"_s, {}}) + markEntry({1, 3, 3, 0});
    bytes +=
        editEntry({3, 0, u"de"_s, {}}) + editEntry({0, 1, QString(), {}}) + markEntry({2, 4, 4, 0});
    EXPECT_EQ(textAfter(QString(), readJournal(bytes)), u"bcde"_s);
    // A mark that does not fit what the edits before it made: those edits were not the
    // ones written (a damaged journal that still passed its checks); the text stays as
    // the mark before it had it.
    QByteArray wrong = journalHeading() + originEntry({});
    wrong += editEntry({0, 0, u"abc"_s, {}}) + markEntry({1, 3, 3, 0});
    wrong +=
        editEntry({3, 0, u"de"_s, {}}) + editEntry({0, 1, QString(), {}}) + markEntry({2, 5, 5, 0});
    const JournalContents journal = readJournal(wrong);
    textmodel::TextDocument doc;
    const Replayed r = replay(journal, doc);
    EXPECT_EQ(doc.text(), u"abc"_s);
    EXPECT_EQ(r.edits, 1u);
    // The span: what the standing edits changed of the text they started from.
    textmodel::TextDocument file;
    file.load(cp932::decode("0123456789"));
    const Replayed span =
        replay(readJournal(journalOf({}, {{2, 1, u"xy"_s, {}}, {8, 0, u"z"_s, {}}})), file);
    EXPECT_EQ(file.text(), u"01xy3456z789"_s);
    EXPECT_EQ(span.span.head(), 2);
    EXPECT_EQ(span.span.tail(), 3);
}

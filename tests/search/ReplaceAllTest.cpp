#include "../TestPrinters.h"
#include "ReferenceReplaceAll.h"

#include "search/ReplaceAll.h"

#include <gtest/gtest.h>

#include <random>

using namespace qel::search;
using namespace qel::search::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Options kAnyCase{};
constexpr Options kMatchCase{.wholeWord = false, .matchCase = true};
constexpr Options kWholeWord{.wholeWord = true, .matchCase = true};

// The old text with the result's one edit applied must be the new text, and so must
// the old text with the steps made one by one.
void expectEditGivesText(const QString& before, const ReplaceAllResult& r) {
    QString edited = before;
    edited.replace(r.position, r.removed, r.insertedText().toString());
    EXPECT_EQ(edited, r.text);
    ASSERT_TRUE(r.stepsKept);
    EXPECT_EQ(qsizetype(r.steps.size()), r.count);
    QString stepped = before;
    for (qsizetype at : r.steps)
        stepped.replace(at, r.matchLength, r.replacement);
    EXPECT_EQ(stepped, r.text);
}

} // namespace

TEST(ReplaceAllLoop, GivesTheSmallestSingleEdit) {
    const QString before = u"head a middle a tail"_s;
    const ReplaceAllResult r = replaceAll(before, u"a"_s, u"A"_s, kWholeWord);
    EXPECT_EQ(r.text, u"head A middle A tail"_s);
    EXPECT_EQ(r.position, 5);
    EXPECT_EQ(r.removed, 10);
    EXPECT_EQ(r.inserted, 10);
    EXPECT_EQ(r.caret, 15);
    expectEditGivesText(before, r);

    const ReplaceAllResult none = replaceAll(before, u"zzz"_s, u"y"_s, kAnyCase);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.text, before);
}

TEST(ReplaceAllLoop, ReplacesEveryOccurrenceAndPassesOverItsOwnText) {
    QString cats;
    for (int i = 0; i < 100; ++i)
        cats += u"The cat sat on the mat."_s;
    QString tigers = cats;
    tigers.replace(u"cat"_s, u"tiger"_s);
    struct Case {
        QString text, what, with;
        Options options;
        QString expected;
        qsizetype count;
    };
    const Case cases[] = {
        // Growing replacements must reach the occurrences that move past the old end.
        {cats, u"cat"_s, u"tiger"_s, kMatchCase, tigers, 100},
        {u"cat cat cat"_s, u"cat"_s, u"tiger"_s, kMatchCase, u"tiger tiger tiger"_s, 3},
        {u"日本と日本"_s, u"日本"_s, u"にっぽん"_s, kMatchCase, u"にっぽんとにっぽん"_s, 2},
        // A match inside the replace text just put in is passed over...
        {u"abab"_s, u"ab"_s, u"aab"_s, kMatchCase, u"aabaab"_s, 2},
        {u"aaa"_s, u"a"_s, u"aa"_s, kMatchCase, u"aaaaaa"_s, 3},
        {u"aaa"_s, u"a"_s, u"a"_s, kMatchCase, u"aaa"_s, 3},
        {u"aaa"_s, u"a"_s, u"ab"_s, kMatchCase, u"ababab"_s, 3},
        {u"aAa"_s, u"a"_s, u"A"_s, kAnyCase, u"AAA"_s, 3},
        {u"ＡＢ"_s, u"ａ"_s, u"Ａ"_s, kAnyCase, u"ＡＢ"_s, 1},
        {u"a b"_s, u"a"_s, u"a a"_s, kWholeWord, u"a a b"_s, 1},
        {u"東京"_s, u"東京"_s, u"東京都"_s, kMatchCase, u"東京都"_s, 1},
        // ...also when it spans two neighbouring replacements ("ab" + "ab")...
        {u"baba"_s, u"ba"_s, u"ab"_s, kMatchCase, u"abab"_s, 2},
        // ...but one that joins inserted to original text is replaced as it comes.
        {u"aabb"_s, u"ab"_s, u"a"_s, kMatchCase, u"aa"_s, 2},
        {u"aaa"_s, u"aa"_s, u"aa"_s, kMatchCase, u"aaa"_s, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QString(c.text.left(40) + u" / "_s + c.what + u" -> "_s + c.with).toStdString());
        const ReplaceAllResult r = replaceAll(c.text, c.what, c.with, c.options);
        EXPECT_EQ(r.text, c.expected);
        EXPECT_EQ(r.count, c.count);
        expectEditGivesText(c.text, r);
    }
    // The caret is after the last replacement, as after the last single Replace.
    EXPECT_EQ(replaceAll(u"aaa"_s, u"a"_s, u"ab"_s, kMatchCase).caret, 6);
    EXPECT_EQ(replaceAll(u"cat cat dog"_s, u"cat"_s, u"tiger"_s, kMatchCase).caret, 11);
}

// Many small texts over a small alphabet, so that replacements keep making new
// matches, held against the loop run literally.
TEST(ReplaceAllLoop, MatchesTheLiteralLoopOnRandomTexts) {
    const QString alphabet = u"abAあア_ \n"_s;
    const QString alphabets[] = {u"ab"_s, u"aA"_s, u"ab "_s, u"a_ あ"_s, u"aア\n"_s, alphabet};
    std::mt19937 rng(2024);
    auto below = [&](int n) { return int(rng() % unsigned(n)); };
    auto randomText = [&](const QString& letters, int maxLength) {
        QString s;
        for (int i = below(maxLength + 1); i > 0; --i)
            s += letters[below(int(letters.size()))];
        return s;
    };

    int replaced = 0, grown = 0, passedOver = 0;
    for (int round = 0; round < 40000; ++round) {
        const QString& letters = alphabets[below(int(std::size(alphabets)))];
        const QString text = randomText(letters, 14);
        QString what = randomText(letters, 3);
        if (what.isEmpty())
            what = letters.left(1);
        QString with = randomText(letters, 5);
        if (below(3) == 0) // contains the find text: replacements make new matches
            with = randomText(letters, 2) + what + randomText(letters, 2);
        const Options options{.wholeWord = below(2) == 0, .matchCase = below(2) == 0};
        const QString label = u"text \""_s + text + u"\" find \""_s + what + u"\" replace \""_s +
                              with + u"\" word "_s + QString::number(options.wholeWord) +
                              u" case "_s + QString::number(options.matchCase);
        SCOPED_TRACE(label.toStdString());

        const ReplaceAllResult fast = replaceAll(text, what, with, options);
        expectEditGivesText(text, fast);
        const ReferenceResult literal = referenceReplaceAll(text, what, with, options);
        ASSERT_EQ(fast.text, literal.text);
        ASSERT_EQ(fast.count, literal.count);
        if (fast.count > 0) {
            ASSERT_EQ(fast.caret, literal.caret);
        }
        // Each replacement took out a character of the original text.
        ASSERT_LE(fast.count, text.size());
        // Whatever still matches lies wholly within replace text put in by the run.
        const qsizetype bytes = qel::cp932::byteLength(literal.text);
        for (qsizetype at = 0; (at = find(literal.text, what, at, bytes - at, options)) >= 0;) {
            const qsizetype p = qel::cp932::charPosition(literal.text, at);
            for (qsizetype i = p; i < p + what.size(); ++i)
                ASSERT_TRUE(literal.inserted[std::size_t(i)]) << "match left at " << at;
            ++passedOver;
            at = qel::cp932::byteLength(QStringView(literal.text).left(p + 1));
        }
        replaced += fast.count > 0;
        grown += fast.count > 0 && qel::cp932::byteLength(fast.text) > qel::cp932::byteLength(text);
    }
    // The interesting kinds must have come up often enough to mean something.
    EXPECT_GT(replaced, 15000);
    EXPECT_GT(grown, 5000);
    EXPECT_GT(passedOver, 2000);
}

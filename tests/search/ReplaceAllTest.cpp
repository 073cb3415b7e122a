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

TEST(ReplaceAllLoop, EndlessRepetitionIsReplacedOnceAndPassedOver) {
    // Each of these would match again inside its own replacement for ever.
    struct Case {
        QString text, what, with;
        Options options;
        QString expected;
        qsizetype count;
    };
    const Case cases[] = {
        {u"aaa"_s, u"a"_s, u"a"_s, kMatchCase, u"aaa"_s, 3},
        {u"aaa"_s, u"a"_s, u"ab"_s, kMatchCase, u"ababa"_s, 2}, // the last "a" moved out of range
        {u"xay"_s, u"a"_s, u"aa"_s, kMatchCase, u"xaay"_s, 1},
        {u"aAa"_s, u"a"_s, u"A"_s, kAnyCase, u"AAA"_s, 3},
        {u"ＡＢ"_s, u"ａ"_s, u"Ａ"_s, kAnyCase, u"ＡＢ"_s, 1},
        {u"a b"_s, u"a"_s, u"a a"_s, kWholeWord, u"a a b"_s, 1},
        {u"東京"_s, u"東京"_s, u"東京都"_s, kMatchCase, u"東京都"_s, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString(c.text + u" / "_s + c.what + u" -> "_s + c.with).toStdString());
        const ReplaceAllResult r = replaceAll(c.text, c.what, c.with, c.options);
        EXPECT_EQ(r.text, c.expected);
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(r.repetitionsStopped, c.count);
        EXPECT_FALSE(r.cutOff);
        expectEditGivesText(c.text, r);
    }
    // The caret is after the last replacement, as after the last single Replace.
    EXPECT_EQ(replaceAll(u"aaa"_s, u"a"_s, u"ab"_s, kMatchCase).caret, 4);
}

TEST(ReplaceAllLoop, TheSafetyBoundEndsTheRun) {
    const ReplaceAllResult r = replaceAll(u"aaaa"_s, u"a"_s, u"b"_s, kMatchCase, 2);
    EXPECT_EQ(r.text, u"bbaa"_s);
    EXPECT_EQ(r.count, 2);
    EXPECT_TRUE(r.cutOff);
    EXPECT_GT(defaultReplaceAllBound(4), 2 * 4); // a shrinking run has at most 2 per char
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

    int ended = 0, endless = 0, capped = 0;
    for (int round = 0; round < 40000; ++round) {
        const QString& letters = alphabets[below(int(std::size(alphabets)))];
        const QString text = randomText(letters, 14);
        QString what = randomText(letters, 3);
        if (what.isEmpty())
            what = letters.left(1);
        QString with = randomText(letters, 5);
        if (below(3) == 0) // contains the find text: the endless kind
            with = randomText(letters, 2) + what + randomText(letters, 2);
        const Options options{.wholeWord = below(2) == 0, .matchCase = below(2) == 0};
        const QString label = u"text \""_s + text + u"\" find \""_s + what + u"\" replace \""_s +
                              with + u"\" word "_s + QString::number(options.wholeWord) +
                              u" case "_s + QString::number(options.matchCase);
        SCOPED_TRACE(label.toStdString());

        const ReplaceAllResult fast = replaceAll(text, what, with, options);
        ASSERT_FALSE(fast.cutOff);
        expectEditGivesText(text, fast);
        const auto literal = referenceReplaceAll(text, what, with, options, false);
        if (literal) {
            ++ended;
            ASSERT_EQ(fast.text, literal->text);
            ASSERT_EQ(fast.count, literal->count);
            ASSERT_EQ(fast.repetitionsStopped, 0);
            if (fast.count > 0) {
                ASSERT_EQ(fast.caret, literal->caret);
            }
            continue;
        }
        // The loop does not end by itself: the same loop, passing over each endless
        // repetition, must.
        const auto passing = referenceReplaceAll(text, what, with, options, true);
        if (!passing) {
            ++capped;
            ADD_FAILURE() << "neither loop ends";
            continue;
        }
        ++endless;
        ASSERT_GT(fast.repetitionsStopped, 0);
        ASSERT_EQ(fast.text, passing->text);
        ASSERT_EQ(fast.count, passing->count);
        ASSERT_EQ(fast.repetitionsStopped, passing->repetitionsStopped);
        ASSERT_EQ(fast.caret, passing->caret);
    }
    // Both kinds must have come up often enough to mean something.
    EXPECT_GT(ended, 20000);
    EXPECT_GT(endless, 2000);
    EXPECT_EQ(capped, 0);
}

#include "FakeEditor.h"

#include <gtest/gtest.h>

using namespace qel::search;
using namespace qel::search::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

FindRequest down(const QString& what, Options options = {}) {
    return {what, options, Direction::Down};
}

FindRequest up(const QString& what, Options options = {}) {
    return {what, options, Direction::Up};
}

ReplaceRequest replace(const QString& what, const QString& with, Options options = {},
                       ReplaceAction action = ReplaceAction::Replace) {
    return {what, with, options, action};
}

constexpr Options kMatchCase{.wholeWord = false, .matchCase = true};

} // namespace

TEST(FindDown, WithNothingSelectedStartsAtTheTopWhereverTheCaretIs) {
    FakeEditor e(u"cat dog cat dog"_s);
    e.setCaretChar(6);
    EXPECT_TRUE(findNext(e, down(u"cat"_s)));
    EXPECT_EQ(e.selStart(), 0);
    EXPECT_EQ(e.selLength(), 3);
    EXPECT_EQ(e.focused, 1);

    // The next one continues after the selection...
    EXPECT_TRUE(findNext(e, down(u"cat"_s)));
    EXPECT_EQ(e.selStart(), 8);
    // ...and past the last one the user is told, and the selection stays.
    EXPECT_FALSE(findNext(e, down(u"cat"_s)));
    EXPECT_EQ(e.messages, QStringList{notFoundMessage()});
    EXPECT_EQ(e.selStart(), 8);
    EXPECT_EQ(e.selLength(), 3);
    EXPECT_EQ(e.selText(), u"cat"_s);
}

TEST(FindDown, SelectsTheBytesOfTheMatch) {
    FakeEditor e(u"いろはABCにほへと東京"_s);
    EXPECT_TRUE(findToDown(e, down(u"abc"_s)));
    EXPECT_EQ(e.selText(), u"ABC"_s); // without match case the text found is selected
    EXPECT_EQ(e.selStart(), 6);
    EXPECT_EQ(e.selLength(), 3);

    EXPECT_TRUE(findToDown(e, down(u"東京"_s)));
    EXPECT_EQ(e.selStart(), 17);
    EXPECT_EQ(e.selLength(), 4); // two double-byte characters

    FakeEditor lines(u"ab\nab"_s);
    lines.selectChars(0, 2);
    EXPECT_TRUE(findToDown(lines, down(u"ab"_s)));
    EXPECT_EQ(lines.selStart(), 4); // the line break counts two
}

TEST(FindUp, WalksBackwardsThroughTheText) {
    FakeEditor e(u"abcabc"_s);
    e.selectChars(3, 3);
    EXPECT_TRUE(findNext(e, up(u"abc"_s)));
    EXPECT_EQ(e.selStart(), 0);
    EXPECT_EQ(e.selLength(), 3);

    EXPECT_FALSE(findNext(e, up(u"abc"_s)));
    EXPECT_EQ(e.messages, QStringList{notFoundMessage()});
    EXPECT_EQ(e.selStart(), 0);
    EXPECT_EQ(e.selLength(), 3);

    FakeEditor jp(u"東京と東京と東京"_s);
    jp.setCaretChar(8);
    EXPECT_TRUE(findToUp(jp, up(u"東京"_s)));
    EXPECT_EQ(jp.selStart(), 12);
    EXPECT_TRUE(findToUp(jp, up(u"東京"_s)));
    EXPECT_EQ(jp.selStart(), 6);
    EXPECT_EQ(jp.selLength(), 4);
}

TEST(FindUp, AtTheTopTellsTheUserWithoutSearching) {
    FakeEditor e(u"abc"_s);
    EXPECT_FALSE(findToUp(e, up(u"abc"_s)));
    EXPECT_EQ(e.searches, 0);
    EXPECT_EQ(e.messages, QStringList{notFoundMessage()});
}

TEST(FindUp, TakesTheLastNonOverlappingMatchStartingBeforeTheCaret) {
    // From the top: "aa" at 0, then at 2; the one at 2 starts before the caret at 3
    // and is selected though it ends after it. The overlapping one at 1 is never seen.
    FakeEditor e(u"aaaa"_s);
    e.setCaretChar(3);
    EXPECT_TRUE(findToUp(e, up(u"aa"_s)));
    EXPECT_EQ(e.selStart(), 2);
    EXPECT_EQ(e.selLength(), 2);
}

TEST(Replace, SelectionEqualToTheFindTextIsReplacedWithoutSearching) {
    FakeEditor e(u"one two one"_s);
    e.selectChars(8, 3);
    replaceDialogReplace(e, replace(u"one"_s, u"1"_s));
    EXPECT_EQ(e.text(), u"one two 1"_s);
    EXPECT_EQ(e.searches, 0);
    EXPECT_EQ(e.caretChar(), 9);
    EXPECT_EQ(e.selLength(), 0);
    EXPECT_TRUE(e.messages.isEmpty());

    // The next Replace searches on from the caret.
    replaceDialogReplace(e, replace(u"one"_s, u"1"_s));
    EXPECT_EQ(e.messages, (QStringList{notFoundMessage(), nothingToReplaceMessage()}));
    EXPECT_EQ(e.text(), u"one two 1"_s);
}

TEST(Replace, SelectionDifferingInCaseIsSkippedForTheNextOccurrence) {
    FakeEditor e(u"Bar bar"_s);
    e.selectChars(0, 3);
    replaceDialogReplace(e, replace(u"bar"_s, u"baz"_s));
    EXPECT_EQ(e.text(), u"Bar baz"_s);
    EXPECT_EQ(e.caretChar(), 7);
}

TEST(Replace, NothingFoundLeavesTheSelectedTextAlone) {
    FakeEditor e(u"foo and bar"_s);
    e.selectChars(4, 3);
    replaceDialogReplace(e, replace(u"foo"_s, u"x"_s, kMatchCase));
    EXPECT_EQ(e.messages, (QStringList{notFoundMessage(), nothingToReplaceMessage()}));
    EXPECT_EQ(e.text(), u"foo and bar"_s);
    EXPECT_EQ(e.selText(), u"and"_s);
}

TEST(Replace, FindNextSearchesFromTheCaretAndReplaceNeedsASelection) {
    FakeEditor e(u"ab ab ab"_s);
    e.setCaretChar(1);
    replaceDialogAction(e, replace(u"ab"_s, u"x"_s, {}, ReplaceAction::FindNext));
    EXPECT_EQ(e.selStart(), 3); // not from the top: from the caret
    EXPECT_EQ(e.text(), u"ab ab ab"_s);

    e.setCaretChar(0);
    doReplace(e, replace(u"ab"_s, u"x"_s));
    EXPECT_EQ(e.messages, QStringList{nothingToReplaceMessage()});
    EXPECT_EQ(e.text(), u"ab ab ab"_s);
}

TEST(ReplaceAll, ReportsTheOutcomeAndEditsOnce) {
    FakeEditor e(u"aaa"_s);
    replaceDialogAction(e, replace(u"a"_s, u"b"_s, {}, ReplaceAction::ReplaceAll));
    EXPECT_EQ(e.text(), u"bbb"_s);
    EXPECT_EQ(e.messages, QStringList{replaceAllDoneMessage()});
    EXPECT_EQ(e.edits, 1);
    EXPECT_EQ(e.caretChar(), 3);

    FakeEditor none(u"aaa"_s);
    none.selectChars(1, 1);
    replaceDialogReplace(none, replace(u"x"_s, u"b"_s, {}, ReplaceAction::ReplaceAll));
    EXPECT_EQ(none.text(), u"aaa"_s);
    EXPECT_EQ(none.messages, QStringList{nothingToReplaceMessage()});
    EXPECT_EQ(none.edits, 0);
    EXPECT_EQ(none.selText(), u"a"_s);
}

TEST(ReplaceAll, TextMadeByAReplacementIsSearchedAgain) {
    FakeEditor e(u"aabb"_s);
    doReplaceAll(e, replace(u"ab"_s, u"a"_s));
    EXPECT_EQ(e.text(), u"aa"_s);
    EXPECT_EQ(e.caretChar(), 2); // after the second replacement's "a", at 1 again
}

TEST(EditorForm, CharactersCodePage932CannotHoldAreQuestionMarks) {
    FakeEditor e(u"a?b"_s);
    EXPECT_TRUE(findToDown(e, down(u"€"_s)));
    EXPECT_EQ(e.selStart(), 1);
    EXPECT_EQ(e.selLength(), 1);

    doReplaceAll(e, replace(u"b"_s, u"€"_s));
    EXPECT_EQ(e.text(), u"a??"_s);
}

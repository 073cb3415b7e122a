// The find and replace commands on a real editor, with the messages caught by the
// scripted dialogs. Selections and offsets are in code page 932 bytes.

#include "ReferenceReplaceAll.h"

#include "platform/ByteEditor.h"
#include "platform/EditorSearch.h"
#include "platform/ScriptedDialogs.h"
#include "search/SearchCommands.h"

#include <QTest>

#include <random>

using namespace Qt::Literals::StringLiterals;
using namespace qel;
using namespace qel::search;
using qel::search::testing::referenceReplaceAll;

namespace {

FindRequest down(const QString& what) {
    return {what, {}, Direction::Down};
}

FindRequest up(const QString& what) {
    return {what, {}, Direction::Up};
}

ReplaceRequest replace(const QString& what, const QString& with, Options options = {},
                       ReplaceAction action = ReplaceAction::Replace) {
    return {what, with, options, action};
}

ReplaceRequest replaceAllOf(const QString& what, const QString& with, Options options = {}) {
    return {what, with, options, ReplaceAction::ReplaceAll};
}

QString randomText(std::mt19937& rng, const QString& letters, int maxLength) {
    QString s;
    for (int i = int(rng() % unsigned(maxLength + 1)); i > 0; --i)
        s += letters[qsizetype(rng() % unsigned(letters.size()))];
    return s;
}

// The editor's selection as start and length.
QPair<qsizetype, qsizetype> selection(const ByteEditor& e) {
    return {e.selStart(), e.selLength()};
}

using Selection = QPair<qsizetype, qsizetype>;

} // namespace

class EditorSearchTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs_;
    ByteEditor editor_;

    // The editor holding `text`, with `length` bytes selected from `start`.
    ByteEditor& editor(const QString& text, qsizetype start = 0, qsizetype length = 0) {
        editor_.setText(text);
        editor_.setSelection(start, length);
        dialogs_.clearCalls();
        return editor_;
    }
    QStringList messages() const { return dialogs_.texts(u"message"_s); }

private Q_SLOTS:
    void findDownSelectsTheBytesOfTheMatch() {
        ByteEditor& e = editor(u"いろはABCにほへと東京"_s);
        QVERIFY(EditorSearch(e).findNext(down(u"abc"_s)));
        QCOMPARE(e.selText(), u"ABC"_s); // without match case the text found is selected
        QCOMPARE(selection(e), Selection(6, 3));
        QVERIFY(EditorSearch(e).findDown(down(u"東京"_s)));
        QCOMPARE(selection(e), Selection(17, 4));
        editor(u"ab\nab"_s, 0, 2);
        QVERIFY(EditorSearch(e).findDown(down(u"ab"_s)));
        QCOMPARE(e.selStart(), qsizetype(4)); // the line break counts two
    }

    void findUpTakesTheLastNonOverlappingMatchStartingBeforeTheCaret() {
        ByteEditor& e = editor(u"東京と東京と東京"_s, 16);
        QVERIFY(EditorSearch(e).findUp(up(u"東京"_s)));
        QCOMPARE(e.selStart(), qsizetype(12));
        QVERIFY(EditorSearch(e).findUp(up(u"東京"_s)));
        QCOMPARE(selection(e), Selection(6, 4));
        // From the top: "aa" at 0, then at 2; the one at 2 starts before the caret at 3
        // and is selected though it ends after it. The overlapping one at 1 is never seen.
        editor(u"aaaa"_s, 3);
        QVERIFY(EditorSearch(e).findUp(up(u"aa"_s)));
        QCOMPARE(selection(e), Selection(2, 2));
        // Past the first one, and at the very top, the user is told; the selection stays.
        e.setSelection(0, 2);
        QVERIFY(!EditorSearch(e).findNext(up(u"aa"_s)));
        QCOMPARE(selection(e), Selection(0, 2));
        e.setSelection(0, 0);
        QVERIFY(!EditorSearch(e).findUp(up(u"aa"_s)));
        QCOMPARE(messages(), QStringList(2, notFoundMessage()));
    }

    void theSelectionIsReplacedOnlyWhenItIsTheFindTextInTheRightCase() {
        ByteEditor& e = editor(u"one two one"_s, 8, 3);
        EditorSearch(e).replaceOrReplaceAll(replace(u"one"_s, u"1"_s));
        QCOMPARE(e.text(), u"one two 1"_s);
        QCOMPARE(selection(e), Selection(9, 0));
        QVERIFY(messages().isEmpty());
        // A selection differing in case is skipped for the next occurrence.
        editor(u"Bar bar"_s, 0, 3);
        EditorSearch(e).replaceOrReplaceAll(replace(u"bar"_s, u"baz"_s));
        QCOMPARE(e.text(), u"Bar baz"_s);
        QCOMPARE(selection(e), Selection(7, 0));
        // Nothing found: two messages, and the selected text stays as it was.
        editor(u"foo and bar"_s, 4, 3);
        EditorSearch(e).replaceOrReplaceAll(replace(u"foo"_s, u"x"_s, {.matchCase = true}));
        QCOMPARE(messages(), (QStringList{notFoundMessage(), nothingToReplaceMessage()}));
        QCOMPARE(e.text(), u"foo and bar"_s);
        QCOMPARE(e.selText(), u"and"_s);
        // Find Next searches from the caret, not from the top; Replace needs a selection.
        editor(u"ab ab ab"_s, 1);
        EditorSearch(e).runReplaceAction(replace(u"ab"_s, u"x"_s, {}, ReplaceAction::FindNext));
        QCOMPARE(e.selStart(), qsizetype(3));
        e.setSelection(0, 0);
        dialogs_.clearCalls();
        EditorSearch(e).replaceSelectedMatch(replace(u"ab"_s, u"x"_s));
        QCOMPARE(messages(), QStringList{nothingToReplaceMessage()});
        QCOMPARE(e.text(), u"ab ab ab"_s);
    }

    void charactersCodePage932CannotHoldAreQuestionMarks() {
        ByteEditor& e = editor(u"a?b"_s);
        QVERIFY(EditorSearch(e).findDown(down(u"€"_s)));
        QCOMPARE(selection(e), Selection(1, 1));
        EditorSearch(e).runReplaceAction(replaceAllOf(u"b"_s, u"€"_s));
        QCOMPARE(e.text(), u"a??"_s);
        QCOMPARE(messages(), QStringList{replaceAllDoneMessage()});
    }

    // The editor reads its document line by line; the result must be the same as a
    // search of the whole text, for matches across line breaks and at range edges too.
    void editorSearchAgreesWithTheStringSearch() {
        std::mt19937 rng(932);
        ByteEditor editor;
        const QString letters = u"aAbあ_ \n\n"_s;
        int found = 0;
        for (int round = 0; round < 3000; ++round) {
            const QString text = randomText(rng, letters, 40);
            editor.setText(text);
            QString what = randomText(rng, letters, 3);
            if (what.isEmpty())
                what = u"a"_s;
            const search::Options options{.wholeWord = rng() % 2 == 0, .matchCase = rng() % 2 == 0};
            const qsizetype total = cp932::byteLength(text);
            const qsizetype start = qsizetype(rng() % unsigned(total + 2));
            const qsizetype length = qsizetype(rng() % unsigned(total + 3)) - 1;
            const qsizetype expected = search::find(text, what, start, length, options);
            const qsizetype actual = editor.findText(what, start, length, options);
            if (actual != expected) {
                QFAIL(qPrintable(u"text \""_s + text + u"\" find \""_s + what + u"\" from "_s +
                                 QString::number(start) + u" over "_s + QString::number(length) +
                                 u": "_s + QString::number(actual) + u" instead of "_s +
                                 QString::number(expected)));
            }
            found += expected >= 0;
        }
        QVERIFY(found > 500);
    }

    void replaceAllThroughTheEditorMatchesTheLiteralLoop() {
        ScriptedDialogs dialogs;
        std::mt19937 rng(31);
        ByteEditor editor;
        const QString alphabets[] = {u"ab"_s, u"aA\n"_s, u"a_ あ"_s, u"abAあア_ \n"_s};
        int replaced = 0;
        for (int round = 0; round < 1500; ++round) {
            const QString& letters = alphabets[rng() % std::size(alphabets)];
            const QString text = randomText(rng, letters, 14);
            QString what = randomText(rng, letters, 3);
            if (what.isEmpty())
                what = letters.left(1);
            QString with = randomText(rng, letters, 4);
            if (rng() % 4 == 0)
                with = randomText(rng, letters, 1) + what + randomText(rng, letters, 1);
            const search::Options options{.wholeWord = rng() % 2 == 0, .matchCase = rng() % 2 == 0};
            editor.setText(text);
            editor.document()->clearHistory();
            dialogs.clearCalls();

            EditorSearch(editor).replaceAllMatches(replaceAllOf(what, with, options));

            const auto expected = referenceReplaceAll(text, what, with, options);
            const QString label =
                u"text \""_s + text + u"\" find \""_s + what + u"\" replace \""_s + with + u"\""_s;
            QVERIFY2(editor.text() == expected.text, qPrintable(label));
            QCOMPARE(editor.byteLength(), cp932::byteLength(expected.text));
            if (expected.count == 0) {
                QCOMPARE(dialogs.texts(u"message"_s),
                         QStringList{search::nothingToReplaceMessage()});
                continue;
            }
            ++replaced;
            QCOMPARE(dialogs.texts(u"message"_s), QStringList{search::replaceAllDoneMessage()});
            QVERIFY2(editor.cursorPosition() == expected.caret, qPrintable(label));
            QVERIFY(!editor.hasSelection());
            if (editor.document()->canUndo()) {
                editor.undo();
                QVERIFY2(editor.text() == text, qPrintable(label));
            }
        }
        QVERIFY(replaced > 500);
    }
};

QTEST_MAIN(EditorSearchTest)

#include "EditorSearchTest.moc"

// The find and replace commands on a real editor, with the messages caught by the
// scripted dialogs.

#include "ReferenceReplaceAll.h"

#include "platform/ByteEditor.h"
#include "platform/EditorSearch.h"
#include "platform/ScriptedDialogs.h"
#include "search/SearchCommands.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>

#include <random>

using namespace Qt::Literals::StringLiterals;
using namespace qel;
using qel::search::testing::referenceReplaceAll;

namespace {

search::ReplaceRequest replaceAllOf(const QString& what, const QString& with,
                                    search::Options options = {}) {
    return {what, with, options, search::ReplaceAction::ReplaceAll};
}

QString randomText(std::mt19937& rng, const QString& letters, int maxLength) {
    QString s;
    for (int i = int(rng() % unsigned(maxLength + 1)); i > 0; --i)
        s += letters[qsizetype(rng() % unsigned(letters.size()))];
    return s;
}

} // namespace

class EditorSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void doubleByteFindTextSelectsItsBytes();
    void replaceAllIsOneEditUndoneInOneStep();
    void editorSearchAgreesWithTheStringSearch();
    void replaceAllThroughTheEditorMatchesTheLiteralLoop();
};

void EditorSearchTest::doubleByteFindTextSelectsItsBytes() {
    ScriptedDialogs dialogs;
    ByteEditor editor;
    editor.setText(u"今日は\n東京へ行く"_s);
    EditorSearch(editor).findNext({u"東京"_s, {}, search::Direction::Down});
    QCOMPARE(editor.selStart(), qsizetype(8));
    QCOMPARE(editor.selLength(), qsizetype(4));
    QCOMPARE(editor.selText(), u"東京"_s);
    QVERIFY(dialogs.calls().isEmpty());
}

void EditorSearchTest::replaceAllIsOneEditUndoneInOneStep() {
    ScriptedDialogs dialogs;
    ByteEditor editor;
    const QString before = u"東京都\nとうきょう東京\n\nTokyo 東京"_s;
    editor.setText(before);
    editor.document()->clearUndoRedoStacks();
    editor.setSelection(2, 4);
    QSignalSpy changes(&editor, &ByteEditor::changed);

    EditorSearch(editor).replaceDialogAction(replaceAllOf(u"東京"_s, u"大阪"_s));
    const QString after = u"大阪都\nとうきょう大阪\n\nTokyo 大阪"_s;
    QCOMPARE(editor.text(), after);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(dialogs.texts(u"message"_s), QStringList{search::replaceAllDoneMessage()});
    // As after the last single Replace: the caret after it, nothing selected.
    QCOMPARE(editor.textCursor().position(), after.size());
    QVERIFY(!editor.textCursor().hasSelection());
    QCOMPARE(editor.byteLength(), cp932::byteLength(after));
    QCOMPARE(editor.lineCount(), 4);

    editor.undo();
    QCOMPARE(editor.text(), before);
    QVERIFY(!editor.document()->isUndoAvailable());
    editor.redo();
    QCOMPARE(editor.text(), after);
}

// The editor reads its document line by line; the result must be the same as a
// search of the whole text, for matches across line breaks and at range edges too.
void EditorSearchTest::editorSearchAgreesWithTheStringSearch() {
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

void EditorSearchTest::replaceAllThroughTheEditorMatchesTheLiteralLoop() {
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
        editor.document()->clearUndoRedoStacks();
        dialogs.clearCalls();

        EditorSearch(editor).doReplaceAll(replaceAllOf(what, with, options));

        auto expected = referenceReplaceAll(text, what, with, options, false);
        if (!expected)
            expected = referenceReplaceAll(text, what, with, options, true);
        QVERIFY(expected.has_value());
        const QString label =
            u"text \""_s + text + u"\" find \""_s + what + u"\" replace \""_s + with + u"\""_s;
        QVERIFY2(editor.text() == expected->text, qPrintable(label));
        QCOMPARE(editor.byteLength(), cp932::byteLength(expected->text));
        if (expected->count == 0) {
            QCOMPARE(dialogs.texts(u"message"_s), QStringList{search::nothingToReplaceMessage()});
            continue;
        }
        ++replaced;
        QCOMPARE(dialogs.texts(u"message"_s), QStringList{search::replaceAllDoneMessage()});
        QVERIFY2(editor.textCursor().position() == expected->caret, qPrintable(label));
        QVERIFY(!editor.textCursor().hasSelection());
        if (editor.document()->isUndoAvailable()) {
            editor.undo();
            QVERIFY2(editor.text() == text, qPrintable(label));
        }
    }
    QVERIFY(replaced > 500);
}

QTEST_MAIN(EditorSearchTest)

#include "EditorSearchTest.moc"

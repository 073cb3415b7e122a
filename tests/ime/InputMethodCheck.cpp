// The editing view on a real X display, driven through the X server as a user drives it
// (xdotool): selections reach the primary selection, both redo keys redo in the
// windows; and, with a real input method (ibus with anthy, in hiragana), compositions
// are drawn at the caret, committed into every view, kept in place by a click or a
// change of window, cancelled by Escape and undone in one step.
//
// Run by input_method.sh, which starts the display, the session bus and the input
// method; the test functions that need the input method are named "composition...".
#include "../forms/FormTestSupport.h"

#include <QAccessible>
#include <QClipboard>
#include <QProcess>
#include <QScreen>

using namespace qel;
using namespace qel::testing;

namespace {

// Keys and clicks through the X server (so through the input method).
bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool keys(const QStringList& names) {
    return xdotool(
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} +
        names);
}

// A click (or `count` clicks) on a position of an editor.
bool click(const ByteEditor* e, qsizetype position, int count = 1, int button = 1) {
    const QPoint at = e->viewport()->mapToGlobal(e->cursorRect(position).center());
    return xdotool(
               {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())}) &&
           xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(count),
                    QString::number(button)});
}

QString primary() {
    return QApplication::clipboard()->text(QClipboard::Selection);
}

// Accessibility events the views send, as a screen reader would get them.
QStringList& heard() {
    static QStringList events;
    return events;
}

void hear(QAccessibleEvent* event) {
    switch (event->type()) {
    case QAccessible::TextCaretMoved:
        heard() << u"caret %1"_s.arg(
            static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition());
        break;
    case QAccessible::TextInserted: {
        auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
        heard() << u"inserted %1 %2"_s.arg(e->changePosition()).arg(e->textInserted());
        break;
    }
    case QAccessible::TextRemoved: {
        auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
        heard() << u"removed %1 %2"_s.arg(e->changePosition()).arg(e->textRemoved());
        break;
    }
    case QAccessible::TextSelectionChanged: {
        auto* e = static_cast<QAccessibleTextSelectionEvent*>(event);
        heard() << u"selected %1..%2"_s.arg(e->selectionStart()).arg(e->selectionEnd());
        break;
    }
    default:
        break;
    }
}

} // namespace

class InputMethodCheck : public QObject, ProgramFixture {
    Q_OBJECT

    // The program with sub-window 1 shown beside the main window, `text` in the
    // document, the main window active and its editor's caret at `caret`.
    void startWith(const QString& text, qsizetype caret) {
        start();
        mainWindow()->move(20, 20);
        mainWindow()->resize(500, 300);
        QVERIFY(activate(mainWindow()));
        mainWindow()->toggleSubWindow(1);
        subWindow(1)->move(560, 20);
        QVERIFY(QTest::qWaitForWindowExposed(subWindow(1)));
        editor()->setText(text);
        editor()->document()->clearHistory();
        QVERIFY(activate(mainWindow()));
        editor()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), editor());
        editor()->setCursorPosition(caret);
    }

    void finish() {
        dialogs_->answer(Answer::No); // the save question on closing
        QVERIFY(exitProgram());
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // Every selection the user makes, by keyboard or mouse, is offered as the primary
    // selection; a middle click in another window pastes it.
    void selectionsReachThePrimarySelection() {
        QVERIFY(QApplication::clipboard()->supportsSelection());
        startWith(u"alpha beta\ngamma delta"_s, 0);
        struct Step {
            QStringList keys;
            QString selected;
        };
        const Step steps[] = {
            {{u"shift+End"_s}, u"alpha beta"_s},
            {{u"Home"_s, u"shift+Right"_s, u"shift+Right"_s}, u"al"_s},
            {{u"ctrl+shift+Right"_s}, u"alpha "_s},
            {{u"ctrl+a"_s}, u"alpha beta\ngamma delta"_s},
            {{u"ctrl+End"_s, u"shift+Up"_s}, u"\ngamma delta"_s},
        };
        for (const Step& step : steps) {
            QApplication::clipboard()->setText(u"old"_s, QClipboard::Selection);
            QVERIFY(keys(step.keys));
            QTRY_COMPARE(editor()->selText(), step.selected);
            QTRY_COMPARE(primary(), step.selected);
        }
        QVERIFY(click(editor(), 13, 2)); // a double click on "gamma"
        QTRY_COMPARE(editor()->selText(), u"gamma"_s);
        QTRY_COMPARE(primary(), u"gamma"_s);
        // Pasted with the middle button into the sub-window, at the end of line 1.
        ByteEditor* sub = subWindow(1)->editor();
        QVERIFY(click(sub, 10, 1, 2));
        QTRY_COMPARE(editor()->text(), u"alpha betagamma\ngamma delta"_s);
        finish();
    }

    // Ctrl+Y and Ctrl+Shift+Z redo in the main window and in a sub-window; Shift+Tab
    // and Ctrl+Tab insert nothing.
    void redoKeysInTheWindows() {
        startWith(QString(), 0);
        for (ByteEditor* e : {editor(), subWindow(1)->editor()}) {
            QVERIFY(activate(e->window()));
            e->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), e);
            editor()->setText(QString());
            QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"40"_s, u"abc"_s}));
            QTRY_COMPARE(editor()->text(), u"abc"_s);
            QVERIFY(keys({u"ctrl+z"_s}));
            QTRY_COMPARE(editor()->text(), QString());
            QVERIFY(keys({u"ctrl+y"_s}));
            QTRY_COMPARE(editor()->text(), u"abc"_s);
            QVERIFY(keys({u"ctrl+z"_s, u"ctrl+shift+z"_s, u"shift+Tab"_s, u"ctrl+Tab"_s, u"x"_s}));
            QTRY_COMPARE(editor()->text(), u"abcx"_s);
            QCOMPARE(allTexts(), fourTimes(u"abcx"_s));
        }
        finish();
    }

    // What is being composed is drawn at the caret and is not in the text; Return
    // commits it into every view, and one undo takes it out. A screen reader hears the
    // commit and the caret after it.
    void compositionAtTheCaretCommittedEverywhere() {
        startWith(u"AAAA\nBBBB\nCCCC"_s, 4);
        const QRect caret = editor()->cursorRect(4);
        const QImage before = editor()->viewport()->grab().toImage();
        QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"60"_s, u"nihongo"_s}));
        QTRY_COMPARE(editor()->preeditText(), u"にほんご"_s);
        QCOMPARE(allTexts(), fourTimes(u"AAAA\nBBBB\nCCCC"_s));
        // Drawn right of the caret, where the line was blank; the candidate window goes
        // to the composing caret.
        const QImage composing = editor()->viewport()->grab().toImage();
        const QRect drawn(caret.right() + 2, caret.top(), 40, caret.height());
        QVERIFY(composing.copy(drawn) != before.copy(drawn));
        QVERIFY(editor()->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() >
                caret.left() + 20);

        // The session's accessibility bus is on (input_method.sh asks Qt to use it).
        QTRY_VERIFY(QAccessible::isActive());
        QAccessible::installUpdateHandler(hear);
        heard().clear();
        QVERIFY(keys({u"Return"_s}));
        QTRY_COMPARE(allTexts(), fourTimes(u"AAAAにほんご\nBBBB\nCCCC"_s));
        QVERIFY(editor()->preeditText().isEmpty());
        QTRY_VERIFY2(
            heard().contains(u"inserted 4 にほんご"_s),
            qPrintable(
                u"active %1, heard: %2"_s.arg(QAccessible::isActive()).arg(heard().join(u", "_s))));
        QVERIFY(heard().contains(u"caret 8"_s));

        QVERIFY(keys({u"ctrl+z"_s}));
        QTRY_COMPARE(allTexts(), fourTimes(u"AAAA\nBBBB\nCCCC"_s));
        // A selection and a deletion are heard too.
        heard().clear();
        QVERIFY(keys({u"shift+Left"_s, u"BackSpace"_s}));
        QTRY_COMPARE(editor()->text(), u"AAA\nBBBB\nCCCC"_s);
        QTRY_VERIFY2(heard().contains(u"selected 3..4"_s) && heard().contains(u"removed 3 A"_s),
                     qPrintable(heard().join(u", "_s)));
        QAccessible::installUpdateHandler(nullptr);
        finish();
    }

    // A click elsewhere commits the composition where it was typed; Return then breaks
    // the line clicked. So does moving to another window.
    void compositionStaysWhereTypedOnAClick() {
        startWith(u"AAAA\nBBBB\nCCCC"_s, 4);
        QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"60"_s, u"nihongo"_s}));
        QTRY_COMPARE(editor()->preeditText(), u"にほんご"_s);
        QVERIFY(click(editor(), 10));
        QTRY_COMPARE(editor()->text(), u"AAAAにほんご\nBBBB\nCCCC"_s);
        QVERIFY(editor()->preeditText().isEmpty());
        QTRY_COMPARE(editor()->cursorPosition(), qsizetype(14));
        QVERIFY(keys({u"Return"_s}));
        QTRY_COMPARE(allTexts(), fourTimes(u"AAAAにほんご\nBBBB\n\nCCCC"_s));

        QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"60"_s, u"kana"_s}));
        QTRY_COMPARE(editor()->preeditText(), u"かな"_s);
        ByteEditor* sub = subWindow(1)->editor();
        QVERIFY(click(sub, 0));
        QTRY_COMPARE(QApplication::focusWidget(), sub);
        QTRY_COMPARE(allTexts(), fourTimes(u"AAAAにほんご\nBBBB\n\nかなCCCC"_s));
        QVERIFY(editor()->preeditText().isEmpty() && sub->preeditText().isEmpty());
        finish();
    }

    // Escape cancels the composition only; a conversion is committed as shown.
    void compositionCancelledOrConverted() {
        startWith(u"AAAA"_s, 4);
        QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"60"_s, u"nihongo"_s}));
        QTRY_COMPARE(editor()->preeditText(), u"にほんご"_s);
        QVERIFY(keys({u"Escape"_s}));
        QTRY_VERIFY(editor()->preeditText().isEmpty());
        QTest::qWait(300);
        QCOMPARE(allTexts(), fourTimes(u"AAAA"_s));

        QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"60"_s, u"kanji"_s}));
        QTRY_COMPARE(editor()->preeditText(), u"かんじ"_s);
        QVERIFY(keys({u"space"_s}));
        QTRY_VERIFY(!editor()->preeditText().isEmpty() && editor()->preeditText() != u"かんじ");
        const QString converted = editor()->preeditText();
        QVERIFY(keys({u"Return"_s}));
        QTRY_COMPARE(allTexts(), fourTimes(u"AAAA"_s + converted));
        finish();
    }
};

QTEST_MAIN(InputMethodCheck)
#include "InputMethodCheck.moc"

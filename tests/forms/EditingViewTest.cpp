// The editing view in the program's windows: the default font as it is drawn, the
// redo and Tab keys with the windows' own shortcuts around, and compositions that a
// command or a dropped file would otherwise move or lose.
#include "FormTestSupport.h"

#include "platform/FontSubstitutes.h"

#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>

using namespace qel;
using namespace qel::testing;

class EditingViewTest : public QObject, ProgramFixture {
    Q_OBJECT

    static void compose(ByteEditor* e, const QString& text) {
        QInputMethodEvent event(text,
                                {{QInputMethodEvent::Cursor, int(text.size()), 1, QVariant()}});
        QApplication::sendEvent(e, &event);
    }

    // How far the caret of `to` is from the caret of `from`, in pixels.
    static int distance(const ByteEditor* e, qsizetype from, qsizetype to) {
        return e->cursorRect(to).x() - e->cursorRect(from).x();
    }

    std::array<ByteEditor*, 4> editors() const {
        return {editor(), subWindow(1)->editor(), subWindow(2)->editor(), subWindow(3)->editor()};
    }

private Q_SLOTS:
    void initTestCase() { useFontSubstitutes(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // The default font keeps its name everywhere it is stored or shown, and draws a
    // full-width character two half-width ones wide: columns of mixed text line up,
    // alike in all four views.
    void defaultFontLinesUp() {
        start();
        mainWindow()->show();
        for (int n = 1; n <= 3; ++n)
            mainWindow()->toggleSubWindow(n);
        // 40 characters, full-width and half-width.
        const QString mixed = u"表の列：ＡＢＣ　abc 123 ｶﾀｶﾅ  漢字かな混じり、def ghi jk"_s;
        QCOMPARE(mixed.size(), 40);
        editor()->setText(u"aa\nあ\n"_s + mixed);
        const qsizetype lineStart = 5;
        QList<int> widths;
        for (ByteEditor* e : editors()) {
            QCOMPARE(e->font().family(), u"ＭＳ ゴシック"_s);
            const QString drawnWith = QFontInfo(e->font()).family();
            QVERIFY2(drawnWith == u"IPAGothic" || drawnWith == u"Noto Sans Mono CJK JP",
                     qPrintable(drawnWith));
            const int twoHalves = distance(e, 0, 2);
            QVERIFY(twoHalves > 0);
            QCOMPARE(distance(e, 3, 4), twoHalves);
            widths << distance(e, lineStart, lineStart + mixed.size());
        }
        QCOMPARE(widths, QList<int>(4, widths.value(0)));
        // A column for each byte.
        QCOMPARE(widths.value(0),
                 qRound(cp932::byteLength(mixed) * distance(editor(), 0, 2) / 2.0));
        // Shown and stored under its own name.
        QVERIFY(mainWindow()
                    ->findChild<QLabel*>(u"StaticText1"_s)
                    ->text()
                    .startsWith(u"ＭＳ ゴシック,Size:10"_s));
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
        QVERIFY(
            readFile(path(u"DefaultMain.QelW"_s)).contains(cp932::encode(u"Font=ＭＳ ゴシック"_s)));
    }

    // Both redo keys redo and Shift+Tab and Ctrl+Tab put nothing in, in the main window
    // and in a sub-window, where the windows' commands have keys of their own.
    void redoAndTabKeysInTheWindows() {
        start();
        QVERIFY(activate(mainWindow()));
        mainWindow()->toggleSubWindow(1);
        for (ByteEditor* e : {editor(), subWindow(1)->editor()}) {
            QVERIFY(activate(e->window()));
            e->setFocus();
            editor()->setText(QString());
            type(e, u"one"_s);
            QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(allTexts(), fourTimes(QString()));
            QTest::keyClick(e, Qt::Key_Y, Qt::ControlModifier);
            QCOMPARE(allTexts(), fourTimes(u"one"_s));
            QTest::keyClick(e, Qt::Key_Backspace, Qt::AltModifier); // the undo command's key
            QCOMPARE(allTexts(), fourTimes(QString()));
            QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(allTexts(), fourTimes(u"one"_s));
            QTest::keyClick(e, Qt::Key_Backtab, Qt::ShiftModifier);
            QTest::keyClick(e, Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(allTexts(), fourTimes(u"one"_s));
            QCOMPARE(QApplication::focusWidget(), e);
            QTest::keyClick(e, Qt::Key_Tab);
            QCOMPARE(allTexts(), fourTimes(u"one\t"_s));
        }
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
    }

    // A dropped file, a command and typing in another window each put a composition
    // into the text where it was typed first.
    void compositionsEndBeforeDropsAndCommands() {
        const QString first = path(u"first.txt"_s), other = path(u"other.txt"_s);
        QVERIFY(writeText(first, u"one\ntwo"_s));
        QVERIFY(writeText(other, u"three\nfour"_s));
        start({first});
        QVERIFY(activate(mainWindow()));
        mainWindow()->toggleSubWindow(1);
        QVERIFY(activate(mainWindow()));
        editor()->setFocus();

        // A file dropped while composing in a saved document: the save question comes,
        // for the composition is in the text.
        editor()->setCursorPosition(3);
        compose(editor(), u"ぶん"_s);
        dialogs_->answer(Answer::No);
        QVERIFY(drop(editor(), {other}));
        QTRY_COMPARE(mainWindow()->documentPath(), other);
        QCOMPARE(dialogs_->pendingAnswers(), 0); // asked
        QCOMPARE(allTexts(), fourTimes(u"three\nfour"_s));
        QVERIFY(editor()->preeditText().isEmpty());

        // The date inserted as a line while composing at the end of line 1.
        pinClock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
        editor()->setCursorPosition(5);
        compose(editor(), u"にほん"_s);
        command("InsertDateLines")->trigger();
        QVERIFY(editor()->preeditText().isEmpty());
        QCOMPARE(allTexts(), fourTimes(u"[2024-05-06(月)]\nthreeにほん\nfour"_s));

        // Typing in the main window while a sub-window is composing.
        ByteEditor* sub = subWindow(1)->editor();
        sub->setCursorPosition(sub->document()->length());
        compose(sub, u"かな"_s);
        type(editor(), u"!"_s);
        QVERIFY(sub->preeditText().isEmpty());
        QCOMPARE(editor()->text(), u"[2024-05-06(月)]\nthreeにほん!\nfourかな"_s);
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
    }
};

QTEST_MAIN(EditingViewTest)
#include "EditingViewTest.moc"

// The text view as the user drives it: keys, input methods, the mouse, the clipboard,
// drops, scrolling, very long lines, and two views of one document.
#include "platform/TextView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QtMath>

#include <functional>
#include <random>

using namespace Qt::StringLiterals;
using qel::TextView;
using qel::textmodel::TextDocument;

namespace {

void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w, k, mods);
}

void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

QString textOf(const TextView& v) {
    return v.document()->text();
}

// A click, a press and a release, or a double click at a position's caret.
QPoint at(const TextView& v, qsizetype position) {
    return v.cursorRect(position).center();
}

// A point in the left half of the character at a position (the caret's place at the
// end of a line).
QPoint on(const TextView& v, qsizetype position) {
    const QRect here = v.cursorRect(position);
    if (position >= v.document()->lineEnd(v.document()->lineOf(position)))
        return here.center();
    const int width = v.cursorRect(position + 1).left() - here.left();
    return QPoint(here.left() + std::max(1, width / 3), here.center().y());
}

// Presses (or double-clicks) at `from`, moves to `to` with the button down, releases.
void drag(TextView& v, QPoint from, QPoint to, bool doubleClick = false) {
    QWidget* vp = v.viewport();
    if (doubleClick)
        QTest::mouseDClick(vp, Qt::LeftButton, {}, from);
    else
        QTest::mousePress(vp, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, vp->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
}

// How many pixels of the view show the selection colour.
int highlighted(TextView& v) {
    const QImage image = v.viewport()->grab().toImage();
    const QRgb mark = v.palette().color(QPalette::Inactive, QPalette::Highlight).rgb();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == mark;
    return n;
}

QInputMethodEvent preedit(const QString& text, int cursor) {
    QTextCharFormat underline;
    underline.setFontUnderline(true);
    return QInputMethodEvent(text, {{QInputMethodEvent::TextFormat, 0, int(text.size()), underline},
                                    {QInputMethodEvent::Cursor, cursor, 1, QVariant()}});
}

} // namespace

class TextViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TextView> view_;

    TextView& fresh(const QString& text) {
        view_ = std::make_unique<TextView>();
        view_->resize(400, 200);
        view_->document()->replace(0, 0, text);
        view_->document()->clearHistory();
        view_->setCursorPosition(0);
        view_->show();
        return *view_;
    }

private Q_SLOTS:
    void cleanup() { view_.reset(); }

    void keysMoveAndSelect() {
        struct Row {
            qsizetype anchor, caret;
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            qsizetype wantAnchor, wantCaret;
        };
        // a0 b1 c2 _3 d4 e5 f6 ⏎7 a8 b9 ⏎10 a11 b12 c13 d14 e15 f16 end 17
        const Row rows[] = {
            {1, 1, Qt::Key_Right, {}, 2, 2},
            {1, 1, Qt::Key_Left, {}, 0, 0},
            {0, 0, Qt::Key_Left, {}, 0, 0},
            {1, 1, Qt::Key_Right, Qt::ShiftModifier, 1, 2},
            {2, 5, Qt::Key_Left, {}, 2, 2}, // a selection closes at its near end
            {2, 5, Qt::Key_Right, {}, 5, 5},
            {0, 0, Qt::Key_Right, Qt::ControlModifier, 4, 4}, // word by word
            {4, 4, Qt::Key_Right, Qt::ControlModifier, 7, 7},
            {7, 7, Qt::Key_Right, Qt::ControlModifier, 8, 8},
            {6, 6, Qt::Key_Left, Qt::ControlModifier, 4, 4},
            {8, 8, Qt::Key_Left, Qt::ControlModifier, 7, 7},
            {2, 2, Qt::Key_End, {}, 7, 7},
            {5, 5, Qt::Key_Home, {}, 0, 0},
            {2, 2, Qt::Key_End, Qt::ShiftModifier, 2, 7},
            {5, 5, Qt::Key_End, Qt::ControlModifier, 17, 17},
            {14, 14, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier, 14, 0},
            {4, 4, Qt::Key_Down, {}, 10, 10}, // a shorter line: its end
            {15, 15, Qt::Key_Up, {}, 10, 10},
            {1, 1, Qt::Key_Up, {}, 1, 1}, // nothing above the first line
        };
        for (const Row& row : rows) {
            TextView& v = fresh(u"abc def\nab\nabcdef"_s);
            v.select(row.anchor, row.caret);
            key(&v, row.key, row.mods);
            const QString label = u"%1..%2 key %3"_s.arg(row.anchor).arg(row.caret).arg(row.key);
            QVERIFY2(v.anchorPosition() == row.wantAnchor && v.cursorPosition() == row.wantCaret,
                     qPrintable(label +
                                u" gave %1..%2"_s.arg(v.anchorPosition()).arg(v.cursorPosition())));
        }
        // Down twice keeps the column the caret had, through a shorter line.
        TextView& v = fresh(u"abcdef\nab\nabcdef"_s);
        v.setCursorPosition(4);
        key(&v, Qt::Key_Down);
        key(&v, Qt::Key_Down);
        QCOMPARE(v.cursorPosition(), qsizetype(14));
    }

    void editingKeysAndTheirUndoSteps() {
        TextView& v = fresh(QString());
        type(&v, u"abc"_s);
        key(&v, Qt::Key_Backspace);
        key(&v, Qt::Key_Backspace);
        key(&v, Qt::Key_Return);
        type(&v, u"x\ty"_s);
        QCOMPARE(textOf(v), u"a\nx\ty"_s); // Tab went into the text
        // The typed run, the Backspaces, the next run: three steps.
        key(&v, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(textOf(v), u"a"_s);
        key(&v, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(textOf(v), u"abc"_s);
        key(&v, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(textOf(v), QString());
        // Both redo keys redo.
        key(&v, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(textOf(v), u"abc"_s);
        key(&v, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(textOf(v), u"a"_s);
        key(&v, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(textOf(v), u"abc"_s);
        // Tab alone is a tab; Shift+Tab and Ctrl+Tab put nothing in.
        key(&v, Qt::Key_Backtab, Qt::ShiftModifier);
        key(&v, Qt::Key_Tab, Qt::ShiftModifier);
        key(&v, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(textOf(v), u"abc"_s);
        key(&v, Qt::Key_Tab);
        QCOMPARE(textOf(v), u"abc\t"_s);
        key(&v, Qt::Key_Backspace);
        // A caret moved in between ends a run.
        type(&v, u"d"_s);
        key(&v, Qt::Key_Left);
        key(&v, Qt::Key_Right);
        type(&v, u"e"_s);
        key(&v, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(textOf(v), u"abcd"_s);

        // Word deletes; Delete; typing over a selection; characters code page 932
        // lacks become "?".
        TextView& w = fresh(u"one two three"_s);
        w.setCursorPosition(7);
        key(&w, Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(textOf(w), u"one  three"_s);
        key(&w, Qt::Key_Delete);
        QCOMPARE(textOf(w), u"one three"_s);
        w.select(4, 9);
        type(&w, u"€"_s);
        QCOMPARE(textOf(w), u"one ?"_s);
        QCOMPARE(w.cursorPosition(), qsizetype(5));
    }

    void inputMethodPreeditCommitAndCancel() {
        TextView& v = fresh(u"ab"_s);
        v.setCursorPosition(1);
        const QRect before = v.inputMethodQuery(Qt::ImCursorRectangle).toRect();

        // Composing: shown at the caret, not yet in the text; the candidate window goes
        // where the composing caret is.
        QInputMethodEvent compose = preedit(u"にほん"_s, 3);
        QApplication::sendEvent(&v, &compose);
        QCOMPARE(v.preeditText(), u"にほん"_s);
        QCOMPARE(textOf(v), u"ab"_s);
        const QRect composing = v.inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY2(composing.left() > before.left() + 10,
                 qPrintable(u"%1 -> %2"_s.arg(before.left()).arg(composing.left())));
        QCOMPARE(composing.top(), before.top());
        QCOMPARE(v.inputMethodQuery(Qt::ImSurroundingText).toString(), u"ab"_s);
        QCOMPARE(v.inputMethodQuery(Qt::ImCursorPosition).toInt(), 1);

        // Committing puts the text in at the caret, as one step with the typing.
        QInputMethodEvent commit;
        commit.setCommitString(u"日本"_s);
        QApplication::sendEvent(&v, &commit);
        QCOMPARE(textOf(v), u"a日本b"_s);
        QCOMPARE(v.preeditText(), QString());
        QCOMPARE(v.cursorPosition(), qsizetype(3));
        type(&v, u"!"_s);
        v.undo();
        QCOMPARE(textOf(v), u"ab"_s);

        // Cancelled: the composing text goes, the text stays.
        QInputMethodEvent again = preedit(u"かな"_s, 2);
        QApplication::sendEvent(&v, &again);
        QInputMethodEvent cancel;
        QApplication::sendEvent(&v, &cancel);
        QCOMPARE(v.preeditText(), QString());
        QCOMPARE(textOf(v), u"ab"_s);

        // Composing over a selection replaces it; a commit may replace text before the
        // caret; characters code page 932 lacks become "?".
        v.select(0, 2);
        QInputMethodEvent over = preedit(u"x"_s, 1);
        QApplication::sendEvent(&v, &over);
        QCOMPARE(textOf(v), QString());
        QInputMethodEvent emoji;
        emoji.setCommitString(u"😀"_s);
        QApplication::sendEvent(&v, &emoji);
        QCOMPARE(textOf(v), u"?"_s);
        QInputMethodEvent replaceBefore;
        replaceBefore.setCommitString(u"漢"_s, -1, 1);
        QApplication::sendEvent(&v, &replaceBefore);
        QCOMPARE(textOf(v), u"漢"_s);
    }

    // A composition goes into the text where it was typed before anything else moves
    // the caret or changes the text, in this view or another.
    void compositionStaysWhereItWasTyped() {
        using Act = std::function<void(TextView & v, TextView & other, QLineEdit & line,
                                       TextDocument & doc, TextDocument & second)>;
        struct Row {
            const char* what;
            Act act;
            QString text;
            qsizetype caret; // in the composing view
        };
        const QString typed = u"AAAAにほんご\nBBBB\nCCCC"_s;
        const Row rows[] = {
            {"a click at the start of line 3",
             [](TextView& v, auto&...) {
                 QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, at(v, 10));
             },
             typed, 14},
            {"a caret set by a command", [](TextView& v, auto&...) { v.setCursorPosition(10); },
             typed, 14},
            {"a key the input method lets through",
             [](TextView& v, auto&...) { key(&v, Qt::Key_Down); }, typed, 13},
            {"the focus going to another widget",
             [](TextView&, TextView&, QLineEdit& line, auto&...) { line.setFocus(); }, typed, 8},
            {"typing in another view",
             [](TextView&, TextView& other, auto&...) { type(&other, u"x"_s); },
             u"AAAAにほんご\nBBBB\nCCCCx"_s, 8},
            {"a command inserting text", [](TextView& v, auto&...) { v.insertText(u"!"_s); },
             u"AAAAにほんご!\nBBBB\nCCCC"_s, 9},
            {"undo", [](TextView& v, auto&...) { v.undo(); }, u"AAAA\nBBBB\nCCCC"_s, 4},
            {"an edit from outside the views",
             [](TextView&, TextView&, QLineEdit&, TextDocument& doc, TextDocument&) {
                 doc.replace(0, 0, u"Z");
             },
             u"ZAAAAにほんご\nBBBB\nCCCC"_s, 9},
            {"another document shown",
             [](TextView& v, TextView&, QLineEdit&, TextDocument&, TextDocument& second) {
                 v.setDocument(&second);
             },
             typed, 0},
        };
        QStringList wrong;
        for (const Row& row : rows) {
            TextDocument doc, second;
            doc.replace(0, 0, u"AAAA\nBBBB\nCCCC");
            doc.clearHistory();
            QWidget window;
            auto* layout = new QVBoxLayout(&window);
            auto* v = new TextView;
            auto* other = new TextView;
            auto* line = new QLineEdit;
            for (QWidget* w : {static_cast<QWidget*>(v), static_cast<QWidget*>(other),
                               static_cast<QWidget*>(line)})
                layout->addWidget(w);
            v->setDocument(&doc);
            other->setDocument(&doc);
            other->setCursorPosition(doc.length());
            window.resize(400, 400);
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            v->setFocus();
            v->setCursorPosition(4);
            QInputMethodEvent compose = preedit(u"にほんご"_s, 4);
            QApplication::sendEvent(v, &compose);
            QCOMPARE(doc.text(), u"AAAA\nBBBB\nCCCC"_s);

            row.act(*v, *other, *line, doc, second);
            QApplication::processEvents();
            if (doc.text() != row.text || !v->preeditText().isEmpty() ||
                v->cursorPosition() != row.caret)
                wrong << u"after %1: \"%2\", composing \"%3\", caret %4"_s.arg(
                    QString::fromLatin1(row.what), doc.text(), v->preeditText(),
                    QString::number(v->cursorPosition()));
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"\n")));

        // Return after the click breaks line 3, the composition staying in line 1; one
        // undo takes the line break back, the next the composition.
        TextView& v = fresh(u"AAAA\nBBBB\nCCCC"_s);
        v.setCursorPosition(4);
        QInputMethodEvent compose = preedit(u"にほんご"_s, 4);
        QApplication::sendEvent(&v, &compose);
        QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, at(v, 10));
        key(&v, Qt::Key_Return);
        QCOMPARE(textOf(v), u"AAAAにほんご\nBBBB\n\nCCCC"_s);
        v.undo();
        QCOMPARE(textOf(v), u"AAAAにほんご\nBBBB\nCCCC"_s);
        v.undo();
        QCOMPARE(textOf(v), u"AAAA\nBBBB\nCCCC"_s);
    }

    // Assistive technology reads the view as an editable text: the line at the caret,
    // words, characters and where they are, and it moves the caret and edits.
    void assistiveTechnologyReadsAndEdits() {
        // f0 … e9 ⏎10 日11 本12 語13 の14 テ15 キ16 ス17 ト18 で19 す20 。21 ⏎22 t23 … d27
        TextView& v = fresh(u"first line\n日本語のテキストです。\nthird"_s);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&v);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::EditableText);
        const QAccessible::State state = a->state();
        QVERIFY(state.editable && state.multiLine && state.focusable && state.selectableText &&
                !state.readOnly);
        QAccessibleTextInterface* t = a->textInterface();
        QVERIFY(t && a->editableTextInterface());
        QCOMPARE(t->characterCount(), 28);
        QCOMPARE(a->text(QAccessible::Value), textOf(v));
        v.setCursorPosition(16);
        QCOMPARE(t->cursorPosition(), 16);

        enum Where { Before, At, After };
        struct Row {
            QAccessible::TextBoundaryType type;
            Where where;
            int offset;
            QString text;
            int start, end;
        };
        const Row rows[] = {
            {QAccessible::LineBoundary, At, 16, u"日本語のテキストです。\n"_s, 11, 23},
            {QAccessible::LineBoundary, Before, 16, u"first line\n"_s, 0, 11},
            {QAccessible::LineBoundary, After, 16, u"third"_s, 23, 28},
            {QAccessible::LineBoundary, Before, 3, QString(), 0, 0},
            {QAccessible::ParagraphBoundary, At, 28, u"third"_s, 23, 28},
            {QAccessible::WordBoundary, At, 16, u"テキスト"_s, 15, 19},
            {QAccessible::WordBoundary, Before, 16, u"の"_s, 14, 15},
            {QAccessible::WordBoundary, After, 16, u"です"_s, 19, 21},
            {QAccessible::WordBoundary, At, 12, u"日本語"_s, 11, 14},
            {QAccessible::CharBoundary, At, 16, u"キ"_s, 16, 17},
            {QAccessible::CharBoundary, Before, 16, u"テ"_s, 15, 16},
            {QAccessible::CharBoundary, After, 16, u"ス"_s, 17, 18},
            {QAccessible::SentenceBoundary, At, 16, u"日本語のテキストです。"_s, 11, 22},
            {QAccessible::NoBoundary, At, 16, textOf(v), 0, 28},
        };
        QStringList wrong;
        for (const Row& row : rows) {
            int start = -1, end = -1;
            const QString text =
                row.where == At       ? t->textAtOffset(row.offset, row.type, &start, &end)
                : row.where == Before ? t->textBeforeOffset(row.offset, row.type, &start, &end)
                                      : t->textAfterOffset(row.offset, row.type, &start, &end);
            if (text != row.text || start != row.start || end != row.end)
                wrong << u"%1/%2 at %3: \"%4\" %5..%6"_s.arg(row.type)
                             .arg(row.where)
                             .arg(row.offset)
                             .arg(text)
                             .arg(start)
                             .arg(end);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; "_s)));
        QCOMPARE(t->text(11, 14), u"日本語"_s);

        // Where a character is on the screen, and which is under a point.
        const QRect r = t->characterRect(16);
        QCOMPARE(r.topLeft(), v.viewport()->mapToGlobal(v.cursorRect(16).topLeft()));
        QCOMPARE(r.right() + 1, v.viewport()->mapToGlobal(v.cursorRect(17).topLeft()).x());
        QCOMPARE(t->offsetAtPoint(r.center() - QPoint(r.width() / 4, 0)), 16);
        QCOMPARE(t->offsetAtPoint(v.viewport()->mapToGlobal(QPoint(-5, 5))), -1);

        // The caret and the selection, set from outside.
        t->setCursorPosition(3);
        QCOMPARE(v.cursorPosition(), qsizetype(3));
        t->setSelection(0, 0, 5);
        QCOMPARE(v.selectedText(), u"first"_s);
        int from = -1, to = -1;
        t->selection(0, &from, &to);
        QVERIFY(t->selectionCount() == 1 && from == 0 && to == 5);
        t->removeSelection(0);
        QVERIFY(!v.hasSelection() && t->selectionCount() == 0);

        // Edits, each an undo step of its own.
        QAccessibleEditableTextInterface* e = a->editableTextInterface();
        e->insertText(0, u"x"_s);
        e->replaceText(1, 6, u"1st"_s);
        e->deleteText(0, 1);
        QCOMPARE(textOf(v).left(9), u"1st line\n"_s);
        v.undo();
        v.undo();
        QCOMPARE(textOf(v).left(12), u"xfirst line\n"_s);
    }

    void mouseSelects() {
        TextView& v = fresh(u"abc def ghi\nsecond line"_s);
        QWidget* vp = v.viewport();
        QTest::mouseClick(vp, Qt::LeftButton, {}, at(v, 5));
        QCOMPARE(v.cursorPosition(), qsizetype(5));
        QVERIFY(!v.hasSelection());
        drag(v, at(v, 1), at(v, 14));
        QCOMPARE(v.selectedText(), u"bc def ghi\nse"_s);
        // Shift-click moves the caret end only.
        QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, at(v, 3));
        QCOMPARE(v.selectedText(), u"bc"_s);
        // Double-click takes a word, a third click the line; a click into a selection
        // puts the caret there.
        QTest::mouseDClick(vp, Qt::LeftButton, {}, at(v, 5));
        QCOMPARE(v.selectedText(), u"def"_s);
        QTest::mouseClick(vp, Qt::LeftButton, {}, at(v, 5));
        QCOMPARE(v.selectedText(), u"abc def ghi\n"_s);
        QTest::mouseClick(vp, Qt::LeftButton, {}, at(v, 5));
        QCOMPARE(v.cursorPosition(), qsizetype(5));
        QVERIFY(!v.hasSelection());
    }

    // One word rule for double-click, double-click and drag, and Ctrl+Left/Right: the
    // words ICU's dictionary finds in Japanese.
    void wordsAsJapaneseIsWritten() {
        // 日0本1語2の3テ4キ5ス6ト7で8す9。10a11b12c13 14d15e16f17, the end 18
        const QString text = u"日本語のテキストです。abc def"_s;
        struct Row {
            qsizetype at;
            QString word;
        };
        const Row clicks[] = {
            {1, u"日本語"_s}, {0, u"日本語"_s}, {3, u"の"_s}, {6, u"テキスト"_s}, {9, u"です"_s},
            {10, u"。"_s},    {12, u"abc"_s},   {14, u" "_s}, {16, u"def"_s},     {18, u"def"_s}};
        for (const Row& row : clicks) {
            TextView& v = fresh(text);
            QTest::mouseDClick(v.viewport(), Qt::LeftButton, {}, on(v, row.at));
            QVERIFY2(v.selectedText() == row.word,
                     qPrintable(u"at %1: \"%2\""_s.arg(row.at).arg(v.selectedText())));
        }
        const QList<qsizetype> starts{0, 3, 4, 8, 10, 11, 15, 18};
        TextView& v = fresh(text);
        QList<qsizetype> right{0}, left{18};
        while (right.size() < starts.size()) {
            key(&v, Qt::Key_Right, Qt::ControlModifier);
            right << v.cursorPosition();
        }
        QCOMPARE(right, starts);
        while (left.size() < starts.size()) {
            key(&v, Qt::Key_Left, Qt::ControlModifier);
            left.prepend(v.cursorPosition());
        }
        QCOMPARE(left, starts);
        // With Shift they select word by word.
        v.setCursorPosition(0);
        key(&v, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        key(&v, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(v.selectedText(), u"日本語の"_s);
        // A double-click dragged on takes whole words.
        drag(v, on(v, 1), on(v, 5), true);
        QCOMPARE(v.selectedText(), u"日本語のテキスト"_s);
    }

    void clipboardAndDroppedText() {
        TextView& v = fresh(u"abc def"_s);
        v.select(0, 3);
        key(&v, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), u"abc"_s);
        key(&v, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(textOf(v), u" def"_s);
        v.setCursorPosition(4);
        QApplication::clipboard()->setText(u"漢\r\n字"_s);
        key(&v, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(textOf(v), u" def漢\n字"_s);

        // Text dropped from another program goes in where it is dropped, selected.
        QMimeData data;
        data.setText(u"XY"_s);
        const QPoint where = at(v, 1);
        QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v.viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v.viewport(), &drop);
        QCOMPARE(textOf(v), u" XYdef漢\n字"_s);
        QCOMPARE(v.selectedText(), u"XY"_s);

        // The context menu offers what can be done now.
        v.setCursorPosition(0);
        std::unique_ptr<QMenu> menu(v.createStandardContextMenu());
        QStringList enabled;
        for (const QAction* a : menu->actions())
            if (!a->isSeparator() && a->isEnabled())
                enabled << a->text();
        QCOMPARE(enabled, (QStringList{u"元に戻す(&U)"_s, u"貼り付け(&P)"_s, u"すべて選択(&A)"_s}));
    }

    void selectionHiddenOnlyWhereAsked() {
        // Neither view has the focus here; one hides its selection, one keeps it.
        TextView& v = fresh(u"selected text"_s);
        v.selectAll();
        QVERIFY(!v.hasFocus());
        QVERIFY(highlighted(v) > 50);
        v.setHideSelectionWhenUnfocused(true);
        QCOMPARE(highlighted(v), 0);
    }

    void scrollingAndVeryLongLines() {
        QString lines;
        for (int i = 0; i < 300; ++i)
            lines += u"line %1\n"_s.arg(i);
        TextView& v = fresh(lines);
        QCOMPARE(v.verticalScrollBar()->maximum() > 250, true);
        key(&v, Qt::Key_PageDown);
        QVERIFY(v.firstVisibleLine() > 0);
        QVERIFY(v.cursorRect(v.cursorPosition()).intersects(v.viewport()->rect()));
        v.setCursorPosition(v.document()->lineStart(200));
        v.ensureCaretVisible();
        QVERIFY(v.firstVisibleLine() <= 200 && v.firstVisibleLine() > 200 - 20);
        QVERIFY(v.viewport()->rect().contains(v.cursorRect(v.cursorPosition()).center()));
        const int top = v.firstVisibleLine();
        QWheelEvent wheel(QPointF(10, 10), v.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(v.viewport(), &wheel);
        QVERIFY(v.firstVisibleLine() > top);

        // A line of 200,000 characters: its end is reached, shown, typed at and hit.
        const QString longLine = QString(200000, u'a') + u"\nend"_s;
        TextView& w = fresh(longLine);
        key(&w, Qt::Key_End);
        QCOMPARE(w.cursorPosition(), qsizetype(200000));
        QVERIFY(w.horizontalScrollBar()->value() > 100000);
        type(&w, u"Z漢"_s);
        QCOMPARE(w.document()->text(199998, 200003), u"aaZ漢\n"_s);
        const QRect caret = w.cursorRect(w.cursorPosition());
        QVERIFY(w.viewport()->rect().contains(caret.center()));
        QCOMPARE(w.positionAt(caret.center()), w.cursorPosition());
        key(&w, Qt::Key_Home);
        QCOMPARE(w.horizontalScrollBar()->value(), 0);
    }

    // A line long enough to be laid out in pieces shows each character where a short
    // line of the same characters does, in a monospaced and a proportional font, and
    // a click finds the character under the pointer all along it.
    void longLinesLookAsShortOnes() {
        const QString words[] = {u"日本語の"_s, u"file "_s,    u"ｶﾀｶﾅ"_s, u"\t"_s,
                                 u"AVATAR. "_s, u"テキスト"_s, u"x"_s};
        QString line;
        for (int i = 0; line.size() < 6000; ++i)
            line += words[(i * 7 + i / 3) % std::size(words)];
        const qsizetype shortLength = 3999, shortStart = line.size() + 1;
        for (const QFont& font : {QFont(u"IPAGothic"_s, 10), QFont(u"DejaVu Sans"_s, 11)}) {
            TextView& v = fresh(line + u'\n' + line.left(shortLength));
            v.setFont(font);
            QStringList wrong;
            for (qsizetype p = 0; p <= shortLength; ++p) {
                const int inLong = v.cursorRect(p).x(), inShort = v.cursorRect(shortStart + p).x();
                if (inLong != inShort)
                    wrong << u"%1: %2, not %3"_s.arg(p).arg(inLong).arg(inShort);
                if (p % 1024 > 1018 || p % 1024 < 6) {
                    const qsizetype hit = v.positionAt(on(v, p));
                    if (hit != p)
                        wrong << u"click on %1 found %2"_s.arg(p).arg(hit);
                }
            }
            QVERIFY2(wrong.isEmpty(),
                     qPrintable(font.family() + u": "_s + wrong.mid(0, 8).join(u"; "_s)));
            // Its end is where its characters' advances put it, and shown there.
            key(&v, Qt::Key_End);
            const QRect caret = v.cursorRect(v.cursorPosition());
            QVERIFY(v.viewport()->rect().contains(caret.center()));
            QCOMPARE(v.positionAt(caret.center()), line.size());
            // Typed at, at the end and within a word in the middle, it shows what a view
            // laying the new text out afresh shows.
            type(&v, u"ｶfi漢\t"_s);
            v.setCursorPosition(2046);
            type(&v, u"ffi\tｶ"_s);
            TextView afresh;
            afresh.resize(400, 200);
            afresh.setFont(font);
            afresh.document()->replace(0, 0, textOf(v));
            key(&v, Qt::Key_Home); // both scrolled to the left edge
            for (qsizetype p = 1900; p < v.document()->lineEnd(0); p += p < 2200 ? 1 : 97)
                if (v.cursorRect(p).x() != afresh.cursorRect(p).x())
                    wrong << u"%1: %2, not %3"_s.arg(p)
                                 .arg(v.cursorRect(p).x())
                                 .arg(afresh.cursorRect(p).x());
            QVERIFY2(wrong.isEmpty(),
                     qPrintable(u"after typing: "_s + wrong.mid(0, 8).join(u"; "_s)));
        }
    }

    // A drag below the text scrolls, faster the farther the pointer is: lines a second
    // measured at 10 and at 80 pixels below.
    void dragBelowTheTextScrollsFasterTheFarther() {
        QString lines;
        for (int i = 0; i < 30000; ++i)
            lines += u"line %1\n"_s.arg(i);
        TextView& v = fresh(lines);
        QWidget* vp = v.viewport();
        const auto linesPerSecond = [&](int below) {
            v.setCursorPosition(0);
            v.verticalScrollBar()->setValue(0);
            // Far from the last press, so that it is no double click.
            QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(10 + 3 * below, 10 + below / 4));
            const QPoint out(10, vp->height() - 1 + below);
            QMouseEvent move(QEvent::MouseMove, out, vp->mapToGlobal(out), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(vp, &move);
            const int top = v.verticalScrollBar()->value();
            QElapsedTimer clock;
            clock.start();
            QTest::qWait(400);
            const qreal rate =
                (v.verticalScrollBar()->value() - top) * 1000.0 / qreal(clock.elapsed());
            QTest::mouseRelease(vp, Qt::LeftButton, {}, out);
            return rate;
        };
        const qreal near = linesPerSecond(10), far = linesPerSecond(80);
        QVERIFY2(near > 5 && near < 100 && far > 300,
                 qPrintable(u"%1 lines/s at 10 px, %2 at 80 px"_s.arg(near).arg(far)));
        // The selection reaches down to where the text went.
        QVERIFY(v.hasSelection() && v.cursorPosition() > v.document()->lineStart(100));
    }

    // Random sessions in two views of one document, long lines and input methods
    // included: the carets stay in the text, and a click on the caret finds the caret.
    void randomSessionsKeepTheCaretsWhereTheyCanBeFound() {
        TextDocument doc;
        doc.replace(0, 0, QString(QString(6000, u'x') + u"\nあいう\tab\n\nend"_s));
        TextView views[2];
        for (TextView& v : views) {
            v.setDocument(&doc);
            v.resize(300, 160);
            v.show();
        }
        std::mt19937 rng(5);
        const Qt::Key keys[] = {Qt::Key_Left,   Qt::Key_Right,     Qt::Key_Up,     Qt::Key_Down,
                                Qt::Key_Home,   Qt::Key_End,       Qt::Key_PageUp, Qt::Key_PageDown,
                                Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab};
        const QString pieces[] = {u"a"_s, u"漢"_s, u"ｶ"_s, u"\n"_s, u"long "_s};
        for (int step = 0; step < 600; ++step) {
            TextView& v = views[rng() % 2];
            const int op = int(rng() % 10);
            if (op < 4) {
                key(&v, keys[rng() % std::size(keys)],
                    rng() % 3 == 0 ? Qt::ShiftModifier : Qt::NoModifier);
            } else if (op < 6) {
                type(&v, pieces[rng() % std::size(pieces)]);
            } else if (op == 6) {
                QInputMethodEvent e = preedit(u"へんかん"_s, int(rng() % 5));
                QApplication::sendEvent(&v, &e);
                QInputMethodEvent done;
                if (rng() % 2)
                    done.setCommitString(u"変換"_s);
                QApplication::sendEvent(&v, &done);
            } else if (op == 7) {
                rng() % 2 ? v.undo() : v.redo();
            } else if (op == 8) {
                const qsizetype n = doc.length() + 1;
                v.select(qsizetype(rng() % n), qsizetype(rng() % n));
                v.ensureCaretVisible();
            } else {
                QTest::mouseClick(v.viewport(), Qt::LeftButton, {},
                                  QPoint(int(rng() % 300), int(rng() % 160)));
            }
            for (TextView& w : views) {
                QVERIFY(w.anchorPosition() >= 0 && w.anchorPosition() <= doc.length());
                QVERIFY(w.cursorPosition() >= 0 && w.cursorPosition() <= doc.length());
                QVERIFY(w.preeditText().isEmpty());
            }
            const QRect caret = v.cursorRect(v.cursorPosition());
            if (v.viewport()->rect().contains(caret.center()))
                QCOMPARE(v.positionAt(caret.center()), v.cursorPosition());
            v.viewport()->grab(); // paints without failing
        }
    }

    void viewsOfOneDocument() {
        TextDocument doc;
        doc.replace(0, 0, u"0123456789"_s);
        TextView a, b;
        a.setDocument(&doc);
        b.setDocument(&doc);
        b.select(8, 5);
        a.setCursorPosition(2);
        type(&a, u"xy"_s);
        // The other view's selection keeps to its text.
        QCOMPARE(b.selectedText(), u"567"_s);
        QCOMPARE(b.anchorPosition(), qsizetype(10));
        // Undo in either view takes the document's last step back; the view that undoes
        // shows where.
        b.undo();
        QCOMPARE(doc.text(), u"0123456789"_s);
        QCOMPARE(b.cursorPosition(), qsizetype(2));
        QCOMPARE(a.cursorPosition(), qsizetype(2));
        // The document going first leaves the views with documents of their own.
        {
            TextDocument shortLived;
            a.setDocument(&shortLived);
        }
        QVERIFY(a.document() != nullptr && a.document()->isEmpty());
        type(&a, u"ok"_s);
        QCOMPARE(a.document()->text(), u"ok"_s);
    }

    // Lines are as tall as the face Japanese is drawn from needs, whether the font was
    // set while the view was hidden or once it was shown.
    void linesFitTheJapaneseFaceWhenShown() {
        // A face whose Japanese comes from a taller one: the case that matters.
        const auto japaneseHeight = [](const QFont& font) {
            QTextLayout sample(u"Mあ"_s, font);
            sample.beginLayout();
            const QTextLine line = sample.createLine();
            sample.endLayout();
            return line.height();
        };
        QFont font;
        for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
            font = QFont(family, 10);
            if (japaneseHeight(font) > qCeil(QFontMetricsF(font).lineSpacing()))
                break;
            font = QFont();
        }
        if (font == QFont())
            QSKIP("no face here draws Japanese from a taller face");
        TextView early, late;
        for (TextView* v : {&early, &late}) {
            v->resize(300, 150);
            v->document()->replace(0, 0, u"aあ\nbい\nc"_s);
        }
        early.setFont(font);
        early.show();
        late.show();
        late.setFont(font);
        for (TextView* v : {&early, &late}) {
            const int lineStep = v->cursorRect(3).top() - v->cursorRect(0).top();
            QVERIFY2(lineStep >= qCeil(japaneseHeight(font)),
                     qPrintable(font.family() + u' ' + QString::number(lineStep)));
            QCOMPARE(v->cursorRect(6).top() - v->cursorRect(3).top(), lineStep);
        }
        QCOMPARE(early.cursorRect(6), late.cursorRect(6));
    }
};

QTEST_MAIN(TextViewTest)
#include "TextViewTest.moc"

// The text view's input: the keyboard, input methods, the mouse and the focus.
#include "TextView.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace qel {

using textmodel::EditKind;
using textmodel::TextChange;
using textmodel::TextDocument;

// ---- keyboard

qsizetype TextView::wordStartBefore(qsizetype position) const {
    const qsizetype line = document_->lineOf(position);
    const qsizetype lineStart = document_->lineStart(line);
    if (position == lineStart)
        return std::max<qsizetype>(0, position - 1);
    const qsizetype from = std::max(lineStart, position - kWordWindow);
    const QString text = document_->text(from, position);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(text.size());
    for (qsizetype p = finder.toPreviousBoundary(); p > 0; p = finder.toPreviousBoundary())
        if (finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
            return from + p;
    return from;
}

qsizetype TextView::wordStartAfter(qsizetype position) const {
    const qsizetype line = document_->lineOf(position);
    const qsizetype lineEnd = document_->lineEnd(line);
    if (position == lineEnd)
        return std::min(document_->length(), position + 1);
    const qsizetype from = std::max(document_->lineStart(line), position - 64);
    const qsizetype to = std::min(lineEnd, position + kWordWindow);
    const QString text = document_->text(from, to);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(position - from);
    for (qsizetype p = finder.toNextBoundary(); p >= 0 && p < text.size();
         p = finder.toNextBoundary())
        if (finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
            return from + p;
    return to;
}

std::pair<qsizetype, qsizetype> TextView::wordAt(qsizetype position) const {
    const qsizetype line = document_->lineOf(position);
    const qsizetype lineStart = document_->lineStart(line);
    const qsizetype lineEnd = document_->lineEnd(line);
    if (position == lineEnd && position > lineStart)
        --position; // at the end of a line: the word before
    const qsizetype from = std::max(lineStart, position - kWordWindow);
    const qsizetype to = std::min(lineEnd, position + kWordWindow);
    const QString text = document_->text(from, to);
    if (text.isEmpty())
        return {position, position};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(position - from);
    const qsizetype begin = finder.isAtBoundary() ? position - from : finder.toPreviousBoundary();
    finder.setPosition(position - from);
    const qsizetype finish = finder.toNextBoundary();
    return {from + std::max<qsizetype>(0, begin), finish < 0 ? to : from + finish};
}

qsizetype TextView::moved(Move move) const {
    const qsizetype length = document_->length();
    const qsizetype line = document_->lineOf(caret_);
    const auto toLine = [&](qsizetype target) {
        target = std::clamp<qsizetype>(target, 0, document_->lineCount() - 1);
        if (target == line)
            return caret_;
        return positionAtX(target, preferredX_ >= 0 ? preferredX_ : xOf(caret_));
    };
    switch (move) {
    case Move::Left:
        return std::max<qsizetype>(0, caret_ - 1);
    case Move::Right:
        return std::min(length, caret_ + 1);
    case Move::WordLeft:
        return wordStartBefore(caret_);
    case Move::WordRight:
        return wordStartAfter(caret_);
    case Move::Up:
        return toLine(line - 1);
    case Move::Down:
        return toLine(line + 1);
    case Move::PageUp:
        return line == 0 ? 0 : toLine(line - visibleLines());
    case Move::PageDown:
        return line + 1 == document_->lineCount() ? length : toLine(line + visibleLines());
    case Move::LineStart:
        return document_->lineStart(line);
    case Move::LineEnd:
        return document_->lineEnd(line);
    case Move::DocumentStart:
        return 0;
    case Move::DocumentEnd:
        return length;
    }
    return caret_;
}

namespace {

struct KeyMove {
    QKeySequence::StandardKey key;
    int move; // TextView::Move
    bool select;
};

} // namespace

bool TextView::handleStandardKey(QKeyEvent* e) {
    static const KeyMove moves[] = {
        {QKeySequence::MoveToNextChar, int(Move::Right), false},
        {QKeySequence::MoveToPreviousChar, int(Move::Left), false},
        {QKeySequence::SelectNextChar, int(Move::Right), true},
        {QKeySequence::SelectPreviousChar, int(Move::Left), true},
        {QKeySequence::MoveToNextWord, int(Move::WordRight), false},
        {QKeySequence::MoveToPreviousWord, int(Move::WordLeft), false},
        {QKeySequence::SelectNextWord, int(Move::WordRight), true},
        {QKeySequence::SelectPreviousWord, int(Move::WordLeft), true},
        {QKeySequence::MoveToNextLine, int(Move::Down), false},
        {QKeySequence::MoveToPreviousLine, int(Move::Up), false},
        {QKeySequence::SelectNextLine, int(Move::Down), true},
        {QKeySequence::SelectPreviousLine, int(Move::Up), true},
        {QKeySequence::MoveToNextPage, int(Move::PageDown), false},
        {QKeySequence::MoveToPreviousPage, int(Move::PageUp), false},
        {QKeySequence::SelectNextPage, int(Move::PageDown), true},
        {QKeySequence::SelectPreviousPage, int(Move::PageUp), true},
        {QKeySequence::MoveToStartOfLine, int(Move::LineStart), false},
        {QKeySequence::MoveToEndOfLine, int(Move::LineEnd), false},
        {QKeySequence::SelectStartOfLine, int(Move::LineStart), true},
        {QKeySequence::SelectEndOfLine, int(Move::LineEnd), true},
        {QKeySequence::MoveToStartOfBlock, int(Move::LineStart), false},
        {QKeySequence::MoveToEndOfBlock, int(Move::LineEnd), false},
        {QKeySequence::SelectStartOfBlock, int(Move::LineStart), true},
        {QKeySequence::SelectEndOfBlock, int(Move::LineEnd), true},
        {QKeySequence::MoveToStartOfDocument, int(Move::DocumentStart), false},
        {QKeySequence::MoveToEndOfDocument, int(Move::DocumentEnd), false},
        {QKeySequence::SelectStartOfDocument, int(Move::DocumentStart), true},
        {QKeySequence::SelectEndOfDocument, int(Move::DocumentEnd), true},
    };
    for (const KeyMove& m : moves) {
        if (!e->matches(m.key))
            continue;
        const Move move = Move(m.move);
        const bool vertical = move == Move::Up || move == Move::Down || move == Move::PageUp ||
                              move == Move::PageDown;
        if (vertical && preferredX_ < 0)
            preferredX_ = xOf(caret_);
        qsizetype target = moved(move);
        // Left and Right without Shift first close the selection at its near end.
        if (!m.select && hasSelection() && (move == Move::Left || move == Move::Right))
            target = move == Move::Left ? selectionStart() : selectionEnd();
        if (move == Move::PageUp || move == Move::PageDown) {
            const int page = visibleLines();
            verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                          (move == Move::PageDown ? page : -page));
        }
        moveCaret(target, m.select, vertical);
        return true;
    }
    if (e == QKeySequence::Copy) {
        copy();
    } else if (e == QKeySequence::Cut) {
        cut();
    } else if (e == QKeySequence::Paste) {
        paste();
    } else if (e == QKeySequence::Undo) {
        undo();
    } else if (e == QKeySequence::Redo) {
        redo();
    } else if (e == QKeySequence::SelectAll) {
        selectAll();
    } else if (e == QKeySequence::DeleteStartOfWord) {
        if (hasSelection())
            deleteSelection();
        else
            edit(wordStartBefore(caret_), caret_ - wordStartBefore(caret_), QString());
    } else if (e == QKeySequence::DeleteEndOfWord) {
        if (hasSelection())
            deleteSelection();
        else
            edit(caret_, wordStartAfter(caret_) - caret_, QString());
    } else if (e == QKeySequence::InsertParagraphSeparator ||
               e == QKeySequence::InsertLineSeparator) {
        edit(selectionStart(), selectionEnd() - selectionStart(), QStringLiteral("\n"),
             EditKind::TypedInsert);
    } else {
        const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
        const bool plain = (mods & ~Qt::ShiftModifier) == Qt::NoModifier;
        if (plain && (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete)) {
            if (hasSelection()) {
                deleteSelection();
            } else if (e->key() == Qt::Key_Backspace) {
                if (caret_ > 0)
                    edit(caret_ - 1, 1, QString(), EditKind::TypedDelete);
            } else if (caret_ < document_->length()) {
                edit(caret_, 1, QString(), EditKind::TypedDelete);
            }
            return true;
        }
        return false;
    }
    return true;
}

bool TextView::isTypedText(const QKeyEvent* e) const {
    const QString text = e->text();
    if (text.isEmpty())
        return false;
    // Ctrl, Alt and Meta make shortcuts and menu keys.
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const char32_t first = text.toUcs4().value(0);
    return first == U'\t' || QChar::isPrint(first);
}

bool TextView::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Keys the view takes itself are not window shortcuts while it has the focus.
        auto* e = static_cast<QKeyEvent*>(event);
        static const QKeySequence::StandardKey own[] = {QKeySequence::Copy,
                                                        QKeySequence::Cut,
                                                        QKeySequence::Paste,
                                                        QKeySequence::Undo,
                                                        QKeySequence::Redo,
                                                        QKeySequence::SelectAll,
                                                        QKeySequence::DeleteStartOfWord,
                                                        QKeySequence::DeleteEndOfWord,
                                                        QKeySequence::MoveToStartOfDocument,
                                                        QKeySequence::MoveToEndOfDocument,
                                                        QKeySequence::SelectStartOfDocument,
                                                        QKeySequence::SelectEndOfDocument,
                                                        QKeySequence::MoveToNextWord,
                                                        QKeySequence::MoveToPreviousWord,
                                                        QKeySequence::SelectNextWord,
                                                        QKeySequence::SelectPreviousWord,
                                                        QKeySequence::MoveToStartOfLine,
                                                        QKeySequence::MoveToEndOfLine,
                                                        QKeySequence::SelectStartOfLine,
                                                        QKeySequence::SelectEndOfLine,
                                                        QKeySequence::MoveToNextLine,
                                                        QKeySequence::MoveToPreviousLine,
                                                        QKeySequence::MoveToNextChar,
                                                        QKeySequence::MoveToPreviousChar};
        bool take = isTypedText(e) ||
                    std::any_of(std::begin(own), std::end(own),
                                [e](QKeySequence::StandardKey k) { return e->matches(k); });
        const int key = e->key();
        if ((e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier &&
            (key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Return ||
             key == Qt::Key_Enter || key == Qt::Key_Home || key == Qt::Key_End))
            take = true;
        if (take) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        // Tab goes into the text rather than to the next control.
        auto* e = static_cast<QKeyEvent*>(event);
        if ((e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) &&
            !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(e);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QAbstractScrollArea::event(event);
}

void TextView::keyPressEvent(QKeyEvent* e) {
    if (handleStandardKey(e)) {
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) {
        edit(selectionStart(), selectionEnd() - selectionStart(), QStringLiteral("\t"),
             EditKind::TypedInsert);
        e->accept();
        return;
    }
    if (isTypedText(e)) {
        edit(selectionStart(), selectionEnd() - selectionStart(), e->text(), EditKind::TypedInsert);
        e->accept();
        return;
    }
    e->ignore();
}

// ---- input methods

void TextView::setPreedit(const QString& text, const QList<QTextLayout::FormatRange>& formats,
                          int cursor, bool cursorVisible) {
    if (text == preedit_ && formats == preeditFormats_ && cursor == preeditCursor_ &&
        cursorVisible == preeditCursorVisible_)
        return;
    const qsizetype line = document_->lineOf(caret_);
    preedit_ = text;
    preeditFormats_ = formats;
    preeditCursor_ = cursor;
    preeditCursorVisible_ = cursorVisible;
    layouts_.erase(line);
    viewport()->update();
}

void TextView::inputMethodEvent(QInputMethodEvent* e) {
    const QString commit = e->commitString();
    if (!commit.isEmpty() || e->replacementLength() > 0) {
        qsizetype from = selectionStart(), to = selectionEnd();
        if (e->replacementLength() > 0 || e->replacementStart() != 0) {
            from = std::clamp<qsizetype>(caret_ + e->replacementStart(), 0, document_->length());
            to = std::clamp<qsizetype>(from + e->replacementLength(), from, document_->length());
        }
        edit(from, to - from, commit, EditKind::TypedInsert);
    } else if (!e->preeditString().isEmpty() && hasSelection()) {
        // Composing replaces the selection, as typing does.
        deleteSelection();
    }
    QList<QTextLayout::FormatRange> formats;
    int cursor = int(e->preeditString().size());
    bool cursorVisible = true;
    for (const QInputMethodEvent::Attribute& a : e->attributes()) {
        if (a.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat f = qvariant_cast<QTextFormat>(a.value).toCharFormat();
            if (f.isValid())
                formats.append({a.start, a.length, f});
        } else if (a.type == QInputMethodEvent::Cursor) {
            cursor = a.start;
            cursorVisible = a.length != 0;
        }
    }
    setPreedit(e->preeditString(), formats, cursor, cursorVisible);
    ensureCaretVisible();
    updateMicroFocus();
    e->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const {
    const qsizetype line = document_->lineOf(caret_);
    const qsizetype lineStart = document_->lineStart(line);
    const qsizetype lineEnd = document_->lineEnd(line);
    // Around the caret, within its line; a very long line is cut to what is near.
    const qsizetype from = std::max(lineStart, caret_ - kWordWindow);
    const qsizetype to = std::min(lineEnd, caret_ + kWordWindow);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRectF(cursorRect(caret_).translated(viewport()->pos()));
    case Qt::ImAnchorRectangle:
        return QRectF(cursorRect(anchor_).translated(viewport()->pos()));
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return int(caret_ - from);
    case Qt::ImAnchorPosition:
        return int(std::clamp(anchor_, from, to) - from);
    case Qt::ImSurroundingText:
        return document_->text(from, to);
    case Qt::ImCurrentSelection:
        return selectedText().left(kWordWindow);
    case Qt::ImTextBeforeCursor:
        return document_->text(from, caret_);
    case Qt::ImTextAfterCursor:
        return document_->text(caret_, to);
    case Qt::ImAbsolutePosition:
        return QVariant::fromValue(caret_);
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImInputItemClipRectangle:
        return QRectF(viewport()->geometry());
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// ---- mouse

void TextView::mousePressEvent(QMouseEvent* e) {
    lastMouse_ = e->pos();
    const qsizetype at = positionAt(e->pos());
    if (e->button() == Qt::LeftButton) {
        const bool tripleClick =
            QDateTime::currentMSecsSinceEpoch() - lastDoubleClick_ <
                QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
            (e->pos() - pressPoint_).manhattanLength() < QApplication::startDragDistance();
        pressPoint_ = e->pos();
        if (e->modifiers() & Qt::ShiftModifier) {
            moveCaret(at, true);
            press_ = Press::Select;
        } else if (tripleClick) {
            const qsizetype line = document_->lineOf(at);
            wordAnchorFrom_ = document_->lineStart(line);
            wordAnchorTo_ = std::min(document_->length(), document_->lineEnd(line) + 1);
            setCaret(wordAnchorFrom_, wordAnchorTo_);
            press_ = Press::SelectLines;
            lastDoubleClick_ = 0; // a fourth click is a click again
        } else if (hasSelection() && at >= selectionStart() && at < selectionEnd()) {
            press_ = Press::MaybeDrag; // a drag of the selection, or a click into it
        } else {
            moveCaret(at, false);
            press_ = Press::Select;
        }
        document_->endTypingRun();
    } else if (e->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        setCaret(at, at);
        insertFromMimeData(QApplication::clipboard()->mimeData(QClipboard::Selection));
    }
    e->accept();
}

void TextView::mouseMoveEvent(QMouseEvent* e) {
    lastMouse_ = e->pos();
    if (press_ == Press::MaybeDrag) {
        if ((e->pos() - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
            press_ = Press::None;
            startDrag();
        }
        return;
    }
    if (press_ == Press::None || !(e->buttons() & Qt::LeftButton))
        return;
    const qsizetype at = positionAt(e->pos());
    if (press_ == Press::Select) {
        setCaret(anchor_, at);
    } else if (press_ == Press::SelectWords) {
        if (at < wordAnchorFrom_)
            setCaret(wordAnchorTo_, wordAt(at).first);
        else
            setCaret(wordAnchorFrom_, std::max(wordAnchorTo_, wordAt(at).second));
    } else {
        const qsizetype line = document_->lineOf(at);
        if (at < wordAnchorFrom_)
            setCaret(wordAnchorTo_, document_->lineStart(line));
        else
            setCaret(wordAnchorFrom_, std::min(document_->length(), document_->lineEnd(line) + 1));
    }
    ensureCaretVisible();
    if (viewport()->rect().contains(e->pos()))
        autoScroll_.stop();
    else if (!autoScroll_.isActive())
        autoScroll_.start(50, this);
}

void TextView::mouseReleaseEvent(QMouseEvent* e) {
    autoScroll_.stop();
    if (press_ == Press::MaybeDrag)
        moveCaret(positionAt(e->pos()), false);
    if (press_ != Press::None && hasSelection() && QApplication::clipboard()->supportsSelection())
        QApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
    press_ = Press::None;
    e->accept();
}

void TextView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const auto [from, to] = wordAt(positionAt(e->pos()));
    wordAnchorFrom_ = from;
    wordAnchorTo_ = to;
    setCaret(from, to);
    press_ = Press::SelectWords;
    pressPoint_ = e->pos();
    lastDoubleClick_ = QDateTime::currentMSecsSinceEpoch();
    e->accept();
}

void TextView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == blink_.timerId()) {
        caretShown_ = !caretShown_;
        viewport()->update(cursorRect(caret_).adjusted(-2, 0, 2, 0));
    } else if (event->timerId() == autoScroll_.timerId()) {
        const QRect r = viewport()->rect();
        QScrollBar* v = verticalScrollBar();
        if (lastMouse_.y() < r.top())
            v->setValue(v->value() - 1);
        else if (lastMouse_.y() > r.bottom())
            v->setValue(v->value() + 1);
        QMouseEvent move(QEvent::MouseMove, QPointF(lastMouse_), mapToGlobal(lastMouse_),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        mouseMoveEvent(&move);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void TextView::restartBlinking() {
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        blink_.start(flash / 2, this);
    else
        blink_.stop();
    viewport()->update();
}

void TextView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    restartBlinking();
}

void TextView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    caretShown_ = false;
    document_->endTypingRun();
    viewport()->update();
}

} // namespace qel

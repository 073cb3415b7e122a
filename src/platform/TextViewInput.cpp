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

#include <algorithm>

namespace qel {

using textmodel::EditKind;
using textmodel::TextChange;
using textmodel::TextDocument;

// ---- keyboard

// The words around `position` in its line: a very long line is read only near it.
std::pair<qsizetype, WordBoundaries> TextView::wordsAround(qsizetype position) const {
    const qsizetype line = document_->lineOf(position);
    const qsizetype from = std::max(document_->lineStart(line), position - kWordWindow);
    const qsizetype to = std::min(document_->lineEnd(line), position + kWordWindow);
    return {from, WordBoundaries(document_->text(from, to))};
}

qsizetype TextView::wordStartBefore(qsizetype position) const {
    if (position == document_->lineStart(document_->lineOf(position)))
        return std::max<qsizetype>(0, position - 1);
    const auto [from, words] = wordsAround(position);
    return from + words.startBefore(position - from);
}

qsizetype TextView::wordStartAfter(qsizetype position) const {
    if (position == document_->lineEnd(document_->lineOf(position)))
        return std::min(document_->length(), position + 1);
    const auto [from, words] = wordsAround(position);
    return from + words.startAfter(position - from);
}

std::pair<qsizetype, qsizetype> TextView::wordAt(qsizetype position) const {
    const qsizetype line = document_->lineOf(position);
    if (position == document_->lineEnd(line) && position > document_->lineStart(line))
        --position; // at the end of a line: the word before
    const auto [from, words] = wordsAround(position);
    const auto [begin, end] = words.segmentAt(position - from);
    return {from + begin, from + end};
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

bool isKey(const QKeyEvent* e, QKeyCombination combination) {
    return e->keyCombination() == combination;
}

} // namespace

TextView::KeyAction TextView::keyAction(const QKeyEvent* e) const {
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
    for (const KeyMove& m : moves)
        if (e->matches(m.key))
            return {KeyAction::MoveCaret, Move(m.move), m.select};
    using Command = void (*)(TextView&);
    static const std::pair<QKeySequence::StandardKey, Command> commands[] = {
        {QKeySequence::Copy, [](TextView& v) { v.copy(); }},
        {QKeySequence::Cut, [](TextView& v) { v.cut(); }},
        {QKeySequence::Paste, [](TextView& v) { v.paste(); }},
        {QKeySequence::Undo, [](TextView& v) { v.undo(); }},
        {QKeySequence::Redo, [](TextView& v) { v.redo(); }},
        {QKeySequence::SelectAll, [](TextView& v) { v.selectAll(); }},
    };
    for (const auto& [key, command] : commands)
        if (e->matches(key))
            return {KeyAction::RunCommand, Move::Left, false, command};
    static const std::pair<QKeySequence::StandardKey, KeyAction::Kind> edits[] = {
        {QKeySequence::DeleteStartOfWord, KeyAction::DeleteWordBefore},
        {QKeySequence::DeleteEndOfWord, KeyAction::DeleteWordAfter},
        {QKeySequence::InsertParagraphSeparator, KeyAction::NewLine},
        {QKeySequence::InsertLineSeparator, KeyAction::NewLine},
    };
    for (const auto& [key, kind] : edits)
        if (e->matches(key))
            return {kind};
    // Both redo keys, whatever the desktop's own: Ctrl+Y as on Windows, Ctrl+Shift+Z.
    if (isKey(e, Qt::CTRL | Qt::Key_Y) || isKey(e, Qt::CTRL | Qt::SHIFT | Qt::Key_Z))
        return {KeyAction::RunCommand, Move::Left, false, [](TextView& v) { v.redo(); }};
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool plain = (mods & ~Qt::ShiftModifier) == Qt::NoModifier;
    switch (e->key()) {
    case Qt::Key_Backspace:
        return {plain ? KeyAction::DeleteBefore : KeyAction::None};
    case Qt::Key_Delete:
        return {plain ? KeyAction::DeleteAfter : KeyAction::None};
    case Qt::Key_Tab:
        // Tab alone is a tab; Ctrl+Tab belongs to the window.
        return {mods == Qt::NoModifier      ? KeyAction::InsertTab
                : mods == Qt::ShiftModifier ? KeyAction::Nothing
                                            : KeyAction::None};
    case Qt::Key_Backtab: // Shift+Tab: nothing, and the focus stays
        return {plain ? KeyAction::Nothing : KeyAction::None};
    default:
        break;
    }
    if (isTypedText(e))
        return {KeyAction::Type};
    return {KeyAction::None};
}

void TextView::perform(const KeyAction& action, const QKeyEvent* e) {
    switch (action.kind) {
    case KeyAction::None:
    case KeyAction::Nothing:
        break;
    case KeyAction::MoveCaret: {
        const Move move = action.move;
        const bool vertical = move == Move::Up || move == Move::Down || move == Move::PageUp ||
                              move == Move::PageDown;
        if (vertical && preferredX_ < 0)
            preferredX_ = xOf(caret_);
        qsizetype target = moved(move);
        // Left and Right without Shift first close the selection at its near end.
        if (!action.select && hasSelection() && (move == Move::Left || move == Move::Right))
            target = move == Move::Left ? selectionStart() : selectionEnd();
        if (move == Move::PageUp || move == Move::PageDown) {
            const int page = visibleLines();
            verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                          (move == Move::PageDown ? page : -page));
        }
        moveCaret(target, action.select, vertical);
        if (action.select)
            offerSelection();
        break;
    }
    case KeyAction::RunCommand:
        action.command(*this);
        break;
    case KeyAction::DeleteWordBefore:
    case KeyAction::DeleteWordAfter:
    case KeyAction::DeleteBefore:
    case KeyAction::DeleteAfter: {
        if (hasSelection()) {
            deleteSelection();
            break;
        }
        const KeyAction::Kind k = action.kind;
        const qsizetype from = k == KeyAction::DeleteWordBefore ? wordStartBefore(caret_)
                               : k == KeyAction::DeleteBefore   ? std::max<qsizetype>(0, caret_ - 1)
                                                                : caret_;
        const qsizetype to = k == KeyAction::DeleteWordAfter ? wordStartAfter(caret_)
                             : k == KeyAction::DeleteAfter
                                 ? std::min(document_->length(), caret_ + 1)
                                 : caret_;
        // One character at a time joins the typing; a word is a step of its own.
        if (from < to)
            edit(from, to - from, QString(),
                 k == KeyAction::DeleteBefore || k == KeyAction::DeleteAfter ? EditKind::TypedDelete
                                                                             : EditKind::Command);
        break;
    }
    case KeyAction::NewLine:
    case KeyAction::InsertTab:
    case KeyAction::Type:
        edit(selectionStart(), selectionEnd() - selectionStart(),
             action.kind == KeyAction::NewLine     ? QStringLiteral("\n")
             : action.kind == KeyAction::InsertTab ? QStringLiteral("\t")
                                                   : e->text(),
             EditKind::TypedInsert);
        break;
    }
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
    case QEvent::ShortcutOverride:
        // Keys the view takes itself are not window shortcuts while it has the focus.
        if (keyAction(static_cast<QKeyEvent*>(event)).kind != KeyAction::None) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        // Tab and Shift+Tab stay in the view rather than move the focus.
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
    const KeyAction action = keyAction(e);
    if (action.kind == KeyAction::None) {
        e->ignore();
        return;
    }
    // What an input method was composing goes in where it was typed before the key
    // acts (an input method that lets a key through while composing).
    if (action.kind != KeyAction::Nothing)
        commitComposing();
    perform(action, e);
    e->accept();
}

// ---- input methods

void TextView::setPreedit(const QString& text, const QList<QTextLayout::FormatRange>& formats,
                          int cursor, bool cursorVisible) {
    if (!text.isEmpty())
        composingView_ = this;
    else if (composingView_ == this)
        composingView_ = nullptr;
    if (text == preedit_ && formats == preeditFormats_ && cursor == preeditCursor_ &&
        cursorVisible == preeditCursorVisible_)
        return;
    const qsizetype line = document_->lineOf(caret_);
    preedit_ = text;
    preeditFormats_ = formats;
    preeditCursor_ = cursor;
    preeditCursorVisible_ = cursorVisible;
    // The line's segments are laid out again; their measured places stay.
    if (auto it = layouts_.find(line); it != layouts_.end())
        for (std::unique_ptr<Segment>& segment : it->second->segments)
            segment.reset();
    viewport()->update();
}

void TextView::commitComposition() {
    if (composingView_)
        composingView_->commitOwnComposition();
}

TextView::Committed TextView::commitComposing() {
    TextView* composing = composingView_;
    if (!composing || composing->document_ != document_)
        return {};
    return composing->commitOwnComposition();
}

TextView::Committed TextView::commitOwnComposition() {
    if (preedit_.isEmpty())
        return {};
    const qsizetype at = caret_, before = document_->length();
    // The input method hands over its text as on a commit of its own...
    const bool focused = QGuiApplication::focusObject() == this;
    if (focused)
        QGuiApplication::inputMethod()->commit();
    if (!preedit_.isEmpty()) {
        // ...or, where none does (it has gone with the focus), the text shown goes in.
        const QString text = preedit_;
        setPreedit(QString(), {}, 0, true);
        edit(caret_, 0, text, EditKind::TypedInsert);
        if (focused)
            QGuiApplication::inputMethod()->reset();
    }
    document_->endTypingRun();
    return {at, document_->length() - before};
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
    // What an input method was composing stays where it was typed.
    commitComposing();
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
    // Above or below the text the selection reaches the line at the edge; the text
    // scrolls as fast as the auto-scroll makes it.
    const int bottom = kTopMargin + visibleLines() * lineHeight_ - 1;
    const qsizetype at = positionAt(QPoint(e->pos().x(), std::clamp(e->pos().y(), 0, bottom)));
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
    if (viewport()->rect().contains(e->pos())) {
        autoScroll_.stop();
    } else if (!autoScroll_.isActive()) {
        autoScroll_.start(kAutoScrollTick, this);
        autoScrollClock_.start();
        autoScrollLines_ = 0;
    }
}

void TextView::mouseReleaseEvent(QMouseEvent* e) {
    autoScroll_.stop();
    if (press_ == Press::MaybeDrag)
        moveCaret(positionAt(e->pos()), false);
    if (press_ != Press::None)
        offerSelection();
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
        // Faster the farther the pointer is above or below the text, as the time that
        // passed gives it.
        const QRect r = viewport()->rect();
        const int distance = lastMouse_.y() < r.top()      ? lastMouse_.y() - r.top()
                             : lastMouse_.y() > r.bottom() ? lastMouse_.y() - r.bottom()
                                                           : 0;
        autoScrollLines_ +=
            autoScrollSpeed(std::abs(distance)) * qreal(autoScrollClock_.restart()) / 1000;
        const int lines = int(autoScrollLines_);
        autoScrollLines_ -= lines;
        QScrollBar* v = verticalScrollBar();
        if (distance != 0)
            v->setValue(v->value() + (distance < 0 ? -lines : lines));
        QMouseEvent move(QEvent::MouseMove, QPointF(lastMouse_), mapToGlobal(lastMouse_),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        mouseMoveEvent(&move);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

qreal TextView::autoScrollSpeed(int distance) {
    // About 20 lines a second at the edge, 600 at 80 pixels beyond it.
    return 20 + qreal(distance) * distance / 11;
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
    // What was being composed stays where it was typed.
    commitOwnComposition();
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    caretShown_ = false;
    document_->endTypingRun();
    viewport()->update();
}

} // namespace qel

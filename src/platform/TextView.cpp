#include "TextView.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStyle>
#include <QtMath>

#include <algorithm>

namespace qel {

using textmodel::EditKind;
using textmodel::TextChange;
using textmodel::TextDocument;

TextView::TextView(QWidget* parent)
    : QAbstractScrollArea(parent), ownDocument_(std::make_unique<TextDocument>()) {
    attach(ownDocument_.get());
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    makeAccessible();
    updateMetrics();
    updateScrollBars();
}

TextView::~TextView() {
    if (composingView_ == this)
        composingView_ = nullptr;
    if (document_)
        document_->removeObserver(this);
}

void TextView::attach(TextDocument* document) {
    if (document_) {
        document_->removeObserver(this);
        disconnect(document_, &QObject::destroyed, this, nullptr);
    }
    document_ = document;
    document_->addObserver(this);
    // A shared document may go before its views (at exit): fall back on an own one.
    if (document_ != ownDocument_.get())
        connect(document_, &QObject::destroyed, this, [this] {
            document_ = nullptr;
            setDocument(nullptr);
        });
}

void TextView::setDocument(TextDocument* document) {
    if (!document) {
        if (!ownDocument_)
            ownDocument_ = std::make_unique<TextDocument>();
        document = ownDocument_.get();
    }
    if (document == document_)
        return;
    commitOwnComposition(); // into the document it was typed in
    attach(document);
    dropLayouts();
    widest_ = 0;
    setCaret(0, 0);
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    Q_EMIT documentSet();
}

// ---- caret and selection

QString TextView::selectedText() const {
    return document_->text(selectionStart(), selectionEnd());
}

void TextView::select(qsizetype anchor, qsizetype position) {
    const Committed committed = commitComposing();
    anchor = committed.map(anchor);
    position = committed.map(position);
    const qsizetype n = document_->length();
    setCaret(std::clamp<qsizetype>(anchor, 0, n), std::clamp<qsizetype>(position, 0, n));
    preferredX_ = -1;
    document_->endTypingRun();
}

void TextView::selectAll() {
    select(0, document_->length());
    offerSelection();
}

namespace {

// The selected text for other programs, made only when one asks for it: the text as it
// was when selected, whatever is done to the document since.
class SelectionData : public QMimeData {
public:
    SelectionData(textmodel::PieceTable text, qsizetype from, qsizetype to)
        : text_(std::move(text)), from_(from), to_(to) {}
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& format) const override { return format == u"text/plain"; }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override {
        return format == u"text/plain" ? QVariant(text_.text(from_, to_)) : QVariant();
    }

private:
    textmodel::PieceTable text_;
    qsizetype from_, to_;
};

} // namespace

void TextView::offerSelection() const {
    QClipboard* clipboard = QApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setMimeData(
            new SelectionData(document_->pieces(), selectionStart(), selectionEnd()),
            QClipboard::Selection);
}

void TextView::setCaret(qsizetype anchor, qsizetype caret) {
    if (anchor == anchor_ && caret == caret_)
        return;
    if (!preedit_.isEmpty())
        dropLayouts(); // the text being composed moves with the caret
    const qsizetype oldAnchor = anchor_, oldCaret = caret_;
    anchor_ = anchor;
    caret_ = caret;
    viewport()->update();
    updateMicroFocus();
    tellCaret(oldAnchor, oldCaret);
    Q_EMIT selectionChanged();
}

bool TextView::selectionShown() const {
    return !hideSelectionWhenUnfocused_ || hasFocus();
}

void TextView::setHideSelectionWhenUnfocused(bool hide) {
    hideSelectionWhenUnfocused_ = hide;
    viewport()->update();
}

void TextView::moveCaret(qsizetype position, bool keepAnchor, bool keepPreferredX) {
    setCaret(keepAnchor ? anchor_ : position, position);
    if (!keepPreferredX)
        preferredX_ = -1;
    document_->endTypingRun();
    ensureCaretVisible();
    restartBlinking();
}

// ---- editing

void TextView::edit(qsizetype position, qsizetype removed, const QString& text, EditKind kind) {
    // The caret goes after the new text (see textChanged()).
    document_->replace(position, removed, text, this, kind);
    ensureCaretVisible();
    restartBlinking();
}

void TextView::editAround(qsizetype position, qsizetype removed, const QString& text) {
    caretFollowsEdit_ = false;
    document_->replace(position, removed, text, this);
    caretFollowsEdit_ = true;
}

void TextView::insertText(const QString& text) {
    commitComposing();
    edit(selectionStart(), selectionEnd() - selectionStart(), text);
}

void TextView::deleteSelection() {
    commitComposing();
    if (hasSelection())
        edit(selectionStart(), selectionEnd() - selectionStart(), QString());
}

void TextView::cut() {
    commitComposing();
    if (!hasSelection())
        return;
    copy();
    deleteSelection();
}

void TextView::copy() const {
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void TextView::paste() {
    insertFromMimeData(QApplication::clipboard()->mimeData());
}

void TextView::undo() {
    commitComposing();
    document_->undo(this);
    ensureCaretVisible();
}

void TextView::redo() {
    commitComposing();
    document_->redo(this);
    ensureCaretVisible();
}

bool TextView::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText();
}

void TextView::insertFromMimeData(const QMimeData* source) {
    if (canInsertFromMimeData(source))
        insertText(source->text());
}

void TextView::textChanged(const TextChange& change) {
    using Cause = TextChange::Cause;
    const qsizetype oldAnchor = anchor_, oldCaret = caret_;
    if (change.cause == Cause::Load) {
        anchor_ = caret_ = 0;
        dropLayouts();
        widest_ = 0;
        topLine_ = 0;
    } else {
        if (change.source == this && caretFollowsEdit_) {
            // The view's own edit, undo or redo: the caret after the new text.
            anchor_ = caret_ = change.position + change.added;
        } else {
            // Another view's: the caret keeps its place in the text around the change.
            const auto map = [&](qsizetype p) {
                if (p < change.position)
                    return p;
                if (p >= change.position + change.removed)
                    return p + change.added - change.removed;
                return change.position + change.added;
            };
            anchor_ = map(anchor_);
            caret_ = map(caret_);
        }
        // Lines laid out before keep their layout when the change did not touch them.
        const qsizetype lastOld = change.line + change.removedBreaks;
        const qsizetype shift = change.addedBreaks - change.removedBreaks;
        std::unordered_map<qsizetype, std::unique_ptr<LineLayout>> kept;
        for (auto& [line, layout] : layouts_) {
            if (line < change.line)
                kept.emplace(line, std::move(layout));
            else if (line > lastOld)
                kept.emplace(line + shift, std::move(layout));
        }
        // A long line edited within itself keeps what comes before the edit: typing at
        // the end of it measures and lays out only the last segment again.
        if (change.removedBreaks == 0 && change.addedBreaks == 0) {
            if (auto it = layouts_.find(change.line); it != layouts_.end() && it->second) {
                const qsizetype start = document_->lineStart(change.line);
                if (keepLayoutBefore(*it->second, change.position - start, start,
                                     document_->lineEnd(change.line) - start))
                    kept.emplace(change.line, std::move(it->second));
            }
        }
        layouts_.swap(kept);
        // What is in view stays in view when lines come or go above it.
        if (lastOld < topLine_)
            topLine_ = std::max<qsizetype>(0, topLine_ + shift);
    }
    const qsizetype top = topLine_;
    updateScrollBars(); // may move the scroll bar, and so topLine_
    verticalScrollBar()->setValue(int(std::min<qsizetype>(top, INT_MAX)));
    topLine_ = verticalScrollBar()->value();
    viewport()->update();
    tellChange(change);
    if (oldAnchor != anchor_ || oldCaret != caret_) {
        updateMicroFocus();
        tellCaret(oldAnchor, oldCaret);
        Q_EMIT selectionChanged();
    }
    // Changed from outside the views (the views commit first): what is being composed
    // goes in where it now stands, once the change is through.
    if (!preedit_.isEmpty() && change.source != this)
        QMetaObject::invokeMethod(
            this, [this] { commitOwnComposition(); }, Qt::QueuedConnection);
}

// ---- metrics and scrolling

int TextView::caretWidth() const {
    return std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
}

void TextView::updateMetrics() {
    layoutFont_ = font();
    layoutFont_.setKerning(false);
    advances_.clear();
    wordAdvances_.clear();
    const QFontMetricsF fm(layoutFont_);
    // A line with Japanese in it, which a fallback face may draw taller. Finding that
    // face takes a while: a view that is not shown (yet) waits until it is.
    qreal sampleHeight = 0;
    sampleMeasured_ = isVisible();
    if (sampleMeasured_) {
        QTextLayout sample(QStringLiteral("Mあ"), layoutFont_);
        sample.beginLayout();
        QTextLine line = sample.createLine();
        sample.endLayout();
        sampleHeight = line.height();
    }
    lineHeight_ = std::max(1, qCeil(std::max(fm.lineSpacing(), sampleHeight)));
    halfWidth_ = std::max<qreal>(1, fm.horizontalAdvance(QLatin1Char('0')));
    tabWidth_ = 8 * std::max<qreal>(1, fm.horizontalAdvance(QLatin1Char(' ')));
}

int TextView::visibleLines() const {
    return std::max(1, (viewport()->height() - kTopMargin) / lineHeight_);
}

int TextView::firstVisibleLine() const {
    return int(topLine_);
}

int TextView::lineTop(qsizetype line) const {
    return kTopMargin + int(line - topLine_) * lineHeight_;
}

qsizetype TextView::lineAtY(int y) const {
    const qsizetype line = topLine_ + qFloor(qreal(y - kTopMargin) / lineHeight_);
    return std::clamp<qsizetype>(line, 0, document_->lineCount() - 1);
}

qreal TextView::textLeft() const {
    return kLeftMargin - horizontalScrollBar()->value();
}

void TextView::noteWidth(qreal width) const {
    if (width > widest_) {
        widest_ = width;
        // Grown by a line laid out while painting: the range follows on the next turn.
        QMetaObject::invokeMethod(const_cast<TextView*>(this), &TextView::updateScrollBars,
                                  Qt::QueuedConnection);
    }
}

void TextView::updateScrollBars() {
    const int visible = visibleLines();
    QScrollBar* v = verticalScrollBar();
    const qsizetype lines = document_->lineCount();
    v->setRange(0, int(std::clamp<qsizetype>(lines - visible, 0, INT_MAX)));
    v->setPageStep(visible);
    v->setSingleStep(1);

    const qreal guess = qreal(document_->longestLoadedLineBytes()) * halfWidth_;
    const qreal content = std::max(widest_, guess) + 2 * kLeftMargin + 2 * halfWidth_;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, int(std::min<qreal>(content, INT_MAX / 2)) - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(std::max(1, qRound(2 * halfWidth_)));
}

void TextView::scrollContentsBy(int, int) {
    topLine_ = verticalScrollBar()->value();
    viewport()->update();
    updateMicroFocus();
}

void TextView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    if (!sampleMeasured_) {
        updateMetrics();
        updateScrollBars();
    }
}

void TextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        updateMetrics();
        dropLayouts();
        widest_ = 0;
        updateScrollBars();
        viewport()->update();
        break;
    case QEvent::PaletteChange:
    case QEvent::ActivationChange:
        viewport()->update();
        break;
    default:
        break;
    }
}

void TextView::ensureCaretVisible() {
    ensureVisible(caret_);
}

void TextView::ensureVisible(qsizetype position) {
    const qsizetype line = document_->lineOf(position);
    const int visible = visibleLines();
    qsizetype top = topLine_;
    if (line < top)
        top = line;
    else if (line >= top + visible)
        top = line - visible + 1;
    if (top != topLine_) {
        verticalScrollBar()->setValue(int(std::min<qsizetype>(top, INT_MAX)));
        topLine_ = verticalScrollBar()->value();
    }

    QScrollBar* h = horizontalScrollBar();
    const qreal x = xOf(position);
    const int room = viewport()->width() - 2 * kLeftMargin;
    const qreal margin = std::min<qreal>(4 * halfWidth_, room / 3.0);
    if (x < h->value()) {
        h->setValue(std::max(0, qFloor(x - margin)));
    } else if (x > h->value() + room - caretWidth()) {
        noteWidth(x + margin);
        updateScrollBars();
        h->setValue(qCeil(x + margin) - room);
    }
}

// ---- context menu

QMenu* TextView::createStandardContextMenu() {
    auto* menu = new QMenu(this);
    const auto add = [&](const QString& text, const QKeySequence& keys, bool enabled,
                         void (TextView::*slot)()) {
        QAction* a = menu->addAction(text, this, slot);
        a->setShortcut(keys);
        a->setEnabled(enabled);
    };
    const bool clip = canInsertFromMimeData(QApplication::clipboard()->mimeData());
    add(QStringLiteral("元に戻す(&U)"), QKeySequence::Undo, document_->canUndo(), &TextView::undo);
    add(QStringLiteral("やり直し(&R)"), QKeySequence::Redo, document_->canRedo(), &TextView::redo);
    menu->addSeparator();
    add(QStringLiteral("切り取り(&T)"), QKeySequence::Cut, hasSelection(), &TextView::cut);
    menu->addAction(QStringLiteral("コピー(&C)"), this, [this] { copy(); })
        ->setEnabled(hasSelection());
    add(QStringLiteral("貼り付け(&P)"), QKeySequence::Paste, clip, &TextView::paste);
    add(QStringLiteral("削除(&D)"), QKeySequence::Delete, hasSelection(),
        &TextView::deleteSelection);
    menu->addSeparator();
    add(QStringLiteral("すべて選択(&A)"), QKeySequence::SelectAll, !document_->isEmpty(),
        &TextView::selectAll);
    return menu;
}

void TextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// ---- drag and drop of text

void TextView::startDrag() {
    const qsizetype from = selectionStart(), to = selectionEnd();
    auto* data = new QMimeData;
    data->setText(selectedText());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    // A move is the drop and the removal here together: one undo step.
    QPointer<TextDocument> doc = document_;
    doc->beginStep();
    // The dragged text keeps its place through the drop, wherever that inserts.
    struct Tracker : textmodel::TextObserver {
        qsizetype from, to;
        void textChanged(const TextChange& c) override {
            // Text put in right before the dragged text moves it; right after, not.
            const qsizetype end = c.position + c.removed, delta = c.added - c.removed;
            from = from < c.position ? from : from >= end ? from + delta : c.position + c.added;
            to = to <= c.position ? to : to >= end ? to + delta : c.position;
            to = std::max(from, to);
        }
    } dragged;
    dragged.from = from;
    dragged.to = to;
    doc->addObserver(&dragged);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (doc) {
        doc->removeObserver(&dragged);
        // Moved: the text goes from here; a drop into this view keeps the dropped text
        // selected.
        if (action == Qt::MoveAction && doc == document_)
            editAround(dragged.from, dragged.to - dragged.from, QString());
        doc->endStep();
    }
}

void TextView::dragEnterEvent(QDragEnterEvent* event) {
    if (canInsertFromMimeData(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

// Where the text a drag brings would go, or -1 when it cannot go there.
qsizetype TextView::dropPosition(const QDropEvent* event) const {
    if (!canInsertFromMimeData(event->mimeData()))
        return -1;
    const qsizetype at = positionAt(event->position().toPoint());
    // Not into the very text being dragged (from a view of the same document).
    const auto* source = qobject_cast<const TextView*>(event->source());
    if (source && source->document() == document_ && source->hasSelection() &&
        at > source->selectionStart() && at < source->selectionEnd())
        return -1;
    return at;
}

void TextView::dragMoveEvent(QDragMoveEvent* event) {
    dropCaret_ = dropPosition(event);
    if (dropCaret_ >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
    viewport()->update();
}

void TextView::dragLeaveEvent(QDragLeaveEvent*) {
    dropCaret_ = -1;
    viewport()->update();
}

void TextView::dropEvent(QDropEvent* event) {
    commitComposing();
    const qsizetype at = dropPosition(event);
    dropCaret_ = -1;
    if (at < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setCaret(at, at);
    const qsizetype before = document_->length();
    insertFromMimeData(event->mimeData());
    // The dropped text stays selected.
    setCaret(caret_ - (document_->length() - before), caret_);
    setFocus();
    activateWindow();
}

} // namespace qel

#include "TextView.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDrag>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTextBoundaryFinder>
#include <QtMath>

#include <algorithm>

namespace qel {

using textmodel::EditKind;
using textmodel::TextChange;
using textmodel::TextDocument;

namespace {

constexpr int kLeftMargin = 4;
constexpr int kTopMargin = 2;
// Lines longer than this are laid out in segments of kSegment characters, only those
// in view.
constexpr qsizetype kLongLine = 4000;
constexpr qsizetype kSegment = 1024;
// Word look-ups read at most this much of a line around the caret.
constexpr qsizetype kWordWindow = 1000;

int caretWidth(const QWidget* w) {
    return std::max(1, w->style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, w));
}

} // namespace

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
    updateMetrics();
    updateScrollBars();
}

TextView::~TextView() {
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
    attach(document);
    preedit_.clear();
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
    const qsizetype n = document_->length();
    setCaret(std::clamp<qsizetype>(anchor, 0, n), std::clamp<qsizetype>(position, 0, n));
    preferredX_ = -1;
    document_->endTypingRun();
}

void TextView::selectAll() {
    select(0, document_->length());
}

void TextView::setCaret(qsizetype anchor, qsizetype caret) {
    if (anchor == anchor_ && caret == caret_)
        return;
    if (!preedit_.isEmpty())
        dropLayouts(); // the text being composed moves with the caret
    anchor_ = anchor;
    caret_ = caret;
    viewport()->update();
    updateMicroFocus();
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
    edit(selectionStart(), selectionEnd() - selectionStart(), text);
}

void TextView::deleteSelection() {
    if (hasSelection())
        edit(selectionStart(), selectionEnd() - selectionStart(), QString());
}

void TextView::cut() {
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
    document_->undo(this);
    ensureCaretVisible();
}

void TextView::redo() {
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
    if (oldAnchor != anchor_ || oldCaret != caret_) {
        updateMicroFocus();
        Q_EMIT selectionChanged();
    }
}

// ---- metrics and scrolling

void TextView::updateMetrics() {
    const QFontMetricsF fm(font());
    // A line with Japanese in it, which a fallback face may draw taller. Finding that
    // face takes a while: a view that is not shown (yet) waits until it is.
    qreal sampleHeight = 0;
    sampleMeasured_ = isVisible();
    if (sampleMeasured_) {
        QTextLayout sample(QStringLiteral("Mあ"), font());
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
    const qsizetype line = document_->lineOf(caret_);
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
    const qreal x = xOf(caret_);
    const int room = viewport()->width() - 2 * kLeftMargin;
    const qreal margin = std::min<qreal>(4 * halfWidth_, room / 3.0);
    if (x < h->value()) {
        h->setValue(std::max(0, qFloor(x - margin)));
    } else if (x > h->value() + room - caretWidth(this)) {
        noteWidth(x + margin);
        updateScrollBars();
        h->setValue(qCeil(x + margin) - room);
    }
}

// ---- layout

void TextView::dropLayouts() {
    layouts_.clear();
}

qreal TextView::estimatedX(qsizetype lineStart, qsizetype position) const {
    return qreal(document_->byteOffsetOf(position) - document_->byteOffsetOf(lineStart)) *
           halfWidth_;
}

qreal TextView::Segment::width() const {
    return layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0;
}

TextView::LineLayout& TextView::layoutFor(qsizetype line, qsizetype lineStart) const {
    auto it = layouts_.find(line);
    if (it != layouts_.end())
        return *it->second;
    if (layouts_.size() > 1000)
        layouts_.clear();
    auto l = std::make_unique<LineLayout>();
    l->length = document_->lineEnd(line) - lineStart;
    const qsizetype count = l->length > kLongLine ? (l->length + kSegment - 1) / kSegment : 1;
    l->segments.resize(std::size_t(count));
    if (count > 1) // as wide as its byte columns make it
        noteWidth(estimatedX(lineStart, lineStart + l->length));
    LineLayout& made = *l;
    layouts_.emplace(line, std::move(l));
    return made;
}

std::size_t TextView::segmentOf(const LineLayout& l, qsizetype index) const {
    if (l.segments.size() == 1)
        return 0;
    return std::min(std::size_t(std::max<qsizetype>(index, 0) / kSegment), l.segments.size() - 1);
}

std::size_t TextView::segmentOfCaret(const LineLayout& l, qsizetype index) const {
    // A caret where two segments meet is drawn by the one it ends.
    return segmentOf(l, index > 0 && index % kSegment == 0 ? index - 1 : index);
}

TextView::Segment& TextView::segment(LineLayout& l, std::size_t k, qsizetype lineStart) const {
    std::unique_ptr<Segment>& slot = l.segments[k];
    if (slot)
        return *slot;
    slot = std::make_unique<Segment>();
    Segment& s = *slot;
    if (l.segments.size() > 1) {
        s.from = qsizetype(k) * kSegment;
        s.to = std::min(l.length, s.from + kSegment);
        s.x = estimatedX(lineStart, lineStart + s.from);
    } else {
        s.to = l.length;
    }
    s.layout.setText(document_->text(lineStart + s.from, lineStart + s.to));
    s.layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(tabWidth_);
    s.layout.setTextOption(option);
    s.layout.setCacheEnabled(true);
    const qsizetype caretIndex = caret_ - lineStart;
    if (!preedit_.isEmpty() && caretIndex >= 0 && caretIndex <= l.length &&
        segmentOfCaret(l, caretIndex) == k) {
        const int at = int(caretIndex - s.from);
        s.layout.setPreeditArea(at, preedit_);
        QList<QTextLayout::FormatRange> formats = preeditFormats_;
        for (QTextLayout::FormatRange& f : formats)
            f.start += at;
        s.layout.setFormats(formats);
    }
    s.layout.beginLayout();
    QTextLine tl = s.layout.createLine();
    if (tl.isValid())
        tl.setPosition(QPointF(0, 0));
    s.layout.endLayout();
    noteWidth(s.x + s.width());
    return s;
}

int TextView::layoutIndex(const Segment& s, qsizetype index, bool atCaret) const {
    qsizetype i = std::clamp<qsizetype>(index - s.from, 0, s.to - s.from);
    const int preeditAt = preedit_.isEmpty() ? -1 : s.layout.preeditAreaPosition();
    if (preeditAt >= 0 && i >= preeditAt && (i > preeditAt || atCaret))
        i += atCaret ? preeditCursor_ : preedit_.size();
    return int(i);
}

qreal TextView::xOf(qsizetype position) const {
    const qsizetype line = document_->lineOf(position);
    const qsizetype start = document_->lineStart(line);
    LineLayout& l = layoutFor(line, start);
    const qsizetype i = position - start;
    const Segment& s = segment(l, segmentOfCaret(l, i), start);
    if (s.layout.lineCount() == 0)
        return s.x;
    return s.x + s.layout.lineAt(0).cursorToX(layoutIndex(s, i, position == caret_));
}

qsizetype TextView::positionAtX(qsizetype line, qreal x) const {
    const qsizetype start = document_->lineStart(line);
    LineLayout& l = layoutFor(line, start);
    std::size_t k = 0;
    if (l.segments.size() > 1) {
        // The segment its byte column points to, or a neighbour where the estimate
        // and the real widths part.
        const qsizetype bytes =
            document_->byteOffsetOf(start) + qsizetype(std::max<qreal>(0, x) / halfWidth_);
        k = segmentOf(l, document_->positionOfByte(bytes) - start);
        for (int tries = 0; tries < 4; ++tries) {
            const Segment& s = segment(l, k, start);
            if (x < s.x && k > 0)
                --k;
            else if (x > s.x + s.width() && k + 1 < l.segments.size() &&
                     segment(l, k + 1, start).x <= x)
                ++k;
            else
                break;
        }
    }
    const Segment& s = segment(l, k, start);
    if (s.layout.lineCount() == 0)
        return start + s.from;
    qsizetype i = s.layout.lineAt(0).xToCursor(x - s.x);
    const int preeditAt = preedit_.isEmpty() ? -1 : s.layout.preeditAreaPosition();
    if (preeditAt >= 0 && i > preeditAt)
        i = std::max<qsizetype>(preeditAt, i - preedit_.size());
    return start + s.from + std::clamp<qsizetype>(i, 0, s.to - s.from);
}

QRect TextView::cursorRect(qsizetype position) const {
    position = std::clamp<qsizetype>(position, 0, document_->length());
    const qsizetype line = document_->lineOf(position);
    const int x = qRound(textLeft() + xOf(position));
    return QRect(x, lineTop(line), caretWidth(this), lineHeight_);
}

qsizetype TextView::positionAt(const QPoint& point) const {
    return positionAtX(lineAtY(point.y()), point.x() - textLeft());
}

// ---- painting

void TextView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, palette().color(QPalette::Base));
    const qsizetype lines = document_->lineCount();
    const qsizetype first = std::max<qsizetype>(topLine_, lineAtY(area.top()));
    const qsizetype last =
        std::min<qsizetype>(lines - 1, topLine_ + (area.bottom() - kTopMargin) / lineHeight_);
    const bool focused = hasFocus();
    const QPalette::ColorGroup group = focused ? QPalette::Active : QPalette::Inactive;
    const bool showSelection = hasSelection() && selectionShown();
    const qsizetype selFrom = selectionStart(), selTo = selectionEnd();
    const qreal left = textLeft();
    const qreal scroll = horizontalScrollBar()->value();
    p.setPen(palette().color(QPalette::Text));

    const auto selectionIn = [&](const Segment& s, qsizetype lineStart) {
        QList<QTextLayout::FormatRange> ranges;
        const qsizetype from = std::max(selFrom, lineStart + s.from);
        const qsizetype to = std::min(selTo, lineStart + s.to);
        if (showSelection && from < to) {
            QTextLayout::FormatRange r;
            r.start = layoutIndex(s, from - lineStart, false);
            r.length = layoutIndex(s, to - lineStart, false) - r.start;
            r.format.setBackground(palette().brush(group, QPalette::Highlight));
            r.format.setForeground(palette().brush(group, QPalette::HighlightedText));
            ranges.append(r);
        }
        return ranges;
    };

    qsizetype start = first <= last ? document_->lineStart(first) : 0;
    for (qsizetype line = first; line <= last; ++line) {
        LineLayout& l = layoutFor(line, start);
        const qsizetype end = start + l.length;
        const int y = lineTop(line);
        // The segments in view: from the one the left edge's byte column points to.
        std::size_t k = 0;
        if (l.segments.size() > 1) {
            const qsizetype bytes = document_->byteOffsetOf(start) + qsizetype(scroll / halfWidth_);
            k = segmentOf(l, document_->positionOfByte(bytes) - start);
            k = k > 0 ? k - 1 : 0;
        }
        for (; k < l.segments.size(); ++k) {
            Segment& s = segment(l, k, start);
            if (s.x > scroll + viewport()->width())
                break;
            if (s.x + s.width() < scroll && k + 1 < l.segments.size())
                continue;
            const QPointF origin(left + s.x, y);
            s.layout.draw(&p, origin, selectionIn(s, start));
            const bool lastSegment = k + 1 == l.segments.size();
            // A selected line break shows as a little block after the line.
            if (lastSegment && showSelection && selFrom <= end && selTo > end && line + 1 < lines)
                p.fillRect(QRectF(origin.x() + s.width(), y, halfWidth_, lineHeight_),
                           palette().brush(group, QPalette::Highlight));
            const auto drawCaretAt = [&](qsizetype position) {
                const qsizetype i = position - start;
                if (position < start || position > end || s.layout.lineCount() == 0 ||
                    segmentOfCaret(l, i) != k)
                    return;
                s.layout.drawCursor(&p, origin, layoutIndex(s, i, position == caret_),
                                    caretWidth(this));
            };
            if (focused && caretShown_ && (preedit_.isEmpty() || preeditCursorVisible_))
                drawCaretAt(caret_);
            if (dropCaret_ >= 0)
                drawCaretAt(dropCaret_);
        }
        start = end + 1;
    }
}

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

// The text view's layout and painting: lines laid out as they come into view, very
// long lines in segments, and where each position is drawn.
#include "TextView.h"

#include <QPainter>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>

namespace qel {

using textmodel::EditKind;
using textmodel::TextChange;
using textmodel::TextDocument;

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
    return QRect(x, lineTop(line), caretWidth(), lineHeight_);
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
                                    caretWidth());
            };
            if (focused && caretShown_ && (preedit_.isEmpty() || preeditCursorVisible_))
                drawCaretAt(caret_);
            if (dropCaret_ >= 0)
                drawCaretAt(dropCaret_);
        }
        start = end + 1;
    }
}

} // namespace qel

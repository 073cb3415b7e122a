// The text view's layout and painting: lines laid out as they come into view, very
// long lines in segments, and where each position is drawn.
#include "TextView.h"

#include <QPainter>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace qel {

using textmodel::EditKind;
using textmodel::TextChange;
using textmodel::TextDocument;

// ---- layout

void TextView::dropLayouts() {
    layouts_.clear();
}

qreal TextView::Segment::width() const {
    return layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0;
}

namespace {

// Where the caret goes after `text` laid out alone, fallback fonts included.
qreal laidOutAdvance(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line.isValid() ? line.cursorToX(int(text.size())) : 0;
}

bool isWordCharacter(QChar c) {
    return c.unicode() > u' ' && c.unicode() < 0x7f;
}

} // namespace

qreal TextView::advanceOf(char16_t c) const {
    if (advances_.empty())
        advances_.assign(0x10000, -1.0f);
    float& advance = advances_[c];
    if (advance < 0)
        advance = float(laidOutAdvance(QString(QChar(c)), layoutFont_));
    return advance;
}

qreal TextView::advanceThrough(QStringView text, qreal x) const {
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        qsizetype end = i + 1;
        if (c == u'\t') {
            x = (std::floor(x / tabWidth_) + 1) * tabWidth_; // the next tab stop
        } else if (!isWordCharacter(c)) {
            x += advanceOf(c.unicode());
        } else {
            // A run of ASCII is measured whole: a font may join its letters (fi).
            while (end < text.size() && isWordCharacter(text[end]))
                ++end;
            if (end - i == 1) {
                x += advanceOf(c.unicode());
            } else {
                if (wordAdvances_.size() > 50000)
                    wordAdvances_.clear();
                const QString word = text.sliced(i, end - i).toString();
                auto it = wordAdvances_.constFind(word);
                if (it == wordAdvances_.constEnd())
                    it = wordAdvances_.insert(word, laidOutAdvance(word, layoutFont_));
                x += *it;
            }
        }
        i = end;
    }
    return x;
}

TextView::LineLayout& TextView::layoutFor(qsizetype line, qsizetype lineStart) const {
    auto it = layouts_.find(line);
    if (it != layouts_.end())
        return *it->second;
    if (layouts_.size() > 1000)
        layouts_.clear();
    auto l = std::make_unique<LineLayout>();
    l->length = document_->lineEnd(line) - lineStart;
    l->segments.resize(std::size_t(segmentCount(l->length)));
    l->bounds.assign(l->segments.size(), -1);
    l->bounds[0] = 0;
    l->starts.push_back(0);
    if (l->segments.size() > 1) // as wide as its byte columns make it, until measured
        noteWidth(qreal(document_->byteOffsetOf(lineStart + l->length) -
                        document_->byteOffsetOf(lineStart)) *
                  halfWidth_);
    LineLayout& made = *l;
    layouts_.emplace(line, std::move(l));
    return made;
}

qsizetype TextView::segmentCount(qsizetype length) {
    return length > kLongLine ? (length + kSegment - 1) / kSegment : 1;
}

bool TextView::keepLayoutBefore(LineLayout& l, qsizetype index, qsizetype lineStart,
                                qsizetype newLength) const {
    const auto count = std::size_t(segmentCount(newLength));
    if (count == 1 || l.segments.size() == 1)
        return false;
    // What lies before the segment that holds the character before the change keeps
    // its text, so its bounds, places and layouts: that segment's own start too.
    const std::size_t changed = segmentOf(l, std::max<qsizetype>(0, index - 1), lineStart);
    l.length = newLength;
    l.segments.resize(count);
    for (std::size_t k = changed; k < count; ++k)
        l.segments[k].reset();
    l.bounds.resize(count);
    std::fill(l.bounds.begin() + qsizetype(changed) + 1, l.bounds.end(), -1);
    l.starts.resize(std::min(l.starts.size(), changed + 1));
    return true;
}

qsizetype TextView::segmentBegin(LineLayout& l, std::size_t k, qsizetype lineStart) const {
    if (k >= l.segments.size())
        return l.length;
    qsizetype& begin = l.bounds[k];
    if (begin < 0) {
        // Near its place in kSegment steps, but not within a run of ASCII, which a font
        // may shape as one (fi) and a short line lays out whole.
        const qsizetype nominal = qsizetype(k) * kSegment;
        const QString near = document_->text(lineStart + nominal - 1,
                                             lineStart + std::min(l.length, nominal + kWordReach));
        qsizetype i = 1;
        while (i < near.size() && isWordCharacter(near[i - 1]) && isWordCharacter(near[i]))
            ++i;
        begin = nominal - 1 + i;
    }
    return begin;
}

qreal TextView::measuredStart(LineLayout& l, std::size_t k, qsizetype lineStart) const {
    while (l.starts.size() <= k) {
        const std::size_t next = l.starts.size() - 1;
        const qsizetype from = segmentBegin(l, next, lineStart);
        const qsizetype to = segmentBegin(l, next + 1, lineStart);
        l.starts.push_back(
            advanceThrough(document_->text(lineStart + from, lineStart + to), l.starts.back()));
        if (l.starts.size() == l.segments.size() + 1)
            noteWidth(l.starts.back());
    }
    return l.starts[k];
}

qreal TextView::segmentStart(LineLayout& l, std::size_t k, qsizetype lineStart) const {
    qreal x = measuredStart(l, k, lineStart);
    // Segments after the one that shows a composition make room for it.
    const qsizetype caretIndex = caret_ - lineStart;
    if (!preedit_.isEmpty() && k > 0 && caretIndex >= 0 && caretIndex <= l.length) {
        const std::size_t composing = segmentOfCaret(l, caretIndex, lineStart);
        if (k > composing)
            x += segment(l, composing, lineStart).width() -
                 (measuredStart(l, composing + 1, lineStart) -
                  measuredStart(l, composing, lineStart));
    }
    return x;
}

std::size_t TextView::segmentAtX(LineLayout& l, qreal x, qsizetype lineStart) const {
    // Measured on until past `x`; each segment is measured once.
    std::size_t k = 0;
    while (k + 1 < l.segments.size() && segmentStart(l, k + 1, lineStart) <= x)
        ++k;
    return k;
}

std::size_t TextView::segmentOf(LineLayout& l, qsizetype index, qsizetype lineStart) const {
    if (l.segments.size() == 1)
        return 0;
    // A segment begins within kWordReach of its place in kSegment steps.
    const std::size_t k =
        std::min(std::size_t(std::max<qsizetype>(index, 0) / kSegment), l.segments.size() - 1);
    return k > 0 && index < segmentBegin(l, k, lineStart) ? k - 1 : k;
}

std::size_t TextView::segmentOfCaret(LineLayout& l, qsizetype index, qsizetype lineStart) const {
    // A caret where two segments meet is drawn by the one it ends.
    const std::size_t k = segmentOf(l, index, lineStart);
    return k > 0 && index == segmentBegin(l, k, lineStart) ? k - 1 : k;
}

TextView::Segment& TextView::segment(LineLayout& l, std::size_t k, qsizetype lineStart) const {
    std::unique_ptr<Segment>& slot = l.segments[k];
    if (slot)
        return *slot;
    auto made = std::make_unique<Segment>();
    Segment& s = *made;
    if (l.segments.size() > 1) {
        s.from = segmentBegin(l, k, lineStart);
        s.to = segmentBegin(l, k + 1, lineStart);
        s.x = segmentStart(l, k, lineStart);
    } else {
        s.to = l.length;
    }
    s.layout.setText(document_->text(lineStart + s.from, lineStart + s.to));
    s.layout.setFont(layoutFont_);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(tabWidth_);
    if (s.x > 0 && s.layout.text().contains(u'\t')) {
        // Tab stops count from the line's left edge, not the segment's: as far as the
        // segment could reach.
        const qreal reach = measuredStart(l, k + 1, lineStart) - measuredStart(l, k, lineStart) +
                            advanceThrough(preedit_, 0) + tabWidth_;
        QList<QTextOption::Tab> stops;
        for (qreal stop = (std::floor(s.x / tabWidth_) + 1) * tabWidth_; stop <= s.x + reach;
             stop += tabWidth_)
            stops.append(QTextOption::Tab(stop - s.x, QTextOption::LeftTab));
        option.setTabs(stops);
    }
    s.layout.setTextOption(option);
    s.layout.setCacheEnabled(true);
    const qsizetype caretIndex = caret_ - lineStart;
    if (!preedit_.isEmpty() && caretIndex >= 0 && caretIndex <= l.length &&
        segmentOfCaret(l, caretIndex, lineStart) == k) {
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
    slot = std::move(made);
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
    const Segment& s = segment(l, segmentOfCaret(l, i, start), start);
    if (s.layout.lineCount() == 0)
        return s.x;
    return s.x + s.layout.lineAt(0).cursorToX(layoutIndex(s, i, position == caret_));
}

qsizetype TextView::positionAtX(qsizetype line, qreal x) const {
    const qsizetype start = document_->lineStart(line);
    LineLayout& l = layoutFor(line, start);
    const Segment& s = segment(l, segmentAtX(l, x, start), start);
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
        // The segments in view, from the one at the left edge.
        std::size_t k = l.segments.size() > 1 ? segmentAtX(l, scroll, start) : 0;
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
                    segmentOfCaret(l, i, start) != k)
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

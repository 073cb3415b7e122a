#include "TextDocument.h"

#include <algorithm>

namespace qel::textmodel {

namespace {

// Stretches of the text in the making of a Replace All: either a stretch of the text
// as it was before (`start` a position in it) or of the added buffer.
struct Segment {
    bool old = true;
    qsizetype start = 0;
    qsizetype length = 0;

    Segment first(qsizetype n) const { return {old, start, n}; }
    Segment rest(qsizetype n) const { return {old, start + n, length - n}; }
};

// The runs of a text from a position on, read a few at a time.
class RunReader {
public:
    RunReader(const PieceTable& text, qsizetype from, qsizetype to)
        : text_(text), next_(from), to_(to) {}
    // The current run, or nullptr at the end.
    const Piece* run() {
        if (i_ == runs_.size() && next_ < to_) {
            runs_.clear();
            i_ = 0;
            text_.forEachRun(next_, to_, [this](const Piece& p) {
                runs_.push_back(p);
                next_ += p.measure.chars;
                return runs_.size() < 64;
            });
        }
        return i_ < runs_.size() ? &runs_[i_] : nullptr;
    }
    void advance() { ++i_; }

private:
    const PieceTable& text_;
    qsizetype next_, to_;
    std::vector<Piece> runs_;
    std::size_t i_ = 0;
};

// Index of the first character where `a` and `b` differ in [from, to), or `to`.
qsizetype firstDifference(const PieceTable& a, const PieceTable& b, qsizetype from, qsizetype to) {
    RunReader readerA(a, from, to), readerB(b, from, to);
    const bool sameBuffers = a.buffers() == b.buffers();
    qsizetype offsetA = 0, offsetB = 0;
    qsizetype position = from;
    while (position < to && readerA.run() && readerB.run()) {
        const Piece& ra = *readerA.run();
        const Piece& rb = *readerB.run();
        const qsizetype n = std::min(ra.measure.chars - offsetA, rb.measure.chars - offsetB);
        const bool sameSource =
            sameBuffers && ra.buffer == rb.buffer && ra.start + offsetA == rb.start + offsetB;
        if (!sameSource) {
            const QStringView va = a.buffers()->buffer[ra.buffer].view(ra.start + offsetA, n);
            const QStringView vb = b.buffers()->buffer[rb.buffer].view(rb.start + offsetB, n);
            const auto [pa, pb] = std::mismatch(va.begin(), va.end(), vb.begin());
            if (pa != va.end())
                return position + (pa - va.begin());
        }
        position += n;
        offsetA += n;
        offsetB += n;
        if (offsetA == ra.measure.chars) {
            readerA.advance();
            offsetA = 0;
        }
        if (offsetB == rb.measure.chars) {
            readerB.advance();
            offsetB = 0;
        }
    }
    return position;
}

} // namespace

TextDocument::TextDocument(QObject* parent)
    : QObject(parent), text_(std::make_shared<Buffers>()), saved_(text_) {}

TextDocument::~TextDocument() = default;

qsizetype TextDocument::lineOf(qsizetype position) const {
    return text_.measureBefore(position, false).breaks;
}

qsizetype TextDocument::lineStart(qsizetype line) const {
    return text_.lineStart(line);
}

qsizetype TextDocument::lineEnd(qsizetype line) const {
    if (line + 1 >= lineCount())
        return length();
    return text_.lineStart(line + 1) - 1;
}

qsizetype TextDocument::byteOffsetOf(qsizetype position) const {
    return text_.measureBefore(std::clamp<qsizetype>(position, 0, length())).bytes;
}

qsizetype TextDocument::positionOfByte(qsizetype offset) const {
    return text_.positionOfByte(offset);
}

void TextDocument::load(cp932::Decoded decoded) {
    load(TextBuffer(std::move(decoded.text), std::move(decoded.alternates)));
}

void TextDocument::load(TextBuffer loaded) {
    const PieceTable before = text_;
    const qsizetype length = loaded.size();
    auto buffers = std::make_shared<Buffers>();
    buffers->buffer[Buffers::Loaded] = std::move(loaded);
    const Piece whole{Buffers::Loaded, 0, buffers->buffer[Buffers::Loaded].measure(0, length)};
    text_ = length > 0 ? PieceTable(buffers, {whole}) : PieceTable(buffers);
    undo_.clear();
    redo_.clear();
    stepDepth_ = 0;
    stepStarted_ = false;
    noteEdit(0, before.length(), before.length());
    report(before, 0, before.length(), length, TextChange::Cause::Load, nullptr);
}

void TextDocument::adoptText(const TextDocument& other) {
    const PieceTable before = text_;
    text_ = other.text_;
    undo_.clear();
    redo_.clear();
    stepDepth_ = 0;
    stepStarted_ = false;
    noteEdit(0, before.length(), before.length());
    report(before, 0, before.length(), length(), TextChange::Cause::Load, nullptr);
}

QByteArray TextDocument::encoded() const {
    QByteArray out;
    out.reserve(byteLength());
    encode([&](QByteArrayView piece) { out += piece; }, length());
    return out;
}

void TextDocument::encode(const std::function<void(QByteArrayView)>& take, qsizetype chars) const {
    std::vector<cp932::AlternateForm> forms;
    const qsizetype n = length();
    chars = std::max<qsizetype>(chars, 1);
    for (qsizetype from = 0; from < n; from += chars) {
        QByteArray piece;
        text_.forEachRun(from, std::min(n, from + chars), [&](const Piece& run) {
            const TextBuffer& buffer = text_.buffers()->buffer[run.buffer];
            const auto& all = buffer.alternates();
            forms.clear();
            auto it = std::lower_bound(
                all.begin(), all.end(), run.start,
                [](const cp932::AlternateForm& f, qsizetype p) { return f.position < p; });
            for (; it != all.end() && it->position < run.start + run.measure.chars; ++it)
                forms.push_back({it->position - run.start, it->code});
            piece += cp932::encode(buffer.view(run.start, run.measure.chars), forms);
            return true;
        });
        take(piece);
    }
}

void TextDocument::replace(qsizetype position, qsizetype removed, QStringView text,
                           const void* source, EditKind kind) {
    position = std::clamp<qsizetype>(position, 0, length());
    removed = std::clamp<qsizetype>(removed, 0, length() - position);
    const QString clean = cp932::toRepresentable(text);
    if (removed == 0 && clean.isEmpty())
        return;
    Piece inserted;
    if (!clean.isEmpty()) {
        TextBuffer& added = text_.buffers()->buffer[Buffers::Added];
        const qsizetype start = added.append(clean);
        inserted = {Buffers::Added, start, added.measure(start, clean.size())};
    }
    apply(text_.replaced(position, removed, inserted), position, removed, clean.size(), source,
          kind);
}

void TextDocument::replaceInTurn(const std::vector<qsizetype>& positions, qsizetype length,
                                 QStringView with, const void* source) {
    if (positions.empty())
        return;
    const QString clean = cp932::toRepresentable(with);
    const std::shared_ptr<Buffers>& buffers = text_.buffers();
    TextBuffer& added = buffers->buffer[Buffers::Added];
    const qsizetype withStart = added.append(clean);
    const Segment replacement{false, withStart, clean.size()};

    // The text as segments, split at a cursor that follows the replacements: those
    // before it in `done`, those after it in `todo` (the next one last). Each
    // replacement lies at or shortly before the end of the one before, so the cursor
    // moves little.
    const qsizetype oldLength = this->length();
    std::vector<Segment> done, todo;
    if (oldLength > 0)
        todo.push_back({true, 0, oldLength});
    qsizetype cursor = 0;
    for (const qsizetype at : positions) {
        while (cursor > at && !done.empty()) {
            const Segment s = done.back();
            done.pop_back();
            cursor -= s.length;
            if (cursor < at) {
                done.push_back(s.first(at - cursor));
                todo.push_back(s.rest(at - cursor));
                cursor = at;
            } else {
                todo.push_back(s);
            }
        }
        while (cursor < at && !todo.empty()) {
            const Segment s = todo.back();
            todo.pop_back();
            if (cursor + s.length > at) {
                done.push_back(s.first(at - cursor));
                todo.push_back(s.rest(at - cursor));
                cursor = at;
            } else {
                done.push_back(s);
                cursor += s.length;
            }
        }
        for (qsizetype left = length; left > 0 && !todo.empty();) {
            const Segment s = todo.back();
            todo.pop_back();
            if (s.length > left) {
                todo.push_back(s.rest(left));
                left = 0;
            } else {
                left -= s.length;
            }
        }
        if (replacement.length > 0) {
            done.push_back(replacement);
            cursor += replacement.length;
        }
    }
    done.insert(done.end(), todo.rbegin(), todo.rend());

    // The old text's pieces under the old segments, in order; the added text as it is.
    const std::vector<Piece> oldPieces = text_.pieces();
    std::vector<Piece> pieces;
    pieces.reserve(done.size() + oldPieces.size());
    const auto add = [&](const Piece& p) {
        if (p.measure.chars == 0)
            return;
        if (!pieces.empty()) {
            Piece& last = pieces.back();
            if (last.buffer == p.buffer && last.start + last.measure.chars == p.start) {
                last.measure += p.measure;
                return;
            }
        }
        pieces.push_back(p);
    };
    const Measure wholeReplacement = added.measure(withStart, clean.size());
    TextBuffer::Walker walkers[2] = {TextBuffer::Walker(buffers->buffer[0]),
                                     TextBuffer::Walker(buffers->buffer[1])};
    std::size_t next = 0;    // the old piece holding the next old segment
    qsizetype nextStart = 0; // its position in the old text
    for (const Segment& s : done) {
        if (!s.old) {
            add({Buffers::Added, s.start,
                 s.length == clean.size() ? wholeReplacement : added.measure(s.start, s.length)});
            continue;
        }
        while (nextStart + oldPieces[next].measure.chars <= s.start)
            nextStart += oldPieces[next++].measure.chars;
        for (qsizetype from = s.start, end = s.start + s.length; from < end;) {
            const Piece& p = oldPieces[next];
            const qsizetype pieceEnd = nextStart + p.measure.chars;
            const qsizetype to = std::min(end, pieceEnd);
            if (from == nextStart && to == pieceEnd) {
                add(p);
            } else {
                const qsizetype at = p.start + (from - nextStart);
                add({p.buffer, at, walkers[p.buffer].measure(at, to - from)});
            }
            from = to;
            if (to == pieceEnd && from < end)
                nextStart += oldPieces[next++].measure.chars;
        }
    }

    // The span that changed: what lies between the unchanged head and tail.
    const qsizetype newLength = cursor + [&] {
        qsizetype rest = 0;
        for (const Segment& s : todo)
            rest += s.length;
        return rest;
    }();
    qsizetype head = 0, tail = 0;
    for (const Segment& s : done) {
        if (!s.old || s.start != head)
            break;
        head += s.length;
    }
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        if (!it->old || it->start + it->length != oldLength - tail)
            break;
        tail += it->length;
    }
    head = std::min({head, oldLength, newLength});
    tail = std::min({tail, oldLength - head, newLength - head});
    const ReplacementRun run{positions, length,
                             QStringView(added.text()).sliced(withStart, clean.size())};
    run_ = &run;
    const struct RunReported {
        const ReplacementRun*& run;
        ~RunReported() { run = nullptr; }
    } reported{run_};
    apply(PieceTable(buffers, pieces), head, oldLength - head - tail, newLength - head - tail,
          source, EditKind::Command);
}

void TextDocument::beginStep() {
    if (stepDepth_++ == 0) {
        stepStarted_ = false;
        if (!undo_.empty())
            undo_.back().open = false;
    }
}

void TextDocument::endStep() {
    if (stepDepth_ > 0 && --stepDepth_ == 0 && stepStarted_) {
        undo_.back().open = false;
        stepStarted_ = false;
    }
}

void TextDocument::endTypingRun() {
    if (!undo_.empty() && stepDepth_ == 0)
        undo_.back().open = false;
}

bool TextDocument::joinsLastStep(qsizetype position, qsizetype removed, qsizetype added,
                                 const void* source, EditKind kind) const {
    if (stepDepth_ > 0)
        return stepStarted_;
    if (undo_.empty())
        return false;
    const Step& last = undo_.back();
    if (!last.open || last.source != source || last.kind != kind)
        return false;
    switch (kind) {
    case EditKind::TypedInsert:
        return removed == 0 && position == last.position + last.added;
    case EditKind::TypedDelete:
        return added == 0 && (position + removed == last.position || position == last.position);
    case EditKind::Command:
        break;
    }
    return false;
}

void TextDocument::apply(PieceTable next, qsizetype position, qsizetype removed, qsizetype added,
                         const void* source, EditKind kind) {
    const PieceTable before = text_;
    text_ = std::move(next);
    redo_.clear();
    if (joinsLastStep(position, removed, added, source, kind)) {
        // The union of the last step's span and this edit's, which is in the last
        // step's `after` coordinates.
        Step& last = undo_.back();
        const qsizetype start = std::min(last.position, position);
        const qsizetype end = std::max(last.position + last.added, position + removed);
        const qsizetype endBefore =
            last.position + last.removed + (end - (last.position + last.added));
        last.removed = endBefore - start;
        last.added = end - start + added - removed;
        last.position = start;
        last.after = text_;
    } else {
        if (!undo_.empty())
            undo_.back().open = false;
        const bool grouped = stepDepth_ > 0;
        undo_.push_back({before, text_, position, removed, added, source,
                         grouped ? EditKind::Command : kind, grouped || kind != EditKind::Command});
        stepStarted_ = grouped;
    }
    noteEdit(position, removed, before.length());
    report(before, position, removed, added, TextChange::Cause::Edit, source);
}

void TextDocument::undo(const void* source) {
    if (undo_.empty() || stepDepth_ > 0)
        return;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    const PieceTable before = text_;
    text_ = step.before;
    step.open = false;
    noteEdit(step.position, step.added, before.length());
    const qsizetype position = step.position, removed = step.added, added = step.removed;
    redo_.push_back(std::move(step));
    report(before, position, removed, added, TextChange::Cause::Undo, source);
}

void TextDocument::redo(const void* source) {
    if (redo_.empty() || stepDepth_ > 0)
        return;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    const PieceTable before = text_;
    text_ = step.after;
    noteEdit(step.position, step.removed, before.length());
    const qsizetype position = step.position, removed = step.removed, added = step.added;
    undo_.push_back(std::move(step));
    report(before, position, removed, added, TextChange::Cause::Redo, source);
}

void TextDocument::clearHistory() {
    undo_.clear();
    redo_.clear();
    stepDepth_ = 0;
    stepStarted_ = false;
    Q_EMIT historyChanged();
}

void TextDocument::noteEdit(qsizetype position, qsizetype removed, qsizetype oldLength) {
    sameHead_ = std::min(sameHead_, position);
    sameTail_ = std::min(sameTail_, oldLength - position - removed);
}

void TextDocument::markSaved() {
    saved_ = text_;
    sameHead_ = sameTail_ = length();
}

bool TextDocument::differsFromSaved() const {
    if (text_.sharesText(saved_))
        return false;
    const qsizetype n = length();
    if (n != saved_.length())
        return true;
    const qsizetype head = std::clamp<qsizetype>(sameHead_, 0, n);
    const qsizetype end = n - std::clamp<qsizetype>(sameTail_, 0, n - head);
    const qsizetype at = head < end ? firstDifference(text_, saved_, head, end) : end;
    if (at < end) {
        sameHead_ = at; // the next check starts at the difference
        return true;
    }
    sameHead_ = sameTail_ = n;
    return false;
}

void TextDocument::report(const PieceTable& before, qsizetype position, qsizetype removed,
                          qsizetype added, TextChange::Cause cause, const void* source) {
    TextChange change;
    change.position = position;
    change.removed = removed;
    change.added = added;
    change.cause = cause;
    change.source = source;
    change.run = run_;
    change.before = &before;
    const Measure head = text_.measureBefore(position, false);
    change.line = head.breaks;
    change.removedBreaks = before.measureBefore(position + removed, false).breaks - head.breaks;
    change.addedBreaks = text_.measureBefore(position + added, false).breaks - head.breaks;
    // A copy: an observer may take itself out while it is told.
    const std::vector<TextObserver*> observers = observers_;
    for (TextObserver* o : observers)
        o->textChanged(change);
    Q_EMIT changed(change);
    Q_EMIT historyChanged();
}

void TextDocument::addObserver(TextObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TextDocument::removeObserver(TextObserver* observer) {
    std::erase(observers_, observer);
}

} // namespace qel::textmodel

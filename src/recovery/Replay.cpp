#include "Replay.h"

#include "text/Cp932.h"
#include "textmodel/TextDocument.h"

namespace qel::recovery {

namespace {

// Whether `edit` lies inside a text `length` long (a run: at every step of it).
bool fits(const Edit& edit, qsizetype length) {
    if (edit.positions.empty())
        return edit.position >= 0 && edit.removed >= 0 && edit.position <= length &&
               edit.removed <= length - edit.position;
    if (edit.removed < 0)
        return false;
    for (const qsizetype at : edit.positions) {
        if (at < 0 || edit.removed > length || at > length - edit.removed)
            return false;
        length += edit.text.size() - edit.removed;
    }
    return true;
}

// Follows what the edits change, as the document reports it.
class SpanWatch : public textmodel::TextObserver {
public:
    SpanWatch(textmodel::TextDocument& document, ChangedSpan& span)
        : document_(document), span_(span) {
        document_.addObserver(this);
    }
    ~SpanWatch() { document_.removeObserver(this); }
    SpanWatch(const SpanWatch&) = delete;
    SpanWatch& operator=(const SpanWatch&) = delete;

    void textChanged(const textmodel::TextChange& change) override {
        span_.note(change.position, change.removed,
                   document_.length() - change.added + change.removed);
    }

private:
    textmodel::TextDocument& document_;
    ChangedSpan& span_;
};

} // namespace

Replayed replay(const JournalContents& journal, textmodel::TextDocument& document) {
    Replayed out{0, ChangedSpan(document.length())};
    // Steps the document made since the last mark that agreed, and the span then.
    std::size_t stepsSinceMark = 0;
    std::size_t editsAtMark = 0;
    ChangedSpan spanAtMark = out.span;
    std::size_t nextMark = 0;
    const auto agrees = [&](const Mark& mark) {
        return (mark.chars < 0 || mark.chars == document.length()) &&
               (mark.bytes < 0 || mark.bytes == document.byteLength());
    };
    const auto takeBack = [&] {
        for (; stepsSinceMark > 0; --stepsSinceMark)
            document.undo();
        out.edits = editsAtMark;
        out.span = spanAtMark;
    };
    {
        SpanWatch watch(document, out.span);
        for (std::size_t i = 0; i <= journal.edits.size(); ++i) {
            for (; nextMark < journal.marks.size() && journal.marks[nextMark].edits == i;
                 ++nextMark) {
                if (!agrees(journal.marks[nextMark])) {
                    takeBack();
                    return out;
                }
                // What stands at an agreeing mark is never taken back: the history
                // before it (a version of the text per edit) can go.
                document.clearHistory();
                stepsSinceMark = 0;
                editsAtMark = i;
                spanAtMark = out.span;
            }
            if (i == journal.edits.size())
                break;
            const Edit& edit = journal.edits[i];
            if (edit.positions.empty()) {
                if (!fits(edit, document.length()))
                    break;
                document.replace(edit.position, edit.removed, edit.text);
                // An edit that neither removes nor adds makes no step to take back.
                if (edit.removed > 0 || !edit.text.isEmpty())
                    ++stepsSinceMark;
            } else {
                // The run is checked with the text as it will enter, which is what moves
                // the positions after the first.
                Edit run = edit;
                run.text = cp932::toRepresentable(edit.text);
                if (!fits(run, document.length()))
                    break;
                document.replaceInTurn(run.positions, run.removed, run.text);
                ++stepsSinceMark;
            }
            out.edits = i + 1;
        }
    }
    return out;
}

} // namespace qel::recovery

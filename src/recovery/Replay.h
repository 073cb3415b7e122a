#pragma once

#include "JournalFormat.h"

namespace qel::textmodel {
class TextDocument;
}

namespace qel::recovery {

// The part of a text that edits touched: `head` characters at its start and `tail` at
// its end are still those of the text the edits started from.
class ChangedSpan {
public:
    explicit ChangedSpan(qsizetype length = 0) : head_(length), tail_(length) {}
    // `removed` characters at `position` of a text then `oldLength` long were replaced.
    void note(qsizetype position, qsizetype removed, qsizetype oldLength) {
        head_ = std::min(head_, position);
        tail_ = std::min(tail_, oldLength - position - removed);
    }
    qsizetype head() const { return head_; }
    qsizetype tail() const { return tail_; }

private:
    qsizetype head_, tail_;
};

struct Replayed {
    std::size_t edits = 0; // how many of the journal's edits stand
    ChangedSpan span;      // what they changed of the text they started from
};

// Makes the journal's edits in `document`, in turn, as far as they fit it: an edit that
// reaches outside the text, or a mark the text does not agree with, ends the replay
// there, and the edits since the last mark that agreed are taken back.
Replayed replay(const JournalContents& journal, textmodel::TextDocument& document);

} // namespace qel::recovery
